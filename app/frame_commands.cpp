// frame_commands.cpp - the main window's command handlers: Open, Play, Pause,
// Reset, the state commands, the Options pop-up, Exit and About. Each runs
// inside RunGuarded (main_frame.cpp), so an exception from engine code is
// reported there and never reaches Qt.
#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <algorithm>

#include "app/about_box.h"
#include "app/command_ids.h"
#include "app/file_filter.h"
#include "app/main_frame.h"
#include "app/modal.h"
#include "app/qt_text.h"
#include "app/settings_sheet.h"
#include "engine/emulator.h"

namespace App {

void CMainFrame::OnOpen() {
    PropertyMap& settings = engine_->GetSettings();
    CString filter;
    for (int i = 0; i < engine_->GetEmulatorCount(); ++i) filter += engine_->GetEmulator(i)->GetFileFilter();
    filter += CString(kZipFilter);

    OpenFileRequest request;
    request.folder = ToQt(settings.getString(L"ROMPath"));
    request.filters = QtFileFilters(ToQt(filter));
    // DefaultExt counts the filters from 1.
    request.selectedFilter =
        std::clamp(settings.getInt(L"DefaultExt") - 1, 0, std::max(0, static_cast<int>(request.filters.size()) - 1));
    engine_->Pause();
    const OpenFileResult result = Modal().openFile(this, request);
    if (result.accepted) {
        const qsizetype slash = result.path.lastIndexOf(u'/');
        if (slash > 0) settings.set(L"ROMPath", FromQt(result.path.left(slash)));
        settings.set(L"DefaultExt", result.selectedFilter + 1);
        engine_->RunFile(FromQt(result.path));
    }
    if (Emu::Emulator* active = engine_->GetActiveEmulator()) active->CheckState();
    engine_->Resume();
}

void CMainFrame::OnPlay() { engine_->UserResume(); }

void CMainFrame::OnPause() { engine_->UserPause(); }

void CMainFrame::OnReset() {
    if (!engine_->IsRunning()) return;
    engine_->Pause();
    if (Modal().ask(this, QStringLiteral("This will reset the current game, are you sure you wish to do this?")))
        engine_->Reset();
    engine_->Resume();
}

void CMainFrame::OnSaveState() {
    if (!engine_->IsRunning() || !engine_->GetActiveEmulator()) return;
    engine_->Pause();
    if (Modal().ask(this, QStringLiteral("Do you wish to save your current game?")) &&
        !engine_->GetActiveEmulator()->SaveState())
        engine_->Message(L"The game's state could not be saved.  Please see the Console tab for more information.");
    engine_->Resume();
}

void CMainFrame::OnLoadState() {
    if (!engine_->IsRunning() || !engine_->GetActiveEmulator()) return;
    engine_->Pause();
    if (Modal().ask(this, QStringLiteral("Are you sure you wish to start the game from the last saved state?"))) {
        if (engine_->GetActiveEmulator()->LoadState())
            engine_->UserResume();
        else
            engine_->Message(
                L"The saved state could not be loaded; the game goes on unchanged.  Please see the Console tab for "
                L"more information.");
    }
    engine_->Resume();
}

void CMainFrame::OnOptions() {
    QMenu menu(this);
    QAction* global = menu.addAction(QStringLiteral("Global Settings"));
    global->setData(ID_GLOBAL_SETTINGS);
    menu.addSeparator();
    const int count = std::min(engine_->GetEmulatorCount(), kMaxEmulatorItems);
    for (int i = 0; i < count; ++i) {
        QAction* item = menu.addAction(ToQt(engine_->GetEmulator(i)->GetName()));
        item->setData(ID_FIRST_EMULATOR + i);
    }
    // Right-aligned at (180, 2 x ToolBarSize) of the available screen area.
    const QPoint corner = AvailableGeometry().topLeft() +
                          QPoint(180 - menu.sizeHint().width(), 2 * engine_->GetSettings().getInt(L"ToolBarSize"));
    QAction* chosen = Modal().popUp(menu, corner);
    if (!chosen || !engine_) return;
    const int id = chosen->data().toInt();
    if (id == ID_GLOBAL_SETTINGS) {
        OnGlobalSettings();
    } else if (id >= ID_FIRST_EMULATOR && id < ID_FIRST_EMULATOR + count) {
        engine_->GetEmulator(id - ID_FIRST_EMULATOR)->ShowSettings();
    } else {
        return;
    }
    engine_->UpdateSettings();
    engine_->SaveSettings();
}

void CMainFrame::OnGlobalSettings() {
    CSettingsSheet sheet(*engine_, this);
    Modal().runDialog(sheet);
}

void CMainFrame::OnExit() {
    if (Modal().ask(this, QStringLiteral("Are you sure you want to exit Tamboril?"))) RequestQuit(0);
}

void CMainFrame::OnAbout() {
    CAboutBox about(*engine_, this);
    Modal().runDialog(about);
}

}  // namespace App
