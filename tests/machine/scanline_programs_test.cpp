// scanline_programs_test.cpp - console programs exercising interrupts, DMA,
// timers and the direct-sound feed end to end, the public test cartridges
// that touch them, and the runner's frame skipping.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cpu/cpu.h"
#include "headless.h"
#include "machine/io.h"
#include "machine/memory.h"
#include "machine/scanline.h"
#include "machine/timers.h"
#include "sound/voices.h"
#include "test_support.h"
#include "video/renderer.h"

namespace {

constexpr uint32_t Results = 0x03001000;

uint32_t Result(int word) { return PeekWord(Results + 4 * word); }

// Boots a console program and runs it for `frames` frames.
void RunProgram(const std::string& program, int frames) {
    BootProgram(ProgramPath(program));
    StopRequest = false;
    Headless::RunFrames(frames);
}

TEST(TimingPrograms, LineInterruptsAreCountedPerFrame) {
    RunProgram("irq_lines", 10);
    EXPECT_EQ(Cpu.r[12], 0u);
    EXPECT_GE(Result(0), 6u);
    for (int k = 1; k < 6; ++k) EXPECT_EQ(Result(5 + k) - Result(4 + k), 228u) << "frame " << k;
    EXPECT_EQ(Result(2), 6u) << "one line match per frame";
    EXPECT_EQ(Result(3), 100u);
    EXPECT_EQ(Result(4), 160u);
}

TEST(TimingPrograms, HaltAndAcknowledgeRules) {
    RunProgram("irq_rules", 20);
    EXPECT_EQ(Cpu.r[12], 0u) << "failed check";
    EXPECT_EQ(Result(0), 5u) << "interrupts taken";
}

TEST(TimingPrograms, DmaCases) {
    RunProgram("dma_cases", 20);
    EXPECT_EQ(Cpu.r[12], 0u) << "failed check";
}

TEST(TimingPrograms, TimerOverflowsAndCascade) {
    RunProgram("timer_cascade", 20);
    ASSERT_EQ(Cpu.r[12], 0u) << "failed check";
    // Ten frames are 2808960 cycles.
    EXPECT_EQ(Result(4), 10u);
    EXPECT_NEAR(Result(0), 2808960 / 4096, 2) << "timer 0 every 4096 cycles";
    EXPECT_EQ(Result(1), Result(0) / 4) << "timer 1 counts timer 0's overflows";
    EXPECT_NEAR(Result(2), 2808960 / 65536, 1) << "timer 2 at 1/256";
    EXPECT_NEAR(Result(3), 10 * 456, 2) << "a period shorter than a slice requests once per slice";
}

int32_t FeedVoiceFrequency;
void RecordFeedVoice(int voice, int32_t frequency, int32_t) {
    if (voice == 4) FeedVoiceFrequency = frequency;
}

class SoundFeed : public ::testing::Test {
protected:
    void SetUp() override { RegisterVoiceHandlers(RecordFeedVoice, nullptr, nullptr); }
    void TearDown() override {
        RegisterVoiceHandlers(nullptr, nullptr, nullptr);
        SoundMode = 0;
    }
};

TEST_F(SoundFeed, RingFillsAtTheTimersRate) {
    SoundMode = 0;
    RunProgram("dma_sound_feed", 5);
    ASSERT_EQ(Cpu.r[12], 0u);
    EXPECT_EQ(FeedVoiceFrequency, 16780002 / 1024 / 1024);
    uint32_t source = Rings[0].source, interrupts = Result(0);
    Headless::RunFrames(10);
    uint32_t advanced = Rings[0].source - source;
    EXPECT_NEAR(advanced, 10 * 280896 / 1024, 16) << "one byte per 1024 cycles";
    EXPECT_EQ(advanced % 16, 0u);
    EXPECT_EQ(Result(0) - interrupts, advanced / 16) << "one DMA1 request per block fetched";
    EXPECT_EQ(Result(1), 14u) << "the 15th vertical blank is taken when the run continues";
    // The newest block in the ring is the one just before the source.
    for (uint32_t i = 1; i <= 16; ++i)
        EXPECT_EQ(static_cast<uint8_t>(Rings[0].samples[(Rings[0].position - i) % RingSize]),
                  PeekByte(Rings[0].source - i));
}

TEST_F(SoundFeed, OpenOutputTakesAFramesWorthAtTheVerticalBlank) {
    SoundMode = 2;
    RunProgram("dma_sound_feed", 5);
    uint32_t source = Rings[0].source;
    Headless::RunFrames(3);
    EXPECT_EQ(Rings[0].source - source, 3 * 272u) << "(280945 / 1024) >> 4 blocks a frame";
}

// The runner prints the registers; returns R`reg` after `frames` frames, or -1.
long RunnerRegister(const std::string& cartridge, int reg, int frames, const std::string& options = "") {
    std::string command = std::string(TAMBORIL_BIN_DIR) + "/tamboril-run --regs --frames " + std::to_string(frames) +
                          " " + options + " '" + cartridge + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    std::string output;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    if (pclose(pipe) != 0) return -1;
    std::string key = "R" + std::to_string(reg) + "=";
    size_t at = output.find(key);
    if (at == std::string::npos) return -1;
    return std::stol(output.substr(at + key.size(), 8), nullptr, 16);
}

TEST(PublicCartridges, ShippedMemoryAndNesStopAtTheirDesignedTests) {
    REQUIRE_SHARED_ROM(memory, "gba-tests/memory/memory.gba");
    REQUIRE_SHARED_ROM(nes, "gba-tests/nes/nes.gba");
    EXPECT_EQ(RunnerRegister(memory, 12, 60), 3) << "palette RAM is not mirrored here";
    EXPECT_EQ(RunnerRegister(nes, 12, 60), 1) << "no prefetch: overwritten code runs";
}

TEST(PublicCartridges, IntendedMemoryAndNesPass) {
    REQUIRE_SHARED_ROM(memory, "gba-tests-intended/memory.gba");
    REQUIRE_SHARED_ROM(nes, "gba-tests-intended/nes.gba");
    EXPECT_EQ(RunnerRegister(memory, 12, 60), 0);
    EXPECT_EQ(RunnerRegister(nes, 12, 60, "--frameskip 4"), 0);
}

int Presented;
void CountPresent() { ++Presented; }

TEST(TimingPrograms, FrameSkipShowsFewerFramesButCountsEveryVerticalBlank) {
    BootProgram(ProgramPath("dma_sound_feed"));
    StopRequest = false;
    SetPresentHook(CountPresent);
    Presented = 0;
    FrameSkipCountdown = 0;
    FrameSkip = 3;
    Headless::RunFrames(12);
    FrameSkip = 1;
    EXPECT_EQ(Presented, 4);
    EXPECT_EQ(Headless::FrameCount(), 12u);
    EXPECT_EQ(Result(1), 11u) << "vertical-blank interrupts the program saw";
}

TEST(Runner, FrameSkipOption) {
    std::string command = std::string(TAMBORIL_BIN_DIR) + "/tamboril-run --bench --frames 12 --frameskip 3 '" +
                          ProgramPath("irq_lines") + "'";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[256] = {};
    std::string output;
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_EQ(output.rfind("frames=12 ", 0), 0u) << output;

    std::string bad =
        std::string(TAMBORIL_BIN_DIR) + "/tamboril-run --frameskip 0 '" + ProgramPath("irq_lines") + "' 2>/dev/null";
    EXPECT_EQ(WEXITSTATUS(std::system(bad.c_str())), 2);
}

}  // namespace
