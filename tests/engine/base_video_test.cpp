// base_video_test.cpp - frame pacing against a clock the test sets, the render
// rectangle and what PutImage crops, draws and counts.
#include "fake_clock.h"
#include "video_fixture.h"

namespace {
constexpr double kPeriod0 = 16666.66667e-6;  // seconds per frame at FrameSpeed 0
}

using PacingTest = VideoTest;

TEST_F(PacingTest, FramePeriodGrowsByOnePointSevenMillisecondsPerSpeedStep) {
    EXPECT_NEAR(Video().FramePeriod(), 16666.67, 0.01);
    emulator_.GetSettings().set(L"FrameSpeed", 10);
    Video().UpdateSettings();
    EXPECT_NEAR(Video().FramePeriod(), 33666.67, 0.01);
    // A hand-edited value beyond the page's range is kept at its end.
    emulator_.GetSettings().set(L"FrameSpeed", 1000);
    Video().UpdateSettings();
    EXPECT_NEAR(Video().FramePeriod(), 33666.67, 0.01);
}

TEST_F(PacingTest, PendingFramesCountWholePeriodsAndCarryTheFraction) {
    FakeClock clock;
    TestVideo& video = Video();
    FakeClock::Advance(2.5 * kPeriod0);
    video.UpdatePendingFrames();
    EXPECT_EQ(video.PendingFrames(), 2);
    FakeClock::Advance(0.6 * kPeriod0);
    video.UpdatePendingFrames();
    EXPECT_EQ(video.PendingFrames(), 3);
}

TEST_F(PacingTest, AStallIsDroppedNotCaughtUp) {
    FakeClock clock;
    TestVideo& video = Video();
    FakeClock::Advance(0.100);
    int skip = -1;
    EXPECT_TRUE(video.SyncVideo(skip, 3));
    EXPECT_EQ(skip, 2);
    EXPECT_EQ(video.PendingFrames(), 0);
    EXPECT_EQ(video.EmulatedFrames(), 3);
}

TEST_F(PacingTest, WithFrameSyncAPresentationWaitsAsManyPeriodsAsFramesWereEmulated) {
    FakeClock clock;
    TestVideo& video = Video();
    for (int frameSkip = 1; frameSkip <= 10; ++frameSkip) {
        // 30 presentations of frameSkip frames each take 30 * frameSkip periods.
        const double start = FakeClock::Seconds();
        for (int i = 0; i < 30; ++i) {
            int skip = -1;
            ASSERT_TRUE(video.SyncVideo(skip, frameSkip));
            EXPECT_EQ(skip, frameSkip - 1);
        }
        const double periods = (FakeClock::Seconds() - start) / kPeriod0;
        EXPECT_NEAR(periods, 30.0 * frameSkip, 1.0) << "frame skip " << frameSkip;
    }
}

TEST_F(PacingTest, TheWaitSleepsOnlyWhileMoreThanTwoMillisecondsRemain) {
    FakeClock clock;
    TestVideo& video = Video();
    int skip = 0;
    ASSERT_TRUE(video.SyncVideo(skip, 3));
    const int64_t end = FakeClock::now;
    ASSERT_FALSE(FakeClock::sleeps.empty());
    // About 48 of the 50 ms are slept in steps of 1 ms.
    EXPECT_GE(FakeClock::sleeps.size(), 40u);
    for (int64_t start : FakeClock::sleeps) EXPECT_GT(end - start, 2'000'000);
}

TEST_F(PacingTest, APausedEmulatorOrAStoppedEngineEndsTheWaitWithoutAFrame) {
    FakeClock clock;
    TestVideo& video = Video();
    emulator_.Pause();
    int skip = 0;
    EXPECT_FALSE(video.SyncVideo(skip, 3));
    Lumaret::Rect source{130, 0, 240, 160};
    video.PutImage(source);
    EXPECT_EQ(video.DisplayedFrames(), 0);

    emulator_.Resume();
    engine_->SetRunning(false);
    EXPECT_FALSE(video.SyncVideo(skip, 3));
}

TEST_F(PacingTest, WithoutACounterOrFrameSyncNothingWaits) {
    FakeClock clock(false);
    TestVideo& video = Video();
    int skip = 0;
    const int64_t before = FakeClock::now;
    EXPECT_TRUE(video.SyncVideo(skip, 4));
    EXPECT_EQ(skip, 3);
    EXPECT_EQ(FakeClock::now, before);

    FakeClock counter;
    video_.reset();
    emulator_.GetSettings().set(L"FrameSync", false);
    EXPECT_TRUE(Video().SyncVideo(skip, 2));
    EXPECT_EQ(skip, 1);
    EXPECT_TRUE(FakeClock::sleeps.empty());
}

TEST_F(PacingTest, ARunawayFrameSkipIsKeptInRange) {
    FakeClock clock;
    int skip = -1;
    emulator_.GetSettings().set(L"FrameSync", false);
    EXPECT_TRUE(Video().SyncVideo(skip, 0));
    EXPECT_EQ(skip, 0);
    EXPECT_TRUE(Video().SyncVideo(skip, 500));
    EXPECT_EQ(skip, 9);
}

TEST_F(PacingTest, RatesStartAtSixtyAndThenAverageEachSecond) {
    FakeClock clock;
    emulator_.GetSettings().set(L"FrameSync", false);
    TestVideo& video = Video();
    video.frameSkip = 2;
    Lumaret::Rect source{130, 0, 240, 160};
    auto second = [&](int frames) {
        for (int i = 0; i < frames; ++i) {
            FakeClock::Advance(1.0 / frames);
            video.PutImage(source);
        }
    };
    second(30);
    EXPECT_EQ(video.DisplayedRate(), 60);
    EXPECT_EQ(video.EmulatedRate(), 60);
    second(30);  // 30 shown, 60 emulated
    EXPECT_EQ(video.DisplayedRate(), 45);
    EXPECT_EQ(video.EmulatedRate(), 60);
}

using LayoutTest = VideoTest;

TEST_F(LayoutTest, AScaleThatDoesNotFitFallsBackToTheImageSize) {
    engine_->GetSettings().set(L"DesktopHeight", 320);
    emulator_.GetSettings().set(L"ScreenScale", 2);
    Lumaret::Rect rect{};
    Video().GetRenderRect(240, 160, &rect);
    EXPECT_EQ(rect.x, 0);
    EXPECT_EQ(rect.y, 80);
    EXPECT_EQ(rect.width, 240);
    EXPECT_EQ(rect.height, 160);
}

TEST_F(LayoutTest, TheLargestFittingScaleIsCentred) {
    view_->resize(480, 400);
    engine_->GetSettings().set(L"DesktopHeight", 480);  // steps of 16
    emulator_.GetSettings().set(L"ScreenScale", 3);
    Lumaret::Rect rect{};
    Video().GetRenderRect(240, 160, &rect);
    // 288 x 192 fits the 480 x 400 client.
    EXPECT_EQ(rect.width, 288);
    EXPECT_EQ(rect.height, 192);
    EXPECT_EQ(rect.x, 96);
    EXPECT_EQ(rect.y, 104);
}

TEST_F(LayoutTest, FitToWindowFillsTheClientAndASmallClientCentresNegatively) {
    engine_->GetSettings().set(L"FitToWindow", true);
    Video().UpdateSettings();
    Lumaret::Rect rect{};
    Video().GetRenderRect(240, 160, &rect);
    EXPECT_EQ(rect.width, 240);
    EXPECT_EQ(rect.height, 320);

    engine_->GetSettings().set(L"FitToWindow", false);
    Video().UpdateSettings();
    view_->resize(199, 100);
    Video().GetRenderRect(240, 160, &rect);
    EXPECT_EQ(rect.x, -21);  // (199 - 240) >> 1 rounds down
    EXPECT_EQ(rect.y, -30);
}

TEST_F(LayoutTest, ASourceLargerThanTheClientLosesEqualPartsOnBothSides) {
    emulator_.GetSettings().set(L"FrameSync", false);
    view_->resize(200, 100);
    Lumaret::Rect source{130, 0, 240, 160};
    Video().PutImage(source);
    const Lumaret::Rect& shown = Video().LastSource();
    EXPECT_EQ(shown.x, 150);
    EXPECT_EQ(shown.width, 200);
    EXPECT_EQ(shown.y, 30);
    EXPECT_EQ(shown.height, 100);
    EXPECT_EQ(Video().GetRenderRectangle().width, 200);
    EXPECT_EQ(Video().DisplayedFrames(), 1);
}

TEST_F(LayoutTest, AResizedClientMovesTheImage) {
    emulator_.GetSettings().set(L"FrameSync", false);
    Lumaret::Rect source{130, 0, 240, 160};
    Video().PutImage(source);
    EXPECT_EQ(Video().GetRenderRectangle().y, 80);
    view_->resize(480, 640);
    Video().PutImage(source);
    EXPECT_EQ(Video().GetRenderRectangle().x, 120);
    EXPECT_EQ(Video().GetRenderRectangle().y, 240);
}

TEST_F(LayoutTest, AnEmptyClientOrSourceDrawsNothingButStillPaces) {
    emulator_.GetSettings().set(L"FrameSync", false);
    TestVideo& video = Video();
    Lumaret::Rect source{130, 0, 240, 160};
    video.PutImage(source);
    const Lumaret::Rect before = video.GetRenderRectangle();
    view_->resize(0, 0);
    video.PutImage(source);
    Lumaret::Rect empty{0, 0, 0, 160};
    view_->resize(240, 320);
    video.PutImage(empty);
    EXPECT_EQ(video.syncs, 3);
    EXPECT_EQ(video.GetRenderRectangle().width, before.width);
    EXPECT_EQ(video.GetRenderRectangle().height, before.height);
}

TEST_F(LayoutTest, DrawSafePresentsWithoutPacing) {
    TestVideo& video = Video();
    video.SetDrawSafe(true);
    Lumaret::Rect source{130, 0, 240, 160};
    video.PutImage(source);
    EXPECT_EQ(video.syncs, 0);
    EXPECT_EQ(video.DisplayedFrames(), 1);
}
