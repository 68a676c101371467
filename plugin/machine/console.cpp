// console.cpp - formats console lines and hands them to the installed sink.
#include "console.h"

#include <cstdarg>
#include <cstdio>

namespace {
ConsoleSink Sink = nullptr;
}

void SetConsoleSink(ConsoleSink sink) { Sink = sink; }

void ConsolePrintf(const char* format, ...) {
    if (!Sink) return;
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    Sink(text);
}
