// engine_guard.cpp - catching what escapes engine code and reporting it.
#include "app/engine_guard.h"

#include <exception>

#include "engine/engine.h"
#include "engine/error_text.h"
#include "lumaret/errors.h"
#include "platform/structured_exception.h"

namespace App {

namespace {

// The unknown-error text of the system's table.
constexpr DWORD kNoSystemCode = 0;

void Report(const CString& text) {
    Emu::Engine* engine = Emu::ourEngine;
    if (!engine) return;
    engine->Message(text);
    engine->Shutdown();
}

}  // namespace

CString ExceptionText(DWORD code) {
    if (EmuError(code)) return EmuErrorString(code);
    if (LumaretError(code)) return LumaretErrorString(code);
    return GeneralErrorString(code);
}

bool RunGuarded(const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const StructuredException& exception) {
        Report(ExceptionText(exception.Code()));
    } catch (const std::exception& exception) {
        // The message box shows the system's unknown-error text; what the
        // exception says goes to the console for the Console tab.
        Emu::ConsolePrintf("Unexpected error: %s\n", exception.what());
        Report(GeneralErrorString(kNoSystemCode));
    }
    return false;
}

}  // namespace App
