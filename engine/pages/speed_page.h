// speed_page.h - Emu::CSpeedPage, the page for synchronising to real time and
// the frame skip.
#pragma once

#include "settings_page.h"

namespace Emu {

class MARROWBY_API CSpeedPage final : public SettingsPage {
    Q_OBJECT
public:
    enum : int {
        kTemplate = 276,
        kFrameSkip = 2005,  // slider 1..10
        kFrameSync = 2041,
    };

    CSpeedPage(Emulator* emulator, QWidget* parent);
    // FrameSync and FrameSkip.
    void LoadData() override;
    void SaveData() override;

private:
    void OnInitDialog();
};

}  // namespace Emu
