// diagnostics.h - where the engine's diagnostic lines go: standard error until
// a receiver (the engine's console) is set.
#pragma once

#include <functional>
#include <string>

#include "marrowby_api.h"

namespace Emu {

using DiagnosticSink = std::function<void(const std::string& line)>;

// Sends one line (UTF-8, without a line break) to the current receiver.
MARROWBY_API void PrintDiagnostic(const std::string& line);
// Replaces the receiver (an empty one restores standard error); returns the
// previous one. A receiver must not use the registry: the store prints while
// it holds its lock.
MARROWBY_API DiagnosticSink SetDiagnosticSink(DiagnosticSink sink);

}  // namespace Emu
