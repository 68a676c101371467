// host_hooks.h - what the program adds beside the display library's keys and
// the plug-ins' own pacing: an extra source of on-screen pad bits (gamepads)
// and the fast-forward switch. Both are off until the program sets them.
#pragma once

#include <cstdint>
#include <functional>

#include "engine/marrowby_api.h"

namespace Emu {

// Pad bits (the on-screen pad's tokens: n, s, w, e, a, b, l, r, start,
// select) held down by a source outside the display library. BaseInput ORs
// the buttons of every key map entry whose pad bit is held into its state,
// after the keys and the stylus, so such a source never releases a key.
using PadSource = std::function<uint32_t()>;
// An empty function removes the source.
MARROWBY_API void SetPadSource(PadSource source);
// 0 without a source.
MARROWBY_API uint32_t ReadPadSource();

// While fast-forward is on, BaseVideo paces no frame, as with FrameSync off.
MARROWBY_API void SetFastForward(bool on);
MARROWBY_API bool IsFastForward();

}  // namespace Emu
