// arm_control_test.cpp - ARM status transfers and banking, branches, BX and the
// loop's break, multiplies, software interrupts and interrupt entry and return.
#include <gtest/gtest.h>

#include "arm_fixture.h"
#include "machine/cartridge.h"

namespace {

constexpr uint32_t N = FlagN, Z = FlagZ, C = FlagC, V = FlagV;

uint32_t& Banked(int word) { return Cpu.bank[word - BankWord::Reserved17]; }

using ArmControl = ArmTest;

TEST_F(ArmControl, StatusReadsOfCpsrAndSpsr) {
    SetMode(ModeIrq, C | FlagI);
    Banked(BankWord::SpsrIrq) = 0x8000001F;
    Run({0xE10F2000});  // MRS R2, CPSR
    EXPECT_EQ(Cpu.r[2], C | FlagI | ModeIrq);
    Run({0xE14F2000});  // MRS R2, SPSR
    EXPECT_EQ(Cpu.r[2], 0x8000001Fu);
    SetMode(ModeSystem);
    Cpu.r[2] = 0x1234;
    Run({0xE14F2000});  // no SPSR in System mode: R2 keeps its value
    EXPECT_EQ(Cpu.r[2], 0x1234u);
}

TEST_F(ArmControl, StatusWritesWithoutTheControlFieldOnlyChangeFlags) {
    Run({0xE328F20F});  // MSR CPSR_f, #0xF0000000
    EXPECT_EQ(Cpu.cpsr, N | Z | C | V | ModeSystem);
    SetMode(ModeUser);
    Cpu.r[0] = 0x6000001F;
    Run({0xE121F000});  // MSR CPSR_c, R0 in User mode
    EXPECT_EQ(Cpu.cpsr, Z | C | ModeUser);
    EXPECT_FALSE(Cpu.breakFlag);
}

TEST_F(ArmControl, StatusWriteWithControlFieldSwitchesBanksAndBreaks) {
    Cpu.r[13] = 0x111;
    Cpu.r[14] = 0x112;
    Banked(BankWord::IrqR13) = 0x221;
    Banked(BankWord::IrqR13 + 1) = 0x222;
    Cpu.r[0] = N | 0xD2;
    Run({0xE121F000});  // MSR CPSR_c, R0: the whole operand, flags included
    EXPECT_EQ(Cpu.cpsr, N | 0xD2u);
    EXPECT_EQ(Cpu.r[13], 0x221u);
    EXPECT_EQ(Cpu.r[14], 0x222u);
    EXPECT_TRUE(Cpu.breakFlag);
    Cpu.r[13] = 0x331;
    Run({0xE3A0D005, 0xE321F01F});  // MOV SP, #5; MSR CPSR_c, #0x1F
    EXPECT_EQ(Cpu.r[13], 0x111u);
    EXPECT_EQ(Banked(BankWord::IrqR13), 5u);
}

TEST_F(ArmControl, FiqAndUndefinedShareTheirStack) {
    SetMode(ModeFiq);
    Cpu.r[13] = 0xF13;
    Cpu.r[0] = ModeUndefined;
    Run({0xE121F000});  // MSR CPSR_c, R0
    EXPECT_EQ(Cpu.cpsr & ModeMask, ModeUndefined);
    EXPECT_EQ(Cpu.r[13], 0xF13u);
}

TEST_F(ArmControl, SpsrWritesInModesWithAndWithoutSpsr) {
    SetMode(ModeSupervisor);
    Banked(BankWord::SpsrSvc) = 0x0000001F;
    Cpu.r[0] = 0xA00000D7;
    Run({0xE168F000});  // MSR SPSR_f, R0
    EXPECT_EQ(Banked(BankWord::SpsrSvc), 0xA000001Fu);
    Run({0xE169F000});  // MSR SPSR_fc, R0
    EXPECT_EQ(Banked(BankWord::SpsrSvc), 0xA00000D7u);
    SetMode(ModeSystem);
    uint32_t before[23];
    std::copy(std::begin(Cpu.bank), std::end(Cpu.bank), before);
    Run({0xE36FF01F});  // MSR SPSR_fsxc, #0x1F: no SPSR, nothing changes
    EXPECT_TRUE(std::equal(std::begin(Cpu.bank), std::end(Cpu.bank), before));
    EXPECT_EQ(Cpu.cpsr, ModeSystem);
}

TEST_F(ArmControl, BranchOffsetsCountFromEightAhead) {
    Run({0xEA00003E});  // B .+0x100
    EXPECT_EQ(Cpu.r[15], CodeAddress + 0x100);
    Run({0xEBFFFFFC});  // BL .-8
    EXPECT_EQ(Cpu.r[15], CodeAddress - 8);
    EXPECT_EQ(Cpu.r[14], CodeAddress + 4);
    EXPECT_EQ(ExtraCycles(), 0);
}

TEST_F(ArmControl, BranchExchangeToThumbEndsTheLoopAfterIt) {
    MemWrite32(CodeAddress, 0xE12FFF10);      // BX R0
    MemWrite32(CodeAddress + 4, 0xE3A02001);  // MOV R2, #1 (must not run)
    Cpu.r[0] = 0x08000101;
    Cpu.r[15] = CodeAddress;
    Cpu.cycleBudget = 100;
    RunArmLoop(Cpu);
    EXPECT_EQ(Cpu.r[15], 0x08000100u);
    EXPECT_EQ(Cpu.cpsr, FlagT | ModeSystem);
    EXPECT_EQ(Cpu.r[2], 0u);
    EXPECT_TRUE(Cpu.breakFlag);
    EXPECT_EQ(Cpu.savedBudget, 100 - AccessCost32[3]);
}

TEST_F(ArmControl, BranchExchangeStayingInArmAlignsAndDoesNotBreak) {
    Cpu.r[0] = 0x08000206;
    Run({0xE12FFF10});  // BX R0
    EXPECT_EQ(Cpu.r[15], 0x08000204u);
    EXPECT_EQ(Cpu.cpsr, ModeSystem);
    EXPECT_FALSE(Cpu.breakFlag);
}

TEST_F(ArmControl, MultipliesAndTheirCosts) {
    struct Case {
        const char* name;
        uint32_t opcode;  // Rd/RdLo = R2, RdHi = R3, Rm = R0, Rs = R1, Rn = R3 for MLA
        uint32_t r0, r1, r2, r3;
        uint32_t low, high;
        int cycles;
    };
    const Case cases[] = {
        {"MUL keeps the low word", 0xE0020190, 0x10000, 0x10001, 0, 7, 0x10000, 7, 4},
        {"MLA adds Rn", 0xE0223190, 3, 4, 0, 5, 17, 5, 5},
        {"UMULL", 0xE0832190, 0xFFFFFFFF, 2, 0, 0, 0xFFFFFFFE, 1, 5},
        {"UMLAL carries into the high word", 0xE0A32190, 1, 1, 0xFFFFFFFF, 0, 0, 1, 6},
        {"SMULL of -1 and 1", 0xE0C32190, 0xFFFFFFFF, 1, 0, 0, 0xFFFFFFFF, 0xFFFFFFFF, 5},
        {"SMLAL adds a signed product", 0xE0E32190, 0xFFFFFFFF, 1, 5, 0, 4, 0, 6},
        {"SMULL of the most negative", 0xE0C32190, 0x80000000, 0x80000000, 0, 0, 0, 0x40000000, 5},
    };
    for (const Case& c : cases) {
        Cpu.r[0] = c.r0;
        Cpu.r[1] = c.r1;
        Cpu.r[2] = c.r2;
        Cpu.r[3] = c.r3;
        Run({c.opcode});
        EXPECT_EQ(Cpu.r[2], c.low) << c.name;
        EXPECT_EQ(Cpu.r[3], c.high) << c.name;
        EXPECT_EQ(ExtraCycles(), c.cycles) << c.name;
        EXPECT_EQ(Cpu.cpsr, ModeSystem) << c.name;
    }
}

TEST_F(ArmControl, MultiplyFlags) {
    SetMode(ModeSystem, Z | C | V);
    Cpu.r[0] = 0xFFFFFFFF;
    Cpu.r[1] = 1;
    Run({0xE0120190});  // MULS R2, R0, R1: N and Z from the result, C and V cleared
    EXPECT_EQ(Flags(), N);
    SetMode(ModeSystem, C | V);
    Cpu.r[0] = 0;
    Run({0xE0D32190});  // SMULLS R2, R3, R0, R1: zero in both words, C and V kept
    EXPECT_EQ(Flags(), Z | C | V);
    Cpu.r[0] = 0x80000000;
    Cpu.r[1] = 2;
    Run({0xE0932190});  // UMULLS: 0x1_00000000, Z only when both words are zero
    EXPECT_EQ(Flags(), C | V);
    Cpu.r[1] = 0xFFFFFFFF;
    Run({0xE0D32190});  // SMULLS: negative product, N from the high word
    EXPECT_EQ(Flags(), C | V);
    EXPECT_EQ(Cpu.r[3], 0u);
    Cpu.r[0] = 0x7FFFFFFF;
    Run({0xE0D32190});
    EXPECT_EQ(Flags(), N | C | V);
}

TEST_F(ArmControl, LongMultiplyWritesTheHighWordLast) {
    Cpu.r[0] = 0xFFFFFFFF;
    Cpu.r[1] = 2;
    Run({0xE0822190});  // UMULL R2, R2, R0, R1
    EXPECT_EQ(Cpu.r[2], 1u);
}

TEST_F(ArmControl, SoftwareInterruptEntersALoadedBiosAtItsVector) {
    BiosLoaded = true;
    SetMode(ModeSystem, C);
    Run({0xEF123456});  // SWI 0x123456
    BiosLoaded = false;
    EXPECT_EQ(Cpu.r[15], 0x08u);
    EXPECT_EQ(Cpu.cpsr & ModeMask, ModeSupervisor);
    EXPECT_EQ(Cpu.r[14], CodeAddress + 4);
    EXPECT_EQ(Banked(BankWord::SpsrSvc), C | ModeSystem);
}

// The interrupt enters through the BIOS stub at 0x18, which saves R0-R3, R12 and
// LR, calls the handler whose address is at 0x03007FFC and returns with
// SUBS PC, LR, #4 to the interrupted instruction.
TEST_F(ArmControl, InterruptEntersAndReturnsThroughTheStub) {
    const uint32_t loop[] = {0xE2855001, 0xEAFFFFFD};  // ADD R5, R5, #1; B .-4
    const uint32_t handler[] = {
        0xE2866001,  // ADD R6, R6, #1
        0xE3A01301,  // MOV R1, #0x04000000
        0xE5811208,  // STR R1, [R1, #0x208]: IME := 0 acknowledges
        0xE12FFF1E,  // BX LR
    };
    for (size_t i = 0; i < std::size(loop); ++i) MemWrite32(CodeAddress + 4 * i, loop[i]);
    for (size_t i = 0; i < std::size(handler); ++i) MemWrite32(0x03002000 + 4 * i, handler[i]);
    MemWrite32(0x03007FFC, 0x03002000);
    SetMode(ModeSystem, Z | C);
    for (uint32_t i = 0; i < 4; ++i) Cpu.r[i] = 0x100 + i;
    Cpu.r[12] = 0x112;
    Cpu.r[13] = 0x03007F00;
    Cpu.r[14] = 0x114;
    Cpu.r[15] = CodeAddress;
    Banked(BankWord::IrqR13) = 0x03007FA0;
    Cpu.cycleBudget = 100;
    RequestIrqCheck(Cpu);
    RunCpu(Cpu);

    EXPECT_EQ(Cpu.r[6], 1u) << "the handler ran once";
    EXPECT_GT(Cpu.r[5], 1000u) << "the interrupted loop went on";
    EXPECT_EQ(Cpu.cpsr, Z | C | ModeSystem);
    for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(Cpu.r[i], 0x100 + i);
    EXPECT_EQ(Cpu.r[12], 0x112u);
    EXPECT_EQ(Cpu.r[13], 0x03007F00u);
    EXPECT_EQ(Cpu.r[14], 0x114u);
    EXPECT_EQ(Banked(BankWord::IrqR13), 0x03007FA0u) << "the stub's stack is balanced";
    EXPECT_EQ(Banked(BankWord::SpsrIrq), Z | C | ModeSystem);
    uint32_t returnAddress = Banked(BankWord::IrqR13 + 1) - 4;
    EXPECT_TRUE(returnAddress == CodeAddress || returnAddress == CodeAddress + 4)
        << "R14_irq is the interrupted instruction + 4";
}

}  // namespace
