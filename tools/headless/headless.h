// headless.h - runs the console core with no window and no pacing.
//
// One machine per process, as in the core. StartMachine loads a cartridge and
// installs the host hooks (frame surface, keypad; the machine's
// console text is kept by this host's ConsolePrintf, console.cpp); RunFrames
// then advances emulated time to the start of a later vertical blank, stopping
// the core exactly there, so runs can be continued, saved and compared.
#pragma once

#include <cstdint>
#include <string>

#include "key_script.h"

namespace Headless {

// Console text goes to standard output when echo is on; it is always kept
// in ConsoleText().
void SetConsoleEcho(bool echo);
const std::string& ConsoleText();
void ClearConsoleText();

// Loads the cartridge through the machine loader. False when it failed.
bool StartMachine(const std::string& path);
void StopMachine();

// Machine states (the core's save-state files). A state saved where RunFrames
// stopped continues, after loading, exactly as the run it was taken from.
bool SaveState(const std::string& path);
bool LoadState(const std::string& path);

// Runs until `frames` more vertical blanks have begun (0 does nothing).
void RunFrames(int frames);
// Vertical blanks begun since StartMachine.
uint64_t FrameCount();

// Keys held down from now on (the keypad register's bits, set = pressed).
void SetKeys(uint32_t keys);
// Keys from a script, by frame number; replaces SetKeys until cleared with nullptr.
void SetKeyScript(const KeyScript* script);

// The visible 240 x 160 picture of the last presented frame, RGB565.
const uint16_t* LastFrame();

}  // namespace Headless
