// frame_extras.h - what the desktop program adds to the main window beside
// its menus and commands: gamepads, the fast-forward keys (Tab held,
// Shift+Tab toggles), screenshots (F12 at the picture's size, Shift+F12
// doubled) and cartridges dropped onto the window. It watches the frame's and
// the view's events, so the frame itself is unchanged; the keys it takes
// never reach the emulator's key list.
#pragma once

#include <QObject>
#include <QString>

#include "app/fast_forward.h"
#include "app/gamepad.h"

namespace App {

class CMainFrame;

class CFrameExtras : public QObject {
public:
    explicit CFrameExtras(CMainFrame& frame);

    CFastForward& GetFastForward() { return fastForward_; }
    CGamepads& GetGamepads() { return gamepads_; }
    // Runs a dropped file through Engine::RunFile, as Open does; the console
    // says so when no emulator takes it.
    void RunDroppedFile(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool HandleKey(QEvent* event);
    bool HandleDrop(QEvent* event);

    CMainFrame& frame_;
    CFastForward fastForward_;
    CGamepads gamepads_;
};

}  // namespace App
