// key_name.h - a short name for a virtual-key code ("Left", "Z", "F1"), shown
// beside the code on the control page.
#pragma once

#include "engine/marrowby_api.h"
#include "platform/cstring.h"

namespace Emu {

// Empty for codes without a name (0 and unassigned codes).
MARROWBY_API CString KeyName(int key);

// The code in decimal, followed by the name in brackets when it has one:
// "37 (Left)", "0".
MARROWBY_API CString KeyLabel(int key);

}  // namespace Emu
