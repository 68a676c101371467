// arm_random_test.cpp - long random ARM instruction streams with random registers,
// modes and memory must run without harming the host (run it in the sanitizer build).
#include <gtest/gtest.h>

#include <random>

#include "arm_fixture.h"

namespace {

using ArmRandom = ArmTest;

// A register value that is either any 32-bit number or an address near the start
// of a random region, so that loads and stores reach every kind of memory.
uint32_t RandomValue(std::mt19937& rng) {
    uint32_t value = rng();
    switch (value & 3) {
    case 0: return value;
    case 1: return (value & 0x0F000000) | (rng() & 0x0003FFFF);
    case 2: return (value & 0xF0000000) | 0x03000000 | (rng() & 0x7FFF);
    default: return rng() & 0xFF;
    }
}

// Random words with mostly the AL condition, and branches kept near the code so
// that a stream runs for a while before it leaves.
uint32_t RandomInstruction(std::mt19937& rng) {
    uint32_t word = rng();
    if ((word >> 28) < 0xC) word = (word & 0x0FFFFFFF) | 0xE0000000;
    if (((word >> 25) & 7) == 5) word = (word & 0xFF000000) | ((rng() % 512 - 256) & 0xFFFFFF);
    return word;
}

TEST_F(ArmRandom, RandomStreamsRunWithoutFault) {
    constexpr uint32_t CodeBase = 0x03004000, CodeWords = 1024;
    const uint32_t modes[] = {ModeUser,   ModeFiq, ModeIrq, ModeSupervisor, ModeAbort, ModeUndefined,
                              ModeSystem, 0x00,    0x15};
    std::mt19937 rng(20261207);
    uint64_t instructions = 0;
    for (int round = 0; round < 2500; ++round) {
        for (int i = 0; i < 256; ++i) MemWrite32(CodeBase + 4 * (rng() % CodeWords), RandomInstruction(rng));
        SetCpsr(Cpu, (rng() & 0xF00000C0) | modes[rng() % std::size(modes)]);
        for (uint32_t& r : Cpu.r) r = RandomValue(rng);
        for (uint32_t& word : Cpu.bank) word = RandomValue(rng);
        Cpu.r[15] = CodeBase + 4 * (rng() % CodeWords);
        int outside = 0;
        for (int i = 0; i < 400 && !(Cpu.cpsr & FlagT); ++i, ++instructions) {
            Step();
            // Streams may run anywhere for a while, then return to the random code.
            outside = Cpu.r[15] - CodeBase < 4 * CodeWords ? 0 : outside + 1;
            if (outside > 16) Cpu.r[15] = CodeBase + 4 * (rng() % CodeWords);
        }
    }
    EXPECT_GT(instructions, 500000u);
    RecordProperty("instructions", std::to_string(instructions));
    for (uint32_t page = 0; page < PageCount; ++page) {
        ASSERT_NE(ReadPageTable[page], nullptr);
        ASSERT_NE(WritePageTable[page], nullptr);
    }
    // The machine still executes ordinary code afterwards.
    SetMode(ModeSystem);
    Cpu.r[0] = 2;
    Run({0xE0802000});  // ADD R2, R0, R0
    EXPECT_EQ(Cpu.r[2], 4u);
}

}  // namespace
