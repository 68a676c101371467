// file_associations.cpp - writing the open commands below the classes root.
#include "app/file_associations.h"

#include <string>
#include <vector>

#include "engine/registry.h"
#include "engine/registry_store.h"
#include "platform/paths.h"

namespace App {

namespace {

const wchar_t* const kCommandKeys[] = {
    L"gbafile\\Shell\\Open\\Command", L"gbfile\\Shell\\Open\\Command", L"NESfile\\Shell\\Open\\Command",
    L"SMSfile\\Shell\\Open\\Command", L"GGfile\\Shell\\Open\\Command", L"PCEfile\\Shell\\Open\\Command",
};

// The UTF-16 units of `text`, little-endian, two bytes per character and no
// terminator.
std::vector<uint8_t> UnterminatedUtf16(const CString& text) {
    std::vector<uint8_t> data;
    for (char16_t unit : text.ToUtf16()) {
        data.push_back(static_cast<uint8_t>(unit & 0xFF));
        data.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return data;
}

}  // namespace

CString AssociationCommand(const CString& installFolder) {
    return CString(L"\"") + installFolder + L"/tamboril\" \"%1\"";
}

bool RegisterFileAssociations(CString installFolder) {
    if (installFolder.IsEmpty()) installFolder = CString::FromUtf8(Platform::ExecutableFolder());
    const std::vector<uint8_t> command = UnterminatedUtf16(AssociationCommand(installFolder));
    CRegistry registry;
    registry.SetRootKey(HKEY_CLASSES_ROOT);
    bool written = true;
    for (const wchar_t* key : kCommandKeys) {
        // CRegistry's strings carry a terminator; the command is stored without.
        written = registry.SetKey(key, true) &&
                  Registry::SetValue(HKEY_CLASSES_ROOT, key, CString(), REG_SZ, command, false) == ERROR_SUCCESS &&
                  written;
    }
    return written;
}

}  // namespace App
