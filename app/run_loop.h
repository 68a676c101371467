// run_loop.h - CRunLoop, the program's loop in place of Qt's: it hands waiting
// events to Qt and, when none wait, lets the active emulator execute. With
// nothing to execute it waits for events with a short timeout instead of
// spinning.
//
// One pass (Pass):
//   1. After events were handled, the idle work runs once (the frame's enable
//      rules).
//   2. Waiting events are processed; if there were any, the pass ends.
//   3. Otherwise, when a file runs, an emulator is active, it is not paused
//      and the window is not minimised: Execute() and count one; every 60th
//      count, if the window is not in the foreground, Engine::Pause.
//      Else: count one idle pass; every 120th, if the window is in the
//      foreground, Engine::Resume; then wait up to kIdleWaitMs for an event.
// Whatever escapes engine code is caught and reported (engine_guard.h); the
// loop goes on. The loop ends when the frame asks to quit.
#pragma once

#include <QTimer>
#include <functional>

namespace App {

class CMainFrame;

class CRunLoop {
public:
    static constexpr int kFocusCheckPasses = 60;
    static constexpr int kResumePasses = 120;
    static constexpr int kIdleWaitMs = 10;

    explicit CRunLoop(CMainFrame& frame);

    // Passes until the frame asks to quit; its exit code.
    int Run();
    // One pass; false once the frame asks to quit.
    bool Pass();

    // Replaces the question whether the main window is in the foreground
    // (default: whether it is the active window).
    void SetForegroundQuestion(std::function<bool()> isForeground) { isForeground_ = std::move(isForeground); }

    // Execute() calls and idle passes since each count was last reset.
    int GetExecuteCount() const { return executeCount_; }
    int GetIdleCount() const { return idleCount_; }

private:
    void WaitForEvents();

    CMainFrame& frame_;
    std::function<bool()> isForeground_;
    QTimer wake_;
    bool idleWorkDue_ = true;
    int executeCount_ = 0;
    int idleCount_ = 0;
};

}  // namespace App
