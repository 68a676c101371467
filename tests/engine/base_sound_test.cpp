// base_sound_test.cpp - the wave-out ring on SDL's dummy driver: block sizes,
// refills in index order, the console lines of failures and what a closed
// ring may touch.
#include "engine/base_sound.h"

#include <stdlib.h>

#include <thread>

#include "engine_fixture.h"

namespace {

class TestSound : public Emu::BaseSound {
public:
    explicit TestSound(Emu::Emulator* emulator) : BaseSound(emulator) { channelCount_ = 6; }
    void FillBuffer(unsigned char* block) override {
        ++fills;
        std::memset(block, fills, static_cast<size_t>(GetBlockSize()));
        if (fills == closeDeviceAtFill) device_->Close();
    }
    Lumaret::WaveHeader& Header(int index) { return headers_[static_cast<size_t>(index)]; }
    const std::vector<Lumaret::WaveHeader*>& Queue() const { return queue_; }
    int EnabledCount() const { return enabledCount_; }

    int fills = 0;
    int closeDeviceAtFill = 0;  // the fill at which the device goes away (0: never)
};

}  // namespace

class SoundTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        StartEngine();
        engine_->SetRunning(true);
        engine_->GetSettings().set(L"SoundBuffers", 4);
        engine_->GetSettings().set(L"Sound", true);
        PropertyMap& settings = emulator_.GetSettings();
        settings.set(L"Sound", true);
        settings.set(L"SoundRate", 22050);
        for (int i = 0; i < 6; ++i) settings.set(CString(L"SoundChannel") + CString(std::to_wstring(i)), i != 2);
        engine_->ResetConsole();
    }

    TestEmulator emulator_{L"Test", L"Test", L".test"};
};

TEST(BlockSizeTest, BlocksHoldAboutElevenMillisecondsAndNeverFewerThan128Bytes) {
    EXPECT_EQ(Emu::BaseSound::BlockSizeFor(8000), 128);
    EXPECT_EQ(Emu::BaseSound::BlockSizeFor(11025), 128);
    EXPECT_EQ(Emu::BaseSound::BlockSizeFor(22050), 256);
    EXPECT_EQ(Emu::BaseSound::BlockSizeFor(44100), 512);
    // Out-of-range rates from a hand-edited store do not divide by zero.
    EXPECT_EQ(Emu::BaseSound::BlockSizeFor(96000), 512);
    EXPECT_EQ(Emu::BaseSound::BlockSizeFor(1), 128);
}

TEST_F(SoundTest, OpenQueuesSilenceInEveryBufferAndReadsTheChannels) {
    TestSound sound(&emulator_);
    sound.Open(22050);
    ASSERT_TRUE(sound.IsOpen());
    EXPECT_EQ(sound.GetRate(), 22050);
    EXPECT_EQ(sound.GetBufferCount(), 4);
    EXPECT_EQ(sound.GetBlockSize(), 256);
    EXPECT_EQ(sound.EnabledCount(), 5);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(sound.Header(i).bufferLength, 256u);
        EXPECT_EQ(sound.Header(i).data[0], 0x80);
        EXPECT_NE(sound.Header(i).flags & Lumaret::kWaveHeaderPrepared, 0u);
    }
    sound.Close();
    EXPECT_FALSE(sound.IsOpen());
}

TEST_F(SoundTest, PlayedBuffersAreRefilledInIndexOrder) {
    TestSound sound(&emulator_);
    sound.Open(22050);
    ASSERT_TRUE(sound.IsOpen());
    sound.Pause();  // every buffer comes back done
    sound.Trigger(true);
    ASSERT_EQ(sound.Queue().size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(sound.Queue()[static_cast<size_t>(i)], &sound.Header(i));
        EXPECT_EQ(sound.Header(i).data[0], i + 1) << "filled in order";
    }
    // Resume queues silence, not new sound.
    sound.Resume();
    EXPECT_EQ(sound.fills, 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(sound.Header(i).data[0], 0x80);
}

TEST_F(SoundTest, TheDummyDevicePlaysAndTriggerKeepsItFed) {
    TestSound sound(&emulator_);
    sound.Open(22050);
    ASSERT_TRUE(sound.IsOpen());
    // Four blocks of 256 bytes play in about 46 ms; wait until some are done
    // (up to 5 s on a busy machine).
    for (int i = 0; i < 1000 && sound.fills == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        sound.Trigger(true);
    }
    EXPECT_GT(sound.fills, 0);
    EXPECT_TRUE(sound.IsOpen());
}

TEST_F(SoundTest, AFailedOpenIsOnTheConsoleAndTheEmulatorRunsSilently) {
    setenv("SDL_AUDIODRIVER", "tamboril-no-such-driver", 1);
    TestSound sound(&emulator_);
    sound.Open(22050);
    EXPECT_FALSE(sound.IsOpen());
    EXPECT_EQ(engine_->GetConsole(), CString(L"Error opening waveOut: NODRIVER\r\n"));
    sound.Trigger(true);
    sound.Pause();
    sound.Resume();
    sound.UpdateSettings();  // tries again, fails again
    EXPECT_FALSE(sound.IsOpen());
    EXPECT_EQ(sound.fills, 0);
}

TEST_F(SoundTest, AWriteErrorReleasesTheRingAndALaterOpenStartsAfresh) {
    TestSound sound(&emulator_);
    sound.Open(22050);
    ASSERT_TRUE(sound.IsOpen());
    sound.Pause();
    sound.closeDeviceAtFill = 2;  // the second buffer cannot be prepared, the first not written
    sound.Trigger(true);
    EXPECT_FALSE(sound.IsOpen());
    EXPECT_EQ(engine_->GetConsole(), CString(L"Error writing wave out: INVALHANDLE\r\n"));
    sound.Trigger(true);
    sound.closeDeviceAtFill = 0;
    sound.Open(22050);
    EXPECT_TRUE(sound.IsOpen());
    sound.Pause();
    sound.Trigger(true);
    EXPECT_EQ(sound.Queue().size(), 4u);
}

TEST_F(SoundTest, UpdateSettingsWithSoundClosedTouchesNoChannels) {
    TestSound sound(&emulator_);
    engine_->SetRunning(false);
    sound.UpdateSettings();
    EXPECT_FALSE(sound.IsOpen());
}

TEST_F(SoundTest, UpdateSettingsOpensAndClosesAsTheSettingsAsk) {
    TestSound sound(&emulator_);
    sound.UpdateSettings();
    ASSERT_TRUE(sound.IsOpen());
    EXPECT_EQ(sound.GetRate(), 22050);

    emulator_.GetSettings().set(L"SoundRate", 11025);
    sound.UpdateSettings();
    EXPECT_EQ(sound.GetRate(), 11025);
    EXPECT_EQ(sound.GetBlockSize(), 128);

    emulator_.GetSettings().set(L"SoundChannel0", false);
    sound.UpdateSettings();
    EXPECT_EQ(sound.EnabledCount(), 4);

    engine_->GetSettings().set(L"Sound", false);
    sound.UpdateSettings();
    EXPECT_FALSE(sound.IsOpen());

    // A rate beyond the page's range opens at its end.
    engine_->GetSettings().set(L"Sound", true);
    emulator_.GetSettings().set(L"SoundRate", 1000000);
    sound.UpdateSettings();
    EXPECT_EQ(sound.GetRate(), 44100);
}
