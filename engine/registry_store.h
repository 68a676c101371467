// registry_store.h - the registry: keys and typed values below four root keys,
// kept as one text file per root ("HKEY_CURRENT_USER.reg", format in
// registry_text.h) in the configuration folder (platform/paths.h), which is
// created when missing.
//
// Guarantees:
//  1. Every operation reads the file afresh when it changed on disk (another
//     process, a hand edit); an unchanged file is read once.
//  2. A change is written to a temporary file in the same folder, flushed to
//     the disk and renamed over the old file, so the file on disk is always a
//     whole old or a whole new version, even after a system crash; with
//     `flush` the rename is made durable too before the call returns.
//  3. Changes of several processes are serialised by a lock on the folder,
//     and each re-reads the file under the lock, so no process's change is
//     lost; for the same value, the last writer wins.
//  4. A damaged file is read as far as it can be: each problem is printed as
//     one diagnostic line, and before the next write replaces the file, its
//     unreadable lines are appended to "NAME.damaged" beside it. If they
//     cannot be kept aside, the write fails and the file stays as it is.
//  5. A file that cannot be read at all (larger than 16 MiB, an I/O error) is
//     never replaced: reads find nothing, writes fail, one line says why.
//  6. Without a usable configuration folder every read finds nothing and
//     every write fails, with one diagnostic line.
//
// Results are the handheld's error numbers (handheld_types.h):
// ERROR_SUCCESS, ERROR_FILE_NOT_FOUND (key or value missing),
// ERROR_INVALID_PARAMETER (not a root key, a bad name or path, a value over
// 64 KiB), ERROR_CANTREAD and ERROR_CANTWRITE.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "marrowby_api.h"
#include "platform/cstring.h"
#include "platform/handheld_types.h"

namespace Registry {

// True for the four predefined roots.
MARROWBY_API bool IsRootKey(HKEY root);
// The file that holds `root` (empty without a configuration folder or root).
MARROWBY_API std::string StoreFile(HKEY root);

MARROWBY_API DWORD OpenKey(HKEY root, const CString& path);
// Creates the key and its missing parents; an existing key is left as it is.
MARROWBY_API DWORD CreateKey(HKEY root, const CString& path, bool flush);
// Deletes the key with its values and sub-keys (not the root itself).
MARROWBY_API DWORD DeleteKey(HKEY root, const CString& path, bool flush);
MARROWBY_API DWORD QueryKeyInfo(HKEY root, const CString& path, int* subKeyCount, int* valueCount);

MARROWBY_API DWORD QueryValue(HKEY root, const CString& path, const CString& name, DWORD* type,
                              std::vector<uint8_t>* data);
// Stores a value in an existing key; an existing value of the same name (any
// case) keeps its spelling and takes the new type and data.
MARROWBY_API DWORD SetValue(HKEY root, const CString& path, const CString& name, DWORD type,
                            const std::vector<uint8_t>& data, bool flush);
MARROWBY_API DWORD DeleteValue(HKEY root, const CString& path, const CString& name, bool flush);

}  // namespace Registry
