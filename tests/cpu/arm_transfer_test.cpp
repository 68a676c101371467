// arm_transfer_test.cpp - ARM memory transfers: single, halfword and signed, block
// transfers and swaps, with their addressing forms, alignment rules and costs.
#include <gtest/gtest.h>

#include "arm_fixture.h"

namespace {

constexpr uint32_t D = ArmTest::DataAddress;

class ArmTransfer : public ArmTest {
protected:
    void SetUp() override {
        ArmTest::SetUp();
        for (uint32_t i = 0; i < 16; ++i) MemWrite32(D - 0x20 + 4 * i, 0x11111111 * (i & 7) + 0x01020304);
        MemWrite32(D, 0xA1B2C3D4);
        MemWrite32(D + 4, 0x8899AABB);
    }
};

TEST_F(ArmTransfer, WordLoadsShiftUnalignedWordsRightWithZeros) {
    Cpu.r[0] = D;
    Run({0xE5902000});  // LDR R2, [R0]
    EXPECT_EQ(Cpu.r[2], 0xA1B2C3D4u);
    EXPECT_EQ(ExtraCycles(), AccessCost32[2] + 1);
    Cpu.r[0] = D + 1;
    Run({0xE5902000});
    EXPECT_EQ(Cpu.r[2], 0x00A1B2C3u);
    Cpu.r[0] = D + 3;
    Run({0xE5902000});
    EXPECT_EQ(Cpu.r[2], 0x000000A1u);
    Run({0xE5D02003});  // LDRB R2, [R0, #3]: byte at D + 6
    EXPECT_EQ(Cpu.r[2], 0x99u);
    EXPECT_EQ(ExtraCycles(), AccessCost16[2] + 1);
}

TEST_F(ArmTransfer, WordStoresRotateUnalignedValues) {
    Cpu.r[0] = D + 4 + 4;
    Cpu.r[2] = 0x11223344;
    Run({0xE5202004});  // STR R2, [R0, #-4]!
    EXPECT_EQ(PeekWord(D + 4), 0x11223344u);
    EXPECT_EQ(Cpu.r[0], D + 4);
    EXPECT_EQ(ExtraCycles(), AccessCost32[2]);
    Cpu.r[0] = D + 1 + 4;
    Run({0xE5202004});  // to D + 1: the aligned word at D
    EXPECT_EQ(PeekWord(D), 0x44112233u);
    EXPECT_EQ(Cpu.r[0], D + 1);
    Cpu.r[0] = D;
    Cpu.r[2] = 0x1234AB;
    Run({0xE5C02001});  // STRB R2, [R0, #1]
    EXPECT_EQ(PeekWord(D), 0x4411AB33u);
}

TEST_F(ArmTransfer, IndexingFormsAndWriteBack) {
    Cpu.r[0] = D;
    Run({0xE5B02004});  // LDR R2, [R0, #4]!
    EXPECT_EQ(Cpu.r[2], 0x8899AABBu);
    EXPECT_EQ(Cpu.r[0], D + 4);
    Run({0xE4102004});  // LDR R2, [R0], #-4
    EXPECT_EQ(Cpu.r[2], 0x8899AABBu);
    EXPECT_EQ(Cpu.r[0], D);
    Run({0xE4B02004});  // LDRT R2, [R0], #4: post-indexed with W behaves as post-indexed
    EXPECT_EQ(Cpu.r[2], 0xA1B2C3D4u);
    EXPECT_EQ(Cpu.r[0], D + 4);
}

TEST_F(ArmTransfer, WriteBackWinsOverALoadIntoTheBase) {
    Cpu.r[0] = D;
    Run({0xE5B00004});  // LDR R0, [R0, #4]!
    EXPECT_EQ(Cpu.r[0], D + 4);
    Run({0xE4900004});  // LDR R0, [R0], #4
    EXPECT_EQ(Cpu.r[0], D + 8);
    Cpu.r[0] = D;
    Run({0xE1F000B2});  // LDRH R0, [R0, #2]!
    EXPECT_EQ(Cpu.r[0], D + 2);
}

TEST_F(ArmTransfer, RegisterOffsetsUseTheImmediateShifter) {
    Cpu.r[0] = D;
    Cpu.r[1] = 1;
    Run({0xE7902101});  // LDR R2, [R0, R1, LSL #2]
    EXPECT_EQ(Cpu.r[2], 0x8899AABBu);
    Cpu.r[1] = 0xFFFFFFFF;
    Run({0xE7902021});  // LDR R2, [R0, R1, LSR #32]: offset 0
    EXPECT_EQ(Cpu.r[2], 0xA1B2C3D4u);
    Run({0xE7102041});  // LDR R2, [R0, -R1, ASR #32]: offset -1, subtracted
    EXPECT_EQ(Cpu.r[2], 0xA1B2C3D4u >> 8);
    SetMode(ModeSystem, FlagC);
    Cpu.r[0] = D - 0x80000000;
    Cpu.r[1] = 8;
    Run({0xE7902061});  // LDR R2, [R0, R1, RRX]: offset 0x80000004
    EXPECT_EQ(Cpu.r[2], 0x8899AABBu);
}

TEST_F(ArmTransfer, R15AsBaseReadsEightAheadAndIsStoredTwelveAhead) {
    MemWrite32(CodeAddress + 12, 0xCAFEF00D);
    Run({0xE59F2004});  // LDR R2, [PC, #4]
    EXPECT_EQ(Cpu.r[2], 0xCAFEF00Du);
    Cpu.r[0] = D;
    Run({0xE580F000});  // STR PC, [R0]
    EXPECT_EQ(PeekWord(D), CodeAddress + 12);
    Run({0xE1C0F0B0});  // STRH PC, [R0]
    EXPECT_EQ(PeekHalf(D), (CodeAddress + 12) & 0xFFFF);
}

TEST_F(ArmTransfer, HalfwordAndSignedLoadsAtOddAddresses) {
    MemWrite32(D, 0x80F6817F);
    Cpu.r[0] = D;
    Run({0xE1D020B2});  // LDRH R2, [R0, #2]
    EXPECT_EQ(Cpu.r[2], 0x80F6u);
    EXPECT_EQ(ExtraCycles(), AccessCost16[2] + 1);
    Run({0xE1D020B1});  // LDRH R2, [R0, #1]: the high byte of the halfword
    EXPECT_EQ(Cpu.r[2], 0x81u);
    Run({0xE1D020F0});  // LDRSH R2, [R0]
    EXPECT_EQ(Cpu.r[2], 0xFFFF817Fu);
    Run({0xE1D020F1});  // LDRSH R2, [R0, #1]: high byte, zero-extended
    EXPECT_EQ(Cpu.r[2], 0x81u);
    Run({0xE1D020D3});  // LDRSB R2, [R0, #3]
    EXPECT_EQ(Cpu.r[2], 0xFFFFFF80u);
    Cpu.r[1] = 3;
    Cpu.r[0] = D + 3;
    Run({0xE13020D1});  // LDRSB R2, [R0, -R1]!
    EXPECT_EQ(Cpu.r[2], 0x7Fu);
    EXPECT_EQ(Cpu.r[0], D);
    Cpu.r[1] = 6;
    Run({0xE09020B1});  // LDRH R2, [R0], R1
    EXPECT_EQ(Cpu.r[2], 0x817Fu);
    EXPECT_EQ(Cpu.r[0], D + 6);
}

TEST_F(ArmTransfer, HalfwordStoreWritesTheLowHalf) {
    Cpu.r[0] = D;
    Cpu.r[2] = 0x12345678;
    Run({0xE1C020B6});  // STRH R2, [R0, #6]
    EXPECT_EQ(PeekWord(D + 4), 0x5678AABBu);
    EXPECT_EQ(ExtraCycles(), AccessCost16[2]);
}

TEST_F(ArmTransfer, StoreMultiplePutsTheLowestRegisterLowest) {
    Cpu.r[13] = D + 0x10;
    Cpu.r[0] = 0xABCD0123;
    Run({0xE92D8001});  // STMDB SP!, {R0, PC}
    EXPECT_EQ(PeekWord(D + 0x08), 0xABCD0123u);
    EXPECT_EQ(PeekWord(D + 0x0C), CodeAddress + 12);
    EXPECT_EQ(Cpu.r[13], D + 0x08);
    EXPECT_EQ(ExtraCycles(), 2 * AccessCost32[2]);

    Cpu.r[0] = D + 0x20;
    Cpu.r[1] = 0x11;
    Cpu.r[2] = 0x22;
    Run({0xE8200006});  // STMDA R0!, {R1, R2}
    EXPECT_EQ(PeekWord(D + 0x1C), 0x11u);
    EXPECT_EQ(PeekWord(D + 0x20), 0x22u);
    EXPECT_EQ(Cpu.r[0], D + 0x18);
    Run({0xE9800006});  // STMIB R0, {R1, R2}
    EXPECT_EQ(PeekWord(D + 0x1C), 0x11u);
    EXPECT_EQ(PeekWord(D + 0x20), 0x22u);
}

TEST_F(ArmTransfer, StoreMultipleStoresTheBaseAsItWasBefore) {
    Cpu.r[0] = 0x55;
    Cpu.r[1] = D;
    Cpu.r[2] = 0x77;
    Run({0xE8A10007});  // STMIA R1!, {R0, R1, R2}
    EXPECT_EQ(PeekWord(D + 4), D);
    EXPECT_EQ(Cpu.r[1], D + 12);
}

TEST_F(ArmTransfer, LoadMultipleWriteBackOverwritesALoadedBase) {
    Cpu.r[0] = D;
    Run({0xE8B00003});  // LDMIA R0!, {R0, R1}
    EXPECT_EQ(Cpu.r[0], D + 8);
    EXPECT_EQ(Cpu.r[1], 0x8899AABBu);
    EXPECT_EQ(ExtraCycles(), 2 * AccessCost32[2] + 1);

    Cpu.r[0] = D - 4;
    Run({0xE9B00006});  // LDMIB R0!, {R1, R2}
    EXPECT_EQ(Cpu.r[1], 0xA1B2C3D4u);
    EXPECT_EQ(Cpu.r[2], 0x8899AABBu);
    EXPECT_EQ(Cpu.r[0], D + 4);
    Cpu.r[0] = D + 4;
    Run({0xE8300006});  // LDMDA R0!, {R1, R2}
    EXPECT_EQ(Cpu.r[1], 0xA1B2C3D4u);
    EXPECT_EQ(Cpu.r[2], 0x8899AABBu);
    EXPECT_EQ(Cpu.r[0], D - 4);
}

TEST_F(ArmTransfer, LoadMultipleShiftsUnalignedWords) {
    Cpu.r[0] = D + 2;
    Run({0xE8B00006});  // LDMIA R0!, {R1, R2}
    EXPECT_EQ(Cpu.r[1], 0xA1B2u);
    EXPECT_EQ(Cpu.r[2], 0x8899u);
    EXPECT_EQ(Cpu.r[0], D + 10);
}

TEST_F(ArmTransfer, EmptyListTransfersNothing) {
    Cpu.r[0] = D;
    Cpu.r[15] = 0;
    Run({0xE8B00000});  // LDMIA R0!, {}
    EXPECT_EQ(Cpu.r[0], D);
    EXPECT_EQ(Cpu.r[15], CodeAddress + 4);
    EXPECT_EQ(ExtraCycles(), 1);
    Run({0xE8A00000});  // STMIA R0!, {}
    EXPECT_EQ(Cpu.r[0], D);
    EXPECT_EQ(PeekWord(D), 0xA1B2C3D4u);
    EXPECT_EQ(ExtraCycles(), 0);
}

TEST_F(ArmTransfer, LoadMultipleWithPcAndSRestoresCpsr) {
    SetMode(ModeIrq, FlagI);
    *CurrentSpsr(Cpu) = FlagZ | ModeSystem;
    Cpu.r[13] = D - 4;
    MemWrite32(D - 4, 0x99);
    MemWrite32(D, 0x08000200);
    Run({0xE8FD8001});  // LDMFD SP!, {R0, PC}^
    EXPECT_EQ(Cpu.cpsr, FlagZ | ModeSystem);
    EXPECT_EQ(Cpu.r[0], 0x99u);
    EXPECT_EQ(Cpu.r[15], 0x08000200u);
    EXPECT_EQ(Cpu.bank[BankWord::IrqR13 - BankWord::Reserved17], D + 4) << "write-back went to the IRQ stack";
}

TEST_F(ArmTransfer, SwapExchangesWordsAndBytes) {
    Cpu.r[0] = D;
    Cpu.r[1] = 0x01234567;
    Run({0xE1002091});  // SWP R2, R1, [R0]
    EXPECT_EQ(Cpu.r[2], 0xA1B2C3D4u);
    EXPECT_EQ(PeekWord(D), 0x01234567u);
    EXPECT_EQ(ExtraCycles(), 2 * AccessCost32[2] + 1);
    Run({0xE1402091});  // SWPB R2, R1, [R0]
    EXPECT_EQ(Cpu.r[2], 0x67u);
    EXPECT_EQ(PeekWord(D), 0x01234567u);
    Cpu.r[1] = 0xFF;
    Run({0xE1001091});  // SWP R1, R1, [R0]: the old word reaches R1 last
    EXPECT_EQ(Cpu.r[1], 0x01234567u);
    EXPECT_EQ(PeekWord(D), 0xFFu);
}

}  // namespace
