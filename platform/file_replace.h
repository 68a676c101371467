// file_replace.h - writes a file under a temporary name beside its final one and
// renames it into place only when every byte has reached the disk, so a failed
// or interrupted write never destroys the previous good file.
//
// A path that is a symbolic link is written through: the file the links end at
// is replaced (atomically, beside itself), and the links stay links.
#pragma once

#include <string>

// The file that `path` names once its symbolic links are followed (it need not
// exist). Links relative to their folder are resolved against it. False, with
// errno = ELOOP, for a chain of more than 40 links.
bool FollowLinks(const std::string& path, std::string& target);

class ReplacementFile {
public:
    // Creates "<target>.tmp-<pid>-<n>" for writing beside the file `path`
    // ends at; check ok().
    explicit ReplacementFile(const std::string& path);
    // Removes the temporary file unless Commit succeeded.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    bool ok() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    // The file that Commit replaces: `path` with its links followed.
    const std::string& target() const { return target_; }
    // The errno of the first failure (0 while there was none).
    int error() const { return error_; }
    // Writes all bytes; false on a short write.
    bool Write(const void* data, size_t size);
    // Closes and renames over the final name. With `flush`, the data reaches
    // the disk first, so that even a system crash leaves the old or the new
    // file whole; without it a crash of the program still does (the rename is
    // atomic), and the file systems that replace files by rename order the
    // data before the rename themselves.
    bool Commit(bool flush);

private:
    bool Fail();

    std::string target_;
    std::string temporary_;
    int fd_ = -1;
    int error_ = 0;
    bool committed_ = false;
};
