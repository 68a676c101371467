// paths.h - the folders the program uses: the running executable's and the
// configuration folder that holds the settings store.
#pragma once

#include <string>

namespace Platform {

// Folder of the running executable (from /proc/self/exe), without a trailing
// slash; empty when it cannot be read.
std::string ExecutableFolder();

// The configuration folder: $TAMBORIL_HOME if set, else
// $XDG_CONFIG_HOME/tamboril (when absolute), else ~/.config/tamboril. Empty
// when none of them can be found. Read afresh on each call.
std::string ConfigFolder();

// Creates `path` and its missing parents (mode 0700); true when the folder
// exists afterwards.
bool MakeFolders(const std::string& path);

}  // namespace Platform
