// gzip_reader.cpp - reads a plain or gzip-compressed file whole, refusing damage.
#include "gzip_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr size_t Chunk = 64 * 1024;

// An open regular file read in chunks.
class Source {
public:
    explicit Source(int fd) : fd_(fd), buffer_(Chunk) {}
    ~Source() { close(fd_); }
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;

    // Reads the next chunk into the buffer: its length, 0 at the end, -1 on an error.
    ssize_t Next() {
        for (;;) {
            ssize_t n = read(fd_, buffer_.data(), buffer_.size());
            if (n >= 0 || errno != EINTR) return n;
        }
    }
    uint8_t* data() { return buffer_.data(); }

private:
    int fd_;
    std::vector<uint8_t> buffer_;
};

// Appends up to `limit` + 1 bytes in all; false once the content is too long.
bool Append(std::vector<uint8_t>& out, const uint8_t* data, size_t size, size_t limit) {
    size_t room = limit + 1 - out.size();
    out.insert(out.end(), data, data + std::min(size, room));
    return out.size() <= limit;
}

std::string SystemError(const char* what, int error) { return std::string(what) + ": " + std::strerror(error); }

// Copies a plain file whose first chunk is already in the buffer.
ReadOutcome CopyPlain(Source& source, ssize_t first, size_t limit, std::vector<uint8_t>& out, std::string& problem) {
    ssize_t n = first;
    for (; n > 0; n = source.Next())
        if (!Append(out, source.data(), static_cast<size_t>(n), limit)) return ReadOutcome::TooLarge;
    if (n < 0) {
        problem = SystemError("cannot be read", errno);
        return ReadOutcome::Unreadable;
    }
    return ReadOutcome::Read;
}

// Inflates gzip members from a source whose first chunk is already in the
// buffer. Every member must end with its trailer; further input must be
// another member.
ReadOutcome InflateMembers(Source& source, ssize_t first, size_t limit, std::vector<uint8_t>& out,
                           std::string& problem) {
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) {
        problem = "out of memory";
        return ReadOutcome::Unreadable;
    }
    std::vector<uint8_t> piece(Chunk);
    z.next_in = source.data();
    z.avail_in = static_cast<uInt>(first);
    ReadOutcome outcome = ReadOutcome::Read;
    for (;;) {
        z.next_out = piece.data();
        z.avail_out = static_cast<uInt>(piece.size());
        int result = inflate(&z, Z_NO_FLUSH);
        if (!Append(out, piece.data(), piece.size() - z.avail_out, limit)) {
            outcome = ReadOutcome::TooLarge;
            break;
        }
        if (result == Z_OK) continue;
        bool memberEnded = result == Z_STREAM_END;
        if (!memberEnded && !(result == Z_BUF_ERROR && z.avail_in == 0)) {
            outcome = ReadOutcome::Damaged;
            break;
        }
        if (z.avail_in == 0) {
            ssize_t n = source.Next();
            if (n < 0) {
                problem = SystemError("cannot be read", errno);
                outcome = ReadOutcome::Unreadable;
                break;
            }
            if (n == 0) {
                // The end of the file is only the end of the content between members.
                if (!memberEnded) outcome = ReadOutcome::Damaged;
                break;
            }
            z.next_in = source.data();
            z.avail_in = static_cast<uInt>(n);
        }
        if (memberEnded) inflateReset(&z);
    }
    inflateEnd(&z);
    if (outcome == ReadOutcome::Damaged) problem = "damaged gzip data";
    return outcome;
}

}  // namespace

ReadOutcome ReadGzipFile(const char* path, size_t limit, std::vector<uint8_t>& out, std::string& problem) {
    out.clear();
    problem.clear();
    // Non-blocking, so that opening a pipe returns at once and is refused below.
    int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        bool missing = errno == ENOENT || errno == ENOTDIR;
        problem = missing ? "not found" : SystemError("cannot be opened", errno);
        return missing ? ReadOutcome::NotFound : ReadOutcome::Unreadable;
    }
    Source source(fd);
    struct stat status;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        problem = "not a regular file";
        return ReadOutcome::NotRegular;
    }
    out.reserve(std::min(static_cast<size_t>(status.st_size), limit + 1));
    ssize_t first = source.Next();
    if (first < 0) {
        problem = SystemError("cannot be read", errno);
        return ReadOutcome::Unreadable;
    }
    bool packed = first >= 2 && source.data()[0] == 0x1F && source.data()[1] == 0x8B;
    ReadOutcome outcome =
        packed ? InflateMembers(source, first, limit, out, problem) : CopyPlain(source, first, limit, out, problem);
    if (outcome == ReadOutcome::TooLarge) problem = "larger than " + std::to_string(limit) + " bytes";
    if (outcome == ReadOutcome::Read && out.empty()) {
        problem = "empty";
        return ReadOutcome::Empty;
    }
    return outcome;
}
