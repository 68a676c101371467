// errors.h - the display library's own exception codes and their texts.
//
// The library reports failures by its results (a null surface, false); a caller
// that turns one of them into an exception uses these codes, and the program's
// run loop shows the text.
#pragma once

#include <cstdint>

#include "types.h"

namespace Lumaret {

constexpr uint32_t kErrorNoView = 0x6701;     // a window was made without a widget
constexpr uint32_t kErrorNoSurface = 0x6702;  // a surface could not be created
constexpr uint32_t kErrorDepth = 0x6703;      // the display depth is not supported

}  // namespace Lumaret

// 1 when `code` is one of the library's codes, else 0.
LUMARET_API uint32_t LumaretError(uint32_t code);
// The text of one of the library's codes; a general text for any other code. The
// texts are constants owned by the library.
LUMARET_API const wchar_t* LumaretErrorString(uint32_t code);
