// synthesizer_test.cpp - exact output samples of the six-voice synthesizer.
#include "sound/synthesizer.h"

#include <gtest/gtest.h>

#include <vector>

#include "sound/voices.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Render(Synthesizer& synth) {
    Bytes block(synth.SamplesPerBuffer(), 0xEE);
    synth.FillBuffer(block.data());
    return block;
}

Bytes Repeat(const Bytes& pattern, size_t times) {
    Bytes out;
    for (size_t i = 0; i < times; ++i) out.insert(out.end(), pattern.begin(), pattern.end());
    return out;
}

class SynthesizerTest : public ::testing::Test {
protected:
    void TearDown() override { SoundMode = 0; }
    Synthesizer synth;
};

// 1000 Hz at 8000 Hz: the phase moves 8192 a sample, so bit 15 flips every
// fourth sample and one period is eight samples.
TEST_F(SynthesizerTest, SquareAtUnityGainSwingsFullRangeWithSilentFlips) {
    synth.SetMasterVolume(10);
    ASSERT_TRUE(synth.Open(8000, 6));
    synth.SetTone(0, 1000, 255);
    EXPECT_EQ(Render(synth), (Bytes{0, 0, 0, 128, 255, 255}));
    EXPECT_EQ(Render(synth), (Bytes{255, 128, 0, 0, 0, 128}));  // the phase carries over
}

TEST_F(SynthesizerTest, MasterVolumeScalesAndClamps) {
    ASSERT_TRUE(synth.Open(8000, 8));
    synth.SetTone(1, 1000, 255);
    synth.SetMasterVolume(0);
    EXPECT_EQ(Render(synth), Bytes(8, 128));
    synth.SetMasterVolume(100);  // ten times unity: both halves clamp
    EXPECT_EQ(Render(synth), (Bytes{0, 0, 0, 128, 255, 255, 255, 128}));
    synth.SetMasterVolume(5);  // half of unity: (255 * 128) >> 9 = 63
    EXPECT_EQ(Render(synth), (Bytes{64, 64, 64, 128, 191, 191, 191, 128}));
}

TEST_F(SynthesizerTest, VoicesSumBeforeTheOutputClamp) {
    synth.SetMasterVolume(10);
    ASSERT_TRUE(synth.Open(8000, 8));
    synth.SetTone(0, 1000, 100);
    synth.SetTone(1, 1000, 100);  // same phase: 200 together
    EXPECT_EQ(Render(synth), (Bytes{28, 28, 28, 128, 228, 228, 228, 128}));
    for (int v = 2; v < 6; ++v) {
        synth.SetInstrument(v, InstrumentSquare);
        synth.SetTone(v, 1000, 100);
    }
    EXPECT_EQ(Render(synth), (Bytes{0, 0, 0, 128, 255, 255, 255, 128}));
}

TEST_F(SynthesizerTest, DisabledVoiceIgnoresTonesAndStaysSilent) {
    synth.SetMasterVolume(10);
    ASSERT_TRUE(synth.Open(8000, 8));
    synth.SetVoiceEnabled(0, false);
    synth.SetTone(0, 1000, 255);
    synth.SetVoiceEnabled(0, true);
    EXPECT_EQ(Render(synth), Bytes(8, 128)) << "the tone given while disabled must not be kept";

    synth.SetTone(1, 1000, 255);
    synth.SetVoiceEnabled(1, false);
    EXPECT_EQ(Render(synth), Bytes(8, 128));
    synth.SetVoiceEnabled(1, true);
    EXPECT_NE(Render(synth), Bytes(8, 128));
}

TEST_F(SynthesizerTest, ZeroFrequencyOrVolumeSilencesAVoice) {
    synth.SetMasterVolume(10);
    ASSERT_TRUE(synth.Open(8000, 8));
    synth.SetTone(0, 1000, 255);
    synth.SetTone(0, 1000, 0);
    EXPECT_EQ(Render(synth), Bytes(8, 128));
    synth.SetTone(0, 1000, 255);
    synth.SetTone(0, 0, 255);
    EXPECT_EQ(Render(synth), Bytes(8, 128));
}

TEST_F(SynthesizerTest, NoiseFollowsTheShiftRegisterAndTheNoiseSwitch) {
    synth.SetMasterVolume(10);
    ASSERT_TRUE(synth.Open(16384, 80));
    synth.SetTone(3, 8192, 255);  // voice 3 opens as noise; one shift every second sample
    EXPECT_EQ(Render(synth), Bytes(80, 128)) << "noise must be silent with the switch off";

    synth.SetNoise(true);
    // The register starts at 1 and moves left; bit 31 feeds back into bit 0
    // after 31 shifts (sample 61) and again after 35 (sample 69).
    Bytes expected(80, 64);                                       // (-255) >> 1 = -128, halved by the output stage
    for (int i : {0, 61, 62, 69, 70, 77, 78}) expected[i] = 191;  // 255 >> 1 = 127
    EXPECT_EQ(Render(synth), expected);
}

// A two-sample loop [0, 64] at 1000 Hz and 8000 Hz: four output samples per
// input sample. The first step divides by m = 5 (the start formula), the
// following ones by m = 4.
TEST_F(SynthesizerTest, SampleLoopInterpolatesBetweenInputSamples) {
    static const int8_t rising[2] = {0, 64};
    synth.SetMasterVolume(20);  // gain 512: output = accumulator + 128
    ASSERT_TRUE(synth.Open(8000, 13));
    synth.SetWave(2, rising, 2);
    synth.SetTone(2, 1000, 255);
    EXPECT_EQ(Render(synth), (Bytes{153, 179, 204, 230, 255, 223, 191, 159, 128, 159, 191, 223, 255}));
}

TEST_F(SynthesizerTest, SampleLoopTruncatesDivisionsAndShiftsArithmetically) {
    // 7 * -92 = -644: -644 / 5 truncates to -128 (floor would give -129), and
    // >> 7 rounds down (-257 >> 7 = -3, where / 128 would give -2).
    static const int8_t falling[2] = {0, -92};
    synth.SetMasterVolume(20);
    ASSERT_TRUE(synth.Open(8000, 4));
    synth.SetWave(4, falling, 2);
    synth.SetTone(4, 1000, 7);
    EXPECT_EQ(Render(synth), (Bytes{127, 125, 124, 123}));
}

// 32 samples at 440 Hz into 22050 Hz: 32 * 440 / 22050 = 0.6385 input
// samples per output sample, so the loop starts again 440 times a second.
TEST_F(SynthesizerTest, SampleLoopAt440HzAdvancesAtTheLoopRate) {
    int8_t spike[32] = {127};
    synth.SetMasterVolume(20);
    ASSERT_TRUE(synth.Open(22050));
    ASSERT_EQ(synth.SamplesPerBuffer(), 256);
    synth.SetWave(5, spike, 32);
    synth.SetTone(5, 440, 128);

    Render(synth);
    // 256 samples: 255 * 32768 / 51316 = 162.8 input samples, 162 mod 32 = 2;
    // the phase keeps the remainder plus the last sample.
    EXPECT_EQ(synth.LoopPosition(5), 2);
    EXPECT_EQ(synth.Phase(5), 256u * 32768 - 162u * 51316);

    // Count the loop starts over 87 blocks: the spike shows as a run of one
    // or two full-scale samples (the one before it may interpolate all the way).
    int starts = 0;
    bool high = false;
    for (int block = 0; block < 87; ++block) {
        for (uint8_t b : Render(synth)) {
            if (b == 255 && !high) ++starts;
            high = b == 255;
        }
    }
    EXPECT_NEAR(starts, 440.0 * 87 * 256 / 22050, 1.0);
}

// A square at the tone chip's highest frequency needs (f << 16) beyond 32
// bits. 65536 Hz at 262144 Hz and 131072 Hz at 524288 Hz both move the phase
// 16384 a sample: a four-sample period.
TEST_F(SynthesizerTest, SquareStepAbove32BitsKeepsItsFrequency) {
    synth.SetMasterVolume(10);
    ASSERT_TRUE(synth.Open(262144, 8));
    synth.SetTone(0, 65536, 255);
    EXPECT_EQ(Render(synth), Repeat({0, 128, 255, 128}, 2));
    synth.Close();

    ASSERT_TRUE(synth.Open(524288, 8));
    synth.SetTone(1, 131072, 255);
    EXPECT_EQ(Render(synth), Repeat({0, 128, 255, 128}, 2));
}

TEST_F(SynthesizerTest, NoiseStepAbove32BitsShiftsEverySample) {
    synth.SetMasterVolume(10);
    synth.SetNoise(true);
    ASSERT_TRUE(synth.Open(65536, 33));
    synth.SetTone(3, 65536, 255);  // a full period per sample
    Bytes expected(33, 64);
    expected[30] = 191;  // the 31st shift feeds bit 31 back into bit 0
    EXPECT_EQ(Render(synth), expected);
}

TEST_F(SynthesizerTest, SampleLoopSpanAbove32BitsPlaysEachInputSampleOnce) {
    int8_t ramp[32];
    for (int i = 0; i < 32; ++i) ramp[i] = static_cast<int8_t>(i * 8 - 128);
    synth.SetMasterVolume(20);
    ASSERT_TRUE(synth.Open(262144, 64));  // (262144 << 15) needs 34 bits
    synth.SetWave(2, ramp, 32);
    synth.SetTone(2, 8192, 128);  // 32 * 8192 = 262144 input samples a second
    Bytes expected(64);
    for (int i = 0; i < 64; ++i) expected[i] = static_cast<uint8_t>(ramp[i % 32] + 128);
    expected[0] = 4;  // the first sample lies halfway between the first two: -124
    EXPECT_EQ(Render(synth), expected);
}

TEST_F(SynthesizerTest, SlowSampleLoopInterpolationProductAbove32Bits) {
    static const int8_t edge[2] = {-128, 127};
    synth.SetMasterVolume(20);
    ASSERT_TRUE(synth.Open(131072, 40001));
    synth.SetWave(4, edge, 2);
    synth.SetTone(4, 1, 255);  // 65536 output samples per input sample
    Bytes out = Render(synth);
    EXPECT_EQ(out[0], 0);  // -32640 >> 7 = -255, clamped
    // -32640 + 65025 * 40000 / 65537 = 7047, >> 7 = 55
    EXPECT_EQ(out[39999], 128 + 55);
    EXPECT_EQ(out[40000], 128 + 55);
}

// 1024 x 1000000 exceeds 8000 << 15: the span would be 0 and the loop step a
// division by zero; the smallest span plays on instead.
TEST_F(SynthesizerTest, SampleLoopTooFastForTheSpanStillPlays) {
    static int8_t flat[1024];
    for (int8_t& sample : flat) sample = 100;
    synth.SetMasterVolume(20);
    ASSERT_TRUE(synth.Open(8000, 16));
    synth.SetWave(4, flat, 1024);
    synth.SetTone(4, 1000000, 128);
    EXPECT_EQ(Render(synth), Bytes(16, 128 + 100));
}

TEST_F(SynthesizerTest, OpenAndCloseSetTheSoundModeAndVoiceTypes) {
    static const int8_t loop[4] = {100, 100, 100, 100};
    synth.SetMasterVolume(20);
    synth.SetWave(5, loop, 4);  // kept while closed
    EXPECT_FALSE(synth.IsOpen());
    EXPECT_FALSE(synth.Open(0));
    EXPECT_FALSE(synth.IsOpen());

    ASSERT_TRUE(synth.Open(8000, 4));
    EXPECT_EQ(SoundMode, 2);
    EXPECT_TRUE(synth.Open(22050)) << "a second open keeps the first";
    EXPECT_EQ(synth.Rate(), 8000);
    EXPECT_EQ(Render(synth), Bytes(4, 128)) << "open starts every voice silent";
    synth.SetTone(5, 1000, 255);
    EXPECT_EQ(Render(synth), Bytes(4, 127 + 128)) << "a registered block opens as a sample loop";
    synth.SetTone(3, 1000, 255);
    EXPECT_EQ(Render(synth), Bytes(4, 127 + 128)) << "voice 3 opens as noise (switch off)";

    synth.Close();
    EXPECT_EQ(SoundMode, 3);
    EXPECT_FALSE(synth.IsOpen());
    Bytes untouched(4, 0xEE);
    synth.FillBuffer(untouched.data());
    EXPECT_EQ(untouched, Bytes(4, 0xEE));
}

TEST_F(SynthesizerTest, DispatchReachesTheSynthesizerWithClampedValues) {
    static const int8_t loop[2] = {64, 64};
    synth.SetMasterVolume(5);
    ASSERT_TRUE(synth.Open(8000, 4));
    SetVoiceTone(0, 1000, 300);  // clamped to 255: (-255 * 128) >> 9 = -64
    EXPECT_EQ(Render(synth), (Bytes{64, 64, 64, 128}));
    SetVoiceTone(0, -5, 255);  // frequency clamped to 0: silent
    EXPECT_EQ(Render(synth), Bytes(4, 128));
    SetVoiceTone(-1, 1000, 255);  // ignored
    EXPECT_EQ(Render(synth), Bytes(4, 128));

    SetVoiceWave(1, loop, 0);  // a count of 0 is ignored: voice 1 stays square
    SetVoiceTone(1, 1000, 255);
    EXPECT_EQ(Render(synth), (Bytes{64, 64, 64, 128}));
    SetVoiceWave(1, loop, 2);  // a block makes it a loop at once
    EXPECT_EQ(Render(synth), Bytes(4, 128 + 31));
    SetVoiceInstrument(1, InstrumentSquare);
    EXPECT_EQ(Render(synth), (Bytes{64, 64, 64, 128}));
}

TEST_F(SynthesizerTest, DestroyedSynthesizerLeavesTheDispatchEmpty) {
    {
        Synthesizer second;
        EXPECT_EQ(VoiceSoundObject(), &second);
    }
    EXPECT_EQ(VoiceSoundObject(), nullptr);
    SetVoiceTone(0, 1000, 255);  // must not reach a destroyed object
}

TEST(WaveBlockSize, FollowsTheWaveOutRule) {
    EXPECT_EQ(WaveBlockSize(44100), 512);
    EXPECT_EQ(WaveBlockSize(22050), 256);
    EXPECT_EQ(WaveBlockSize(11025), 128);
    EXPECT_EQ(WaveBlockSize(8000), 128);   // 512 / 5 = 102, raised to 128
    EXPECT_EQ(WaveBlockSize(48000), 512);  // 44100 / 48000 is 0: no division by zero
    EXPECT_EQ(WaveBlockSize(0), 0);
}

}  // namespace
