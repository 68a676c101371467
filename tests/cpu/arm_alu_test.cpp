// arm_alu_test.cpp - ARM data processing: conditions, arithmetic and logical flags,
// the operand shifter, R15 as an operand and S-bit writes to R15.
#include <gtest/gtest.h>

#include "arm_fixture.h"

namespace {

constexpr uint32_t N = FlagN, Z = FlagZ, C = FlagC, V = FlagV;

struct ShiftCase {
    const char* name;
    uint32_t opcode;  // MOVS R2, R0, <shift>
    uint32_t r1;      // amount register for register shifts
    uint32_t carryIn;
    uint32_t result;
    uint32_t carryOut;
};

class ArmAlu : public ArmTest {
protected:
    template <size_t Count>
    void CheckShifts(const ShiftCase (&cases)[Count], int extra) {
        for (const ShiftCase& c : cases) {
            SetMode(ModeSystem, c.carryIn);
            Cpu.r[0] = 0x90000009;  // bits 31, 28, 3 and 0
            Cpu.r[1] = c.r1;
            Run({c.opcode});
            EXPECT_EQ(Cpu.r[2], c.result) << c.name;
            EXPECT_EQ(Cpu.cpsr & C, c.carryOut) << c.name;
            EXPECT_EQ(Cpu.cpsr & N, c.result & N) << c.name;
            EXPECT_EQ(ExtraCycles(), extra) << c.name;
        }
    }
};

TEST_F(ArmAlu, ConditionsCompareSignedAndUnsigned) {
    struct Case {
        uint32_t opcode;  // MOVcc R2, #1
        uint32_t flags;
        bool executes;
    };
    const Case cases[] = {
        {0x03A02001, Z, true},      {0x13A02001, Z, false},         // EQ, NE
        {0x83A02001, C, true},      {0x83A02001, C | Z, false},     // HI
        {0x93A02001, 0, true},      {0x93A02001, C, false},         // LS
        {0xA3A02001, N | V, true},  {0xA3A02001, N, false},         // GE
        {0xB3A02001, V, true},      {0xB3A02001, 0, false},         // LT
        {0xC3A02001, 0, true},      {0xC3A02001, Z, false},         // GT
        {0xC3A02001, N, false},     {0xD3A02001, Z | N | V, true},  // GT, LE
        {0xD3A02001, N | V, false}, {0xE3A02001, 0, true},          // LE, AL
    };
    for (const Case& c : cases) {
        Cpu.r[2] = 0;
        SetMode(ModeSystem, c.flags);
        Run({c.opcode});
        EXPECT_EQ(Cpu.r[2], c.executes ? 1u : 0u) << std::hex << c.opcode << " flags " << c.flags;
        EXPECT_EQ(ExtraCycles(), 0) << "a failed condition costs only the fetch";
    }
}

TEST_F(ArmAlu, ConditionFifteenExecutesNothing) {
    SetMode(ModeSystem, Z | C);
    Cpu.r[2] = 7;
    Run({0xF3A02001});  // MOV R2, #1 with condition 15
    EXPECT_EQ(Cpu.r[2], 7u);
    EXPECT_EQ(Cpu.r[15], CodeAddress + 4);
    EXPECT_EQ(Cpu.cpsr, Z | C | ModeSystem);
}

TEST_F(ArmAlu, ArithmeticSetsCarryAndOverflowForEveryForm) {
    struct Case {
        const char* name;
        uint32_t opcode;  // <op>S R2, R0, R1 (compares: R0, R1)
        uint32_t r0, r1;
        uint32_t carryIn;
        uint32_t result;
        uint32_t flags;
    };
    const Case cases[] = {
        {"ADDS wraps to zero", 0xE0902001, 0xFFFFFFFF, 1, 0, 0, Z | C},
        {"ADDS signed overflow", 0xE0902001, 0x7FFFFFFF, 1, 0, 0x80000000, N | V},
        {"ADDS both negative", 0xE0902001, 0x80000000, 0x80000000, 0, 0, Z | C | V},
        {"ADCS carry-in carries out", 0xE0B02001, 0xFFFFFFFF, 0, C, 0, Z | C},
        {"ADCS carry-in overflows", 0xE0B02001, 0x7FFFFFFF, 0, C, 0x80000000, N | V},
        {"SUBS no borrow", 0xE0502001, 5, 3, 0, 2, C},
        {"SUBS borrow", 0xE0502001, 3, 5, 0, 0xFFFFFFFE, N},
        {"SUBS overflow", 0xE0502001, 0x80000000, 1, 0, 0x7FFFFFFF, C | V},
        {"SUBS minus most negative", 0xE0502001, 0, 0x80000000, 0, 0x80000000, N | V},
        {"SBCS borrow-in", 0xE0D02001, 5, 3, 0, 1, C},
        {"SBCS borrow-in wraps", 0xE0D02001, 0, 0, 0, 0xFFFFFFFF, N},
        {"SBCS borrow-in overflows", 0xE0D02001, 0x80000000, 0, 0, 0x7FFFFFFF, C | V},
        {"SBCS carry set", 0xE0D02001, 0x80000000, 0, C, 0x80000000, N | C},
        {"RSBS reversed", 0xE0702001, 1, 0, 0, 0xFFFFFFFF, N},
        {"RSCS borrow-in overflows", 0xE0F02001, 0, 0x80000000, 0, 0x7FFFFFFF, C | V},
        {"CMP 0, most negative", 0xE1500001, 0, 0x80000000, 0, 0, N | V},
        {"CMP most negative, itself", 0xE1500001, 0x80000000, 0x80000000, 0, 0, Z | C},
        {"CMP -1, 1", 0xE1500001, 0xFFFFFFFF, 1, 0, 0, N | C},
        {"CMN both negative", 0xE1700001, 0x80000000, 0x80000000, 0, 0, Z | C | V},
    };
    for (const Case& c : cases) {
        SetMode(ModeSystem, c.carryIn | (~c.flags & (N | Z | V)));  // start from the opposite N, Z, V
        Cpu.r[0] = c.r0;
        Cpu.r[1] = c.r1;
        Cpu.r[2] = 0xDEADBEEF;
        Run({c.opcode});
        bool compare = (c.opcode & 0x01800000) == 0x01000000;
        EXPECT_EQ(Cpu.r[2], compare ? 0xDEADBEEFu : c.result) << c.name;
        EXPECT_EQ(Flags(), c.flags) << c.name;
    }
}

TEST_F(ArmAlu, WithoutSArithmeticLeavesFlags) {
    SetMode(ModeSystem, N | Z | C | V);
    Cpu.r[0] = 5;
    Cpu.r[1] = 3;
    Run({0xE0C02001});  // SBC R2, R0, R1 (carry set: no borrow)
    EXPECT_EQ(Cpu.r[2], 2u);
    Run({0xE0A02001});  // ADC R2, R0, R1
    EXPECT_EQ(Cpu.r[2], 9u);
    EXPECT_EQ(Flags(), N | Z | C | V);
}

TEST_F(ArmAlu, LogicalFlagsTakeTheShifterCarryAndKeepOverflow) {
    SetMode(ModeSystem, N | V);
    Cpu.r[0] = 1;
    Run({0xE11000A0});  // TST R0, R0, LSR #1: 1 AND 0, carry-out bit 0
    EXPECT_EQ(Flags(), Z | C | V);
    Cpu.r[0] = 0xF0;
    Cpu.r[1] = 0xFF;
    Run({0xE0302001});  // EORS R2, R0, R1 with an unshifted register: carry unchanged
    EXPECT_EQ(Cpu.r[2], 0x0Fu);
    EXPECT_EQ(Flags(), C | V);
}

TEST_F(ArmAlu, ImmediateShiftsIncludingTheZeroAmountForms) {
    const ShiftCase cases[] = {
        {"LSL #0 keeps C set", 0xE1B02000, 0, C, 0x90000009, C},
        {"LSL #0 keeps C clear", 0xE1B02000, 0, 0, 0x90000009, 0},
        {"LSL #4", 0xE1B02200, 0, 0, 0x00000090, C},
        {"LSR #4", 0xE1B02220, 0, 0, 0x09000000, C},
        {"LSR #0 is LSR #32", 0xE1B02020, 0, 0, 0, C},
        {"ASR #4", 0xE1B02240, 0, 0, 0xF9000000, C},
        {"ASR #0 is ASR #32", 0xE1B02040, 0, 0, 0xFFFFFFFF, C},
        {"ROR #4", 0xE1B02260, 0, 0, 0x99000000, C},
        {"RRX with C clear", 0xE1B02060, 0, 0, 0x48000004, C},
        {"RRX with C set", 0xE1B02060, 0, C, 0xC8000004, C},
        {"LSL #31", 0xE1B02F80, 0, C, 0x80000000, 0},
    };
    CheckShifts(cases, 0);
}

TEST_F(ArmAlu, RegisterShiftsForAllAmountsCostOneCycle) {
    const ShiftCase cases[] = {
        {"LSL by 0 keeps C", 0xE1B02110, 0, C, 0x90000009, C},
        {"LSL by 4", 0xE1B02110, 4, 0, 0x00000090, C},
        {"LSL uses the low byte", 0xE1B02110, 0x104, 0, 0x00000090, C},
        {"LSL by 32", 0xE1B02110, 32, 0, 0, C},
        {"LSL by 33", 0xE1B02110, 33, C, 0, 0},
        {"LSR by 0 keeps C", 0xE1B02130, 0, 0, 0x90000009, 0},
        {"LSR by 4", 0xE1B02130, 4, 0, 0x09000000, C},
        {"LSR by 32", 0xE1B02130, 32, 0, 0, C},
        {"LSR by 33", 0xE1B02130, 33, C, 0, 0},
        {"ASR by 4", 0xE1B02150, 4, 0, 0xF9000000, C},
        {"ASR by 32", 0xE1B02150, 32, 0, 0xFFFFFFFF, C},
        {"ASR by 200", 0xE1B02150, 200, 0, 0xFFFFFFFF, C},
        {"ROR by 4", 0xE1B02170, 4, 0, 0x99000000, C},
        {"ROR by 32 keeps the value and clears C", 0xE1B02170, 32, C, 0x90000009, 0},
        {"ROR by 36 rotates by 4", 0xE1B02170, 36, 0, 0x99000000, C},
        {"ROR by 64", 0xE1B02170, 64, C, 0x90000009, 0},
        {"ROR by 0 keeps C", 0xE1B02170, 0, C, 0x90000009, C},
    };
    CheckShifts(cases, 1);
}

TEST_F(ArmAlu, RotatedImmediateNeverChangesCarry) {
    for (uint32_t carry : {0u, C}) {
        SetMode(ModeSystem, carry);
        Run({0xE3B02102});  // MOVS R2, #0x80000000
        EXPECT_EQ(Cpu.r[2], 0x80000000u);
        EXPECT_EQ(Flags(), N | carry);
    }
    Run({0xE3A024FF});  // MOV R2, #0xFF000000 (0xFF rotated right by 8)
    EXPECT_EQ(Cpu.r[2], 0xFF000000u);
}

TEST_F(ArmAlu, R15ReadsEightAheadOrTwelveWithARegisterShift) {
    Run({0xE1A0200F});  // MOV R2, PC
    EXPECT_EQ(Cpu.r[2], CodeAddress + 8);
    Cpu.r[0] = 0x100;
    Run({0xE08F2000});  // ADD R2, PC, R0
    EXPECT_EQ(Cpu.r[2], CodeAddress + 8 + 0x100);
    Cpu.r[1] = 0;
    Run({0xE08F2110});  // ADD R2, PC, R0, LSL R1
    EXPECT_EQ(Cpu.r[2], CodeAddress + 12 + 0x100);
    Run({0xE1A0211F});  // MOV R2, PC, LSL R1
    EXPECT_EQ(Cpu.r[2], CodeAddress + 12);
    Cpu.r[0] = 0x80000000;
    Run({0xE1A02F50});  // MOV R2, R0, ASR PC: the amount is (address + 12) AND 0xFF = 12
    EXPECT_EQ(Cpu.r[2], 0xFFF80000u);
    EXPECT_EQ(Cpu.r[15], CodeAddress + 4) << "R15 is restored after the operand reads";
}

TEST_F(ArmAlu, ResultWrittenToR15IsTheNextFetchAddressAsItIs) {
    Cpu.r[0] = 0x08000123;
    Run({0xE1A0F000});  // MOV PC, R0
    EXPECT_EQ(Cpu.r[15], 0x08000123u);
    EXPECT_EQ(Cpu.cpsr, ModeSystem);
}

TEST_F(ArmAlu, SBitWriteToR15RestoresCpsrFromSpsr) {
    SetMode(ModeIrq, N | FlagI);
    *CurrentSpsr(Cpu) = C | V | FlagT | ModeSystem;
    Cpu.r[14] = 0x08000201;
    Run({0xE1B0F00E});  // MOVS PC, LR
    EXPECT_EQ(Cpu.r[15], 0x08000201u);
    EXPECT_EQ(Cpu.cpsr, C | V | FlagT | ModeSystem);
    EXPECT_TRUE(Cpu.breakFlag) << "the mode and state change ends the inner loop";

    SetMode(ModeIrq);
    *CurrentSpsr(Cpu) = ModeUser;
    Cpu.r[14] = 0x08000304;
    Run({0xE25EF004});  // SUBS PC, LR, #4
    EXPECT_EQ(Cpu.r[15], 0x08000300u);
    EXPECT_EQ(Cpu.cpsr, ModeUser);
}

TEST_F(ArmAlu, SBitWriteToR15WithoutSpsrOnlyMoves) {
    SetMode(ModeSystem, Z);
    Cpu.r[14] = 0x08000400;
    Run({0xE1B0F00E});  // MOVS PC, LR
    EXPECT_EQ(Cpu.r[15], 0x08000400u);
    EXPECT_EQ(Cpu.cpsr, Z | ModeSystem);

    SetMode(ModeUser, Z);
    Cpu.r[0] = 0xFFFFFFFF;
    Cpu.r[1] = 0x08000001;
    Run({0xE090F001});  // ADDS PC, R0, R1: no flags from the result
    EXPECT_EQ(Cpu.r[15], 0x08000000u);
    EXPECT_EQ(Cpu.cpsr, Z | ModeUser);

    Cpu.r[0] = 0x10000001;
    Run({0xE1B0F0A0});  // MOVS PC, R0, LSR #1: the shifter carry still reaches C
    EXPECT_EQ(Cpu.r[15], 0x08000000u);
    EXPECT_EQ(Cpu.cpsr, Z | C | ModeUser);
}

TEST_F(ArmAlu, CompareWithR15DestinationRestoresWithoutComputingFlags) {
    SetMode(ModeSupervisor, Z);
    *CurrentSpsr(Cpu) = N | ModeSystem;
    Cpu.r[0] = 1;
    Cpu.r[1] = 1;
    Run({0xE150F001});  // CMP R0, R1 with Rd field 15
    EXPECT_EQ(Cpu.cpsr, N | ModeSystem);
    EXPECT_EQ(Cpu.r[15], CodeAddress + 4);
}

}  // namespace
