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

namespace {

constexpr int64_t CpuClock = 16777216;
constexpr int64_t CyclesPerFrame = 280896;

// Whole blocks that fit in the emulated time of `frames` frames.
size_t ExpectedSamples(int frames, int64_t rate, int64_t block) {
    return static_cast<size_t>(frames * rate * CyclesPerFrame / (block * CpuClock) * block);
}

// First sample of frame k (the vertical blank at which the frame's blocks are rendered).
size_t FrameStart(int frame, int64_t rate) { return static_cast<size_t>(frame * rate * CyclesPerFrame / CpuClock); }

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
    return v;
}

struct Wav {
    uint32_t rate = 0;
    std::vector<uint8_t> samples;
};

// Reads an 8-bit mono PCM WAV file, checking every header field.
Wav ReadWav(const std::string& path) {
    std::vector<uint8_t> bytes = ReadFileBytes(path);
    Wav wav;
    EXPECT_GE(bytes.size(), 44u);
    if (bytes.size() < 44) return wav;
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(Le(bytes, 4, 4), bytes.size() - 8);
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Le(bytes, 16, 4), 16u);
    EXPECT_EQ(Le(bytes, 20, 2), 1u) << "PCM";
    EXPECT_EQ(Le(bytes, 22, 2), 1u) << "mono";
    wav.rate = Le(bytes, 24, 4);
    EXPECT_EQ(Le(bytes, 28, 4), wav.rate) << "one byte per sample";
    EXPECT_EQ(Le(bytes, 32, 2), 1u);
    EXPECT_EQ(Le(bytes, 34, 2), 8u);
    EXPECT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 40), "data");
    EXPECT_EQ(Le(bytes, 40, 4), bytes.size() - 44);
    wav.samples.assign(bytes.begin() + 44, bytes.end());
    return wav;
}

// Fundamental frequency of samples [begin, end) from its upward crossings of
// the silence level (samples exactly at 128 do not count as a side).
double Fundamental(const std::vector<uint8_t>& s, size_t begin, size_t end, double rate) {
    size_t first = 0, last = 0, crossings = 0;
    int side = 0;
    for (size_t i = begin; i < end && i < s.size(); ++i) {
        int now = s[i] > 128 ? 1 : s[i] < 128 ? -1 : 0;
        if (now == 0) continue;
        if (side < 0 && now > 0) {
            if (crossings++ == 0) first = i;
            last = i;
        }
        side = now;
    }
    if (crossings < 2) return 0;
    return (crossings - 1) * rate / static_cast<double>(last - first);
}

bool Silent(const std::vector<uint8_t>& s, size_t begin, size_t end) {
    for (size_t i = begin; i < end; ++i)
        if (s.at(i) != 128) return false;
    return true;
}

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
