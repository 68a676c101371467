// sound_page.h - Emu::CSoundPage, the page that switches the emulator's sound,
// noise and first four channels and chooses the sample rate.
#pragma once

#include "settings_page.h"

namespace Emu {

class MARROWBY_API CSoundPage final : public SettingsPage {
    Q_OBJECT
public:
    enum : int {
        kTemplate = 259,
        kQuality = 2000,
        kEnableSound = 2030,
        kChannel1 = 2034,  // 2034..2037: channels 1..4 (SoundChannel0..3)
        kNoise = 2038,
    };

    CSoundPage(Emulator* emulator, QWidget* parent);
    void LoadData() override;
    // Writes Sound, Noise and SoundChannel0..3, and SoundRate from the chosen
    // quality; with no quality chosen the rate stays as it was.
    void SaveData() override;

private:
    void OnInitDialog();
};

}  // namespace Emu
