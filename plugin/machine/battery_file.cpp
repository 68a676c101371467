// battery_file.cpp - reading the battery file at start and writing it at shutdown.
#include "battery_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cartridge.h"
#include "console.h"
#include "eeprom.h"
#include "platform/file_replace.h"
#include "memory.h"
#include "platform/runtime_link.h"

std::string SaveFileFailure;

namespace {

bool AnyNonZero(const uint8_t* p, size_t size) {
    for (size_t i = 0; i < size; ++i)
        if (p[i]) return true;
    return false;
}

bool IsBatteryFileSize(off_t size) {
    return size == EepromDataBytes || size == SaveRamSize || size == SaveRamSize + EepromDataBytes;
}

// Copies `from` to a file `to` that must not exist yet; a failed copy leaves nothing.
bool CopyToNewFile(const std::string& from, const std::string& to) {
    int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    int out = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    bool copied = out >= 0;
    char buffer[64 * 1024];
    for (ssize_t n; copied && (n = read(in, buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        copied = n > 0 && write(out, buffer, static_cast<size_t>(n)) == n;
    }
    int error = errno;
    close(in);
    if (out >= 0) {
        copied = fsync(out) == 0 && close(out) == 0 && copied;
        if (!copied) unlink(to.c_str());
    }
    errno = copied ? 0 : error;
    return copied;
}

// A battery file of a size this program never writes (another emulator's
// Flash save, a damaged file) is kept under the first free name of
// "<name>.bak", "<name>.bak.1", ... before it is replaced. False when it
// exists and could not be kept.
bool KeepForeignFile(const std::string& target) {
    struct stat status;
    if (stat(target.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || IsBatteryFileSize(status.st_size))
        return true;
    for (int n = 0; n < 1000; ++n) {
        std::string kept = target + ".bak" + (n ? "." + std::to_string(n) : "");
        if (CopyToNewFile(target, kept)) {
            ConsolePrintf("Battery file of %lld bytes kept as %s\n", static_cast<long long>(status.st_size),
                          kept.c_str());
            return true;
        }
        if (errno != EEXIST) break;
    }
    return false;
}

bool Failed(const std::string& reason) {
    SaveFileFailure = reason;
    ConsolePrintf("FAILED\n");
    ConsolePrintf("Cannot save %s: %s\n", SavePath.c_str(), reason.c_str());
    return false;
}

}  // namespace

void ReadBatteryFile() {
    ConsolePrintf("Opening %s...", SavePath.c_str());
    // Only a regular file is read: a pipe in its place would block the start.
    int fd = open(SavePath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat status;
    FILE* file = fd >= 0 && fstat(fd, &status) == 0 && S_ISREG(status.st_mode) ? fdopen(fd, "rb") : nullptr;
    if (!file) {
        if (fd >= 0) close(fd);
        ConsolePrintf("FAILED\n");
        return;
    }
    ConsolePrintf("reading...");
    bool sramComplete = std::fread(SaveRam(), 1, SaveRamSize, file) == SaveRamSize;
    if (!sramComplete) RewindFile(file, RuntimeRewind());
    bool eepromComplete = std::fread(EepromChip.data, 1, EepromDataBytes, file) == EepromDataBytes;
    std::fclose(file);
    ConsolePrintf(sramComplete || eepromComplete ? "OK\n" : "FAILED\n");
}

bool WriteSaveFile() {
    SaveFileFailure.clear();
    uint8_t* sram = SaveRam();
    if (SavePath.empty() || !sram) return true;
    bool sramUsed = AnyNonZero(sram, SaveRamSize);
    bool eepromUsed = AnyNonZero(EepromChip.data, EepromDataBytes);
    if (!sramUsed && !eepromUsed) return true;
    ReplacementFile file(SavePath);
    bool kept = !file.ok() || KeepForeignFile(file.target());
    int keepError = errno;
    ConsolePrintf("\nOpening %s...", SavePath.c_str());
    if (!file.ok()) return Failed(std::strerror(file.error()));
    if (!kept) return Failed(std::string("cannot keep the previous file: ") + std::strerror(keepError));
    ConsolePrintf("writing...");
    bool complete = true;
    if (sramUsed) complete = file.Write(sram, SaveRamSize);
    if (complete && eepromUsed) complete = file.Write(EepromChip.data, EepromDataBytes);
    if (!(complete && file.Commit(true))) return Failed(std::strerror(file.error()));
    ConsolePrintf("OK\n");
    return true;
}
