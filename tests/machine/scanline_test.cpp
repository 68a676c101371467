// scanline_test.cpp - slices, lines and frames: the DISPSTAT flags and their
// interrupts, serial completion, frame skipping and the affine reference
// points, keys at the vertical blank, and stopping and resuming a run.
#include "machine/scanline.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "cpu/cpu.h"
#include "headless.h"
#include "machine/io.h"
#include "machine/memory.h"
#include "machine/timers.h"
#include "sound/tone_chip.h"
#include "sound/voices.h"
#include "test_support.h"
#include "video/renderer.h"

namespace {

constexpr uint32_t Io = 0x04000000;
constexpr int SlicesPerFrame = 2 * 228;

int Presented;
void CountPresent() { ++Presented; }

class Scanline : public ::testing::Test {
protected:
    void SetUp() override {
        BootWords(dir, {0xEAFFFFFE});  // B .
        StopRequest = false;           // a stopped run elsewhere may have left it set
        Presented = 0;
    }
    void TearDown() override {
        FrameSkip = 1;
        FrameSkipCountdown = 0;
        StopRequest = false;
        SoundMode = 0;
        Headless::SetKeys(0);
    }
    // Runs slices until line `line` has just begun (its visible slice is next).
    static void RunToLineStart(uint32_t line) {
        for (int i = 0; i < 2 * SlicesPerFrame; ++i) {
            RunSlice();
            if (ReadIo(Reg::VCOUNT) == line && !(ReadIo(Reg::DISPSTAT) & 2)) return;
        }
        FAIL() << "line " << line << " never began";
    }
    static void RunFrames(int frames) {
        for (int i = 0; i < frames * SlicesPerFrame; ++i) RunSlice();
    }
    TempDir dir;
};

TEST_F(Scanline, LinesAlternateVisibleAndBlankSlices) {
    EXPECT_EQ(Cpu.sliceQuantum, 960);
    RunSlice();
    EXPECT_EQ(Cpu.sliceQuantum, 272);
    EXPECT_EQ(ReadIo(Reg::DISPSTAT) & 7, 2u);
    EXPECT_EQ(ReadIo(Reg::VCOUNT), 0u);
    RunSlice();
    EXPECT_EQ(Cpu.sliceQuantum, 960);
    EXPECT_EQ(ReadIo(Reg::DISPSTAT) & 7, 0u);
    EXPECT_EQ(ReadIo(Reg::VCOUNT), 1u);

    RunToLineStart(159);
    EXPECT_EQ(ReadIo(Reg::DISPSTAT) & 1, 0u);
    RunToLineStart(160);
    EXPECT_EQ(ReadIo(Reg::DISPSTAT) & 1, 1u);
    RunToLineStart(227);
    EXPECT_EQ(ReadIo(Reg::DISPSTAT) & 1, 1u);
    RunSlice();
    RunSlice();
    EXPECT_EQ(ReadIo(Reg::VCOUNT), 0u) << "228 lines a frame";
    EXPECT_EQ(ReadIo(Reg::DISPSTAT) & 1, 0u);
}

TEST_F(Scanline, LineMatchAndVerticalBlankRequestOncePerFrame) {
    WriteIo(Io + Reg::DISPSTAT, 0x2028);
    std::vector<uint32_t> matchLines, vblankLines;
    for (int i = 0; i < 3 * SlicesPerFrame; ++i) {
        RunSlice();
        uint32_t requests = ReadIo(Reg::IF);
        if (requests & Irq::VCount) matchLines.push_back(ReadIo(Reg::VCOUNT));
        if (requests & Irq::VBlank) vblankLines.push_back(ReadIo(Reg::VCOUNT));
        uint32_t line = ReadIo(Reg::VCOUNT);
        if (line == 32 || line == 33) {
            EXPECT_EQ((ReadIo(Reg::DISPSTAT) & 4) != 0, line == 32);
        }
        StoreIo(Reg::IF, 0);
    }
    EXPECT_EQ(matchLines, std::vector<uint32_t>({32, 32, 32}));
    EXPECT_EQ(vblankLines, std::vector<uint32_t>({160, 160, 160}));
}

TEST_F(Scanline, HorizontalBlankRequestsOnEveryLine) {
    WriteIo(Io + Reg::DISPSTAT, 0x0010);
    int requests = 0;
    for (int i = 0; i < 2 * SlicesPerFrame; ++i) {
        RunSlice();
        if (ReadIo(Reg::IF) & Irq::HBlank) ++requests;
        EXPECT_EQ(ReadIo(Reg::IF) & ~Irq::HBlank, 0u) << "no other requests are enabled";
        StoreIo(Reg::IF, 0);
    }
    EXPECT_EQ(requests, 2 * 228);
}

TEST_F(Scanline, ResultIsThePendingInterruptAndWakesAHalt) {
    WriteIo(Io + Reg::DISPSTAT, 0x0008);
    WriteIo(Io + Reg::IE, Irq::VBlank);
    RunToLineStart(160);
    EXPECT_EQ(ReadIo(Reg::IF), Irq::VBlank);
    EXPECT_EQ(Cpu.irqPending, 0u) << "IME is clear";

    StoreIo(Reg::IME, 1);
    HaltState = 1;
    EXPECT_EQ(RunSlice(), static_cast<int>(Irq::VBlank));
    EXPECT_EQ(Cpu.irqPending, Irq::VBlank);
    EXPECT_EQ(HaltState, 2);

    StoreIo(Reg::IF, Irq::HBlank);  // requested but not enabled
    HaltState = 1;
    EXPECT_EQ(RunSlice(), 0);
    EXPECT_EQ(HaltState, 1);
}

TEST_F(Scanline, SerialTransferCompletesAtTheNextLine) {
    StoreIo(Reg::SIOCNT, 0x4083);
    RunSlice();
    EXPECT_EQ(ReadIo(Reg::SIOCNT), 0x4083u) << "still running during the blank";
    RunSlice();
    EXPECT_EQ(ReadIo(Reg::SIOCNT), 0x4003u);
    EXPECT_EQ(ReadIo(Reg::IF), Irq::Serial);

    StoreIo(Reg::IF, 0);
    StoreIo(Reg::SIOCNT, 0x0080);
    RunSlice();
    RunSlice();
    EXPECT_EQ(ReadIo(Reg::SIOCNT), 0u);
    EXPECT_EQ(ReadIo(Reg::IF), 0u) << "no interrupt without bit 14";
}

TEST_F(Scanline, FrameSkipShowsOneFrameInN) {
    SetPresentHook(CountPresent);
    RunFrames(4);
    EXPECT_EQ(Presented, 4);
    FrameSkip = 3;
    Presented = 0;
    RunFrames(7);
    EXPECT_EQ(Presented, 3) << "frames 0, 3 and 6";
}

TEST_F(Scanline, AffinePointsAdvanceOnDrawnLinesOnly) {
    MemWrite32(Io + Reg::BG2X, 0x100);
    MemWrite16(Io + Reg::BG2PA + 2, 2);       // PB
    MemWrite16(Io + Reg::BG2PA + 6, 0xFFFD);  // PD = -3
    Affine[0].x = 12345;                      // the latch is copied in at line 0
    RunFrames(1);
    EXPECT_EQ(Affine[0].x, 0x100 + 160 * 2);
    EXPECT_EQ(Affine[0].y, -3 * 160);
    EXPECT_EQ(Affine[1].y, 160 * 0x100) << "BG3 advances by its reset PD";

    RunToLineStart(50);
    MemWrite32(Io + Reg::BG2X, 0x1000);  // a new point restarts the current one
    RunToLineStart(0);
    EXPECT_EQ(Affine[0].x, 0x1000 + 110 * 2);

    FrameSkip = 2;  // frame 0 is drawn, frame 1 is not
    RunFrames(1);
    EXPECT_EQ(Affine[0].x, 0x1000 + 160 * 2);
    Affine[0].x = 7;
    RunFrames(1);
    EXPECT_EQ(Affine[0].x, 7) << "a skipped frame leaves the points alone";
}

TEST_F(Scanline, KeysAreSampledWhenTheVerticalBlankBegins) {
    Headless::SetKeys(0x0009);  // A and Start
    RunToLineStart(159);
    EXPECT_EQ(ReadIo(Reg::KEYINPUT), 0xFFFFu);
    RunToLineStart(160);
    EXPECT_EQ(ReadIo(Reg::KEYINPUT), 0xFFF6u);

    StoreIo(Reg::KEYCNT, 0x4008);  // Start, OR mode
    StoreIo(Reg::IF, 0);
    RunToLineStart(0);
    EXPECT_EQ(ReadIo(Reg::IF), 0u);
    RunToLineStart(160);
    EXPECT_EQ(ReadIo(Reg::IF), Irq::Keypad);
}

TEST_F(Scanline, FrameSoundRunsUnlessTheOutputIsClosed) {
    StoreIo(Reg::SOUNDCNT_X, 0);
    RunToLineStart(160);
    EXPECT_EQ(ReadIo(Reg::SOUNDCNT_X), ToneChipStatus());
    StoreIo(Reg::SOUNDCNT_X, 0);
    SoundMode = 3;
    RunFrames(1);
    EXPECT_EQ(ReadIo(Reg::SOUNDCNT_X), 0u);
}

TEST_F(Scanline, StopRequestEndsTheSliceAtLine160AndResumeCompletesIt) {
    WriteIo(Io + Reg::DISPSTAT, 0xA008);  // vertical blank interrupt, line match value 160
    WriteIo(Io + Reg::IE, Irq::VBlank);
    WriteIo(Io + Reg::IME, 1);
    StopRequest = true;
    int slices = 0, result = 0;
    while ((result = RunSlice()) != -1 && slices < SlicesPerFrame) ++slices;
    ASSERT_EQ(result, -1);
    EXPECT_EQ(slices, 2 * 160 - 1);
    EXPECT_EQ(ReadIo(Reg::VCOUNT), 160u);
    EXPECT_EQ(ReadIo(Reg::DISPSTAT) & 7, 2u) << "the flags of line 159 are still in place";
    EXPECT_EQ(ReadIo(Reg::IF), 0u);

    Cpu.cpsr = ModeSystem;
    Cpu.r[15] = 0x08000100;
    Cpu.cycleBudget = -5;
    ResumeAfterStop();
    EXPECT_FALSE(StopRequest);
    EXPECT_EQ(ReadIo(Reg::DISPSTAT) & 7, 5u);
    EXPECT_EQ(ReadIo(Reg::IF), Irq::VBlank);
    EXPECT_EQ(Cpu.irqPending, Irq::VBlank);
    EXPECT_EQ(Cpu.r[15], 0x18u) << "the interrupt is taken";
    EXPECT_EQ(Cpu.savedBudget, 955) << "the next slice's budget, parked by the mode change";
    EXPECT_EQ(Cpu.r[14], 0x08000104u);

    // Not stopped: resuming changes nothing but the request.
    StopRequest = true;
    ResumeAfterStop();
    EXPECT_FALSE(StopRequest);
    EXPECT_EQ(Cpu.savedBudget, 955);
    EXPECT_EQ(Cpu.r[15], 0x18u);
}

// Everything a run changes, for comparing two runs.
std::vector<uint8_t> MachineSnapshot() {
    std::vector<uint8_t> out(CpuStateBytes);
    StoreCpuState(Cpu, out.data());
    auto append = [&out](const void* data, size_t size) {
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        out.insert(out.end(), bytes, bytes + size);
    };
    append(IoPage(), 0x400);
    append(InternalRam(), InternalRamSize);
    append(ExternalRam(), ExternalRamSize);
    for (const Timer& t : Timers) append(&t, sizeof t);
    for (const DirectSoundRing& r : Rings) {
        append(&r.position, sizeof r.position);
        append(&r.source, sizeof r.source);
        append(&r.pending, sizeof r.pending);
        append(r.samples, RingSize);
    }
    append(Affine, sizeof Affine);
    append(&HaltState, sizeof HaltState);
    append(&FrameSkipCountdown, sizeof FrameSkipCountdown);
    return out;
}

// Timers with interrupts, a repeating horizontal-blank DMA, the sound feed
// and the vertical-blank interrupt, all running.
void StartBusyMachine(const TempDir& dir) {
    BootWords(dir, {0xEAFFFFFE});
    StopRequest = false;  // left set by an earlier stopped run
    for (uint32_t i = 0; i < 0x1000; i += 4) MemWrite32(0x02000000 + i, i * 0x01010101u);
    MemWrite16(Io + Reg::TM0CNT_L, 0xFF80);
    MemWrite16(Io + Reg::TM0CNT_H, 0x00C0);
    MemWrite16(Io + Reg::TM0CNT_H + 4, 0x00C4);
    MemWrite16(Io + Reg::SOUNDCNT_H, 0x0B0F);
    MemWrite32(Io + Reg::DMA0SAD + Reg::DMA_STRIDE, 0x02000000);
    MemWrite16(Io + Reg::DMA0SAD + Reg::DMA_STRIDE + Reg::DMA_CNT_H, 0xB600);
    MemWrite32(Io + Reg::DMA0SAD, 0x02000000);
    MemWrite32(Io + Reg::DMA0SAD + Reg::DMA_DAD, 0x03000000);
    MemWrite16(Io + Reg::DMA0SAD + Reg::DMA_CNT_L, 3);
    MemWrite16(Io + Reg::DMA0SAD + Reg::DMA_CNT_H, 0xA200);
    MemWrite16(Io + Reg::DISPSTAT, 0x0008);
    MemWrite16(Io + Reg::IE, Irq::VBlank | Irq::Timer0);
    MemWrite16(Io + Reg::IME, 1);
}

TEST_F(Scanline, StoppedRunContinuesAsIfUninterrupted) {
    for (int mode : {0, 2}) {
        SoundMode = mode;
        StartBusyMachine(dir);
        Headless::RunFrames(7);
        std::vector<uint8_t> whole = MachineSnapshot();

        StartBusyMachine(dir);
        Headless::RunFrames(3);
        Headless::RunFrames(1);
        Headless::RunFrames(3);
        EXPECT_TRUE(MachineSnapshot() == whole) << "sound mode " << mode;
        EXPECT_EQ(Headless::FrameCount(), 7u);
    }
}

// The same with console programs: halting, interrupt handlers, timers and
// the sound feed running on the CPU.
TEST_F(Scanline, StoppedProgramContinuesAsIfUninterrupted) {
    for (const char* program : {"timer_cascade", "dma_sound_feed", "irq_lines"}) {
        BootProgram(ProgramPath(program));
        StopRequest = false;
        Headless::RunFrames(9);
        std::vector<uint8_t> whole = MachineSnapshot();

        BootProgram(ProgramPath(program));
        StopRequest = false;
        Headless::RunFrames(2);
        Headless::RunFrames(3);
        Headless::RunFrames(4);
        EXPECT_TRUE(MachineSnapshot() == whole) << program;
    }
}

}  // namespace
