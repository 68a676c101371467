// engine_guard.h - runs engine code so that no exception unwinds through Qt's
// event dispatch: a structured exception or any std::exception escaping it is
// shown with its text and the engine's file is shut down; the program goes on.
#pragma once

#include <functional>

#include "platform/cstring.h"
#include "platform/handheld_types.h"

namespace App {

// The text for a structured-exception code: the engine's own codes first, then
// the display library's, then the system's.
CString ExceptionText(DWORD code);

// Runs `work`; true when it returned normally. When an exception escaped it:
// the text goes to Engine::Message, then Engine::Shutdown (when an engine
// exists), and the result is false.
bool RunGuarded(const std::function<void()>& work);

}  // namespace App
