// button_dlg.h - Emu::CButtonDlg, the small modal dialog that waits for one key
// press and remembers its virtual-key code.
//
// Every key is taken for the capture, also those a dialog normally keeps for
// itself (the arrows and Tab move the focus, Return and Escape end it): the
// dialog watches the key events of itself and its children before they are
// delivered. Cancel is reached with the mouse.
#pragma once

#include <QDialog>

#include "engine/marrowby_api.h"

class QLabel;
class QPushButton;

namespace Emu {

class MARROWBY_API CButtonDlg final : public QDialog {
    Q_OBJECT
public:
    enum : int { kTemplate = 257, kCancel = 2 };

    // Opens the display library's input object when no file is running, so
    // that hardware keys arrive while the dialog waits.
    explicit CButtonDlg(QWidget* parent);
    ~CButtonDlg() override;

    // Runs the dialog through the modal seam: Accepted with a captured key,
    // Rejected after Cancel.
    int DoModal();
    // A key went down: any code but 0 and the left system key (0x5B) is
    // captured, the input object is paused (and closed when no file is
    // running) and the dialog ends with OK. Other codes are ignored and the
    // dialog keeps waiting.
    void OnKeyDown(int key);
    // The captured key; 0 until one was captured.
    int GetKey() const { return key_; }

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsOwnWidget(QObject* object) const;
    void ReleaseInput();

    int key_ = 0;
    bool inputReleased_ = false;
};

}  // namespace Emu
