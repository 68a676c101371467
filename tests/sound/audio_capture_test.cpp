// audio_capture_test.cpp - the headless sound capture and the runner's WAV output, end to end.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "audio.h"
#include "headless.h"
#include "sound/voices.h"
#include "test_support.h"
#include "wav_analysis.h"

namespace {

constexpr int64_t CpuClock = 16777216;
constexpr int64_t CyclesPerFrame = 280896;

// Whole blocks that fit in the emulated time of `frames` frames.
size_t ExpectedSamples(int frames, int64_t rate, int64_t block) {
    return static_cast<size_t>(frames * rate * CyclesPerFrame / (block * CpuClock) * block);
}

// First sample of frame k (the vertical blank at which the frame's blocks are rendered).
size_t FrameStart(int frame, int64_t rate) { return static_cast<size_t>(frame * rate * CyclesPerFrame / CpuClock); }

class AudioCaptureTest : public ::testing::Test {
protected:
    void TearDown() override {
        Headless::StopMachine();
        Headless::CloseAudio();
        SoundMode = 0;
    }
};

TEST_F(AudioCaptureTest, EachFrameRendersTheBlocksItsDurationNeeds) {
    for (int32_t rate : {11025, 22050, 44100}) {
        ASSERT_TRUE(Headless::OpenAudio(rate));
        EXPECT_EQ(SoundMode, 2);
        BootProgram(ProgramPath("count_loop"));  // never touches the sound registers
        Headless::RunFrames(130);
        const int64_t block = rate == 44100 ? 512 : rate == 22050 ? 256 : 128;
        EXPECT_EQ(Headless::AudioSamples().size(), ExpectedSamples(130, rate, block)) << rate;
        EXPECT_TRUE(Silent(Headless::AudioSamples(), 0, Headless::AudioSamples().size())) << rate;
        Headless::StopMachine();
        Headless::CloseAudio();
    }
    EXPECT_FALSE(Headless::OpenAudio(0));
}

// Timeline of the program: silence, a 256 Hz square, silence, a 512 Hz
// direct-sound loop through timer 0 and DMA1, silence. Each measured window
// keeps a few frames away from the changes.
TEST_F(AudioCaptureTest, RunnerRecordsTheSquareToneAndTheDirectSoundLoop) {
    TempDir dir;
    const std::string wavPath = dir.File("sound.wav");
    const std::string command = std::string(TAMBORIL_BIN_DIR) + "/tamboril-run --frames 130 --audio " + wavPath + " " +
                                ProgramPath("sound_tone_and_fifo");
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    Wav wav = ReadWav(wavPath);
    ASSERT_EQ(wav.rate, 22050u);
    ASSERT_EQ(wav.samples.size(), ExpectedSamples(130, 22050, 256));
    const auto& s = wav.samples;
    auto at = [](int frame) { return FrameStart(frame, 22050); };

    EXPECT_TRUE(Silent(s, at(1), at(19))) << "before the tone";
    EXPECT_NEAR(Fundamental(s, at(24), at(48), 22050), 256.0, 2.56);
    EXPECT_TRUE(Silent(s, at(54), at(68))) << "between tone and sample loop";
    EXPECT_NEAR(Fundamental(s, at(78), at(98), 22050), 512.0, 5.12);
    EXPECT_TRUE(Silent(s, at(104), s.size())) << "after the sample loop";
}

TEST_F(AudioCaptureTest, RunnerRefusesBadRatesAndReportsUnwritableFiles) {
    const std::string runner = std::string(TAMBORIL_BIN_DIR) + "/tamboril-run";
    const std::string program = " " + ProgramPath("count_loop") + " 2>/dev/null";
    EXPECT_EQ(WEXITSTATUS(std::system((runner + " --rate 999 --audio x.wav" + program).c_str())), 2);
    EXPECT_EQ(WEXITSTATUS(std::system((runner + " --audio" + program).c_str())), 2);
    TempDir dir;
    EXPECT_EQ(
        WEXITSTATUS(std::system((runner + " --frames 1 --audio " + dir.File("no/such/dir.wav") + program).c_str())), 3);
}

}  // namespace
