// file_replace.h - writes a file under a temporary name beside its final one and
// renames it into place only when every byte has reached the disk, so a failed
// or interrupted write never destroys the previous good file.
#pragma once

#include <string>

class ReplacementFile {
public:
    // Creates "<path>.tmp-<pid>-<n>" for writing; check ok().
    explicit ReplacementFile(const std::string& path);
    // Removes the temporary file unless Commit succeeded.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    bool ok() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    // Writes all bytes; false on a short write.
    bool Write(const void* data, size_t size);
    // Closes and renames over the final name. With `flush`, the data reaches
    // the disk first, so that even a system crash leaves the old or the new
    // file whole; without it a crash of the program still does (the rename is
    // atomic), and the file systems that replace files by rename order the
    // data before the rename themselves.
    bool Commit(bool flush);

private:
    std::string path_;
    std::string temporary_;
    int fd_ = -1;
    bool committed_ = false;
};
