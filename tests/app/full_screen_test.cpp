// full_screen_test.cpp - taps on the view: entering and leaving full screen,
// the on-screen pad's area, and the conditions that leave a tap alone.
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

#include "app/main_view.h"
#include "app/run_loop.h"
#include "app_fixture.h"
#include "engine/pad_skin.h"
#include "lumaret/input.h"

using namespace App;

namespace {

void Tap(QWidget* view, int x, int y) {
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
}

}  // namespace

TEST_F(AppTest, ATapWhileAGameRunsEntersFullScreenAndAnotherLeavesIt) {
    CreateFrame();
    ShowActive();
    RunGame();
    Tap(frame_->GetView(), 50, 20);
    EXPECT_TRUE(Settings().getBoolean(L"FullScreen"));
    EXPECT_TRUE(frame_->isFullScreen());
    EXPECT_TRUE(frame_->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(frame_->GetCommandBar()->isVisible());
    EXPECT_FALSE(frame_->menuBar()->isVisible());
    // Changing the stays-on-top hint hides and shows the window; the pause of
    // its deactivation ends by the run loop's resume in the foreground.
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
    CRunLoop loop(*frame_);
    for (int i = 0; i < 2 * CRunLoop::kResumePasses && Engine().IsPaused(); ++i) loop.Pass();
    EXPECT_FALSE(Engine().IsPaused()) << "the toggle's pause is resumed";

    Tap(frame_->GetView(), 50, 20);
    EXPECT_FALSE(Settings().getBoolean(L"FullScreen"));
    EXPECT_FALSE(frame_->isFullScreen());
    EXPECT_FALSE(frame_->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(frame_->GetCommandBar()->isVisible());
    EXPECT_TRUE(frame_->menuBar()->isVisible());
    EXPECT_FALSE(Engine().IsUserPaused());
}

TEST_F(AppTest, TheStylusFollowsTheMouse) {
    CreateFrame();
    ShowActive();
    QWidget* view = frame_->GetView();
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(30, 40));
    Lumaret::Input* input = Engine().GetInput();
    EXPECT_TRUE(input->IsStylusDown());
    EXPECT_EQ(input->GetStylusPosition()->x, 30);
    EXPECT_EQ(input->GetStylusPosition()->y, 40);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(31, 42));
    EXPECT_FALSE(input->IsStylusDown());
    EXPECT_EQ(input->GetStylusPosition()->y, 42);
}

TEST_F(AppTest, ATapWhileWindowedAndPausedDoesNothing) {
    CreateFrame();
    ShowActive();
    RunGame();
    Engine().UserPause();
    Tap(frame_->GetView(), 50, 20);
    EXPECT_FALSE(Settings().getBoolean(L"FullScreen"));
    Engine().UserResume();
    Engine().Pause();
    Tap(frame_->GetView(), 50, 20);
    EXPECT_FALSE(Settings().getBoolean(L"FullScreen"));
    Engine().Resume();
    Engine().Shutdown();
    Tap(frame_->GetView(), 50, 20);
    EXPECT_FALSE(Settings().getBoolean(L"FullScreen")) << "no file runs";
}

TEST_F(AppTest, DisabledFullScreenIgnoresTaps) {
    CreateFrame();
    ShowActive();
    RunGame();
    Settings().set(L"NoFullScreen", true);
    Tap(frame_->GetView(), 50, 20);
    EXPECT_FALSE(Settings().getBoolean(L"FullScreen"));
}

TEST_F(AppTest, InFullScreenATapOnThePadIsAButtonNotAToggle) {
    CreateFrame();
    ShowActive();
    RunGame();
    Tap(frame_->GetView(), 50, 20);
    ASSERT_TRUE(Settings().getBoolean(L"FullScreen"));
    QTest::qWait(50);
    Fake().LoadPad();
    const int padHeight = Emu::PadSkin::GetImageSize().cy / 2;
    ASSERT_GT(padHeight, 0) << "the built-in pad image";
    const int viewHeight = frame_->GetView()->height();
    EXPECT_EQ(frame_->PadTop(), viewHeight - padHeight);

    Tap(frame_->GetView(), 50, frame_->PadTop() + 1);
    EXPECT_TRUE(Settings().getBoolean(L"FullScreen")) << "a tap on the pad";
    Tap(frame_->GetView(), 50, frame_->PadTop());
    EXPECT_FALSE(Settings().getBoolean(L"FullScreen")) << "a tap on the pad's top edge is above it";
}

TEST_F(AppTest, LeavingFullScreenWithAutoPausePausesTheGame) {
    CreateFrame();
    ShowActive();
    RunGame();
    Settings().set(L"AutoPause", true);
    Tap(frame_->GetView(), 50, 20);
    ASSERT_TRUE(Settings().getBoolean(L"FullScreen"));
    EXPECT_FALSE(Engine().IsUserPaused());
    Tap(frame_->GetView(), 50, 20);
    EXPECT_FALSE(Settings().getBoolean(L"FullScreen"));
    EXPECT_TRUE(Engine().IsUserPaused());
}
