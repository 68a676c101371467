// file_associations.h - the classes-root keys that tie cartridge files of the
// consoles the engine knows to this program.
#pragma once

#include "platform/cstring.h"

namespace App {

// "\"" + folder + "/tamboril\" \"%1\"", the command a file manager runs.
CString AssociationCommand(const CString& installFolder);

// Writes the command for `installFolder` (empty: the program's folder) as the
// default value of each console's "...\Shell\Open\Command" key below the
// classes root, creating the keys when missing. The value is a string of the
// command's characters without a terminator. False when any write failed.
bool RegisterFileAssociations(CString installFolder);

}  // namespace App
