// program_folder.h - the folder the engine treats as the program's: where it
// looks for the "Emu" plug-in folder and the "Skins" folder. It is the running
// executable's folder unless a test has set another.
#pragma once

#include "engine/marrowby_api.h"
#include "platform/cstring.h"

namespace Emu {

// Without a trailing "/".
MARROWBY_API CString ProgramFolder();
// An empty folder restores the executable's.
MARROWBY_API void SetProgramFolder(const CString& folder);

}  // namespace Emu
