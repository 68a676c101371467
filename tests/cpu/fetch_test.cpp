// fetch_test.cpp - instruction fetches of the inner loops: code running across
// a page boundary into a mirror, misaligned R15, and fetch costs that change
// while the loop runs.
#include <gtest/gtest.h>

#include "cpu/cpu.h"
#include "machine/memory.h"
#include "test_support.h"

namespace {

class Fetch : public ::testing::Test {
protected:
    void SetUp() override {
        BootWords(dir, {0xEAFFFFFE});  // B . (idle)
        for (uint32_t& r : Cpu.r) r = 0;
        Cpu.cpsr = ModeSystem;
        Cpu.breakFlag = 0;
    }
    TempDir dir;
};

// Internal work RAM is 32 KB mirrored through its region, so the page after
// 0x03004000 is not the next 16 KB of the buffer but its start again.
constexpr uint32_t WorkRamEnd = 0x03008000;

TEST_F(Fetch, ArmCodeRunsOnIntoTheMirrorOfWorkRam) {
    MemWrite32(WorkRamEnd - 8, 0xE3A00001);  // MOV R0, #1
    MemWrite32(WorkRamEnd - 4, 0xE3A01002);  // MOV R1, #2
    MemWrite32(0x03000000, 0xE3A02003);      // MOV R2, #3, seen at 0x03008000
    MemWrite32(0x03000004, 0xEAFFFFFE);      // B .
    Cpu.r[15] = WorkRamEnd - 8;
    Cpu.cycleBudget = 4;  // four fetches of one cycle
    RunArmLoop(Cpu);
    EXPECT_EQ(Cpu.r[0], 1u);
    EXPECT_EQ(Cpu.r[1], 2u);
    EXPECT_EQ(Cpu.r[2], 3u);
    EXPECT_EQ(Cpu.r[15], WorkRamEnd + 4);
    EXPECT_EQ(Cpu.cycleBudget, 0);
}

TEST_F(Fetch, ThumbCodeRunsOnIntoTheMirrorOfWorkRam) {
    Cpu.cpsr |= FlagT;
    MemWrite16(WorkRamEnd - 4, 0x2001);  // MOVS R0, #1
    MemWrite16(WorkRamEnd - 2, 0x2102);  // MOVS R1, #2
    MemWrite16(0x03000000, 0x2203);      // MOVS R2, #3, seen at 0x03008000
    MemWrite16(0x03000002, 0xE7FE);      // B .
    Cpu.r[15] = WorkRamEnd - 4;
    Cpu.cycleBudget = 4;
    RunThumbLoop(Cpu);
    EXPECT_EQ(Cpu.r[0], 1u);
    EXPECT_EQ(Cpu.r[1], 2u);
    EXPECT_EQ(Cpu.r[2], 3u);
    EXPECT_EQ(Cpu.r[15], WorkRamEnd + 2);
}

TEST_F(Fetch, MisalignedArmR15FetchesTheWordShiftedRight) {
    // MOV PC, R3 with R3 two bytes into a word: the next fetch is that word
    // shifted right by 16, 0x0000E3A0 = ANDEQ R14, R0, R0, LSR #7, and R15
    // keeps its misalignment.
    constexpr uint32_t Code = 0x03001000;
    MemWrite32(Code, 0xE1A0F003);  // MOV PC, R3
    MemWrite32(Code + 0x10, 0xE3A00000);
    Cpu.r[3] = Code + 0x12;
    Cpu.r[0] = 0xFF00;
    Cpu.cpsr |= FlagZ;
    Cpu.r[15] = Code;
    Cpu.cycleBudget = 2;
    RunArmLoop(Cpu);
    EXPECT_EQ(Cpu.r[14], 0xFF00u & (0xFF00u >> 7));
    EXPECT_EQ(Cpu.r[15], Code + 0x16);
}

TEST_F(Fetch, AWaitControlWriteChangesTheCostOfTheNextFetch) {
    // From the cartridge a word fetch costs 6 cycles after reset; WAITCNT = 0x10
    // makes it 4 from the instruction after the store on, within the same loop.
    BootWords(dir, {
                       0xE3A00301,  // MOV R0, #0x04000000
                       0xE2800C02,  // ADD R0, R0, #0x200
                       0xE3A01010,  // MOV R1, #0x10
                       0xE1C010B4,  // STRH R1, [R0, #4]: WAITCNT, one cycle
                       0xE3A02001,  // MOV R2, #1
                       0xEAFFFFFE,  // B .
                   });
    Cpu.cpsr = ModeSystem;
    Cpu.r[15] = 0x080000C0;
    Cpu.cycleBudget = 4 * 6 + 1 + 4;
    RunArmLoop(Cpu);
    EXPECT_EQ(Cpu.r[2], 1u);
    EXPECT_EQ(Cpu.r[15], 0x080000D4u);
    EXPECT_EQ(Cpu.cycleBudget, 0) << "the move after the store is charged the new cost";
}

}  // namespace
