// emulator_order.h - the order in which the engine lists its emulators: by
// name, ascending, without case; equal names keep the order they were found in.
#pragma once

#include <vector>

#include "engine/marrowby_api.h"
#include "platform/cstring.h"

namespace Emu {

// The positions of `names` in list order. Names compare without case; a name
// not below "ZZZZZZ" (without case) goes after all names below it, in the
// order found.
MARROWBY_API std::vector<int> NameOrder(const std::vector<CString>& names);

}  // namespace Emu
