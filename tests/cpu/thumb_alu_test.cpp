// thumb_alu_test.cpp - flags, shifts, cycle costs and high-register rules of Thumb arithmetic.
#include "thumb_harness.h"

namespace {

constexpr uint32_t N = FlagN, Z = FlagZ, C = FlagC, V = FlagV;

// R0 := a, R1 := b, flags := in; run one instruction; expect R0 and the flags.
struct FlagCase {
    const char* name;
    uint16_t opcode;
    uint32_t a, b, in;
    uint32_t result, out;
};

class ThumbArithmetic : public ThumbMachine {
protected:
    void Check(const FlagCase& c) {
        Cpu.r[0] = c.a;
        Cpu.r[1] = c.b;
        SetFlags(c.in);
        Execute({c.opcode});
        EXPECT_EQ(Cpu.r[0], c.result) << c.name;
        EXPECT_EQ(Flags(), c.out) << c.name;
    }
};

TEST_F(ThumbArithmetic, AdditionSetsCarryAndOverflow) {
    const FlagCase cases[] = {
        {"adds r0, r0, r1 (wraps to zero)", 0x1840, 0xFFFFFFFF, 1, V, 0, Z | C},
        {"adds r0, r0, r1 (signed overflow)", 0x1840, 0x7FFFFFFF, 1, C, 0x80000000, N | V},
        {"adds r0, r0, #7", 0x1DC0, 0xFFFFFFF9, 0, N, 0, Z | C},
        {"adds r0, #255", 0x30FF, 0x7FFFFF01, 0, 0, 0x80000000, N | V},
        {"cmn r0, r1", 0x42C8, 0x80000000, 0x80000000, N, 0x80000000, Z | C | V},
        {"adcs r0, r1 (carry in)", 0x4148, 1, 1, C, 3, 0},
        {"adcs r0, r1 (carry in wraps)", 0x4148, 0xFFFFFFFF, 0, C, 0, Z | C},
        {"adcs r0, r1 (carry in overflows)", 0x4148, 0x7FFFFFFF, 0, C, 0x80000000, N | V},
        {"adcs r0, r1 (no carry in)", 0x4148, 0x7FFFFFFF, 0, 0, 0x7FFFFFFF, 0},
    };
    for (const FlagCase& c : cases) Check(c);
}

TEST_F(ThumbArithmetic, SubtractionSetsNotBorrowAndOverflow) {
    const FlagCase cases[] = {
        {"subs r0, r0, r1 (equal)", 0x1A40, 5, 5, N | V, 0, Z | C},
        {"subs r0, r0, r1 (borrow)", 0x1A40, 0, 1, C, 0xFFFFFFFF, N},
        {"subs r0, r0, r1 (overflow)", 0x1A40, 0x80000000, 1, 0, 0x7FFFFFFF, C | V},
        {"subs r0, r0, #1", 0x1E40, 0, 0, Z | C, 0xFFFFFFFF, N},
        {"subs r0, #1", 0x3801, 0x80000000, 0, 0, 0x7FFFFFFF, C | V},
        {"cmp r0, #1 (discards the result)", 0x2801, 1, 0, N, 1, Z | C},
        {"cmp r0, r1", 0x4288, 0x7FFFFFFF, 0xFFFFFFFF, 0, 0x7FFFFFFF, N | V},
        {"sbcs r0, r1 (no borrow in)", 0x4188, 5, 3, C, 2, C},
        {"sbcs r0, r1 (borrow in)", 0x4188, 5, 3, 0, 1, C},
        {"sbcs r0, r1 (borrow in wraps)", 0x4188, 0, 0, Z, 0xFFFFFFFF, N},
    };
    for (const FlagCase& c : cases) Check(c);
}

// The overflow of a subtraction is set when the operands differ in sign and
// the result's sign differs from the minuend's, borrow included. A rule that
// negates the subtrahend first gets 0x80000000 and borrow-in cases wrong.
TEST_F(ThumbArithmetic, SubtractionOverflowAgainstMostNegativeAndWithBorrow) {
    const FlagCase cases[] = {
        {"cmp r0, r1: 0 vs 0x80000000", 0x4288, 0, 0x80000000, 0, 0, N | V},
        {"cmp r0, r1: 0x80000000 vs 0x80000000", 0x4288, 0x80000000, 0x80000000, V, 0x80000000, Z | C},
        {"cmp r0, r1 (high form): 0 vs 0x80000000", 0x4508, 0, 0x80000000, 0, 0, N | V},
        {"subs r0, r0, r1: 1 - 0x80000000", 0x1A40, 1, 0x80000000, 0, 0x80000001, N | V},
        {"sbcs r0, r1: 0x80000000 - 0 - borrow", 0x4188, 0x80000000, 0, 0, 0x7FFFFFFF, C | V},
        {"sbcs r0, r1: 0x80000000 - 0x7FFFFFFF - borrow", 0x4188, 0x80000000, 0x7FFFFFFF, 0, 0, Z | C | V},
        {"sbcs r0, r1: 0 - 0x80000000", 0x4188, 0, 0x80000000, C, 0x80000000, N | V},
        {"sbcs r0, r1: 0 - 0x7FFFFFFF - borrow", 0x4188, 0, 0x7FFFFFFF, 0, 0x80000000, N},
    };
    for (const FlagCase& c : cases) Check(c);
}

TEST_F(ThumbArithmetic, NegateSetsCarryOnlyForZeroAndNeverOverflows) {
    const FlagCase cases[] = {
        {"negs r0, r1: 0", 0x4248, 7, 0, V, 0, Z | C},
        {"negs r0, r1: 0x80000000", 0x4248, 7, 0x80000000, V | C, 0x80000000, N},
        {"negs r0, r1: 1", 0x4248, 7, 1, Z, 0xFFFFFFFF, N},
    };
    for (const FlagCase& c : cases) Check(c);
}

TEST_F(ThumbArithmetic, LogicalOperationsKeepCarryAndOverflow) {
    const FlagCase cases[] = {
        {"ands r0, r1", 0x4008, 0xF0, 0x0F, C | V, 0, Z | C | V},
        {"eors r0, r1", 0x4048, 0x80000001, 1, C, 0x80000000, N | C},
        {"orrs r0, r1", 0x4308, 0x10, 0x01, N | Z | V, 0x11, V},
        {"bics r0, r1", 0x4388, 0xFF, 0x0F, Z, 0xF0, 0},
        {"mvns r0, r1", 0x43C8, 5, 0, C | V, 0xFFFFFFFF, N | C | V},
        {"tst r0, r1 (discards the result)", 0x4208, 0xF0, 0x0F, N | C, 0xF0, Z | C},
        {"movs r0, #0", 0x2000, 9, 0, N | C | V, 0, Z | C | V},
        {"movs r0, #255", 0x20FF, 9, 0, N | Z, 0xFF, 0},
        {"muls r0, r1 (clears C and V)", 0x4348, 3, 0xFFFFFFFF, C | V, 0xFFFFFFFD, N},
        {"muls r0, r1 (low 32 bits)", 0x4348, 0x10000, 0x10000, C, 0, Z},
    };
    for (const FlagCase& c : cases) Check(c);
}

// R1 := value, flags := C or not; run one immediate shift into R0.
struct ShiftCase {
    const char* name;
    uint16_t opcode;
    uint32_t value, amount;
    uint32_t result;
    int carry;  // 0, 1, or -1 for unchanged
};

class ThumbShifts : public ThumbMachine {
protected:
    // Runs the case with carry clear and with carry set; register shifts take the amount from R1.
    void Check(const ShiftCase& s, bool byRegister) {
        for (uint32_t carryIn : {0u, FlagC}) {
            Cpu.r[0] = byRegister ? s.value : 0xDEADBEEF;
            Cpu.r[1] = byRegister ? s.amount : s.value;
            SetFlags(carryIn | FlagV);
            int cost = Execute({s.opcode});
            EXPECT_EQ(Cpu.r[0], s.result) << s.name;
            uint32_t carry = s.carry < 0 ? carryIn : (s.carry ? FlagC : 0);
            uint32_t nz = (s.result & FlagN) | (s.result == 0 ? FlagZ : 0);
            EXPECT_EQ(Flags(), nz | carry | FlagV) << s.name << " with C=" << (carryIn != 0);
            EXPECT_EQ(cost, byRegister ? 1 : 0) << s.name;
        }
    }
};

TEST_F(ThumbShifts, ImmediateAmountZeroMeansThirtyTwoForRightShifts) {
    const ShiftCase cases[] = {
        {"lsls r0, r1, #0", 0x0008, 0x80000000, 0, 0x80000000, -1},
        {"lsls r0, r1, #1", 0x0048, 0x80000001, 1, 2, 1},
        {"lsls r0, r1, #31", 0x07C8, 3, 31, 0x80000000, 1},
        {"lsrs r0, r1, #32", 0x0808, 0x80000000, 32, 0, 1},
        {"lsrs r0, r1, #32 of a positive value", 0x0808, 0x7FFFFFFF, 32, 0, 0},
        {"lsrs r0, r1, #1", 0x0848, 0x80000001, 1, 0x40000000, 1},
        {"asrs r0, r1, #32", 0x1008, 0x80000000, 32, 0xFFFFFFFF, 1},
        {"asrs r0, r1, #32 of a positive value", 0x1008, 0x7FFFFFFF, 32, 0, 0},
        {"asrs r0, r1, #4", 0x1108, 0x80000018, 4, 0xF8000001, 1},
    };
    for (const ShiftCase& s : cases) Check(s, false);
}

TEST_F(ThumbShifts, RegisterAmountsUseTheLowByte) {
    const ShiftCase cases[] = {
        {"lsls r0, r1 by 0", 0x4088, 0x80000001, 0, 0x80000001, -1},
        {"lsls r0, r1 by 256", 0x4088, 0x80000001, 0x100, 0x80000001, -1},
        {"lsls r0, r1 by 1", 0x4088, 0x80000001, 1, 2, 1},
        {"lsls r0, r1 by 31", 0x4088, 3, 31, 0x80000000, 1},
        {"lsls r0, r1 by 32", 0x4088, 1, 32, 0, 1},
        {"lsls r0, r1 by 33", 0x4088, 0xFFFFFFFF, 33, 0, 0},
        {"lsrs r0, r1 by 0", 0x40C8, 0x80000000, 0, 0x80000000, -1},
        {"lsrs r0, r1 by 1", 0x40C8, 3, 1, 1, 1},
        {"lsrs r0, r1 by 32", 0x40C8, 0x80000000, 32, 0, 1},
        {"lsrs r0, r1 by 33", 0x40C8, 0xFFFFFFFF, 33, 0, 0},
        {"asrs r0, r1 by 0", 0x4108, 0x80000000, 0, 0x80000000, -1},
        {"asrs r0, r1 by 4", 0x4108, 0x80000018, 4, 0xF8000001, 1},
        {"asrs r0, r1 by 32", 0x4108, 0x80000000, 32, 0xFFFFFFFF, 1},
        {"asrs r0, r1 by 200", 0x4108, 0x40000000, 200, 0, 0},
        {"rors r0, r1 by 0", 0x41C8, 0x80000001, 0, 0x80000001, -1},
        {"rors r0, r1 by 4", 0x41C8, 0x18, 4, 0x80000001, 1},
        {"rors r0, r1 by 36", 0x41C8, 0x18, 36, 0x80000001, 1},
        {"rors r0, r1 by 31", 0x41C8, 0x80000001, 31, 3, 0},
        // Thumb takes the rotation modulo 32, so 32 rotates by nothing and keeps C.
        {"rors r0, r1 by 32", 0x41C8, 0x80000001, 32, 0x80000001, -1},
    };
    for (const ShiftCase& s : cases) Check(s, true);
}

TEST_F(ThumbArithmetic, MultiplyCostsFourCyclesOtherDataOperationsNone) {
    EXPECT_EQ(Execute({0x4348}), 4);  // muls r0, r1
    EXPECT_EQ(Execute({0x4188}), 0);  // sbcs r0, r1
    EXPECT_EQ(Execute({0x1840}), 0);  // adds r0, r0, r1
    EXPECT_EQ(Execute({0x4440}), 0);  // add r0, r8
}

TEST_F(ThumbArithmetic, HighRegisterOperationsLeaveFlags) {
    Cpu.r[0] = 0xFFFFFFFF;
    Cpu.r[8] = 1;
    SetFlags(N | V);
    Execute({0x4440});  // add r0, r8
    EXPECT_EQ(Cpu.r[0], 0u);
    EXPECT_EQ(Flags(), N | V);
    Cpu.r[0] = 0x1234;
    Execute({0x4680});  // mov r8, r0
    EXPECT_EQ(Cpu.r[8], 0x1234u);
    Execute({0x4480});  // add r8, r0
    EXPECT_EQ(Cpu.r[8], 0x2468u);
    EXPECT_EQ(Flags(), N | V);
    Execute({0x4580});  // cmp r8, r0
    EXPECT_EQ(Flags(), C);
}

TEST_F(ThumbArithmetic, HighRegisterReadsOfPcSeeTheInstructionPlusFour) {
    Load({0x4478}, ThumbCode + 0x102);  // add r0, pc
    Cpu.r[0] = 0x10;
    Step();
    EXPECT_EQ(Cpu.r[0], ThumbCode + 0x106 + 0x10) << "not word-aligned, unlike ADD Rd, PC, #imm";
    Load({0x4678}, ThumbCode + 0x20);  // mov r0, pc
    Step();
    EXPECT_EQ(Cpu.r[0], ThumbCode + 0x24);
    EXPECT_EQ(Cpu.r[15], ThumbCode + 0x22);
}

TEST_F(ThumbArithmetic, HighRegisterWritesToPcClearBitZero) {
    Load({0x4687});  // mov pc, r0
    Cpu.r[0] = 0x02000101;
    Step();
    EXPECT_EQ(Cpu.r[15], 0x02000100u);
    EXPECT_TRUE(Cpu.cpsr & FlagT) << "only BX changes state";
    Load({0x448F});  // add pc, r1
    Cpu.r[1] = 0x11;
    Step();
    EXPECT_EQ(Cpu.r[15], ThumbCode + 4 + 0x10);
}

}  // namespace
