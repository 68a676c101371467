// run_loop.cpp - the loop that drives the emulator between events.
#include "app/run_loop.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>

#include "app/engine_guard.h"
#include "app/main_frame.h"
#include "engine/emulator.h"

namespace App {

namespace {

QAbstractEventDispatcher* Dispatcher() { return QThread::currentThread()->eventDispatcher(); }

}  // namespace

CRunLoop::CRunLoop(CMainFrame& frame) : frame_(frame), isForeground_([&frame] { return frame.IsForeground(); }) {
    wake_.setSingleShot(true);
    wake_.setInterval(kIdleWaitMs);
}

int CRunLoop::Run() {
    while (Pass()) {
    }
    return frame_.GetExitCode();
}

bool CRunLoop::Pass() {
    if (frame_.IsQuitRequested()) return false;
    if (idleWorkDue_) {
        idleWorkDue_ = false;
        frame_.UpdateCommands();
        // Outside every event loop, objects given to deleteLater are deleted here.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    RunGuarded([this] {
        if (Dispatcher()->processEvents(QEventLoop::AllEvents)) {
            idleWorkDue_ = true;
            return;
        }
        Emu::Engine* engine = frame_.GetEngine();
        Emu::Emulator* active = engine ? engine->GetActiveEmulator() : nullptr;
        if (engine && engine->IsRunning() && active && !active->IsPaused() && !frame_.isMinimized()) {
            active->Execute();
            if (++executeCount_ >= kFocusCheckPasses) {
                executeCount_ = 0;
                if (!isForeground_()) engine->Pause();
            }
            return;
        }
        if (++idleCount_ >= kResumePasses) {
            idleCount_ = 0;
            if (engine && isForeground_()) engine->Resume();
        }
        WaitForEvents();
    });
    return !frame_.IsQuitRequested();
}

void CRunLoop::WaitForEvents() {
    // The timer ends the wait when no other event comes first.
    wake_.start();
    Dispatcher()->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    idleWorkDue_ = true;
}

}  // namespace App
