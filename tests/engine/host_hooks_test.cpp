// host_hooks_test.cpp - what the program adds beside the plug-ins: pad bits
// from a source outside the display library, fast-forward in the pacing, and
// sharp scaling of the render rectangle.
#include "engine/host_hooks.h"

#include "engine/base_input.h"
#include "engine/pad_skin.h"
#include "fake_clock.h"
#include "lumaret/input.h"
#include "video_fixture.h"

using Emu::PadSkin;

class PadSourceTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        StartEngine();
    }
    void TearDown() override {
        Emu::SetPadSource(nullptr);
        EngineTest::TearDown();
    }
    TestEmulator emulator_{L"Test", L"Test", L".test"};
};

TEST_F(PadSourceTest, HeldPadBitsPressTheirButtonsAndAKeyReleasedLaterDoesNotClearThem) {
    Emu::BaseInput input(&emulator_);
    input.RegisterKey(0x0001, PadSkin::kA, 'X');
    input.RegisterKey(0x0040, PadSkin::kNorth, 'W');
    input.RegisterKey(0x0008, PadSkin::kStart, 'S');
    input.Open();
    uint32_t held = 0;
    Emu::SetPadSource([&] { return held; });
    EXPECT_EQ(input.GetState(), 0u);

    held = PadSkin::kA | PadSkin::kNorth;
    engine_->GetInput()->SetKey('S', true);
    EXPECT_EQ(input.GetState(), 0x0049u) << "pad bits and keys together";
    // An entry registered later for the same button, with its key up, does
    // not release what the source holds.
    input.RegisterKey(0x0001, 0, 'Q');
    EXPECT_EQ(input.GetState(), 0x0049u);

    held = 0;
    EXPECT_EQ(input.GetState(), 0x0008u);
    Emu::SetPadSource(nullptr);
    EXPECT_EQ(Emu::ReadPadSource(), 0u);
}

class FastForwardTest : public VideoTest {
protected:
    void TearDown() override {
        Emu::SetFastForward(false);
        VideoTest::TearDown();
    }
};

TEST_F(FastForwardTest, FramesAreNotPacedWhileOnAndArePacedAgainAtOnceAfter) {
    FakeClock clock;
    TestVideo& video = Video();
    Emu::SetFastForward(true);
    const int64_t start = FakeClock::now;
    int skip = -1;
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(video.SyncVideo(skip, 1));
    EXPECT_LT(FakeClock::now - start, 1'000'000) << "waited while fast-forwarding";
    EXPECT_TRUE(FakeClock::sleeps.empty());
    EXPECT_EQ(video.EmulatedFrames(), 100) << "the rate line counts every frame";

    Emu::SetFastForward(false);
    // The first frame after it is not held back for the time spent; the
    // next one waits a whole period again.
    EXPECT_TRUE(video.SyncVideo(skip, 1));
    const int64_t released = FakeClock::now;
    EXPECT_TRUE(video.SyncVideo(skip, 1));
    EXPECT_NEAR(static_cast<double>(FakeClock::now - released) / 1e9, 16666.67e-6, 50e-6);
}

using SharpScaleTest = VideoTest;

TEST_F(SharpScaleTest, TheLargestWholeMultipleThatFitsIsCentredWhateverTheOtherRules) {
    engine_->GetSettings().set(L"SharpScale", true);
    emulator_.GetSettings().set(L"ScreenScale", 10);
    engine_->GetSettings().set(L"FitToWindow", true);
    Video().UpdateSettings();
    struct Case {
        int clientWidth, clientHeight;
        Lumaret::Rect expected;
    };
    const Case cases[] = {
        {1000, 800, {20, 80, 960, 640}},   // x4: the width limits
        {1000, 400, {260, 40, 480, 320}},  // x2: the height limits
        {480, 320, {0, 0, 480, 320}},      // exactly x2
        {479, 320, {119, 80, 240, 160}},   // one pixel short of x2
        {200, 100, {-20, -30, 240, 160}},  // smaller than the picture: its own size
    };
    for (const Case& c : cases) {
        view_->resize(c.clientWidth, c.clientHeight);
        Lumaret::Rect rect{};
        Video().GetRenderRect(240, 160, &rect);
        EXPECT_EQ(rect.x, c.expected.x) << c.clientWidth << " x " << c.clientHeight;
        EXPECT_EQ(rect.y, c.expected.y) << c.clientWidth << " x " << c.clientHeight;
        EXPECT_EQ(rect.width, c.expected.width) << c.clientWidth << " x " << c.clientHeight;
        EXPECT_EQ(rect.height, c.expected.height) << c.clientWidth << " x " << c.clientHeight;
    }
}

TEST_F(SharpScaleTest, IsOnByDefaultAndKeptInTheStore) {
    engine_->ResetSettings();
    EXPECT_TRUE(engine_->GetSettings().getBoolean(L"SharpScale"));
    engine_->GetSettings().set(L"SharpScale", false);
    engine_->SaveSettings();
    engine_->GetSettings().set(L"SharpScale", true);
    engine_->LoadSettings();
    EXPECT_FALSE(engine_->GetSettings().getBoolean(L"SharpScale"));
}
