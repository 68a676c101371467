// io_test.cpp - the I/O write handler: read-only registers, derived state,
// interrupt acknowledge and masking, halting, the keypad condition, and
// arbitrary writes to every register staying safe.
#include "machine/io.h"

#include <gtest/gtest.h>

#include <random>

#include "cpu/cpu.h"
#include "headless.h"
#include "machine/dma.h"
#include "machine/memory.h"
#include "machine/scanline.h"
#include "machine/timers.h"
#include "sound/tone_chip.h"
#include "test_support.h"
#include "video/renderer.h"

namespace {

constexpr uint32_t Io = 0x04000000;

class IoRegisters : public ::testing::Test {
protected:
    void SetUp() override {
        BootWords(dir, {0xEAFFFFFE});  // B .
        StopRequest = false;           // a stopped run elsewhere may have left it set
    }
    void TearDown() override { DebugFlags = 1; }
    TempDir dir;
};

TEST_F(IoRegisters, StatusRegistersKeepTheirOwnBits) {
    StoreIo(Reg::DISPSTAT, 0x0001);  // in vertical blank
    WriteIo(Io + Reg::DISPSTAT, 0xFFFF);
    EXPECT_EQ(ReadIo(Reg::DISPSTAT), 0xFFF9u);
    WriteIo(Io + Reg::DISPSTAT, 0x0000);
    EXPECT_EQ(ReadIo(Reg::DISPSTAT), 0x0001u);

    StoreIo(Reg::VCOUNT, 77);
    WriteIo(Io + Reg::VCOUNT, 5);
    MemWrite8(Io + Reg::KEYINPUT, 0);
    EXPECT_EQ(ReadIo(Reg::VCOUNT), 77u);
    EXPECT_EQ(ReadIo(Reg::KEYINPUT), 0xFFFFu);
}

TEST_F(IoRegisters, WritesAliasEvery4KWhileReadsSeeThePage) {
    MemWrite16(0x04001004, 0x2000);
    EXPECT_EQ(ReadIo(Reg::DISPSTAT), 0x2000u);
    EXPECT_EQ(PeekHalf(0x04001004), 0u) << "the write went to the register, not to its alias";
    MemWrite16(0x04003052, 0x0003);
    EXPECT_EQ(BlendEva, 3);
}

TEST_F(IoRegisters, BlendCoefficientsSaturateAtSixteen) {
    WriteIo(Io + Reg::BLDALPHA, 0x0010);
    EXPECT_EQ(BlendEva, 16);
    WriteIo(Io + Reg::BLDALPHA, 0x1F1F);
    EXPECT_EQ(BlendEva, 16);
    EXPECT_EQ(BlendEvb, 16);
    WriteIo(Io + Reg::BLDALPHA, 0x0C07);
    EXPECT_EQ(BlendEva, 7);
    EXPECT_EQ(BlendEvb, 12);
    EXPECT_EQ(ReadIo(Reg::BLDALPHA), 0x0C07u);
    WriteIo(Io + Reg::BLDY, 0x0019);
    EXPECT_EQ(BlendEvy, 16);
    WriteIo(Io + Reg::BLDY, 0x0009);
    EXPECT_EQ(BlendEvy, 9);
}

TEST_F(IoRegisters, AffineParametersAreSignExtended) {
    WriteIo(Io + Reg::BG2PA + 2, 0xFFFF);  // BG2PB
    WriteIo(Io + Reg::BG2PA + 6, 0x8000);  // BG2PD
    WriteIo(Io + Reg::BG3PA, 0x7FFF);
    WriteIo(Io + Reg::BG3PA + 4, 0xFF00);  // BG3PC
    EXPECT_EQ(Affine[0].pb, -1);
    EXPECT_EQ(Affine[0].pd, -32768);
    EXPECT_EQ(Affine[0].pa, 0x100) << "untouched parameters keep their reset value";
    EXPECT_EQ(Affine[1].pa, 0x7FFF);
    EXPECT_EQ(Affine[1].pc, -256);
    EXPECT_EQ(ReadIo(Reg::BG3PA + 4), 0xFF00u);
}

TEST_F(IoRegisters, ReferencePointsAreTwentyEightBitSigned) {
    MemWrite32(Io + Reg::BG2X, 0x0FFFFFFF);
    EXPECT_EQ(Affine[0].latchedX, -1);
    EXPECT_EQ(Affine[0].x, -1);
    MemWrite32(Io + Reg::BG2X, 0x08000000);
    EXPECT_EQ(Affine[0].latchedX, -134217728);
    MemWrite32(Io + Reg::BG3Y, 0xF0000123);  // bits above 27 do not count
    EXPECT_EQ(Affine[1].latchedY, 0x123);
    EXPECT_EQ(Affine[1].y, 0x123);
    EXPECT_EQ(PeekWord(Io + Reg::BG3Y), 0xF0000123u);

    // Each half alone latches the point from both halves as the page holds them.
    Affine[0].y = 999;
    WriteIo(Io + Reg::BG2Y + 2, 0x0001);
    EXPECT_EQ(Affine[0].latchedY, 0x10000);
    EXPECT_EQ(Affine[0].y, 0x10000);
    WriteIo(Io + Reg::BG2Y, 0x0020);
    EXPECT_EQ(Affine[0].latchedY, 0x10020);
    EXPECT_EQ(Affine[0].latchedX, -134217728) << "X is untouched by Y writes";
}

TEST_F(IoRegisters, BackgroundControlReachesTheOrderAndThePage) {
    WriteIo(Io + Reg::BG0CNT + 2, 0x1C81);
    EXPECT_EQ(ReadIo(Reg::BG0CNT + 2), 0x1C81u);
    bool found = false;
    for (uint32_t entry : BgOrder)
        if (((entry >> 28) & 3) == 1) found = (entry & 0xFFFF) == 0x1C81;
    EXPECT_TRUE(found);
}

TEST_F(IoRegisters, SoundControlMirrorsTheChipStatus) {
    StoreIo(Reg::SOUNDCNT_X, 0);
    WriteIo(Io + Reg::SOUNDCNT_H, 0x0B0F);
    EXPECT_EQ(ReadIo(Reg::SOUNDCNT_H), 0x0B0Fu);
    EXPECT_EQ(ReadIo(Reg::SOUNDCNT_X), ToneChipStatus());
    WriteIo(Io + 0x090, 0x1234);  // wave RAM is stored as well
    EXPECT_EQ(ReadIo(0x090), 0x1234u);
    WriteIo(Io + 0x0A0, 0x5678);  // FIFO A is plain storage
    EXPECT_EQ(ReadIo(0x0A0), 0x5678u);
}

TEST_F(IoRegisters, WaitControlSetsCartridgeCosts) {
    WriteIo(Io + Reg::WAITCNT, 0x4317);
    EXPECT_EQ(ReadIo(Reg::WAITCNT), 0x4317u);
    EXPECT_EQ(AccessCost16[8], 2);
    EXPECT_EQ(AccessCost32[0xE], 18);
}

TEST_F(IoRegisters, TimerReloadReadsBackWhateverTheCounter) {
    WriteIo(Io + Reg::TM0CNT_L, 0x1234);
    WriteIo(Io + Reg::TM0CNT_H, 0x0080);
    StepTimers(960);
    EXPECT_NE(Timers[0].counter, 0x1234u);
    EXPECT_EQ(PeekHalf(Io + Reg::TM0CNT_L), 0x1234u);
}

TEST_F(IoRegisters, WritingOneAcknowledgesARequest) {
    RequestInterrupt(Irq::VBlank | Irq::Timer0);
    WriteIo(Io + Reg::IF, Irq::HBlank);  // not requested: nothing changes
    EXPECT_EQ(ReadIo(Reg::IF), Irq::VBlank | Irq::Timer0);
    WriteIo(Io + Reg::IF, Irq::VBlank);
    EXPECT_EQ(ReadIo(Reg::IF), Irq::Timer0);
    MemWrite8(Io + Reg::IF, 0xFF);  // a byte store acknowledges only its own byte
    EXPECT_EQ(ReadIo(Reg::IF), 0u);
}

TEST_F(IoRegisters, EnabledRequestEndsTheSliceAtOnce) {
    Cpu.cycleBudget = 500;
    Cpu.breakFlag = 0;
    RequestInterrupt(Irq::VBlank | Irq::HBlank);
    WriteIo(Io + Reg::IME, 1);
    EXPECT_EQ(Cpu.irqPending, 0u) << "IE is still 0";
    EXPECT_EQ(Cpu.cycleBudget, 500);
    WriteIo(Io + Reg::IE, Irq::VBlank);
    EXPECT_EQ(Cpu.irqPending, Irq::VBlank);
    EXPECT_EQ(Cpu.breakFlag, 1);
    EXPECT_EQ(Cpu.cycleBudget, 0);
    EXPECT_EQ(Cpu.savedBudget, 500);

    WriteIo(Io + Reg::IME, 0);
    EXPECT_EQ(Cpu.irqPending, 0u);
    WriteIo(Io + Reg::IME, 1);
    WriteIo(Io + Reg::IF, Irq::VBlank);
    EXPECT_EQ(Cpu.irqPending, 0u) << "the acknowledged request is no longer pending";
}

TEST_F(IoRegisters, HaltWaitsForAnInterruptAndFallsThroughAfterIt) {
    Cpu.r[15] = 0x08000100;
    Cpu.cycleBudget = 300;
    MemWrite8(Io + 0x301, 0);
    EXPECT_EQ(Cpu.r[15], 0x08000100u) << "no interrupt can end the halt, so it does not begin";
    EXPECT_EQ(HaltState, 0);

    WriteIo(Io + Reg::IE, Irq::VBlank);
    WriteIo(Io + Reg::IME, 1);
    Cpu.cycleBudget = 300;
    MemWrite8(Io + 0x301, 0);
    EXPECT_EQ(HaltState, 1);
    EXPECT_EQ(Cpu.r[15], 0x080000FCu);
    EXPECT_LE(Cpu.cycleBudget, 0);

    Cpu.r[15] = 0x08000100;
    MemWrite8(Io + 0x301, 0x80);  // Stop behaves as Halt
    EXPECT_EQ(HaltState, 1);
    EXPECT_EQ(Cpu.r[15], 0x080000FCu) << "still halted: the store runs again";

    RequestInterrupt(Irq::VBlank);
    RunSlice();
    EXPECT_EQ(HaltState, 2);
    Cpu.r[15] = 0x08000100;
    MemWrite8(Io + 0x301, 0);
    EXPECT_EQ(HaltState, 0);
    EXPECT_EQ(Cpu.r[15], 0x08000100u);
    EXPECT_EQ(ReadIo(Reg::POSTFLG), 0u);
}

TEST_F(IoRegisters, HaltInThumbStateRewindsOneHalfword) {
    WriteIo(Io + Reg::IE, Irq::HBlank);
    WriteIo(Io + Reg::IME, 1);
    Cpu.cpsr |= FlagT;
    Cpu.r[15] = 0x03000010;
    MemWrite16(Io + Reg::POSTFLG, 0x0001);
    EXPECT_EQ(Cpu.r[15], 0x0300000Eu);
    EXPECT_EQ(ReadIo(Reg::POSTFLG), 1u);
}

TEST_F(IoRegisters, KeypadConditionInOrAndAndMode) {
    constexpr uint32_t A = 1, B = 2, Start = 8;
    auto fires = [](uint32_t control, uint32_t pressed) {
        StoreIo(Reg::IF, 0);
        StoreIo(Reg::KEYCNT, control);
        StoreIo(Reg::KEYINPUT, (~pressed & 0x3FF) | 0xFC00);
        CheckKeypadInterrupt();
        return ReadIo(Reg::IF) == Irq::Keypad;
    };
    EXPECT_TRUE(fires(0x4000 | A | B, A));
    EXPECT_FALSE(fires(0x4000 | A | B, Start));
    EXPECT_FALSE(fires(0xC000 | A | B, A)) << "AND mode needs every selected key";
    EXPECT_TRUE(fires(0xC000 | A | B, A | B | Start));
    EXPECT_FALSE(fires(0x0000 | A | B, A | B)) << "interrupt not enabled";
    EXPECT_FALSE(fires(0xC000, 0)) << "no key selected";
}

TEST_F(IoRegisters, TraceLineNamesValueOffsetAndLine) {
    DebugFlags = 3;
    StoreIo(Reg::VCOUNT, 42);
    Headless::ClearConsoleText();
    MemWrite16(0x04001050, 0x00AB);
    EXPECT_EQ(Headless::ConsoleText(), "Wrote 00ABh to IO[050h] at 42\n");
}

// Whatever a program writes to the registers, with timers, DMA and the
// scanline step running on the results, the host stays safe (this test is
// meant for the sanitizer build, where a fault aborts it).
TEST_F(IoRegisters, ArbitraryWritesToEveryRegisterAreSafe) {
    std::mt19937 random(12345);
    for (uint32_t i = 0; i < 0x400; i += 4) Store32(ExternalRam() + i, random());
    for (int round = 0; round < 20000; ++round) {
        uint32_t offset = random() & 0x3FE;
        uint32_t value = random() & 0xFFFF;
        // Keep DMA counts small most of the time so the test stays quick.
        if (offset >= 0x0B0 && offset < 0x0E0 && (offset - 0x0B0) % 12 == 8 && (random() & 63))
            value = (value & 0x3F) | 1;
        WriteIo(Io + (random() & 0xF000) + offset, value);
        if ((round & 15) == 0) RunSlice();
        if ((round & 255) == 0) {
            Cpu.cycleBudget = 960;
            Cpu.cpsr = ModeSystem;
            Cpu.r[15] = 0x08000000;
        }
    }
    SUCCEED();
}

}  // namespace
