// error_text.h - the texts the front end shows for a structured exception:
// the engine's own code and the system's exception codes.
#pragma once

#include "marrowby_api.h"
#include "platform/handheld_types.h"

// The engine's one error code: the image failed to load.
inline constexpr DWORD EmuErrorLoadFailed = 0x6001;

// 1 when `code` is an engine error code, else 0.
MARROWBY_API DWORD EmuError(DWORD code);
// Text for an engine error code. The texts are constants of the library.
MARROWBY_API const wchar_t* EmuErrorString(DWORD code);
// Text for a system exception code.
MARROWBY_API const wchar_t* GeneralErrorString(DWORD code);
