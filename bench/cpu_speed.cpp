// cpu_speed.cpp - measures the ARM and Thumb interpreters on a tight loop.
//
// Usage: cpu-speed arm|thumb CARTRIDGE ITERATIONS
// Boots the cartridge, then drives the inner loop of the cartridge's state
// directly (no scanline timing) until the loop's iteration counter reaches
// ITERATIONS, and prints the emulated instructions and the rate. The
// workloads in cpu_arm_loop.s and cpu_thumb_loop.s say how many instructions
// an iteration executes.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cpu/cpu.h"
#include "headless.h"

namespace {

struct Workload {
    const char* name;
    int counter;            // register counting iterations
    uint64_t perIteration;  // instructions of one iteration
};

constexpr Workload Arm = {"arm", 11, 13};
constexpr Workload Thumb = {"thumb", 7, 11};

// Runs the inner loops in bounded budgets until the counter reaches `iterations`
// or the cartridge stops counting (an interpreter that does not run the loop).
uint64_t RunIterations(const Workload& workload, uint64_t iterations) {
    uint32_t last = 0;
    int stalled = 0;
    while (Cpu.r[workload.counter] < iterations && stalled < 64) {
        Cpu.cycleBudget = 1 << 16;
        Cpu.breakFlag = 0;
        if (Cpu.cpsr & FlagT)
            RunThumbLoop(Cpu);
        else
            RunArmLoop(Cpu);
        stalled = Cpu.r[workload.counter] == last ? stalled + 1 : 0;
        last = Cpu.r[workload.counter];
    }
    return Cpu.r[workload.counter];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 || (std::strcmp(argv[1], "arm") && std::strcmp(argv[1], "thumb"))) {
        std::fprintf(stderr, "usage: cpu-speed arm|thumb CARTRIDGE ITERATIONS\n");
        return 2;
    }
    const Workload& workload = std::strcmp(argv[1], "arm") == 0 ? Arm : Thumb;
    uint64_t target = std::strtoull(argv[3], nullptr, 10);
    if (target == 0 || target > 0xFFFFFFFFu) {
        std::fprintf(stderr, "cpu-speed: ITERATIONS must be 1..4294967295\n");
        return 2;
    }
    if (!Headless::StartMachine(argv[2])) {
        std::fprintf(stderr, "cpu-speed: cannot load %s\n", argv[2]);
        return 1;
    }
    auto start = std::chrono::steady_clock::now();
    uint64_t done = RunIterations(workload, target);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    uint64_t instructions = done * workload.perIteration + done / 8;
    if (done < target) {
        std::printf("%s: the loop stopped counting after %llu iterations (interpreter incomplete)\n", workload.name,
                    static_cast<unsigned long long>(done));
        return 3;
    }
    std::printf("%s: instructions=%llu seconds=%.3f mips=%.1f\n", workload.name,
                static_cast<unsigned long long>(instructions), seconds, instructions / seconds / 1e6);
    Headless::StopMachine();
    return 0;
}
