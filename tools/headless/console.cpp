// console.cpp - the headless host's console: the machine's text is kept in
// memory for the runner and the tests, and echoed to standard output on request.
#include "machine/console.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "headless.h"

namespace {
std::string Console;
bool Echo = false;
}  // namespace

// One formatted message is cut at 1024 bytes, as in the engine's console.
extern "C" int ConsolePrintf(const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    Console += text;
    if (Echo) std::fputs(text, stdout);
    return 0;
}

namespace Headless {
void SetConsoleEcho(bool echo) { Echo = echo; }
const std::string& ConsoleText() { return Console; }
void ClearConsoleText() { Console.clear(); }
}  // namespace Headless
