// settings_dialog.h - GbaSettingsDialog, the plug-in's settings dialog: the
// Sound, Speed, Controls and Skin pages of the engine on one tab control,
// with a button that resets every setting of the plug-in.
#pragma once

#include <QDialog>

class QTabWidget;

class GbaMachine;

namespace Emu {
class CSoundPage;
class CSpeedPage;
class CControlPage;
class CSkinPage;
}  // namespace Emu

class GbaSettingsDialog final : public QDialog {
    Q_OBJECT
public:
    // Tabs in this order.
    enum Tab : int { kSoundTab, kSpeedTab, kControlsTab, kSkinTab };

    // Placed below the tool bar over the width of the desktop, leaving a tool
    // bar's height free at the bottom; the Sound page is shown first.
    GbaSettingsDialog(GbaMachine* machine, QWidget* parent);

    // Runs the dialog through the engine's modal seam and returns its result.
    int DoModal();
    // Asks whether to reset every setting; on Yes resets them and reloads the
    // pages.
    void OnReset();
    // OK: the pages save their data (Controls, Skin, Sound, Speed) and the
    // machine takes the new frame skip.
    void accept() override;
    // Cancel: the settings stay as they were, and the skin the Skin page may
    // have stepped to gives way to the saved one again.
    void reject() override;

private:
    GbaMachine* machine_;
    QTabWidget* tabs_;
    Emu::CSoundPage* sound_;
    Emu::CSpeedPage* speed_;
    Emu::CControlPage* control_;
    Emu::CSkinPage* skin_;
};
