// registry_store.cpp - the registry's root files: reading through a cache that
// follows the file on disk, and changing under the folder lock with a
// temporary file and a rename (guarantees in registry_store.h).
#include "registry_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <set>

#include "diagnostics.h"
#include "platform/file_replace.h"
#include "platform/paths.h"
#include "registry_text.h"

namespace Registry {

namespace {

constexpr size_t MaxFileSize = 16 << 20;
constexpr size_t MaxValueSize = 64 << 10;
// Problems printed for one file; a file that is not text at all would
// otherwise print one line for every line it has.
constexpr size_t MaxReportedProblems = 20;

const char* RootName(HKEY root) {
    switch (static_cast<uint32_t>(root)) {
    case 0x80000000u: return "HKEY_CLASSES_ROOT";
    case 0x80000001u: return "HKEY_CURRENT_USER";
    case 0x80000002u: return "HKEY_LOCAL_MACHINE";
    case 0x80000003u: return "HKEY_USERS";
    default: return nullptr;
    }
}

// What stat tells of a file; a change means it must be read again.
struct FileState {
    int error = ENOENT;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    int64_t seconds = 0, nanoseconds = 0;
    bool operator==(const FileState&) const = default;
};

FileState StateOf(const std::string& path) {
    FileState state;
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        state.error = errno;
        return state;
    }
    state = {0, info.st_dev, info.st_ino, info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
    return state;
}

struct CachedFile {
    bool loaded = false;
    FileState state;
    DWORD status = ERROR_SUCCESS;  // ERROR_CANTREAD: the file is neither read nor replaced
    RegistryText text;
};

std::mutex StoreLock;
std::map<std::string, CachedFile> Cache;
std::set<std::string> ReportedFolders;
std::set<std::string> FailingFiles;

std::string ErrorText(int error) { return std::strerror(error); }

bool ReadWholeFile(const std::string& path, std::string& out) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    out.clear();
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0 && out.size() <= MaxFileSize) out.append(buffer, n);
    bool ok = !std::ferror(file) && out.size() <= MaxFileSize;
    std::fclose(file);
    return ok;
}

// The data always reaches the disk before the rename, so that even a system
// crash leaves the old or the new file, never an empty one.
bool WriteWholeFile(const std::string& path, const std::string& text) {
    ReplacementFile file(path);
    return file.ok() && file.Write(text.data(), text.size()) && file.Commit(true);
}

// The configuration folder, created when missing; empty when it is unusable,
// which is said once per folder.
std::string UsableFolder() {
    std::string folder = Platform::ConfigFolder();
    std::string problem;
    if (folder.empty())
        problem = "No configuration folder: none of TAMBORIL_HOME, XDG_CONFIG_HOME and HOME is set";
    else if (!Platform::MakeFolders(folder))
        problem = "Cannot create the configuration folder " + folder + " (" + ErrorText(errno) + ")";
    if (problem.empty()) return folder;
    if (ReportedFolders.insert(folder).second) Emu::PrintDiagnostic(problem + "; settings are neither read nor saved.");
    return "";
}

const CachedFile& Load(const std::string& path, const char* rootName) {
    CachedFile& entry = Cache[path];
    FileState state = StateOf(path);
    if (entry.loaded && entry.state == state) return entry;
    entry = CachedFile{true, state, ERROR_SUCCESS, {}};
    if (state.error == ENOENT) return entry;
    std::string content, why;
    if (state.error != 0)
        why = ErrorText(state.error);
    else if (static_cast<size_t>(state.size) > MaxFileSize)
        why = "larger than 16 MiB";
    else if (!ReadWholeFile(path, content))
        why = content.size() > MaxFileSize ? "larger than 16 MiB" : ErrorText(errno);
    if (!why.empty()) {
        entry.status = ERROR_CANTREAD;
        Emu::PrintDiagnostic(path + ": cannot be read (" + why +
                             "); it is left as it is and no setting is saved in it.");
        return entry;
    }
    entry.text = ParseRegistryText(content, rootName);
    const std::vector<std::string>& problems = entry.text.problems;
    for (size_t i = 0; i < problems.size() && i < MaxReportedProblems; ++i)
        Emu::PrintDiagnostic(path + ": " + problems[i]);
    if (problems.size() > MaxReportedProblems)
        Emu::PrintDiagnostic(path + ": " + std::to_string(problems.size() - MaxReportedProblems) + " more problems");
    return entry;
}

// Appends the unreadable lines to the file beside the store file, through a
// temporary file as well, so that they are on disk before they leave the store.
bool KeepAside(const std::string& path, const std::vector<std::string>& lines) {
    std::string text;
    if (StateOf(path).error != ENOENT && !ReadWholeFile(path, text)) return false;
    for (const std::string& line : lines) text += line + "\n";
    return WriteWholeFile(path, text);
}

template <typename Key>
Key* FindKey(Key& top, const std::vector<CString>& names, size_t count) {
    Key* key = &top;
    for (size_t i = 0; key && i < count; ++i) key = key->FindSubKey(names[i]);
    return key;
}

// Runs `query` on the root's keys as the file holds them.
template <typename Query>
DWORD Read(HKEY root, Query&& query) {
    const char* rootName = RootName(root);
    if (!rootName) return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> hold(StoreLock);
    std::string folder = UsableFolder();
    if (folder.empty()) return ERROR_FILE_NOT_FOUND;
    const CachedFile& file = Load(folder + "/" + rootName + ".reg", rootName);
    return file.status != ERROR_SUCCESS ? file.status : query(file.text.root);
}

// Holds an exclusive lock on a folder while it lives (none when the folder
// cannot be opened or the file system has no locks).
class FolderLock {
public:
    explicit FolderLock(const std::string& folder) : fd_(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_ >= 0) flock(fd_, LOCK_EX);
    }
    // Makes the renames done in the folder durable.
    void Sync() const {
        if (fd_ >= 0) fsync(fd_);
    }
    ~FolderLock() {
        if (fd_ >= 0) close(fd_);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_;
};

// Runs `change` on a copy of the root's keys; when it reports a change, the
// copy replaces the file.
template <typename Change>
DWORD Modify(HKEY root, bool flush, Change&& change) {
    const char* rootName = RootName(root);
    if (!rootName) return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> hold(StoreLock);
    std::string folder = UsableFolder();
    if (folder.empty()) return ERROR_CANTWRITE;
    FolderLock folderLock(folder);
    std::string path = folder + "/" + rootName + ".reg";
    const CachedFile& file = Load(path, rootName);
    if (file.status != ERROR_SUCCESS) return file.status;
    RegistryKey keys = file.text.root;
    bool changed = false;
    DWORD status = change(keys, changed);
    if (status != ERROR_SUCCESS || !changed) return status;

    const std::vector<std::string>& unreadable = file.text.unreadableLines;
    std::string damaged = path + ".damaged";
    if (!unreadable.empty() && !KeepAside(damaged, unreadable)) {
        Emu::PrintDiagnostic(path + ": cannot keep its unreadable lines in " + damaged + " (" + ErrorText(errno) +
                             "); the file is not changed.");
        return ERROR_CANTWRITE;
    }
    if (!WriteWholeFile(path, FormatRegistryText(keys, rootName))) {
        if (FailingFiles.insert(path).second)
            Emu::PrintDiagnostic(path + ": cannot be saved (" + ErrorText(errno) + "); the previous file is kept.");
        return ERROR_CANTWRITE;
    }
    // The new file is in place; making the rename durable is the best the
    // folder allows.
    if (flush) folderLock.Sync();
    FailingFiles.erase(path);
    if (!unreadable.empty())
        Emu::PrintDiagnostic(path + ": " + std::to_string(unreadable.size()) + " unreadable lines moved to " + damaged);
    Cache[path] = CachedFile{true, StateOf(path), ERROR_SUCCESS, RegistryText{std::move(keys), {}, {}}};
    return ERROR_SUCCESS;
}

}  // namespace

bool IsRootKey(HKEY root) { return RootName(root) != nullptr; }

std::string StoreFile(HKEY root) {
    std::string folder = Platform::ConfigFolder();
    return folder.empty() || !IsRootKey(root) ? "" : folder + "/" + RootName(root) + ".reg";
}

DWORD OpenKey(HKEY root, const CString& path) {
    std::vector<CString> names;
    if (!SplitKeyPath(path, names)) return ERROR_INVALID_PARAMETER;
    return Read(root, [&](const RegistryKey& top) {
        return FindKey(top, names, names.size()) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

DWORD CreateKey(HKEY root, const CString& path, bool flush) {
    std::vector<CString> names;
    if (!SplitKeyPath(path, names)) return ERROR_INVALID_PARAMETER;
    return Modify(root, flush, [&](RegistryKey& top, bool& changed) {
        top.ObtainSubKey(names, &changed);
        return ERROR_SUCCESS;
    });
}

DWORD DeleteKey(HKEY root, const CString& path, bool flush) {
    std::vector<CString> names;
    if (!SplitKeyPath(path, names) || names.empty()) return ERROR_INVALID_PARAMETER;
    return Modify(root, flush, [&](RegistryKey& top, bool& changed) {
        RegistryKey* parent = FindKey(top, names, names.size() - 1);
        RegistryKey* key = parent ? parent->FindSubKey(names.back()) : nullptr;
        if (!key) return ERROR_FILE_NOT_FOUND;
        parent->subKeys.erase(parent->subKeys.begin() + (key - parent->subKeys.data()));
        changed = true;
        return ERROR_SUCCESS;
    });
}

DWORD QueryKeyInfo(HKEY root, const CString& path, int* subKeyCount, int* valueCount) {
    std::vector<CString> names;
    if (!SplitKeyPath(path, names)) return ERROR_INVALID_PARAMETER;
    return Read(root, [&](const RegistryKey& top) {
        const RegistryKey* key = FindKey(top, names, names.size());
        if (!key) return ERROR_FILE_NOT_FOUND;
        if (subKeyCount) *subKeyCount = static_cast<int>(key->subKeys.size());
        if (valueCount) *valueCount = static_cast<int>(key->values.size());
        return ERROR_SUCCESS;
    });
}

DWORD QueryValue(HKEY root, const CString& path, const CString& name, DWORD* type, std::vector<uint8_t>* data) {
    std::vector<CString> names;
    if (!SplitKeyPath(path, names) || !IsValidValueName(name)) return ERROR_INVALID_PARAMETER;
    return Read(root, [&](const RegistryKey& top) {
        const RegistryKey* key = FindKey(top, names, names.size());
        const RegistryValue* value = key ? key->FindValue(name) : nullptr;
        if (!value) return ERROR_FILE_NOT_FOUND;
        if (type) *type = value->type;
        if (data) *data = value->data;
        return ERROR_SUCCESS;
    });
}

DWORD SetValue(HKEY root, const CString& path, const CString& name, DWORD type, const std::vector<uint8_t>& data,
               bool flush) {
    std::vector<CString> names;
    if (!SplitKeyPath(path, names) || !IsValidValueName(name) || data.size() > MaxValueSize)
        return ERROR_INVALID_PARAMETER;
    return Modify(root, flush, [&](RegistryKey& top, bool& changed) {
        RegistryKey* key = FindKey(top, names, names.size());
        if (!key) return ERROR_FILE_NOT_FOUND;
        RegistryValue* value = key->FindValue(name);
        if (!value) {
            key->values.push_back(RegistryValue{name, type, data});
        } else if (value->type != type || value->data != data) {
            value->type = type;
            value->data = data;
        } else {
            return ERROR_SUCCESS;
        }
        changed = true;
        return ERROR_SUCCESS;
    });
}

DWORD DeleteValue(HKEY root, const CString& path, const CString& name, bool flush) {
    std::vector<CString> names;
    if (!SplitKeyPath(path, names) || !IsValidValueName(name)) return ERROR_INVALID_PARAMETER;
    return Modify(root, flush, [&](RegistryKey& top, bool& changed) {
        RegistryKey* key = FindKey(top, names, names.size());
        RegistryValue* value = key ? key->FindValue(name) : nullptr;
        if (!value) return ERROR_FILE_NOT_FOUND;
        key->values.erase(key->values.begin() + (value - key->values.data()));
        changed = true;
        return ERROR_SUCCESS;
    });
}

}  // namespace Registry
