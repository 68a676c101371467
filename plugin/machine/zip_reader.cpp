// zip_reader.cpp - the first cartridge image of a zip archive, through libzip.
#include "zip_reader.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace {

// Opens a regular file without blocking on a pipe; -1 otherwise.
int OpenRegular(const char* path) {
    int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat status;
    if (fd >= 0 && (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))) {
        close(fd);
        fd = -1;
    }
    return fd;
}

bool EndsWithGba(const char* name) {
    size_t length = std::strlen(name);
    return length >= 4 && strncasecmp(name + length - 4, ".gba", 4) == 0;
}

std::string ZipError(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct EntryCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;
using Entry = std::unique_ptr<zip_file_t, EntryCloser>;

ReadOutcome Damaged(std::string& problem, const std::string& detail) {
    problem = "damaged zip archive (" + detail + ")";
    return ReadOutcome::Damaged;
}

// Reads exactly `size` bytes of an opened entry; a shorter or longer entry,
// or one whose checksum does not match, is damaged.
ReadOutcome ReadEntry(zip_file_t* file, zip_uint64_t size, std::vector<uint8_t>& out, std::string& problem) {
    out.resize(size + 1);
    zip_uint64_t total = 0;
    while (total <= size) {
        zip_int64_t n = zip_fread(file, out.data() + total, size + 1 - total);
        if (n < 0) return Damaged(problem, zip_error_strerror(zip_file_get_error(file)));
        if (n == 0) break;
        total += static_cast<zip_uint64_t>(n);
    }
    if (total != size) return Damaged(problem, total > size ? "entry longer than its size" : "entry cut short");
    out.resize(size);
    return ReadOutcome::Read;
}

}  // namespace

bool IsZipArchive(const char* path) {
    int fd = OpenRegular(path);
    if (fd < 0) return false;
    uint8_t magic[4] = {};
    bool read = ::read(fd, magic, sizeof magic) == sizeof magic;
    close(fd);
    // A local file header starts an archive with entries; an empty one is its directory's end.
    return read && magic[0] == 'P' && magic[1] == 'K' &&
           ((magic[2] == 3 && magic[3] == 4) || (magic[2] == 5 && magic[3] == 6));
}

ReadOutcome ReadZipImage(const char* path, size_t limit, std::vector<uint8_t>& out, std::string& entry,
                         std::string& problem) {
    out.clear();
    entry.clear();
    problem.clear();
    int fd = OpenRegular(path);
    if (fd < 0) {
        problem = std::string("cannot be opened: ") + std::strerror(errno);
        return ReadOutcome::Unreadable;
    }
    int error = 0;
    Archive archive(zip_fdopen(fd, ZIP_CHECKCONS, &error));
    if (!archive) {
        close(fd);
        return Damaged(problem, ZipError(error));
    }
    zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        const char* name = zip_get_name(archive.get(), index, 0);
        if (!name || !EndsWithGba(name)) continue;
        entry = name;
        zip_stat_t stat;
        zip_stat_init(&stat);
        constexpr zip_uint64_t needed = ZIP_STAT_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD;
        if (zip_stat_index(archive.get(), index, 0, &stat) != 0 || (stat.valid & needed) != needed)
            return Damaged(problem, "no size for " + entry);
        if (stat.encryption_method != ZIP_EM_NONE) return Damaged(problem, entry + " is encrypted");
        if (stat.comp_method != ZIP_CM_STORE && stat.comp_method != ZIP_CM_DEFLATE)
            return Damaged(problem, entry + " is compressed with a method other than deflate");
        if (stat.size > limit) {
            problem = entry + " is larger than " + std::to_string(limit) + " bytes";
            return ReadOutcome::TooLarge;
        }
        if (stat.size == 0) {
            problem = entry + " is empty";
            return ReadOutcome::Empty;
        }
        Entry file(zip_fopen_index(archive.get(), index, 0));
        if (!file) return Damaged(problem, zip_error_strerror(zip_get_error(archive.get())));
        return ReadEntry(file.get(), stat.size, out, problem);
    }
    problem = "no .gba image in the archive";
    return ReadOutcome::NoImage;
}
