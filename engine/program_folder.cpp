// program_folder.cpp - the program's folder, or the one a test set.
#include "engine/program_folder.h"

#include "platform/paths.h"

namespace Emu {

namespace {
CString& Override() {
    static CString folder;
    return folder;
}
}  // namespace

CString ProgramFolder() {
    if (!Override().IsEmpty()) return Override();
    return CString::FromUtf8(Platform::ExecutableFolder());
}

void SetProgramFolder(const CString& folder) { Override() = folder; }

}  // namespace Emu
