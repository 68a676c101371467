// settings_sheet.h - CSettingsSheet, the global settings dialog: a tab per
// page ("Video", "Sound", "Controls", "Tweak", "Themes", "Console"), OK,
// Cancel and "Default". OK saves the pages into the engine's settings; Default
// resets every setting at once (after a question) and reloads the pages. The
// caller updates and saves the settings however the dialog ends.
#pragma once

#include <QDialog>

namespace Emu {
class Engine;
}

class QTabWidget;

namespace App {

class CVideoPage;
class CSoundPage;
class CControlsPage;
class CTweakPage;
class CThemesPage;
class CConsolePage;

class CSettingsSheet : public QDialog {
    Q_OBJECT

public:
    CSettingsSheet(Emu::Engine& engine, QWidget* parent);

    QTabWidget* GetTabs() const { return tabs_; }
    void accept() override;
    void OnDefault();

private:
    Emu::Engine& engine_;
    QTabWidget* tabs_;
    CVideoPage* video_;
    CSoundPage* sound_;
    CControlsPage* controls_;
    CTweakPage* tweak_;
    CThemesPage* themes_;
    CConsolePage* console_;
};

}  // namespace App
