// file_replace.cpp - temporary file, flush and rename for the battery and state files.
#include "file_replace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {
unsigned Serial = 0;
}

ReplacementFile::ReplacementFile(const std::string& path) : path_(path) {
    temporary_ = path + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(++Serial);
    fd_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

ReplacementFile::~ReplacementFile() {
    if (fd_ >= 0) close(fd_);
    if (!committed_ && !temporary_.empty()) unlink(temporary_.c_str());
}

bool ReplacementFile::Write(const void* data, size_t size) {
    if (fd_ < 0) return false;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = write(fd_, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool ReplacementFile::Commit(bool flush) {
    if (fd_ < 0) return false;
    bool synced = !flush || fsync(fd_) == 0;
    bool closed = close(fd_) == 0;
    fd_ = -1;
    if (!synced || !closed || std::rename(temporary_.c_str(), path_.c_str()) != 0) return false;
    committed_ = true;
    return true;
}
