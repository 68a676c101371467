// thumb_random_test.cpp - long random Thumb streams with random registers and memory must never
// harm the host (run it in the sanitizer build) and must never leave Thumb state without ending the loop.
#include <random>

#include "thumb_harness.h"

namespace {

using ThumbRandom = ThumbMachine;

// A register value: anywhere in the address space, near a region base, or small.
uint32_t RandomValue(std::mt19937& rng) {
    switch (rng() % 4) {
    case 0: return rng();
    case 1: return ((rng() % 16) << 24) | (rng() & 0x3FFFF);
    case 2: return rng() % 64;
    default: return 0xFFFFFFFF - rng() % 64;
    }
}

TEST_F(ThumbRandom, RandomStreamsStayInsideTheMachine) {
    std::mt19937 rng(20261207);
    for (uint32_t a = 0; a < InternalRamSize; a += 4) MemWrite32(0x03000000 + a, rng());
    for (uint32_t a = 0; a < 0x10000; a += 4) MemWrite32(0x02000000 + a, rng());
    constexpr uint32_t ModesToTry[] = {ModeUser, ModeSystem, ModeIrq, ModeSupervisor, ModeFiq, ModeUndefined};
    for (int round = 0; round < 3000; ++round) {
        uint32_t code = 0x02000000 + (rng() & 0x3FFFE);
        for (int i = 0; i < 128; ++i) MemWrite16(code + 2 * i, rng());
        for (int r = 0; r < 15; ++r) Cpu.r[r] = RandomValue(rng);
        Cpu.r[15] = code;
        Cpu.cpsr = (rng() & 0xF0000000) | ModesToTry[rng() % 6] | FlagT;
        Cpu.traceFlag = static_cast<uint8_t>(rng() & 1);
        Cpu.breakFlag = 0;
        Cpu.cycleBudget = 1500;
        RunThumbLoop(Cpu);
        if (!(Cpu.cpsr & FlagT)) {
            ASSERT_EQ(Cpu.breakFlag, 1) << "left Thumb state without a break, round " << round;
        }
    }
}

}  // namespace
