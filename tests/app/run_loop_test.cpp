// run_loop_test.cpp - the run loop: executing, pausing when the window loses
// the foreground, resuming when it is back, reporting what escapes the
// emulator, waiting instead of spinning, and every way the program ends.
#include "app/run_loop.h"

#include <QTest>
#include <QWidget>
#include <csignal>

#include "app/command_ids.h"
#include "app/shutdown_signals.h"
#include "app/startup.h"
#include "app_fixture.h"
#include "engine/error_text.h"
#include "engine/registry.h"

using namespace App;

namespace {

// Runs passes until `done` or `limit` passes; the passes run.
template <typename Done>
int PassUntil(CRunLoop& loop, Done done, int limit) {
    int passes = 0;
    while (!done() && passes < limit && loop.Pass()) ++passes;
    return passes;
}

}  // namespace

TEST_F(AppTest, RunLoopExecutesTheRunningEmulatorWhileTheWindowIsActive) {
    CreateFrame();
    ShowActive();
    RunGame();
    CRunLoop loop(*frame_);
    PassUntil(
        loop, [&] { return Count(L"ExecuteCalls") >= 200; }, 5000);
    EXPECT_GE(Count(L"ExecuteCalls"), 200);
    EXPECT_FALSE(Engine().IsPaused());
}

TEST_F(AppTest, FocusLossPausesWithinSixtyExecutesAndRegainingResumesWithin120IdlePasses) {
    CreateFrame();
    ShowActive();
    RunGame();
    CRunLoop loop(*frame_);
    bool foreground = true;
    loop.SetForegroundQuestion([&] { return foreground; });
    PassUntil(
        loop, [&] { return Count(L"ExecuteCalls") >= 100; }, 5000);
    ASSERT_FALSE(Engine().IsPaused()) << "in the foreground the game keeps running";

    foreground = false;
    const int before = Count(L"ExecuteCalls");
    PassUntil(
        loop, [&] { return Engine().IsPaused(); }, 5000);
    EXPECT_TRUE(Engine().IsPaused());
    EXPECT_LE(Count(L"ExecuteCalls") - before, CRunLoop::kFocusCheckPasses);

    const int paused = Count(L"ExecuteCalls");
    PassUntil(
        loop, [] { return false; }, 3 * CRunLoop::kResumePasses);
    EXPECT_TRUE(Engine().IsPaused()) << "out of the foreground the pause stays";
    EXPECT_EQ(Count(L"ExecuteCalls"), paused);

    foreground = true;
    const int passes = PassUntil(
        loop, [&] { return !Engine().IsPaused(); }, 1000);
    EXPECT_FALSE(Engine().IsPaused());
    EXPECT_LE(passes, CRunLoop::kResumePasses);
}

TEST_F(AppTest, LosingTheActiveWindowPausesAndRegainingItResumes) {
    CreateFrame();
    ShowActive();
    RunGame();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_TRUE(Engine().IsPaused());
    EXPECT_TRUE(Fake().IsPaused());
    frame_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
    EXPECT_FALSE(Engine().IsPaused());
    EXPECT_FALSE(Fake().IsPaused());
}

TEST_F(AppTest, RunLoopWaitsInsteadOfExecutingWhenNothingRuns) {
    CreateFrame();
    ShowActive();
    CRunLoop loop(*frame_);
    for (int i = 0; i < 30; ++i) ASSERT_TRUE(loop.Pass());
    EXPECT_EQ(Count(L"ExecuteCalls"), 0);
    EXPECT_GT(loop.GetIdleCount(), 0);

    RunGame();
    Engine().UserPause();
    for (int i = 0; i < 30; ++i) ASSERT_TRUE(loop.Pass());
    EXPECT_EQ(Count(L"ExecuteCalls"), 0) << "a user-paused game does not execute";
}

TEST_F(AppTest, AnExceptionFromExecuteIsShownAndTheFileShutDownButTheProgramGoesOn) {
    CreateFrame();
    ShowActive();
    RunGame();
    Fake().GetSettings().set(L"ThrowInExecute", true);
    CRunLoop loop(*frame_);
    PassUntil(
        loop, [&] { return !Engine().IsRunning(); }, 1000);
    EXPECT_FALSE(Engine().IsRunning());
    EXPECT_EQ(Count(L"StopCalls"), 1);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], CString(GeneralErrorString(0)).ToUtf8());
    EXPECT_TRUE(loop.Pass()) << "the loop goes on";
}

TEST_F(AppTest, AFailedCommandLineFileShowsLoadingFailedThenTheErrorTextAndTheProgramStaysUsable) {
    CreateFrame();
    StartUp(*frame_, {QStringLiteral("tamboril"), QString::fromStdString(home_ + "/broken.fk1")});
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[0], "Loading failed!");
    EXPECT_EQ(messages_[1], CString(EmuErrorString(EmuErrorLoadFailed)).ToUtf8());
    EXPECT_FALSE(Engine().IsRunning());
    EXPECT_EQ(Count(L"StopCalls"), 1);

    fileAnswer_ = {true, QString::fromStdString(home_ + "/game.fk1"), 0};
    frame_->GetAction(ID_FILE_OPEN)->trigger();
    EXPECT_TRUE(Engine().IsRunning()) << "a later Open works";
}

TEST_F(AppTest, AFailedOpenShowsLoadingFailedThenTheErrorText) {
    CreateFrame();
    fileAnswer_ = {true, QString::fromStdString(home_ + "/broken.fk1"), 0};
    frame_->GetAction(ID_FILE_OPEN)->trigger();
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[0], "Loading failed!");
    EXPECT_EQ(messages_[1], CString(EmuErrorString(EmuErrorLoadFailed)).ToUtf8());
    EXPECT_FALSE(Engine().IsRunning());
    EXPECT_FALSE(Engine().IsPaused());
}

TEST_F(AppTest, TheCommandLineFileIsTakenAsGivenWithOuterQuotesStripped) {
    CreateFrame();
    StartUp(*frame_, {QStringLiteral("tamboril"), QString::fromStdString("\"" + home_ + "/a \"b\" c.fk1\"")});
    EXPECT_TRUE(Engine().IsRunning());
    EXPECT_EQ(Engine().GetFileName().ToUtf8(), home_ + "/a \"b\" c.fk1");
}

TEST_F(AppTest, ExitEndsTheLoopAndDestroyStopsTheGameBeforeSavingTheSettings) {
    CreateFrame();
    ShowActive();
    RunGame();
    CRunLoop loop(*frame_);
    ASSERT_TRUE(loop.Pass());
    frame_->GetAction(ID_APP_EXIT)->trigger();
    EXPECT_FALSE(loop.Pass());
    EXPECT_EQ(loop.Run(), 0);
    frame_->Destroy();
    EXPECT_EQ(frame_->GetEngine(), nullptr);

    CRegistry registry;
    ASSERT_TRUE(registry.SetKey(L"Software\\Tamboril\\Fake.fk1", false));
    EXPECT_EQ(registry.ReadInt(L"StopCalls", -1), 1) << "Shutdown ran before the engine saved the settings";
}

TEST_F(AppTest, ClosingTheWindowShutsDownAndEndsTheLoop) {
    CreateFrame();
    ShowActive();
    RunGame();
    CRunLoop loop(*frame_);
    frame_->close();
    EXPECT_EQ(frame_->GetEngine(), nullptr);
    EXPECT_FALSE(loop.Pass());
    CRegistry registry;
    ASSERT_TRUE(registry.SetKey(L"Software\\Tamboril\\Fake.fk1", false));
    EXPECT_EQ(registry.ReadInt(L"StopCalls", -1), 1);
}

TEST_F(AppTest, TerminationSignalsEndTheLoopWithoutAQuestion) {
    for (int signal : {SIGTERM, SIGINT}) {
        CreateFrame();
        ShowActive();
        ShutdownSignals shutdownSignals(*frame_);
        CRunLoop loop(*frame_);
        ASSERT_TRUE(loop.Pass());
        std::raise(signal);
        PassUntil(
            loop, [] { return false; }, 200);
        EXPECT_TRUE(frame_->IsQuitRequested()) << signal;
        EXPECT_TRUE(questions_.isEmpty());
        frame_.reset();
    }
}
