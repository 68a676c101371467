// timers_test.cpp - timers stepped a slice at a time (prescalers, overflows,
// count-up cascades, interrupts) and the direct-sound feed they pace (block
// fetches into the rings, the voices' frequency and volume).
#include "machine/timers.h"

#include <gtest/gtest.h>

#include "cpu/cpu.h"
#include "machine/io.h"
#include "machine/memory.h"
#include "machine/scanline.h"
#include "sound/voices.h"
#include "test_support.h"

namespace {

constexpr uint32_t Io = 0x04000000;
constexpr uint32_t Ewram = 0x02000000;

struct Voice {
    int32_t frequency = -1, volume = -1;
};
Voice Voices[6];
void RecordTone(int voice, int32_t frequency, int32_t volume) {
    if (voice >= 0 && voice < 6) Voices[voice] = {frequency, volume};
}

class TimersTest : public ::testing::Test {
protected:
    void SetUp() override {
        BootWords(dir, {0xEAFFFFFE});  // B .
        StopRequest = false;           // a stopped run elsewhere may have left it set
        for (Voice& v : Voices) v = Voice{};
        RegisterVoiceHandlers(RecordTone, nullptr, nullptr);
    }
    void TearDown() override {
        RegisterVoiceHandlers(nullptr, nullptr, nullptr);
        SoundMode = 0;
    }
    // Reload value, counter and control of timer i.
    static void Setup(int i, uint32_t reload, uint32_t counter, uint32_t control) {
        MemWrite16(Io + Reg::TM0CNT_L + 4 * i, reload);
        Timers[i].counter = counter;
        MemWrite16(Io + Reg::TM0CNT_H + 4 * i, control);
    }
    static uint32_t RequestsAndClear() {
        uint32_t requests = ReadIo(Reg::IF);
        StoreIo(Reg::IF, 0);
        return requests;
    }
    // Direct sound A on timer 0 with the given reload and SOUNDCNT_H, fed by DMA1 from `source`.
    static void ArmSoundA(uint32_t reload, uint32_t soundControl, uint32_t dmaControl, uint32_t source) {
        MemWrite16(Io + Reg::SOUNDCNT_H, soundControl);
        MemWrite32(Io + Reg::DMA0SAD + Reg::DMA_STRIDE, source);
        MemWrite16(Io + Reg::DMA0SAD + Reg::DMA_STRIDE + Reg::DMA_CNT_H, dmaControl);
        Setup(0, reload, reload, 0x0080);
    }
    TempDir dir;
};

TEST_F(TimersTest, PrescalersDivideTheSlice) {
    Setup(0, 0, 0, 0x0080);  // 1 cycle
    Setup(1, 0, 0, 0x0081);  // 64
    Setup(2, 0, 0, 0x0082);  // 256
    Setup(3, 0, 0, 0x0083);  // 1024
    StepTimers(960);
    EXPECT_EQ(Timers[0].counter, 960u);
    EXPECT_EQ(Timers[1].counter, 15u);
    EXPECT_EQ(Timers[2].counter, 3u);
    EXPECT_EQ(Timers[3].counter, 0u);
    StepTimers(272);
    EXPECT_EQ(Timers[1].counter, 19u) << "1232 cycles are 19 periods of 64";
    EXPECT_EQ(Timers[1].countdown, 48);
    EXPECT_EQ(Timers[2].counter, 4u);
    EXPECT_EQ(Timers[3].counter, 1u);
    for (int i = 0; i < 100; ++i) StepTimers(i % 2 ? 272 : 960);
    EXPECT_EQ(Timers[3].counter, 51 * 1232u / 1024) << "no cycles are lost between slices";
}

TEST_F(TimersTest, StoppedTimerKeepsItsCounterAndStartDoesNotReload) {
    Setup(0, 0x8000, 0x1234, 0x0000);
    EXPECT_EQ(Timers[0].counter, 0x1234u);
    StepTimers(960);
    EXPECT_EQ(Timers[0].counter, 0x1234u);
    MemWrite16(Io + Reg::TM0CNT_H, 0x0080);
    EXPECT_EQ(Timers[0].counter, 0x1234u);
    StepTimers(960);
    EXPECT_EQ(Timers[0].counter, 0x1234u + 960);
}

TEST_F(TimersTest, OverflowReloadsAndRequestsOnce) {
    Setup(0, 0xFC00, 0xFF00, 0x00C0);
    StepTimers(960);
    EXPECT_EQ(Timers[0].counter, 0xFEC0u);
    EXPECT_EQ(RequestsAndClear(), Irq::Timer0);

    Setup(0, 0xFF00, 0xFF00, 0x00C0);  // three periods in one slice
    StepTimers(960);
    EXPECT_EQ(Timers[0].counter, 0xFFC0u) << "reload plus what is left after the last period";
    EXPECT_EQ(RequestsAndClear(), Irq::Timer0);

    MemWrite16(Io + Reg::TM0CNT_H, 0);
    Setup(2, 0x0000, 0xFFFF, 0x0080);  // no interrupt without bit 6
    StepTimers(960);
    EXPECT_EQ(RequestsAndClear(), 0u);
    EXPECT_EQ(Timers[2].counter, 959u);
}

TEST_F(TimersTest, ShortPeriodsAreCountedOncePerPeriod) {
    SoundMode = 0;
    MemWrite16(Io + Reg::SOUNDCNT_H, 0x0000);  // ring A on timer 0; no feed interrupt enabled
    Setup(0, 0xFF00, 0xFF00, 0x0080);
    StepTimers(960);
    EXPECT_EQ(Rings[0].pending, 3);
    for (int i = 0; i < 9; ++i) StepTimers(960);
    EXPECT_EQ(Rings[0].pending, 9600 / 256) << "one sample per 256 cycles, none counted twice";
}

TEST_F(TimersTest, CountUpFollowsThePreviousTimerOncePerStep) {
    Setup(0, 0xFF00, 0xFF00, 0x0080);  // overflows three times a slice
    Setup(1, 0xFFFE, 0xFFFE, 0x0084 | 0x40);
    Setup(2, 0, 0, 0x0084);
    StepTimers(960);
    EXPECT_EQ(Timers[1].counter, 0xFFFFu) << "once, however often timer 0 overflowed";
    EXPECT_EQ(Timers[2].counter, 0u);
    EXPECT_EQ(RequestsAndClear(), 0u);
    StepTimers(960);
    EXPECT_EQ(Timers[1].counter, 0xFFFEu);
    EXPECT_EQ(RequestsAndClear(), Irq::Timer0 << 1);
    EXPECT_EQ(Timers[2].counter, 1u) << "cascade through timer 1";

    MemWrite16(Io + Reg::TM0CNT_H, 0x0000);  // stopped source: count-up timers stand still
    StepTimers(960);
    EXPECT_EQ(Timers[1].counter, 0xFFFEu);
}

TEST_F(TimersTest, CountUpNeedsTheNeighbourAndNotAnyEarlierTimer) {
    Setup(0, 0xFF00, 0xFF00, 0x0080);
    Setup(1, 0, 0, 0x0000);  // stopped
    Setup(2, 0, 0, 0x0084);
    StepTimers(960);
    EXPECT_EQ(Timers[2].counter, 0u);
    Setup(0, 0, 0, 0x0084);  // timer 0 ignores the count-up bit
    StepTimers(960);
    EXPECT_EQ(Timers[0].counter, 960u);
}

TEST_F(TimersTest, DirectSoundVoiceFollowsTimerAndVolume) {
    ArmSoundA(0xFB1E, 0x0304, 0xB600, Ewram);  // A to both sides at full volume
    EXPECT_EQ(Voices[4].frequency, 13) << "16780002 / 1250 / 1024";
    EXPECT_EQ(Voices[4].volume, 255);
    EXPECT_EQ(Voices[5].frequency, 0) << "DMA2 is not armed for sound";

    MemWrite16(Io + Reg::SOUNDCNT_H, 0x0100);  // one side, half volume
    EXPECT_EQ(Voices[4].volume, 128);
    MemWrite16(Io + Reg::SOUNDCNT_H, 0x0004);  // no side
    EXPECT_EQ(Voices[4].volume, 0);
    MemWrite16(Io + Reg::SOUNDCNT_H, 0x0404);  // A on timer 1, which is stopped
    EXPECT_EQ(Voices[4].frequency, 0);
    MemWrite16(Io + Reg::TM0CNT_L + 4, 0xFF00);
    MemWrite16(Io + Reg::TM0CNT_H + 4, 0x0081);  // timer 1 at 1/64, 256 counts a period
    EXPECT_EQ(Voices[4].frequency, 16780002 / 64 / 256 / 1024);
    MemWrite16(Io + Reg::DMA0SAD + Reg::DMA_STRIDE + Reg::DMA_CNT_H, 0x0000);
    EXPECT_EQ(Voices[4].frequency, 0) << "DMA1 disarmed";

    MemWrite16(Io + Reg::SOUNDCNT_H, 0x3000 | 0x0008);  // B on timer 0, full volume, both sides
    MemWrite16(Io + Reg::DMA0SAD + 2 * Reg::DMA_STRIDE + Reg::DMA_CNT_H, 0xB600);
    EXPECT_EQ(Voices[5].frequency, 13);
    EXPECT_EQ(Voices[5].volume, 255);
}

TEST_F(TimersTest, OpenSoundOutputFetchesAFramesWorthAtOnce) {
    for (uint32_t i = 0; i < 256; ++i) MemWrite8(Ewram + i, i);
    ArmSoundA(0xFB1E, 0x0300, 0xB600, Ewram);
    SoundMode = 2;
    Rings[0].position = 0;
    StepTimers(960 * 100);
    EXPECT_EQ(Rings[0].position, 0u) << "no per-overflow feed while the output is open";
    FeedFrame();
    EXPECT_EQ(Rings[0].position, 224u) << "280945 / 1250 >> 4 = 14 blocks";
    EXPECT_EQ(Rings[0].source, Ewram + 224);
    EXPECT_EQ(Rings[0].samples[223], static_cast<int8_t>(223));
    EXPECT_EQ(Rings[0].samples[224], 0);
    SoundMode = 3;
    FeedFrame();
    EXPECT_EQ(Rings[0].position, 224u) << "sound off: no feed";
}

TEST_F(TimersTest, FeedFillsTheRingAtTheTimersRate) {
    // One sample per 128 cycles: 16 samples (one block) every 2048 cycles.
    ArmSoundA(0xFF80, 0x0300, 0xB600, Ewram);
    MemWrite16(Io + Reg::IE, Irq::Timer0);  // a program waiting on the feed: fetch as it goes
    SoundMode = 0;
    Rings[0].position = 0;
    int32_t cycles = 0;
    for (int slice = 0; slice < 200; ++slice) {
        int32_t length = slice % 2 ? 272 : 960;
        StepTimers(length);
        cycles += length;
        int32_t samples = cycles / 128;
        ASSERT_EQ(Rings[0].position, static_cast<uint32_t>(samples / 16 * 16) % RingSize) << "after slice " << slice;
        ASSERT_EQ(Rings[0].pending, samples % 16);
    }
    EXPECT_EQ(Rings[0].source, Ewram + static_cast<uint32_t>(cycles / 128 / 16 * 16));
}

TEST_F(TimersTest, WithoutFeedInterruptsSamplesWaitForTheFrame) {
    ArmSoundA(0xFF80, 0x0300, 0xB600, Ewram);
    SoundMode = 0;
    Rings[0].position = 0;
    StepTimers(960);
    StepTimers(960);
    EXPECT_EQ(Rings[0].position, 0u);
    EXPECT_EQ(Rings[0].pending, 15);
    StepTimers(128);
    FeedFrame();
    EXPECT_EQ(Rings[0].position, 16u);
    EXPECT_EQ(Rings[0].pending, 0);
}

TEST_F(TimersTest, FetchNeedsSoundTimingAndHonoursRepeatAndInterrupt) {
    MemWrite32(Io + Reg::DMA0SAD + Reg::DMA_STRIDE, Ewram);
    MemWrite16(Io + Reg::DMA0SAD + Reg::DMA_STRIDE + Reg::DMA_CNT_H, 0x9600);  // vertical blank, not sound
    Rings[0].position = 0;
    FetchBlocks(0, 2);
    EXPECT_EQ(Rings[0].position, 0u);

    MemWrite16(Io + Reg::DMA0SAD + Reg::DMA_STRIDE + Reg::DMA_CNT_H, 0);
    MemWrite16(Io + Reg::DMA0SAD + Reg::DMA_STRIDE + Reg::DMA_CNT_H, 0xF400);  // sound, IRQ, no repeat
    StoreIo(Reg::IF, 0);
    FetchBlocks(0, 3);
    EXPECT_EQ(Rings[0].position, 48u);
    EXPECT_EQ(ReadIo(Reg::IF), Irq::Dma0 << 1) << "one request per fetch";
    EXPECT_EQ(ReadIo(Reg::DMA0SAD + Reg::DMA_STRIDE + Reg::DMA_CNT_H), 0x7400u) << "disabled after the fetch";
    FetchBlocks(0, 1);
    EXPECT_EQ(Rings[0].position, 48u);
}

TEST_F(TimersTest, RingWrapsAndSourceStaysWordAligned) {
    MemWrite32(Io + Reg::DMA0SAD + 2 * Reg::DMA_STRIDE, 0x0FFFFFF3);
    MemWrite16(Io + Reg::DMA0SAD + 2 * Reg::DMA_STRIDE + Reg::DMA_CNT_H, 0xB600);
    EXPECT_EQ(Rings[1].source, 0x0FFFFFF0u);
    Rings[1].position = 1008;
    FetchBlocks(1, 2);
    EXPECT_EQ(Rings[1].position, 16u);
    EXPECT_EQ(Rings[1].source, 0x00000010u) << "the source wraps within 28 bits";
    FetchBlocks(1, 0);
    FetchBlocks(1, -5);
    EXPECT_EQ(Rings[1].position, 16u);
}

TEST_F(TimersTest, ResetClearsTimersAndFeed) {
    Setup(0, 0xFF00, 0xFF00, 0x0080);
    Rings[0].pending = 7;
    Rings[1].position = 64;
    ResetTimers();
    EXPECT_EQ(Timers[0].divisor, 0);
    EXPECT_EQ(Timers[0].counter, 0u);
    EXPECT_EQ(Rings[0].pending, 0);
    EXPECT_EQ(Rings[1].position, 0u);
}

// A restored machine state may hold any divisor and countdown; stepping
// such timers must stay well defined.
TEST_F(TimersTest, AnyTimerStateStepsSafely) {
    const int32_t values[] = {INT32_MIN, -1024, -1, 1, 7, 1024, INT32_MAX};
    for (int32_t divisor : values)
        for (int32_t countdown : values) {
            Timers[0] = Timer{0xFFFF, divisor, countdown};
            Timers[1] = Timer{0xFFFFFFFF, divisor, 0};
            StepTimers(960);
            StepTimers(INT32_MAX);
            UpdateDirectSound();
        }
    SUCCEED();
}

}  // namespace
