// modal.h - the one seam every modal dialog and Yes/No question of the
// settings pages runs through, so tests answer them without blocking.
#pragma once

#include <functional>

#include "engine/marrowby_api.h"
#include "platform/cstring.h"

class QDialog;
class QWidget;

namespace Emu {

// Runs `dialog` modally and returns its result (QDialog's, or for a message
// box the button chosen). The default is QDialog::exec; tests replace it with
// a function that drives the dialog and ends it.
using ModalFunction = std::function<int(QDialog& dialog)>;
MARROWBY_API ModalFunction& ModalHook();
MARROWBY_API int RunModal(QDialog& dialog);

// Asks `text` in a message box with Yes and No buttons (through RunModal);
// true for Yes.
MARROWBY_API bool AskYesNo(QWidget* parent, const CString& text);

}  // namespace Emu
