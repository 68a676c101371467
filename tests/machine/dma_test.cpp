// dma_test.cpp - DMA transfers: units, counts, address control and write-back,
// channel masks, the enable rule, timed and repeating transfers, the end
// interrupt, the trace line and transfers that start other transfers.
#include "machine/dma.h"

#include <gtest/gtest.h>

#include <climits>

#include "cpu/cpu.h"
#include "headless.h"
#include "machine/io.h"
#include "machine/memory.h"
#include "machine/scanline.h"
#include "machine/timers.h"
#include "test_support.h"

namespace {

constexpr uint32_t Io = 0x04000000;
constexpr uint32_t Ewram = 0x02000000, Iwram = 0x03000000;

uint32_t Channel(int n) { return Reg::DMA0SAD + Reg::DMA_STRIDE * n; }

class Dma : public ::testing::Test {
protected:
    void SetUp() override {
        BootWords(dir, {0xEAFFFFFE});  // B .
        StopRequest = false;           // a stopped run elsewhere may have left it set
    }
    void TearDown() override { DebugFlags = 1; }

    // Programs addresses and count, then the control register.
    static void Start(int n, uint32_t src, uint32_t dst, uint32_t count, uint32_t control) {
        MemWrite32(Io + Channel(n), src);
        MemWrite32(Io + Channel(n) + Reg::DMA_DAD, dst);
        MemWrite16(Io + Channel(n) + Reg::DMA_CNT_L, count);
        MemWrite16(Io + Channel(n) + Reg::DMA_CNT_H, control);
    }
    static uint32_t Source(int n) { return PeekWord(Io + Channel(n)); }
    static uint32_t Destination(int n) { return PeekWord(Io + Channel(n) + Reg::DMA_DAD); }
    static uint32_t Control(int n) { return ReadIo(Channel(n) + Reg::DMA_CNT_H); }
    static void FillWords(uint32_t address, int count, uint32_t first) {
        for (int i = 0; i < count; ++i) MemWrite32(address + 4 * i, first + i);
    }
    // Runs the scanline step until `slices` more slices have ended.
    static void RunSlices(int slices) {
        for (int i = 0; i < slices; ++i) RunSlice();
    }
    TempDir dir;
};

TEST_F(Dma, ImmediateWordCopyWritesBackAndDisables) {
    FillWords(Ewram, 4, 0xA0);
    Start(3, Ewram, Iwram, 4, 0x8400);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(PeekWord(Iwram + 4 * i), 0xA0u + i);
    EXPECT_EQ(PeekWord(Iwram + 16), 0u);
    EXPECT_EQ(Source(3), Ewram + 16);
    EXPECT_EQ(Destination(3), Iwram + 16);
    EXPECT_EQ(Control(3), 0x0400u);
    EXPECT_EQ(ReadIo(Channel(3) + Reg::DMA_CNT_L), 4u) << "the count register is never changed";
}

TEST_F(Dma, HalfwordCopyAlignsAddressesToTheUnit) {
    MemWrite32(Ewram, 0x22221111);
    MemWrite32(Ewram + 4, 0x44443333);
    Start(3, Ewram + 1, Iwram + 3, 3, 0x8000);
    EXPECT_EQ(PeekWord(Iwram), 0x11110000u);
    EXPECT_EQ(PeekWord(Iwram + 4), 0x33332222u);
    EXPECT_EQ(Source(3), Ewram + 6);

    Start(3, Ewram + 3, Iwram + 0x42, 1, 0x8400);
    EXPECT_EQ(PeekWord(Iwram + 0x40), 0x22221111u);
}

TEST_F(Dma, CountZeroMeansTheChannelMaximum) {
    Start(3, Ewram, Ewram, 0, 0x8500);  // fixed source, words
    EXPECT_EQ(Destination(3), Ewram + 0x40000) << "65536 words";
    Start(0, Iwram, Ewram, 0, 0x8100);  // fixed source, halfwords
    EXPECT_EQ(Destination(0), Ewram + 0x8000) << "16384 halfwords";
    Start(1, Iwram, Ewram, 0x4001, 0x8100);  // bits above the count mask are ignored
    EXPECT_EQ(Destination(1), Ewram + 2);
    Start(2, Iwram, Ewram, 0xC000, 0x8100);  // ... so this count is 0 as well
    EXPECT_EQ(Destination(2), Ewram + 0x8000);
}

TEST_F(Dma, ChannelMasksLimitSourceAndDestination) {
    Start(0, 0x08000000, Iwram, 1, 0x8400);
    EXPECT_EQ(PeekWord(Iwram), PeekWord(0x00000000)) << "channel 0 reads the BIOS region";
    EXPECT_EQ(Source(0), 4u);
    Start(1, 0x08000000, Iwram, 1, 0x8400);
    EXPECT_EQ(PeekWord(Iwram), PeekWord(0x08000000)) << "channel 1 reaches the cartridge";
    FillWords(Ewram, 1, 0x5555);
    Start(2, Ewram, 0x0B000010, 1, 0x8400);  // destination masked to 0x03000010
    EXPECT_EQ(PeekWord(Iwram + 0x10), 0x5555u);
    Start(0, 0xF2000000, Iwram + 0x20, 1, 0x8400);  // source masked to 0x02000000
    EXPECT_EQ(PeekWord(Iwram + 0x20), 0x5555u);
    Start(3, Ewram, 0xF3000030, 1, 0x8400);  // channel 3 keeps 28 bits
    EXPECT_EQ(PeekWord(Iwram + 0x30), 0x5555u);
    EXPECT_EQ(Destination(3), 0x03000034u);
}

TEST_F(Dma, SoundTimingArmsTheFeedInsteadOfTransferring) {
    MemWrite32(Io + Channel(2), 0x02000103);
    MemWrite32(Io + Channel(2) + Reg::DMA_DAD, 0x040000A4);
    MemWrite16(Io + Channel(2) + Reg::DMA_CNT_H, 0xB640);
    EXPECT_EQ(Rings[1].source, 0x02000100u);
    EXPECT_EQ(Source(2), 0x02000103u) << "no transfer ran";
    RunSlices(2 * 228);
    EXPECT_EQ(Source(2), 0x02000103u);
}

TEST_F(Dma, TraceLineDescribesTheTransfer) {
    DebugFlags = 1 | 0x08;
    Headless::ClearConsoleText();
    Start(3, Ewram, Iwram + 0x10, 4, 0xC440);  // fixed destination, IRQ
    EXPECT_EQ(Headless::ConsoleText(),
              "DMA3: 02000000-0200000C -> 03000010-03000010 (32bit,Immediate,IRQ) at line 0\n");
    Headless::ClearConsoleText();
    RunSlices(2 * 5);
    Start(1, Ewram + 8, Iwram, 2, 0xA280);
    RunSlices(1);
    EXPECT_EQ(Headless::ConsoleText(),
              "DMA1: 02000008-02000006 -> 03000000-03000002 (16bit,HBlank,Repeat) at line 5\n");
}

// A transfer that re-enables its own channel through the registers it
// writes does not start itself again from inside.
TEST_F(Dma, TransferRestartingItselfRunsOnce) {
    MemWrite16(Ewram, 0x0000);
    MemWrite16(Ewram + 2, 0x8100);
    Start(1, Ewram, Io + Channel(1) + Reg::DMA_CNT_H, 2, 0x8040);  // fixed destination: its own CNT_H
    EXPECT_EQ(Source(1), Ewram + 4);
    EXPECT_EQ(Control(1), 0x0100u);
}

// Channels restarting each other may not run the CPU's budget into overflow:
// started from inside a transfer, they are refused once the budget is deep in debt.
TEST_F(Dma, ChainedRestartsStayBounded) {
    // Channel 0: 16384 halfwords within work RAM, fixed addresses.
    MemWrite32(Io + Channel(0), Ewram);
    MemWrite32(Io + Channel(0) + Reg::DMA_DAD, Ewram + 0x10000);
    MemWrite16(Io + Channel(0) + Reg::DMA_CNT_L, 0);
    // Channel 3 writes "stop, start" to channel 0's control 32768 times.
    for (uint32_t i = 0; i < 0x20000; i += 4) MemWrite32(Ewram + 0x20000 + i, 0x81400000);
    Cpu.cycleBudget = 960;
    Start(3, Ewram + 0x20000, Io + Channel(0) + Reg::DMA_CNT_H, 0, 0x8040);
    EXPECT_GT(Cpu.cycleBudget, INT_MIN / 2);
    EXPECT_LT(Cpu.cycleBudget, -(1 << 24)) << "the transfers ran until the budget was deep in debt";
    EXPECT_EQ(Source(3), Ewram + 0x40000) << "channel 3 itself completed";
}

// DMA3 with special timing, repeat and 65536 units runs every line and costs
// far more than a line; the budget may sink only to a bounded debt, never to
// an overflow. Started from the deepest debt a state can carry, two lines
// show it; an ordinary transfer from a positive budget costs what it always did.
TEST_F(Dma, TimedTransfersCannotSinkTheBudgetPastItsBound) {
    Start(3, Ewram, Ewram + 0x20000, 0, 0xB400);  // special timing, words, 65536 units
    Cpu.cycleBudget = -(1 << 30);
    RunSlices(4);  // two lines begin, each starting the transfer
    EXPECT_LT(Cpu.cycleBudget, -(1 << 24));
    EXPECT_GE(Cpu.cycleBudget, -(1 << 24) - 2 * 65536 * 12 - 4 * 1232);

    Start(3, Ewram, Iwram, 100, 0);
    Cpu.cycleBudget = 960;
    MemWrite16(Io + Channel(3) + Reg::DMA_CNT_H, 0x8400);
    EXPECT_EQ(Cpu.cycleBudget, 960 - AccessCost16[4] - 100 * (AccessCost32[2] + AccessCost32[3]));
}

}  // namespace
