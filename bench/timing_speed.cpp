// timing_speed.cpp - frames per second of whole-machine emulation, headless.
//
// Usage: timing-speed CARTRIDGE FRAMES
// Boots the cartridge, runs 10 frames to settle, then times FRAMES frames
// (CPU, timers, DMA, scanline step, drawing and presenting, as tamboril-run
// does) and prints the rate. bench/timing_idle.s (halts until every vertical
// blank) and bench/timing_busy.s (CPU never rests, every timing device busy)
// are its workloads; bench/timing_callgrind.sh splits the busy frame's cost.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "headless.h"

int main(int argc, char** argv) {
    long frames = argc == 3 ? std::strtol(argv[2], nullptr, 10) : 0;
    if (frames <= 0 || frames > 100000000) {
        std::fprintf(stderr, "usage: timing-speed CARTRIDGE FRAMES\n");
        return 2;
    }
    if (!Headless::StartMachine(argv[1])) {
        std::fprintf(stderr, "timing-speed: cannot load %s\n", argv[1]);
        return 1;
    }
    Headless::RunFrames(10);
    auto start = std::chrono::steady_clock::now();
    Headless::RunFrames(static_cast<int>(frames));
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("frames=%ld seconds=%.3f fps=%.0f\n", frames, seconds, frames / seconds);
    Headless::StopMachine();
    return 0;
}
