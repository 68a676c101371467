// skin_page.h - Emu::CSkinPage, the page that steps through the loaded pad
// skins and shows the visible half of the active one.
#pragma once

#include "settings_page.h"

class QLabel;

namespace Emu {

class MARROWBY_API CSkinPage final : public SettingsPage {
    Q_OBJECT
public:
    enum : int {
        kTemplate = 981,
        kSkinName = 1000,
        kPrevious = 1002,
        kNext = 1003,
    };

    CSkinPage(Emulator* emulator, QWidget* parent);
    // Makes the emulator's PadSkin the active skin and shows it.
    void LoadData() override;
    // Stores the active skin's identifier in PadSkin.
    void SaveData() override;
    // Make the skin before or after the active one active, over the whole
    // list and wrapping at its ends. When the active skin is not in the list
    // the page is only redrawn.
    void OnPrev();
    void OnNext();

private:
    void OnInitDialog();
    void Step(int direction);
    // The active skin's name and picture.
    void Repaint();

    QLabel* name_;
    QWidget* preview_;
};

}  // namespace Emu
