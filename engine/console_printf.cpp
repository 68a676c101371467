// console_printf.cpp - the console's printf, exported under a name of its own.
#include <cstdarg>
#include <cstdio>

#include "engine/engine.h"

namespace Emu {

int ConsolePrintf(const char* format, ...) {
    // A longer message is cut at the buffer's end.
    char text[1024];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (length < 0) return 0;
    if (ourEngine) ourEngine->PrintConsole(CString::FromUtf8(text));
    return 0;
}

}  // namespace Emu
