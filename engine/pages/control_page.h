// control_page.h - Emu::CControlPage, the page that binds a keyboard key to
// each of the ten buttons of the emulator's key list.
#pragma once

#include "lumaret/types.h"
#include "settings_page.h"

class QLabel;
class QPushButton;

namespace Emu {

class MARROWBY_API CControlPage final : public SettingsPage {
    Q_OBJECT
public:
    enum : int { kTemplate = 240, kRowCount = 10 };

    // The page's rows, in the order of their key-list entries.
    enum Row : int { kUp, kDown, kLeft, kRight, kStart, kB, kA, kSelect, kL, kR };
    // Identifiers of a row's record button and of the label showing its key.
    static int RecordButtonId(int row);
    static int KeyLabelId(int row);

    CControlPage(Emulator* emulator, QWidget* parent);
    // Copies the emulator's key list into the working copy and shows it.
    void LoadData() override;
    // Copies the working copy back to the emulator.
    void SaveData() override;
    // Shows or hides the rows of L and R.
    void ShowControls(bool show);
    // Runs the key capture for `row`; a captured key goes into the working
    // copy and its label, Cancel changes nothing.
    void OnRecord(int row);

    const Lumaret::KeyList& GetWorkingKeys() const { return keys_; }

private:
    void OnInitDialog();
    void ShowKey(int row);

    Lumaret::KeyList keys_{};
    QPushButton* buttons_[kRowCount] = {};
    QLabel* labels_[kRowCount] = {};
};

}  // namespace Emu
