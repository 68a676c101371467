// tone_chip_test.cpp - register rules, timers and pushes of the tone-chip model, seen at the voices.
#include "sound/tone_chip.h"

#include <gtest/gtest.h>

#include "sound/voices.h"

namespace {

struct VoiceRecord {
    int32_t frequency = -1, volume = -1;  // -1: no tone pushed
    int32_t instrument = -1;
    const int8_t* samples = nullptr;
    int32_t count = 0;
    int tones = 0;
};
VoiceRecord Voices[6];

void RecordTone(int v, int32_t f, int32_t a) {
    if (v >= 6) return;
    Voices[v].frequency = f;
    Voices[v].volume = a;
    ++Voices[v].tones;
}
void RecordInstrument(int v, int32_t i) {
    if (v < 6) Voices[v].instrument = i;
}
void RecordWave(int v, const int8_t* s, int32_t n) {
    if (v >= 6) return;
    Voices[v].samples = s;
    Voices[v].count = n;
}

// Full volume: master 14 (NR50 = 0x77, NR51 = 0xFF) x envelope 15 x 255 / 210.
constexpr int32_t FullVolume = 255;

class ToneChipTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterVoiceHandlers(RecordTone, RecordInstrument, RecordWave);
        InitToneChip(0, true);
        WriteSoundIo(0x22, 2);  // SOUNDCNT_H: tone channels at full volume
        Forget();
    }
    void TearDown() override { RegisterVoiceHandlers(nullptr, nullptr, nullptr); }
    static void Forget() {
        for (VoiceRecord& v : Voices) v = VoiceRecord{};
    }
    // Starts square channel 0 or 1 at frequency register x with envelope byte
    // `envelope`; the frequency and start go through one halfword I/O write.
    static void StartSquare(int channel, int32_t x, uint32_t envelope, bool lengthEnabled = false) {
        WriteToneRegister(channel == 0 ? NR12 : NR22, envelope);
        WriteSoundIo(channel == 0 ? 0x04 : 0x0C, x | (lengthEnabled ? 0x4000 : 0) | 0x8000);
    }
    static uint8_t Reg(int index) { return ToneChip.registers[index]; }
};

TEST_F(ToneChipTest, ResetDescribesVoicesAndMasterVolumes) {
    Forget();
    InitToneChip(0, true);
    EXPECT_EQ(Voices[0].instrument, InstrumentSquare);
    EXPECT_EQ(Voices[1].instrument, InstrumentSquare);
    EXPECT_EQ(Voices[3].instrument, InstrumentNoise);
    EXPECT_EQ(Voices[2].count, 32);
    EXPECT_EQ(Voices[2].samples, ToneChip.waveSamples);
    for (int i = 0; i < WaveSampleCount; ++i) ASSERT_EQ(ToneChip.waveSamples[i], -128);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(Voices[c].frequency, 0) << c;
        EXPECT_EQ(Voices[c].volume, 0) << c;
    }
    EXPECT_EQ(ToneChipStatus(), 0x80);
    EXPECT_EQ(Reg(NR50), 0x77);
    EXPECT_EQ(Reg(NR51), 0xFF);
    EXPECT_EQ(ToneChip.master[0], 14);
    EXPECT_EQ(ToneChip.master[3], 12);  // 14 x 10000 / 11412
}

TEST_F(ToneChipTest, StartWithEnvelopePlaysAtFullVolume) {
    StartSquare(0, 1792, 0xF0);  // 131072 / 256
    EXPECT_EQ(Voices[0].frequency, 512);
    EXPECT_EQ(Voices[0].volume, FullVolume);
    EXPECT_EQ(ToneChipStatus(), 0x81);

    StartSquare(1, 1536, 0x70);  // envelope 7: 14 x 7 x 255 / 210 = 119
    EXPECT_EQ(Voices[1].frequency, 256);
    EXPECT_EQ(Voices[1].volume, 119);
    EXPECT_EQ(ToneChipStatus(), 0x83);
}

TEST_F(ToneChipTest, FrequencyRuleCoversTheWholeRegister) {
    StartSquare(0, 0, 0xF0);
    EXPECT_EQ(Voices[0].frequency, 64);
    StartSquare(0, 2047, 0xF0);
    EXPECT_EQ(Voices[0].frequency, 131072);
    WriteToneRegister(NR13, 0xFE);  // a low-byte write on a playing channel: x = 0x7FE
    EXPECT_EQ(Voices[0].frequency, 65536);
}

TEST_F(ToneChipTest, FrequencyWritesWaitForTheStart) {
    WriteToneRegister(NR23, 0x00);
    WriteToneRegister(NR24, 0x06);  // no start bit: channel stays off
    EXPECT_EQ(Voices[1].tones, 0);
    WriteToneRegister(NR22, 0xF0);  // envelope of a silent channel is stored, not pushed
    EXPECT_EQ(Voices[1].tones, 0);
    WriteToneRegister(NR24, 0x86);
    EXPECT_EQ(Voices[1].frequency, 256);  // 131072 / (2048 - 0x600)
    EXPECT_EQ(Voices[1].volume, FullVolume);
}

TEST_F(ToneChipTest, WritesAreIgnoredWhileTheSoundIsOff) {
    WriteToneRegister(NR52, 0x00);
    Forget();
    EXPECT_EQ(WriteToneRegister(NR12, 0xF3), 1);
    EXPECT_EQ(Reg(NR12), 0);
    EXPECT_EQ(WriteToneRegister(NR14, 0x80), 1);
    EXPECT_EQ(ToneChipStatus(), 0x00);
    EXPECT_EQ(Voices[0].tones, 0);
    EXPECT_EQ(WriteToneRegister(48, 0), 0);

    WriteToneRegister(NR52, 0x80);  // switching back on is the one write that counts
    EXPECT_EQ(ToneChipStatus(), 0x80);
    WriteToneRegister(NR12, 0xF3);
    EXPECT_EQ(Reg(NR12), 0xF3);
}

TEST_F(ToneChipTest, SwitchingOffResetsEveryChannelAndRegister) {
    PushToneChip(1);  // deferred, as after machine reset
    StartSquare(0, 1792, 0xF0);
    StartSquare(1, 1792, 0xF0);
    WriteSoundIo(0x22, 0);
    WriteToneRegister(NR10, 0x77);
    WriteToneRegister(NR44, 0x80);
    PushToneChip(2);
    ASSERT_EQ(ToneChipStatus(), 0x8B);
    Forget();

    WriteSoundIo(0x24, 0x0000);  // NR52 bit 7 cleared
    EXPECT_EQ(ToneChipStatus(), 0x00);
    for (int i = 0; i < ToneRegisterCount; ++i) {
        if (i == NR50 || i == NR51) continue;
        EXPECT_EQ(Reg(i), 0) << "register " << i;
    }
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(Voices[c].frequency, 0) << c;
        EXPECT_EQ(ToneChip.frequency[c], 0) << c;
        EXPECT_EQ(ToneChip.lengthCounter[c], -1) << c;
    }
    EXPECT_EQ(ToneChip.sweepPeriod, 0);
    EXPECT_FALSE(ToneChip.deferred) << "the reset ends the deferral";
    EXPECT_EQ(ToneChip.volumeShift, 0);
    EXPECT_TRUE(ToneChip.consoleMode);
    EXPECT_EQ(Voices[2].count, 32);
}

TEST_F(ToneChipTest, LengthExpirySilencesTheChannel) {
    WriteToneRegister(NR11, 0x3F);  // (64 - 63) x 1000 / 256 = 3 ms
    StartSquare(0, 1792, 0xF0, true);
    WriteToneRegister(NR21, 0x00);  // 250 ms
    StartSquare(1, 1792, 0xF0, true);
    TickToneChip(16);
    EXPECT_EQ(Voices[0].frequency, 0);
    EXPECT_EQ(ToneChipStatus() & 3, 2);
    EXPECT_EQ(Voices[1].frequency, 512);
    for (int i = 0; i < 14; ++i) TickToneChip(16);  // 240 ms
    EXPECT_EQ(Voices[1].frequency, 512);
    TickToneChip(16);  // 256 ms
    EXPECT_EQ(Voices[1].frequency, 0);
    EXPECT_EQ(ToneChipStatus(), 0x80);
}

TEST_F(ToneChipTest, LengthCountsOnlyWhenEnabledAtStart) {
    WriteToneRegister(NR11, 0x3F);
    StartSquare(0, 1792, 0xF0, false);
    for (int i = 0; i < 100; ++i) TickToneChip(16);
    EXPECT_EQ(Voices[0].frequency, 512);
}

TEST_F(ToneChipTest, WaveLengthCountsHalfSecondsPerStep) {
    WriteToneRegister(NR30, 0x80);
    WriteToneRegister(NR32, 0x20);
    WriteToneRegister(NR31, 0xFF);  // (256 - 255) x 500 = 500 ms
    WriteSoundIo(0x14, 0xC000 | 1792);
    EXPECT_EQ(Voices[2].frequency, 512);
    for (int i = 0; i < 31; ++i) TickToneChip(16);  // 496 ms
    EXPECT_EQ(Voices[2].frequency, 512);
    TickToneChip(16);
    EXPECT_EQ(Voices[2].frequency, 0);
    EXPECT_EQ(ToneChipStatus() & 4, 0);
}

TEST_F(ToneChipTest, EnvelopeStepsOncePerTick) {
    StartSquare(0, 1792, 0xF1);  // volume 15, period 1, decreasing
    TickToneChip(16);
    EXPECT_EQ(Voices[0].volume, 14 * 14 * 255 / 210);
    for (int i = 0; i < 20; ++i) TickToneChip(16);
    EXPECT_EQ(Voices[0].volume, 0) << "the envelope stops at 0";
    EXPECT_EQ(Voices[0].frequency, 512);

    StartSquare(1, 1792, 0x09);  // volume 0, increasing
    for (int i = 0; i < 20; ++i) TickToneChip(16);
    EXPECT_EQ(Voices[1].volume, FullVolume) << "and at 15";
}

TEST_F(ToneChipTest, SweepMovesTheFrequencyAndItsRegisters) {
    WriteToneRegister(NR10, 0x11);  // period 1 x 1000 / 128 = 7 ms, upward, shift 1
    StartSquare(0, 1024, 0xF0);
    EXPECT_EQ(Voices[0].frequency, 128);
    TickToneChip(16);
    EXPECT_EQ(ToneChip.sweepShadow, 1536);
    EXPECT_EQ(Voices[0].frequency, 256);
    EXPECT_EQ(Reg(NR13), 0x00);
    EXPECT_EQ(Reg(NR14) & 7, 6);

    WriteToneRegister(NR10, 0x19);  // downward
    TickToneChip(16);
    EXPECT_EQ(Voices[0].frequency, 131072 / (2048 - 768));
}

TEST_F(ToneChipTest, SweepPastTheTopSilencesChannelZero) {
    WriteToneRegister(NR10, 0x11);
    StartSquare(0, 1500, 0xF0);  // 1500 + 750 > 2047
    TickToneChip(16);
    EXPECT_EQ(Voices[0].frequency, 0);
    EXPECT_EQ(ToneChipStatus() & 1, 0);
    EXPECT_EQ(ToneChip.sweepShadow, 1500);
}

TEST_F(ToneChipTest, SoundControlHighSetsTheToneVolumeShift) {
    StartSquare(0, 1792, 0xF0);
    const int32_t expected[4] = {FullVolume >> 2, FullVolume >> 1, FullVolume, FullVolume};
    for (uint32_t bits = 0; bits < 4; ++bits) {
        Voices[0].volume = -1;
        WriteSoundIo(0x22, 0xFF00 | bits);  // upper bits belong to direct sound
        EXPECT_EQ(Voices[0].volume, expected[bits]) << "SOUNDCNT_H bits " << bits;
    }
}

TEST_F(ToneChipTest, MasterVolumesFollowTheRoutingRegisters) {
    StartSquare(0, 1792, 0xF0);
    WriteToneRegister(NR44, 0x80);
    EXPECT_EQ(Voices[3].frequency, 8192);
    EXPECT_EQ(Voices[3].volume, 0) << "noise starts with NR42's envelope, here 0";
    WriteToneRegister(NR42, 0xF0);
    EXPECT_EQ(Voices[3].volume, 12 * 15 * 255 / 210);
    WriteSoundIo(0x20, 0x0173);  // NR50 = 0x73, NR51 = 0x01: channel 0 on the right only
    EXPECT_EQ(Voices[0].volume, 3 * 15 * 255 / 210);
    EXPECT_EQ(Voices[3].volume, 0);
}

TEST_F(ToneChipTest, WaveVolumeCodesAndChannelEnable) {
    WriteToneRegister(NR30, 0x00);
    WriteSoundIo(0x14, 0x8000 | 1792);  // start without NR30 bit 7: stays off
    EXPECT_EQ(ToneChipStatus() & 4, 0);
    WriteToneRegister(NR30, 0x80);
    WriteSoundIo(0x14, 0x8000 | 1792);
    EXPECT_EQ(ToneChipStatus() & 4, 4);
    const int32_t expected[4] = {0, FullVolume, 14 * 7 * 255 / 210, 14 * 3 * 255 / 210};
    for (uint32_t code = 0; code < 4; ++code) {
        WriteToneRegister(NR32, code << 5);
        EXPECT_EQ(Voices[2].volume, expected[code]) << "code " << code;
        EXPECT_EQ(Voices[2].frequency, 512);
    }
    WriteToneRegister(NR30, 0x00);
    EXPECT_EQ(Voices[2].frequency, 0);
    EXPECT_EQ(ToneChipStatus() & 4, 0);
}

TEST_F(ToneChipTest, WaveRamWritesTheBankNotPlayed) {
    WriteToneRegister(NR30, 0x80);  // bank 0 plays, writes go to bank 1
    WriteSoundIo(0x30, 0x0FF0);     // wave bytes 0 and 1
    EXPECT_EQ(ToneChip.waveSamples[32], 127);
    EXPECT_EQ(ToneChip.waveSamples[33], -128);
    EXPECT_EQ(ToneChip.waveSamples[34], -128);
    EXPECT_EQ(ToneChip.waveSamples[35], 127);
    EXPECT_EQ(ToneChip.waveSamples[0], -128);
    EXPECT_EQ(Voices[2].samples, ToneChip.waveSamples);
    EXPECT_EQ(Voices[2].count, 32);

    WriteSoundIo(0x10, 0xC0);  // bits 5..6 = 0b10: bank 1 plays, writes go to bank 0
    EXPECT_EQ(Voices[2].samples, ToneChip.waveSamples + 32);
    EXPECT_EQ(Voices[2].count, 32);
    WriteSoundIo(0x3F, 0x5A00);  // an odd offset writes the whole halfword: wave bytes 14 and 15
    EXPECT_EQ(ToneChip.waveSamples[30], 5 * 17 - 128);
    EXPECT_EQ(ToneChip.waveSamples[31], 10 * 17 - 128);

    WriteSoundIo(0x10, 0xA0);  // bit 5: one 64-sample loop from bank 0
    EXPECT_EQ(Voices[2].samples, ToneChip.waveSamples);
    EXPECT_EQ(Voices[2].count, 64);
}

TEST_F(ToneChipTest, DeferredChangesWaitForThePush) {
    PushToneChip(1);
    StartSquare(0, 1792, 0xF0);
    WriteSoundIo(0x30, 0x1234);
    TickToneChip(16);
    WriteSoundIo(0x22, 0);
    EXPECT_EQ(Voices[0].tones, 0);
    EXPECT_EQ(Voices[2].count, 0);

    PushToneChip(2);
    EXPECT_EQ(Voices[0].frequency, 512);
    EXPECT_EQ(Voices[0].volume, FullVolume >> 2);
    EXPECT_EQ(Voices[2].count, 32);
    EXPECT_EQ(Voices[1].tones, 1) << "every channel was marked by SOUNDCNT_H";
    PushToneChip(2);
    EXPECT_EQ(Voices[0].tones, 1) << "a push sends only what changed";

    PushToneChip(0);
    WriteToneRegister(NR12, 0x80);
    EXPECT_EQ(Voices[0].volume, (14 * 8 * 255 / 210) >> 2);
}

TEST_F(ToneChipTest, SoundIoIsIgnoredOutsideConsoleModeAndPastItsRange) {
    WriteSoundIo(0x40, 0xFFFF);  // past 0x9F
    EXPECT_EQ(ToneChipStatus(), 0x80);
    InitToneChip(0, false);
    WriteSoundIo(0x24, 0x0000);
    EXPECT_EQ(ToneChipStatus(), 0x80);
}

TEST_F(ToneChipTest, FirstVoiceOffsetsEveryVoice) {
    RegisterVoiceHandlers(RecordTone, RecordInstrument, RecordWave);
    Forget();
    InitToneChip(2, true);
    EXPECT_EQ(Voices[2].instrument, InstrumentSquare);
    EXPECT_EQ(Voices[5].instrument, InstrumentNoise);
    EXPECT_EQ(Voices[4].count, 32);
    StartSquare(1, 1792, 0xF0);
    EXPECT_EQ(Voices[3].frequency, 512);
}

}  // namespace
