// full_screen.cpp - the full-screen toggle: a tap on the view while a game
// runs enters full screen (command bar and menu bar hidden, the window in
// full-screen state and kept on top); a tap outside the on-screen pad leaves it.
#include <QMenuBar>
#include <QToolBar>

#include "app/main_frame.h"
#include "app/main_view.h"
#include "engine/pad_skin.h"
#include "lumaret/wince.h"

namespace App {

int CMainFrame::PadTop() const { return view_->height() - Emu::PadSkin::GetImageSize().cy / 2; }

void CMainFrame::ToggleFullScreenOnTap(int y) {
    if (!engine_) return;
    PropertyMap& settings = engine_->GetSettings();
    const bool fullScreen = settings.getBoolean(L"FullScreen");
    // A tap on the pad is a button, not a toggle.
    if (settings.getBoolean(L"VirtualPad") && fullScreen && y > PadTop()) return;
    if (settings.getBoolean(L"NoFullScreen")) return;
    if (!fullScreen && !(engine_->IsRunning() && !engine_->IsPaused() && !engine_->IsUserPaused())) return;

    engine_->Pause();
    settings.set(L"FullScreen", !fullScreen);
    if (!fullScreen)
        EnterFullScreen();
    else
        LeaveFullScreen();
    const bool autoPause = settings.getBoolean(L"AutoPause");
    engine_->UpdateSettings();
    engine_->BringToFront();
    engine_->Resume();
    if (autoPause && fullScreen) engine_->UserPause();
    view_->update();
    UpdateCommands();
}

void CMainFrame::EnterFullScreen() {
    commandBar_->hide();
    menuBar()->hide();
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    Lumaret::WinCE::System::ShowTaskbar(false);
    show();
}

void CMainFrame::LeaveFullScreen() {
    if (engine_->GetSettings().getBoolean(L"AutoPause")) engine_->UserPause();
    commandBar_->show();
    menuBar()->show();
    setWindowFlag(Qt::WindowStaysOnTopHint, false);
    Lumaret::WinCE::System::ShowTaskbar(true);
    show();
    setGeometry(WindowedGeometry());
}

}  // namespace App
