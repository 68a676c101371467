// video_fixture.h - a video object on an engine without plug-ins: its
// emulator is a stand-in made by the test, the engine runs a file.
#pragma once

#include "engine/base_video.h"
#include "engine_fixture.h"
#include "lumaret/wince.h"

class TestVideo : public Emu::BaseVideo {
public:
    explicit TestVideo(Emu::Emulator* emulator) : BaseVideo(emulator) {}
    ~TestVideo() override { Close(); }
    void Open() override {
        surface_ = Lumaret::WinCE::CreateSurface(500, 160, 16);
        BaseVideo::Open();
    }
    void Close() override {
        delete surface_;
        surface_ = nullptr;
    }
    void Redraw() override {}
    void SetColour(int, int, int, int) override {}
    bool SyncFrame() override {
        ++syncs;
        return SyncVideo(skip, frameSkip);
    }

    using BaseVideo::GetRenderRect;
    using BaseVideo::SyncVideo;
    using BaseVideo::UpdatePendingFrames;
    int PendingFrames() const { return pendingFrames_; }
    int DisplayedFrames() const { return displayedFrames_; }
    int EmulatedFrames() const { return emulatedFrames_; }
    int DisplayedRate() const { return displayedRate_; }
    int EmulatedRate() const { return emulatedRate_; }
    const Lumaret::Rect& LastSource() const { return lastSource_; }

    int skip = 0;
    int frameSkip = 1;
    int syncs = 0;
};

class VideoTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        StartEngine();
        messages.clear();  // the missing plug-in folder
        engine_->SetRunning(true);
        emulator_.GetSettings().set(L"FrameSync", true);
        emulator_.GetSettings().set(L"FrameSpeed", 0);
        emulator_.GetSettings().set(L"ScreenScale", 0);
        // The screen-scale and fit-to-window rules apply with sharp scaling off.
        engine_->GetSettings().set(L"SharpScale", false);
    }
    void TearDown() override {
        video_.reset();
        EngineTest::TearDown();
    }
    // The video object, opened; made after any FakeClock the test sets up.
    TestVideo& Video() {
        if (!video_) {
            video_ = std::make_unique<TestVideo>(&emulator_);
            video_->Open();
        }
        return *video_;
    }

    TestEmulator emulator_{L"Test", L"Test", L".test"};
    std::unique_ptr<TestVideo> video_;
};
