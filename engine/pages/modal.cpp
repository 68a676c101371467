// modal.cpp - the modal seam and the Yes/No question.
#include "modal.h"

#include <QMessageBox>

namespace Emu {

ModalFunction& ModalHook() {
    static ModalFunction hook = [](QDialog& dialog) { return dialog.exec(); };
    return hook;
}

int RunModal(QDialog& dialog) { return ModalHook()(dialog); }

bool AskYesNo(QWidget* parent, const CString& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Tamboril"), QString::fromStdWString(text.Text()),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return RunModal(box) == QMessageBox::Yes;
}

}  // namespace Emu
