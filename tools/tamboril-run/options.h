// options.h - the runner's command line: options, their values and ranges.
#pragma once

#include <cstdint>
#include <string>

#include "key_script.h"

struct Options {
    std::string cartridge;
    uint64_t frames = 60;
    uint64_t frameSkip = 1;  // frames per shown frame
    bool regs = false;
    bool bench = false;
    bool console = false;
    Headless::KeyScript keys;
    bool hasKeys = false;
    std::string audio;  // WAV file for the run's sound, if any
    uint64_t rate = 22050;
    std::string saveState;
    std::string loadState;
    std::string screenshot;
};

// Reads the command line into `options`: "" when it is well formed, else the
// usage error, naming the option and what it accepts. Every option that takes
// a value takes the next argument, which may be neither empty nor another
// option; "--" ends the options, so a cartridge name may start with '-'.
std::string ParseOptions(int argc, const char* const* argv, Options& options);
