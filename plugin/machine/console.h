// console.h - the machine's text console: progress and trace lines.
//
// The core never prints itself. Every line goes through ConsolePrintf, which
// formats it and hands it to the sink installed by the host (the plug-in routes
// it to the engine console; the headless runner to standard output; tests
// capture it). Without a sink the text is dropped.
#pragma once

using ConsoleSink = void (*)(const char* text);

void SetConsoleSink(ConsoleSink sink);
void ConsolePrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
