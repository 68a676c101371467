// thumb_branch_test.cpp - Thumb branches, BL pairs, BX state changes, unrecognized opcodes and the fetch loop.
#include <cstdio>

#include "headless.h"
#include "thumb_harness.h"

namespace {

using ThumbBranch = ThumbMachine;
constexpr uint32_t N = FlagN, Z = FlagZ, C = FlagC, V = FlagV;

TEST_F(ThumbBranch, ConditionalBranchesFollowTheFlags) {
    struct {
        uint32_t condition, flags;
        bool taken;
    } const cases[] = {
        {0x0, Z, true},     {0x0, 0, false},     {0x1, 0, true},      {0x1, Z, false}, {0x2, C, true},
        {0x2, 0, false},    {0x3, 0, true},      {0x3, C, false},     {0x4, N, true},  {0x4, 0, false},
        {0x5, 0, true},     {0x5, N, false},     {0x6, V, true},      {0x6, 0, false}, {0x7, 0, true},
        {0x7, V, false},    {0x8, C, true},      {0x8, C | Z, false}, {0x8, 0, false}, {0x9, Z | C, true},
        {0x9, 0, true},     {0x9, C, false},     {0xA, N | V, true},  {0xA, 0, true},  {0xA, N, false},
        {0xB, V, true},     {0xB, N | V, false}, {0xC, 0, true},      {0xC, Z, false}, {0xC, N, false},
        {0xC, N | V, true}, {0xD, Z, true},      {0xD, N, true},      {0xD, 0, false}, {0xD, N | V, false},
    };
    for (const auto& c : cases) {
        SetFlags(c.flags);
        Load({static_cast<uint16_t>(0xD010 | c.condition << 8)}, ThumbCode + 0x100);
        EXPECT_EQ(Step(), 0);
        EXPECT_EQ(Cpu.r[15], c.taken ? ThumbCode + 0x124 : ThumbCode + 0x102)
            << "condition " << c.condition << " flags " << std::hex << c.flags;
    }
    Load({0xD1FC}, ThumbCode + 0x100);  // bne .-4
    Step();
    EXPECT_EQ(Cpu.r[15], ThumbCode + 0xFC);
}

TEST_F(ThumbBranch, UnconditionalBranchSpansPlusMinusTwoKilobytes) {
    Load({0xE3FF}, ThumbCode + 0x1000);
    Step();
    EXPECT_EQ(Cpu.r[15], ThumbCode + 0x1004 + 0x7FE);
    Load({0xE400}, ThumbCode + 0x1000);
    Step();
    EXPECT_EQ(Cpu.r[15], ThumbCode + 0x1004 - 0x800);
}

TEST_F(ThumbBranch, LongBranchWithLinkSpansPlusMinusFourMegabytes) {
    Load({0xF3FF, 0xFFFF});  // bl .+4+0x3FFFFE
    Step();
    EXPECT_EQ(Cpu.r[14], ThumbCode + 4 + 0x3FF000) << "the first half only prepares LR";
    Step();
    EXPECT_EQ(Cpu.r[15], ThumbCode + 4 + 0x3FFFFE);
    EXPECT_EQ(Cpu.r[14], (ThumbCode + 4) | 1);

    Load({0xF400, 0xF800}, ThumbCode + 0x10);  // bl .+4-0x400000
    EXPECT_EQ(Step(), 0);
    EXPECT_EQ(Step(), 0);
    EXPECT_EQ(Cpu.r[15], ThumbCode + 0x14 - 0x400000);
    EXPECT_EQ(Cpu.r[14], (ThumbCode + 0x14) | 1);
}

TEST_F(ThumbBranch, LoneSecondHalfBranchesRelativeToLr) {
    Cpu.r[14] = 0x02000100;
    Load({0xF810}, ThumbCode + 0x20);
    Step();
    EXPECT_EQ(Cpu.r[15], 0x02000120u);
    EXPECT_EQ(Cpu.r[14], (ThumbCode + 0x22) | 1);
}

TEST_F(ThumbBranch, BranchExchangeToAnOddAddressStaysInThumbState) {
    Cpu.r[1] = 0x02000101;
    Load({0x4708});  // bx r1
    Step();
    EXPECT_EQ(Cpu.r[15], 0x02000100u);
    EXPECT_TRUE(Cpu.cpsr & FlagT);
    EXPECT_EQ(Cpu.breakFlag, 0);
}

TEST_F(ThumbBranch, BranchExchangeToAnEvenAddressSwitchesToArmAndEndsTheLoop) {
    Cpu.r[1] = 0x02000106;
    Load({0x4708, 0x3001});  // bx r1; adds r0, #1 (must not run)
    Cpu.cycleBudget = 100;
    RunThumbLoop(Cpu);
    EXPECT_EQ(Cpu.r[15], 0x02000104u) << "ARM targets are word-aligned";
    EXPECT_FALSE(Cpu.cpsr & FlagT);
    EXPECT_EQ(Cpu.r[0], 0u);
    EXPECT_EQ(Cpu.breakFlag, 1);
    EXPECT_EQ(Cpu.cycleBudget, 0);
    EXPECT_EQ(Cpu.savedBudget, 99) << "the rest of the slice is parked for the ARM loop";

    Cpu.cpsr |= FlagT;
    Load({0x46C0, 0x4778});  // nop (mov r8, r8); bx pc
    Step();
    Step();
    EXPECT_EQ(Cpu.r[15], ThumbCode + 4) << "PC reads the instruction + 4, then aligns";
    EXPECT_FALSE(Cpu.cpsr & FlagT);
}

TEST_F(ThumbBranch, UnrecognizedOpcodesAreTracedNoOps) {
    const uint16_t rows[] = {0xB1, 0xB2, 0xB3, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xBB, 0xBE,
                             0xBF, 0xDE, 0xE8, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF};
    for (uint16_t row : rows) {
        for (uint32_t i = 0; i < 15; ++i) Cpu.r[i] = 0x1000 + i;
        SetFlags(Z | C);
        uint16_t opcode = static_cast<uint16_t>(row << 8 | 0x34);
        Cpu.traceFlag = 1;
        Headless::ClearConsoleText();
        Load({opcode}, ThumbCode + 0x40);
        EXPECT_EQ(Step(), 0);
        char expected[64];
        std::snprintf(expected, sizeof expected, "THUMB: Unrecognized opcode 0x%04X at 0x%08X\n", opcode,
                      ThumbCode + 0x40);
        EXPECT_EQ(Headless::ConsoleText(), expected);
        for (uint32_t i = 0; i < 15; ++i) EXPECT_EQ(Cpu.r[i], 0x1000 + i) << std::hex << opcode;
        EXPECT_EQ(Cpu.r[15], ThumbCode + 0x42);
        EXPECT_EQ(Flags(), Z | C);

        Cpu.traceFlag = 0;
        Headless::ClearConsoleText();
        Load({opcode});
        Step();
        EXPECT_EQ(Headless::ConsoleText(), "") << "silent without the trace switch";
    }
}

TEST_F(ThumbBranch, LoopChargesEachFetchAndStopsWhenTheBudgetIsSpent) {
    // Cartridge code: adds r0, #1; b .-2 (back to the add). A cartridge
    // halfword fetch costs 3 cycles after reset.
    BootWords(dir, {0xE7FD3001});
    Cpu.cpsr = ModeSystem | FlagT;
    Cpu.r[15] = 0x080000C0;
    Cpu.r[0] = 0;
    Cpu.cycleBudget = 31;
    RunThumbLoop(Cpu);
    EXPECT_EQ(Cpu.r[0], 6u) << "11 instructions, 6 of them adds";
    EXPECT_EQ(Cpu.cycleBudget, -2);
    EXPECT_EQ(Cpu.r[15], 0x080000C2u);
}

}  // namespace
