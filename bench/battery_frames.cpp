// battery_frames.cpp - the longest frame while the battery file is written
// during play, and the cost of watching the backup memory every frame.
//
// Usage: battery-frames CARTRIDGE [FRAMES]
// Copies the cartridge into a temporary folder, boots it and runs FRAMES
// frames (default 3600), changing a byte of the backup memory every 90 frames
// as a game saving now and then would, so that the battery file is written
// about 40 times. Prints the mean frame, the mean and the longest frame with
// a battery write, the longest without, then the cost of one watch step over
// an unchanged memory. Target: a frame with a write stays below one real frame
// (16.7 ms) in a Release build.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "headless.h"
#include "machine/battery_watch.h"
#include "machine/memory.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

int Writes() {
    const std::string& text = Headless::ConsoleText();
    int count = 0;
    for (size_t at = text.find("writing..."); at != std::string::npos; at = text.find("writing...", at + 1)) ++count;
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    long frames = argc >= 2 && argc <= 3 ? (argc == 3 ? std::strtol(argv[2], nullptr, 10) : 3600) : 0;
    if (frames <= 0 || frames > 10000000) {
        std::fprintf(stderr, "usage: battery-frames CARTRIDGE [FRAMES]\n");
        return 2;
    }
    char pattern[] = "/tmp/tamboril-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const std::string folder = pattern;
    const std::string game = folder + "/game.gba";
    std::filesystem::copy_file(argv[1], game);
    if (!Headless::StartMachine(game)) {
        std::fprintf(stderr, "battery-frames: cannot load %s\n", argv[1]);
        return 1;
    }
    Headless::RunFrames(10);
    double total = 0, totalWrite = 0, longestWrite = 0, longestOther = 0;
    for (long frame = 0; frame < frames; ++frame) {
        if (frame % 90 == 0) SaveRam()[0x8000 + frame / 90 % 0x100] ^= 0xFF;
        int before = Writes();
        Clock::time_point start = Clock::now();
        Headless::RunFrames(1);
        double ms = Milliseconds(Clock::now() - start);
        total += ms;
        bool wrote = Writes() != before;
        double& longest = wrote ? longestWrite : longestOther;
        longest = std::max(longest, ms);
        if (wrote) totalWrite += ms;
    }
    const int watchSteps = 100000;
    Clock::time_point start = Clock::now();
    for (int i = 0; i < watchSteps; ++i) BatteryWatchFrame();
    double watchUs = Milliseconds(Clock::now() - start) * 1000 / watchSteps;
    int writes = Writes();
    std::printf(
        "frames=%ld writes=%d mean_ms=%.3f mean_with_write_ms=%.3f longest_with_write_ms=%.3f longest_other_ms=%.3f "
        "watch_us=%.2f\n",
        frames, writes, total / static_cast<double>(frames), writes ? totalWrite / writes : 0.0, longestWrite,
        longestOther, watchUs);
    Headless::StopMachine();
    std::filesystem::remove_all(folder);
    return 0;
}
