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
#include "flash.h"
#include "memory.h"
#include "platform/file_replace.h"
#include "platform/runtime_link.h"

std::string SaveFileFailure;

namespace {

bool AnyNonZero(const uint8_t* p, size_t size) {
    for (size_t i = 0; i < size; ++i)
        if (p[i]) return true;
    return false;
}

// Sizes of the two parts of the file for the machine's chips.
off_t FlashPartBytes() { return Flash.parked ? 2 * FlashBankBytes : SaveRamSize; }
off_t EepromPartBytes() { return EepromSize(EepromChip); }

bool IsLayoutSize(off_t size, off_t flash, off_t eeprom) {
    return size == eeprom || size == flash || size == flash + eeprom;
}

// The sizes this program writes: those of the 64 KB and 512-byte stores, and
// those of the machine's own chips.
bool IsBatteryFileSize(off_t size) {
    return IsLayoutSize(size, SaveRamSize, EepromDataBytes) || IsLayoutSize(size, FlashPartBytes(), EepromPartBytes());
}

// A file laid out for the larger chips: exactly the flash part, the EEPROM
// part, or both. An announced EEPROM is the 8 KB chip when the file has its part.
bool ReadsByLayout(off_t size) {
    off_t flash = FlashPartBytes();
    if (EepromChip.kind == EepromKind::Announced && IsLayoutSize(size, flash, LargeEepromDataBytes) && size != flash) {
        EepromChip.kind = EepromKind::Large;
        ConsolePrintf("8kB EEPROM...");
    }
    off_t eeprom = EepromPartBytes();
    bool classic = flash == SaveRamSize && eeprom == EepromDataBytes;
    return !classic && IsLayoutSize(size, flash, eeprom);
}

bool ReadFully(FILE* file, uint8_t* out, size_t size) { return std::fread(out, 1, size, file) == size; }

bool ReadLayout(FILE* file, off_t size) {
    bool ok = true;
    if (size != EepromPartBytes()) {
        ok = ReadFully(file, SaveRam(), SaveRamSize);
        if (Flash.parked) ok = ok && ReadFully(file, Flash.parked, FlashBankBytes);
    }
    if (ok && size != FlashPartBytes()) ok = ReadFully(file, EepromChip.data, static_cast<size_t>(EepromPartBytes()));
    return ok;
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
    bool ok;
    if (ReadsByLayout(status.st_size)) {
        ok = ReadLayout(file, status.st_size);
    } else {
        bool sramComplete = ReadFully(file, SaveRam(), SaveRamSize);
        if (!sramComplete) RewindFile(file, RuntimeRewind());
        bool eepromComplete = ReadFully(file, EepromChip.data, EepromDataBytes);
        ok = sramComplete || eepromComplete;
    }
    std::fclose(file);
    ConsolePrintf(ok ? "OK\n" : "FAILED\n");
}

void BuildBatteryImage(std::vector<uint8_t>& out) {
    out.clear();
    if (!SaveRam()) return;
    size_t flash = static_cast<size_t>(FlashPartBytes());
    size_t eeprom = static_cast<size_t>(EepromPartBytes());
    out.resize(flash + eeprom);
    for (uint32_t bank = 0; bank * FlashBankBytes < flash; ++bank)
        CopyFlashBank(Flash, bank, out.data() + bank * FlashBankBytes);
    std::memcpy(out.data() + flash, EepromChip.data, eeprom);
    if (!AnyNonZero(out.data() + flash, eeprom)) out.resize(flash);
    if (!AnyNonZero(out.data(), flash)) out.erase(out.begin(), out.begin() + static_cast<ptrdiff_t>(flash));
}

bool WriteSaveFile(bool flush) {
    SaveFileFailure.clear();
    if (SavePath.empty()) return true;
    std::vector<uint8_t> image;
    BuildBatteryImage(image);
    if (image.empty()) return true;
    ReplacementFile file(SavePath);
    bool kept = !file.ok() || KeepForeignFile(file.target());
    int keepError = errno;
    ConsolePrintf("\nOpening %s...", SavePath.c_str());
    if (!file.ok()) return Failed(std::strerror(file.error()));
    if (!kept) return Failed(std::string("cannot keep the previous file: ") + std::strerror(keepError));
    ConsolePrintf("writing...");
    if (!(file.Write(image.data(), image.size()) && file.Commit(flush))) return Failed(std::strerror(file.error()));
    ConsolePrintf("OK\n");
    return true;
}
