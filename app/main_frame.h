// main_frame.h - CMainFrame, the program's one main window: the view that
// shows the emulated screen and the on-screen pad, the menu bar, the command
// bar, and the engine, which it creates with the view and destroys (after
// shutting its file down) while the view still exists. Commands, activation,
// size changes and taps become engine calls here.
#pragma once

#include <QMainWindow>
#include <QRect>
#include <map>
#include <memory>

#include "engine/engine.h"

class QAction;
class QKeyEvent;
class QToolBar;

namespace App {

class CMainView;

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    // Creates the view, the menus, the command bar with its tooltips, then the
    // engine with the view as its window, and brings the engine to the front.
    CMainFrame();
    ~CMainFrame() override;

    // Null before the frame is created and after Destroy.
    Emu::Engine* GetEngine() const { return engine_.get(); }
    CMainView* GetView() const { return view_; }
    QToolBar* GetCommandBar() const { return commandBar_; }
    // The action of a command identifier (command_ids.h); null when none.
    QAction* GetAction(int id) const;

    // The windowed place: the available screen area's origin + (0,
    // ToolBarSize), DesktopWidth x (DesktopHeight - ToolBarSize).
    QRect WindowedGeometry() const;
    // Whether the rules let a command run now (Open and Options always).
    bool IsCommandEnabled(int id) const;
    // Applies the enable rules to every action.
    void UpdateCommands();
    // Whether this window is the one the user works in.
    bool IsForeground() const;

    // A key press or release of the frame or the view, for the engine.
    void ProcessKey(QKeyEvent* event);
    // The full-screen toggle of a stylus press at `y` in the view.
    void ToggleFullScreenOnTap(int y);
    // The top edge of the on-screen pad in the view.
    int PadTop() const;

    // Commands.
    void OnOpen();
    void OnPlay();
    void OnPause();
    void OnReset();
    void OnSaveState();
    void OnLoadState();
    void OnOptions();
    void OnExit();
    void OnAbout();
    void OnGlobalSettings();

    // Shuts the engine's file down (writing its battery file) and deletes the
    // engine (saving the settings). Does nothing the second time.
    void Destroy();
    // Ends the run loop with `code` after the current pass.
    void RequestQuit(int code = 0);
    bool IsQuitRequested() const { return quitRequested_; }
    int GetExitCode() const { return exitCode_; }

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void CreateCommands();
    void CreateMenus();
    void CreateCommandBar();
    QAction* AddCommand(int id, const QString& text, const QString& icon, void (CMainFrame::*handler)());
    QRect AvailableGeometry() const;
    void EnterFullScreen();
    void LeaveFullScreen();

    CMainView* view_ = nullptr;
    QToolBar* commandBar_ = nullptr;
    std::map<int, QAction*> actions_;
    std::unique_ptr<Emu::Engine> engine_;
    QRect lastSizeRuleMove_;
    bool quitRequested_ = false;
    int exitCode_ = 0;
};

}  // namespace App
