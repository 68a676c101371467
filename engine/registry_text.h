// registry_text.h - the settings store's file format: one file per root key in
// the registry export format, UTF-8:
//
//     Windows Registry Editor Version 5.00
//
//     [HKEY_CURRENT_USER\Software\Tamboril]
//     "Volume"=hex:46,00,00,00
//     "ROMPath"="/home/player/roms"
//     @="the key's default value"
//
// A key is a section "[ROOT\Path\Below]"; every key is written, empty ones
// too, parents before children. A value is `"Name"=` (or `@=` for the unnamed
// value) followed by its data:
//   "text"       type 1 (string), stored as UTF-16 with its terminator; only
//                for text that holds exactly that (no control characters);
//   hex:..       type 3 (binary), comma-separated bytes;
//   hex(N):..    type N (hexadecimal), for everything else, e.g. a string
//                without terminator;
//   dword:XXXXXXXX  type 4, read only (hand-edited files).
// In quoted names and text, \\ stands for \ and \" for ". Long byte lists
// continue on the next line after a trailing backslash. Types and byte counts
// therefore round-trip exactly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "marrowby_api.h"
#include "platform/cstring.h"
#include "platform/handheld_types.h"

struct RegistryValue {
    CString name;  // empty for the key's unnamed value
    DWORD type = REG_NONE;
    std::vector<uint8_t> data;
    bool operator==(const RegistryValue&) const = default;
};

// Names of keys and values compare without case and keep their spelling.
struct MARROWBY_API RegistryKey {
    CString name;
    std::vector<RegistryValue> values;
    std::vector<RegistryKey> subKeys;

    RegistryKey* FindSubKey(const CString& name);
    const RegistryKey* FindSubKey(const CString& name) const;
    RegistryValue* FindValue(const CString& name);
    const RegistryValue* FindValue(const CString& name) const;
    // The key below this one named by the path `names`, created where missing;
    // `created` tells whether any was.
    RegistryKey& ObtainSubKey(const std::vector<CString>& names, bool* created = nullptr);
};

// One root file as read: what could be read, and the lines that could not,
// as they stood, with one problem text per damaged place.
struct RegistryText {
    RegistryKey root;
    std::vector<std::string> unreadableLines;
    std::vector<std::string> problems;  // "line N: why"
};

// Reads the text of the file of root `rootName` ("HKEY_CURRENT_USER"). Never
// fails: what cannot be read is set aside in unreadableLines.
MARROWBY_API RegistryText ParseRegistryText(std::string_view text, std::string_view rootName);
MARROWBY_API std::string FormatRegistryText(const RegistryKey& root, std::string_view rootName);

// Splits a key path ("Software\Tamboril") into its names; an empty path is the
// root itself. False for an empty name ("A\\B", "\A") or a name that the file
// cannot hold (a control character, more than 255 characters).
MARROWBY_API bool SplitKeyPath(const CString& path, std::vector<CString>& names);
// The bytes of a string value: the UTF-16 units, little-endian, and a
// terminator.
MARROWBY_API std::vector<uint8_t> StringValueData(std::u16string_view units);
// True when `name` can name a value (at most 255 characters, no control
// characters).
MARROWBY_API bool IsValidValueName(const CString& name);
