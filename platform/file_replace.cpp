// file_replace.cpp - temporary file, flush and rename for the battery and state
// files, screenshots and sound files.
#include "file_replace.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace {
unsigned Serial = 0;
constexpr int LinkHops = 40;  // the kernel's own limit for a path
}  // namespace

bool FollowLinks(const std::string& path, std::string& target) {
    target = path;
    std::vector<char> link(PATH_MAX);
    for (int hop = 0; hop <= LinkHops; ++hop) {
        struct stat status;
        if (lstat(target.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return true;
        ssize_t n = readlink(target.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<size_t>(n) >= link.size()) return true;
        std::string next(link.data(), static_cast<size_t>(n));
        size_t slash = target.rfind('/');
        if (next[0] != '/' && slash != std::string::npos) next = target.substr(0, slash + 1) + next;
        target = next;
    }
    errno = ELOOP;
    return false;
}

ReplacementFile::ReplacementFile(const std::string& path) {
    if (!FollowLinks(path, target_)) {
        error_ = errno;
        return;
    }
    temporary_ = target_ + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(++Serial);
    fd_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        error_ = errno;
        temporary_.clear();
    }
}

ReplacementFile::~ReplacementFile() {
    if (fd_ >= 0) close(fd_);
    if (!committed_ && !temporary_.empty()) unlink(temporary_.c_str());
}

bool ReplacementFile::Fail() {
    if (error_ == 0) error_ = errno != 0 ? errno : EIO;
    return false;
}

bool ReplacementFile::Write(const void* data, size_t size) {
    if (fd_ < 0) return false;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = write(fd_, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;
        if (n <= 0) return Fail();
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool ReplacementFile::Commit(bool flush) {
    if (fd_ < 0) return false;
    errno = 0;
    bool synced = !flush || fsync(fd_) == 0;
    if (!synced) Fail();
    bool closed = close(fd_) == 0;
    fd_ = -1;
    if (!closed) Fail();
    if (!synced || !closed) return false;
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) return Fail();
    committed_ = true;
    return true;
}
