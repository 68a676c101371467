// sound_test.cpp - the sound output: when it opens, its block sizes, and the
// settings that reach the synthesizer.
#include <algorithm>
#include <vector>

#include "engine/base_sound.h"
#include "gba_sound.h"
#include "machine_fixture.h"
#include "sound/voices.h"

namespace {

using GbaSoundTest = MachineFixture;

GbaSound& Sound(GbaMachine& machine) { return *static_cast<GbaSound*>(machine.GetSound()); }

bool Silent(const std::vector<uint8_t>& block) {
    return std::all_of(block.begin(), block.end(), [](uint8_t s) { return s == 128; });
}

TEST_F(GbaSoundTest, OpensOnlyWhenTheEngineAndThePlugInBothWantSound) {
    struct Case {
        bool engineSound, pluginSound, open;
    };
    for (Case c : {Case{false, true, false}, Case{true, false, false}, Case{true, true, true}}) {
        engine->GetSettings().set(L"Sound", c.engineSound);
        machine->GetSettings().set(L"Sound", c.pluginSound);
        ASSERT_TRUE(Start(CopyDemo()));
        EXPECT_EQ(Sound(*machine).IsOpen(), c.open) << c.engineSound << c.pluginSound;
        if (!c.open) {
            EXPECT_EQ(SoundMode, 3);
        }
        machine->Stop();
        EXPECT_FALSE(Sound(*machine).IsOpen());
    }
}

TEST_F(GbaSoundTest, SynthesizerFillsWholeWaveOutBlocks) {
    for (int rate : {11025, 22050, 44100, 48000}) {
        GbaSound& sound = Sound(*machine);
        sound.Open(rate);
        ASSERT_TRUE(sound.IsOpen()) << rate;
        EXPECT_EQ(sound.GetBlockSize(), rate == 11025 ? 128 : rate == 22050 ? 256 : 512) << rate;
        EXPECT_EQ(sound.GetSynthesizer().SamplesPerBuffer(), sound.GetBlockSize()) << rate;
        EXPECT_EQ(sound.GetSynthesizer().Rate(), sound.GetRate()) << "the device's rate, at most 44100 Hz";
        sound.Close();
        EXPECT_FALSE(sound.GetSynthesizer().IsOpen());
    }
}

TEST_F(GbaSoundTest, ChannelSwitchesAndVolumeReachTheSynthesizer) {
    engine->GetSettings().set(L"Sound", true);  // or the settings update closes the sound
    GbaSound& sound = Sound(*machine);
    sound.Open(22050);
    ASSERT_TRUE(sound.IsOpen());
    SetVoiceTone(0, 440, 255);
    std::vector<uint8_t> block(sound.GetBlockSize());
    sound.FillBuffer(block.data());
    EXPECT_FALSE(Silent(block));

    machine->GetSettings().set(L"SoundChannel0", false);
    engine->SetRunning(true);  // the base re-reads its settings while a file runs
    sound.UpdateSettings();
    ASSERT_TRUE(sound.IsOpen());
    sound.FillBuffer(block.data());
    EXPECT_TRUE(Silent(block)) << "voice 0 switched off";

    machine->GetSettings().set(L"SoundChannel0", true);
    engine->GetSettings().set(L"Volume", 0);
    sound.UpdateSettings();
    engine->SetRunning(false);
    ASSERT_TRUE(sound.IsOpen());
    SetVoiceTone(0, 440, 255);
    sound.FillBuffer(block.data());
    EXPECT_TRUE(Silent(block)) << "master volume 0";
}

}  // namespace
