// screen_page.h - Emu::CScreenPage, the page for the size of the emulated
// screen in the window.
#pragma once

#include "settings_page.h"

namespace Emu {

class MARROWBY_API CScreenPage final : public SettingsPage {
    Q_OBJECT
public:
    enum : int {
        kTemplate = 201,
        kScreenScale = 2003,  // slider 0..10
    };

    CScreenPage(Emulator* emulator, QWidget* parent);
    // ScreenScale.
    void LoadData() override;
    void SaveData() override;

private:
    void OnInitDialog();
};

}  // namespace Emu
