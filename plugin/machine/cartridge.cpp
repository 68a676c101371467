// cartridge.cpp - machine start for one cartridge image, reset and shutdown.
//
// LoadCartridge runs in a fixed order and stops at the first failure:
//   1. forget the previous machine, empty the page tables;
//   2. allocate and map the regions, each announced on the console;
//   3. the BIOS: "GBA.ROM" from the current directory, else the built-in stub;
//   4. the image, plain or gzip-compressed and read whole, padded to 16 KB;
//   5. the header log and the complement check;
//   6. the backup chips the image announces (the 128 KB Flash, the EEPROM);
//   7. the battery file, the reset, the remaining pages to Dummy RAM.
// Everything it allocated stays until ShutdownMachine (or the next load).
#include "cartridge.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "../cpu/cpu.h"
#include "../sound/tone_chip.h"
#include "../sound/voices.h"
#include "../video/renderer.h"
#include "battery_file.h"
#include "battery_watch.h"
#include "console.h"
#include "eeprom.h"
#include "flash.h"
#include "gzip_reader.h"
#include "io.h"
#include "memory.h"
#include "save_library.h"
#include "scanline.h"
#include "timers.h"
#include "zip_reader.h"

bool BiosLoaded;
std::string SavePath;
std::string StatePath;
std::string LoadFailure;

namespace {

// Put at address 0 when no BIOS image is loaded: the reset branches to the
// cartridge, the interrupt vector calls the user handler at 0x03007FFC.
constexpr uint32_t BiosStub[12] = {0xE3A0F302, 0,          0,          0,          0,          0,
                                   0xE92D500F, 0xE3A00301, 0xE28FE000, 0xE510F004, 0xE8BD500F, 0xE25EF004};
constexpr uint32_t BiosFill = 0x09FE2000;

// Every buffer the machine owns, released by ShutdownMachine.
struct Buffers {
    uint8_t* dummy = nullptr;
    int8_t* ring[2] = {nullptr, nullptr};
    uint8_t* bios = nullptr;
    uint8_t* externalRam = nullptr;
    uint8_t* internalRam = nullptr;
    uint8_t* io = nullptr;
    uint8_t* palette = nullptr;
    uint8_t* video = nullptr;
    uint8_t* object = nullptr;
    uint8_t* sram = nullptr;
    uint8_t* parkedBank = nullptr;  // the second bank of the 128 KB Flash
    uint8_t* image = nullptr;
    uint32_t imageSize = 0;
};
Buffers Owned;

void ReleaseBuffers() {
    StopBatteryWatch();
    std::free(Owned.image);
    std::free(Owned.bios);
    std::free(Owned.externalRam);
    std::free(Owned.internalRam);
    std::free(Owned.io);
    std::free(Owned.palette);
    std::free(Owned.video);
    std::free(Owned.object);
    std::free(Owned.sram);
    std::free(Owned.parkedBank);
    std::free(Owned.dummy);
    for (int8_t* ring : Owned.ring) std::free(ring);
    Owned = Buffers{};
    for (DirectSoundRing& ring : Rings) ring.samples = nullptr;
    DummyRam = nullptr;
    Flash = FlashChip{};
    EepromChip.reply = nullptr;
    EepromChip.kind = EepromKind::Small;
    ClearPageTables();
}

void Done(bool ok) { ConsolePrintf(ok ? "OK\n" : "FAILED\n"); }

// Allocates a zeroed buffer, announcing it with `line`.
uint8_t* Allocate(uint32_t size, const char* line, int kilobytes) {
    ConsolePrintf(line, kilobytes);
    auto* buffer = static_cast<uint8_t*>(std::calloc(size, 1));
    Done(buffer != nullptr);
    if (!buffer) LoadFailure = "out of memory";
    return buffer;
}

bool AllocateRegions() {
    if (!(Owned.dummy = Allocate(DummyRamSize, "Allocating %dkB Dummy RAM...", DummyRamSize / 1024))) return false;
    DummyRam = Owned.dummy;
    const char* ringLines[2] = {"Allocating %dkB buffer for sound channel A...",
                                "Allocating %dkB buffer for sound channel B..."};
    for (int i = 0; i < 2; ++i) {
        Owned.ring[i] = reinterpret_cast<int8_t*>(Allocate(RingSize, ringLines[i], RingSize / 1024));
        if (!Owned.ring[i]) return false;
        Rings[i].samples = Owned.ring[i];
    }
    if (!(Owned.bios = Allocate(BiosSize, "Allocating 16kB BIOS ROM...", 0))) return false;
    MapRegion(Owned.bios, BiosSize, 0, BiosSize, false);
    struct Region {
        uint8_t** buffer;
        uint32_t size, base, span;
        const char* line;
        int kilobytes;
    };
    const Region regions[] = {
        {&Owned.externalRam, ExternalRamSize, 0x02000000, 0x01000000, "Allocating 256kB External Working RAM...", 0},
        {&Owned.internalRam, InternalRamSize, 0x03000000, 0x01000000, "Allocating 32kB Internal Working RAM...", 0},
        {&Owned.io, IoSize, 0x04000000, IoSize, "Allocating %dkB I/O...", IoSize / 1024},
        {&Owned.palette, PaletteSize, 0x05000000, PaletteSize, "Allocating %dkB Palette RAM...", PaletteSize / 1024},
        // The padding past the mapped 96 KB stays zero for the renderer.
        {&Owned.video, VideoRamBufferSize, 0x06000000, VideoRamSize, "Allocating 96kB VRAM...", 0},
        {&Owned.object, ObjectRamSize, 0x07000000, ObjectRamSize, "Allocating %dkB Sprite RAM...",
         ObjectRamSize / 1024},
        {&Owned.sram, SaveRamSize, 0x0E000000, SaveRamSize, "Allocating 64kB Cartridge SRAM...", 0},
    };
    for (const Region& r : regions) {
        if (!(*r.buffer = Allocate(r.size, r.line, r.kilobytes))) return false;
        MapRegion(*r.buffer, r.size, r.base, r.span, true);
    }
    return true;
}

void LoadBios() {
    if (FILE* file = std::fopen("GBA.ROM", "rb")) {
        ConsolePrintf("Loading GBA.ROM...");
        BiosLoaded = std::fread(Owned.bios, 1, BiosSize, file) == BiosSize;
        Done(BiosLoaded);
        std::fclose(file);
    }
    if (BiosLoaded) return;
    // A short image leaves nothing of itself: the fill word, then the stub.
    for (uint32_t i = 0; i < BiosSize; i += 4) Store32(Owned.bios + i, BiosFill);
    for (int i = 0; i < 12; ++i) Store32(Owned.bios + 4 * i, BiosStub[i]);
}

// The first image of a zip archive. Its failures end the console line with
// their reason: an archive can fail in more ways than a plain image.
ReadOutcome ReadArchive(const char* path, std::vector<uint8_t>& content) {
    std::string entry;
    ReadOutcome outcome = ReadZipImage(path, MaxCartridgeSize, content, entry, LoadFailure);
    if (outcome == ReadOutcome::TooLarge) LoadFailure = entry + " in the archive is larger than 32 MB";
    if (outcome == ReadOutcome::Read)
        ConsolePrintf("%s...", entry.c_str());
    else
        ConsolePrintf("FAILED: %s.\n", LoadFailure.c_str());
    return outcome;
}

// The image as the gzip reader (or for a zip archive, the zip reader)
// delivers it, padded with zeros to whole pages and mapped at all three
// cartridge windows. Every failure (no regular file, empty, too large, damaged
// gzip data or archive, no memory) shows as one console line, with the reason
// kept in LoadFailure.
bool LoadImage(const char* path) {
    ConsolePrintf("Loading %s...", path);
    std::vector<uint8_t> content;
    ReadOutcome outcome;
    if (IsZipArchive(path)) {
        if ((outcome = ReadArchive(path, content)) != ReadOutcome::Read) return false;
    } else {
        outcome = ReadGzipFile(path, MaxCartridgeSize, content, LoadFailure);
    }
    bool opened =
        outcome != ReadOutcome::NotFound && outcome != ReadOutcome::NotRegular && outcome != ReadOutcome::Unreadable;
    if (opened) ConsolePrintf("%dkB...", static_cast<int>(content.size() / 1024));
    if (outcome == ReadOutcome::TooLarge) LoadFailure = "larger than 32 MB";
    bool mapped = false;
    if (outcome == ReadOutcome::Read) {
        uint32_t size = static_cast<uint32_t>(content.size());
        uint32_t rounded = (size + PageSize - 1) & ~PageOffsetMask;
        Owned.image = static_cast<uint8_t*>(std::calloc(rounded, 1));
        if (Owned.image) {
            std::memcpy(Owned.image, content.data(), size);
            Owned.imageSize = size;
            for (uint32_t base : {0x08000000u, 0x0A000000u, 0x0C000000u})
                MapRegion(Owned.image, rounded, base, rounded, false);
            mapped = true;
        } else {
            LoadFailure = "out of memory";
        }
    }
    ConsolePrintf(mapped ? "OK\n" : "FAILED to allocate memory.\n");
    return mapped;
}

const char* YesNo(bool yes) { return yes ? "YES" : "NO"; }

// Header text as the log shows it: a control character (a zero byte in an
// unset code, say) would end or break the console line, so it shows as '.'.
char Shown(uint8_t c) { return c < 0x20 || c == 0x7F ? '.' : static_cast<char>(c); }

bool CheckHeader(const uint8_t* image) {
    char title[13] = {};
    for (int i = 0; i < 12 && image[0xA0 + i]; ++i) title[i] = Shown(image[0xA0 + i]);
    char code[4], maker[2];
    for (int i = 0; i < 4; ++i) code[i] = Shown(image[0xAC + i]);
    for (int i = 0; i < 2; ++i) maker[i] = Shown(image[0xB0 + i]);
    uint32_t branch = image[0] | image[1] << 8 | image[2] << 16;
    uint8_t computed = HeaderComplement(image);
    ConsolePrintf("  Title:    %s (%c%c%c%c)\n", title, code[0], code[1], code[2], code[3]);
    ConsolePrintf("  Maker:    %s (%c%c)\n", MakerName(static_cast<char>(image[0xB0]), static_cast<char>(image[0xB1])),
                  maker[0], maker[1]);
    ConsolePrintf("  Japanese: %s\n", YesNo(code[3] == 'J'));
    ConsolePrintf("  American: %s\n", YesNo(code[3] == 'E'));
    ConsolePrintf("  European: %s\n", YesNo(code[3] == 'P'));
    ConsolePrintf("  German:   %s\n", YesNo(code[3] == 'D'));
    ConsolePrintf("  Version:  %02Xh\n", image[0xBC]);
    ConsolePrintf("  Unit:     %02Xh\n", image[0xB3]);
    ConsolePrintf("  Device:   %02Xh\n", image[0xB4]);
    ConsolePrintf("  Start:    %08Xh\n", (branch + 0x2000002u) * 4u);
    ConsolePrintf("  CMP:      %02Xh (REAL=%02Xh)\n", image[0xBD], computed);
    if (computed == image[0xBD]) return true;
    ConsolePrintf("CMP CHECK FAILED!\n");
    LoadFailure = "header checksum wrong";
    return false;
}


// The chips the image's save library needs beyond the 64 KB SRAM/Flash buffer
// and the 512-byte EEPROM, each announced on the console.
bool PrepareBackupChips() {
    SaveLibrary library = FindSaveLibrary(Owned.image, Owned.imageSize);
    if (library.largeFlash && !(Owned.parkedBank = Allocate(FlashBankBytes, "Allocating 64kB second Flash bank...", 0)))
        return false;
    if (library.eeprom) EepromChip.kind = EepromKind::Announced;
    return true;
}

uint16_t FlashIdentificationOfChip() { return Owned.parkedBank ? LargeFlashIdentification : FlashIdentification; }

}  // namespace

uint8_t HeaderComplement(const uint8_t* image) {
    uint32_t sum = 0;
    for (uint32_t i = 0xA0; i <= 0xBC; ++i) sum += image[i];
    return static_cast<uint8_t>(0xE7 - sum);
}

std::string ReplaceExtension(const std::string& path, const char* extension) {
    // Only a dot in the file name starts an extension; a dotted folder name
    // must not move the file into its parent.
    size_t slash = path.rfind('/');
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + extension;
    return path.substr(0, dot) + extension;
}

// The path of a file kept beside the image: the image path with its extension
// replaced. Where that names the image itself (an image called "x.sav", or a
// link to it), the extension is appended instead, so that no battery or state
// file is ever written over the image.
std::string DerivedPath(const std::string& image, const char* extension) {
    std::string path = ReplaceExtension(image, extension);
    std::error_code error;
    if (path == image || std::filesystem::equivalent(path, image, error)) path = image + extension;
    return path;
}

bool LoadCartridge(const char* path) {
    ReleaseBuffers();
    SavePath.clear();
    StatePath.clear();
    LoadFailure.clear();
    StopRequest = false;
    BiosLoaded = false;
    if (!AllocateRegions()) return false;
    std::memset(EepromChip.data, 0, sizeof EepromChip.data);
    LoadBios();
    if (!LoadImage(path)) return false;
    if (!CheckHeader(Owned.image)) return false;
    if (!PrepareBackupChips()) return false;
    // The chip's buffers, so that the battery file is read by its layout.
    InitFlash(FlashIdentificationOfChip(), Owned.sram, Owned.parkedBank);
    SavePath = DerivedPath(path, ".sav");
    ReadBatteryFile();
    ConsolePrintf("Initializing hardware and CPU...");
    SetVoiceWave(4, Rings[0].samples, RingSize);
    SetVoiceWave(5, Rings[1].samples, RingSize);
    ResetMachine();
    StatePath = DerivedPath(path, ".STA");
    FillEmptyPages(DummyRam);
    StartBatteryWatch();
    ConsolePrintf("OK\nStarting CPU...\n");
    return true;
}

void ResetMachine() {
    if (!Owned.io) return;
    InitFlash(FlashIdentificationOfChip(), Owned.sram, Owned.parkedBank);
    InitEeprom(DummyRam);
    Flash.trace = EepromChip.trace = (DebugFlags & 0x40) ? 1 : 0;

    InitToneChip(0, true);
    PushToneChip(1);

    ResetTimers();
    Cpu.sliceQuantum = 960;
    Cpu.traceFlag = static_cast<uint8_t>(DebugFlags & 0x10);
    HaltState = 0;

    StoreIo(Reg::KEYINPUT, 0xFFFF);
    StoreIo(Reg::KEYCNT, 0);
    StoreIo(Reg::DISPCNT, 0x0080);
    StoreIo(Reg::DISPSTAT, 0);
    StoreIo(Reg::VCOUNT, 0);
    StoreIo(Reg::MOSAIC, 0);
    StoreIo(Reg::BLDCNT, 0);
    StoreIo(Reg::IME, 0);
    StoreIo(Reg::IE, 0);
    StoreIo(Reg::IF, 0);
    StoreIo(Reg::POSTFLG, 0);
    StoreIo(Reg::SOUNDCNT_H, 0x880E);
    StoreIo(Reg::SOUNDCNT_X, ToneChipStatus());
    StoreIo(Reg::SOUNDBIAS, 0x0200);
    StoreIo(Reg::RCNT, 0x8000);
    StoreIo(Reg::WAITCNT, 0);
    ApplyWaitControl(0);
    StoreIo(Reg::BLDALPHA, 0);
    StoreIo(Reg::BLDY, 0);
    BlendEva = BlendEvb = BlendEvy = 0;
    for (uint32_t bg = 0; bg < 4; ++bg) {
        StoreIo(Reg::BG0CNT + 2 * bg, 0);
        StoreIo(Reg::BG0HOFS + 4 * bg, 0);
        StoreIo(Reg::BG0VOFS + 4 * bg, 0);
    }
    ResetBgOrder();
    for (uint32_t j = 0; j < 2; ++j) {
        uint32_t base = j ? Reg::BG3PA : Reg::BG2PA;  // PA, PB, PC, PD, then X and Y as two halfwords each
        const uint32_t values[8] = {0x0100, 0, 0, 0x0100, 0, 0, 0, 0};
        for (uint32_t i = 0; i < 8; ++i) StoreIo(base + 2 * i, values[i]);
        Affine[j] = AffineBackground{0x100, 0, 0, 0x100, 0, 0, 0, 0};
    }

    UpdateDirectSound();

    CpuReset(Cpu);
    if (!BiosLoaded) {
        uint8_t* iwram = Owned.internalRam;
        Store32(iwram + 0x7FFC, 0x00000028);
        Store16(iwram + 0x7FF8, 0);
        iwram[0x7FFA] = 0;
        Cpu.cpsr = ModeSystem;
        Cpu.r[13] = 0x03007F00;
        Cpu.r[14] = Cpu.r[15] = 0x08000000;
        Cpu.bank[BankWord::SvcR13 - BankWord::Reserved17] = 0x03007FE0;
        Cpu.bank[BankWord::IrqR13 - BankWord::Reserved17] = 0x03007FA0;
    }
}

bool ShutdownMachine() {
    bool saved = WriteSaveFile();
    SavePath.clear();
    StatePath.clear();
    ReleaseBuffers();
    return saved;
}
