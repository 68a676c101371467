// console.h - the machine's text console: progress and trace lines.
//
// The core never prints itself. Every line goes through ConsolePrintf, which
// the host defines: the plug-in takes the engine library's export of this
// name (the text lands in the engine console), the headless host its own
// (kept for the runner and the tests). The declaration matches the engine's,
// so one translation unit may see both.
#pragma once

extern "C" int ConsolePrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
