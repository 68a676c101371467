// save_state.cpp - snapshots of the whole machine in one gzip-compressed stream.
//
// Stream layout (509,688 bytes before compression, little-endian):
//
//   offset  size    content
//        0     4    "STD" 0x1A
//        4     1    version 2
//        5     1    the cartridge's header complement (image byte 0xBD)
//        6    10    zero
//       16   188    CPU record
//      204    12    Flash record
//      216   544    EEPROM record
//      760  1024    machine block (below)
//     1784  32 KB   internal work RAM
//    34552 256 KB   external work RAM
//   296696  16 KB   I/O page
//   313080  16 KB   palette RAM
//   329464  96 KB   VRAM
//   427768  16 KB   OAM
//   444152  64 KB   SRAM / Flash
//
// Machine block (signed 32-bit words): halt state, EVY, EVA, EVB, BgOrder[4],
// timer divisors[4], timer countdowns[4], then for BG2 and BG3: LX, LY, X, Y,
// PA, PB, PC, PD; 896 reserved bytes (written as zero, never read).
//
// A machine with the larger backup chips appends what they hold beyond the
// stream above, one section each, in this order (a machine with only the 64 KB
// SRAM/Flash and the 512-byte EEPROM appends nothing):
//
//   size    content
//      4    tag "FL1M"                      the 128 KB Flash
//      4    payload length 65540
//      1    number of the mapped bank, 0 or 1 (the SRAM block above holds it)
//      3    zero
//  64 KB    the other bank
//
//      4    tag "EE8K"                      the 8 KB EEPROM
//      4    payload length 7680
//   7680    data bytes 512..8191 (the EEPROM record above holds the first 512)
//
// A state must have exactly the sections of the cartridge's chips; a cartridge
// that announces the EEPROM library without having used a 14-bit request yet
// takes a state with or without the EEPROM section (and becomes the 8 KB chip
// with it).
//
// Loading reads the whole file first: a gzip stream must be undamaged to its
// trailer (or the file plain), and the content exactly one stream long. Then
// every piece is decoded and checked in stream order, and only a state found
// sound throughout is applied, so a refused file leaves the machine, and the
// battery file written from it, exactly as they were. The first piece that is
// short or holds an impossible value decides what a refusal does:
//   unreadable or damaged file, header, a stream too long -> machine untouched
//   CPU, Flash      -> machine reset (backup memory kept)
//   EEPROM          -> machine untouched
//   machine block   -> machine reset (backup memory kept)
//   memory blocks   -> machine untouched
// Values that later index memory, divide or are added to (the chip counters,
// the halt state, timer divisors and countdowns, BgOrder, the CPU's slice
// bookkeeping, the affine state) are checked, so a damaged or crafted file can
// never put the machine outside the states it can reach by running.
#include "save_state.h"

#include <unistd.h>
#include <zlib.h>

#include <cstring>
#include <vector>

#include "../cpu/cpu.h"
#include "../video/renderer.h"
#include "cartridge.h"
#include "eeprom.h"
#include "flash.h"
#include "gzip_reader.h"
#include "io.h"
#include "memory.h"
#include "platform/file_replace.h"
#include "platform/record.h"
#include "timers.h"

std::string StateLoadFailure;

namespace {

constexpr uint8_t Magic[4] = {'S', 'T', 'D', 0x1A};
constexpr uint8_t Version = 2;
constexpr size_t HeaderBytes = 16;
constexpr size_t MachineBlockBytes = 1024;

constexpr size_t CpuAt = HeaderBytes;
constexpr size_t FlashAt = CpuAt + CpuStateBytes;
constexpr size_t EepromAt = FlashAt + FlashChipBytes;
constexpr size_t MachineAt = EepromAt + EepromBytes;
constexpr size_t InternalRamAt = MachineAt + MachineBlockBytes;
constexpr size_t ExternalRamAt = InternalRamAt + InternalRamSize;
constexpr size_t IoAt = ExternalRamAt + ExternalRamSize;
constexpr size_t PaletteAt = IoAt + IoSize;
constexpr size_t VideoRamAt = PaletteAt + PaletteSize;
constexpr size_t ObjectRamAt = VideoRamAt + VideoRamSize;
constexpr size_t SaveRamAt = ObjectRamAt + ObjectRamSize;
constexpr size_t StateBytes = SaveRamAt + SaveRamSize;
static_assert(MachineAt == 760 && InternalRamAt == 1784 && IoAt == 296696 && VideoRamAt == 329464 &&
              SaveRamAt == 444152);
static_assert(StateBytes == 509688, "the state stream is 509,688 bytes");

// Sections of the larger backup chips.
constexpr uint8_t FlashTag[4] = {'F', 'L', '1', 'M'};
constexpr uint8_t EepromTag[4] = {'E', 'E', '8', 'K'};
constexpr size_t SectionHeaderBytes = 8;
constexpr size_t FlashPayloadBytes = 4 + FlashBankBytes;
constexpr size_t EepromPayloadBytes = LargeEepromDataBytes - EepromDataBytes;
constexpr size_t FlashSectionBytes = SectionHeaderBytes + FlashPayloadBytes;
constexpr size_t EepromSectionBytes = SectionHeaderBytes + EepromPayloadBytes;
static_assert(FlashPayloadBytes == 65540 && EepromPayloadBytes == 7680);

// Machine block offsets.
constexpr size_t HaltAt = 0, EvyAt = 4, EvaAt = 8, EvbAt = 12, BgOrderAt = 16, DivisorAt = 32, CountdownAt = 48,
                 AffineAt = 64, AffineBytes = 32, ReservedAt = 128;
static_assert(AffineAt + 2 * AffineBytes == ReservedAt && ReservedAt + 896 == MachineBlockBytes);

// Limits of reachable values.
constexpr int32_t SliceLong = 960, SliceShort = 272;
constexpr int32_t BudgetLimit = 1 << 30;
constexpr int32_t ReferenceLimit = 1 << 27;  // 28-bit signed reference points
constexpr int32_t CurrentLimit = 1 << 28;    // reference point advanced by up to 160 lines
constexpr int32_t HaltLast = 2;

struct MemoryBlock {
    size_t at;
    uint8_t* (*buffer)();
    uint32_t size;
};
const MemoryBlock MemoryBlocks[] = {
    {InternalRamAt, InternalRam, InternalRamSize},
    {ExternalRamAt, ExternalRam, ExternalRamSize},
    {IoAt, IoPage, IoSize},
    {PaletteAt, PaletteRam, PaletteSize},
    {VideoRamAt, VideoRam, VideoRamSize},
    {ObjectRamAt, ObjectRam, ObjectRamSize},
    {SaveRamAt, SaveRam, SaveRamSize},
};

bool MachineRunning() { return CartridgeRom() && IoPage() && SaveRam() && DummyRam; }

void StoreMachineBlock(uint8_t* out) {
    std::memset(out, 0, MachineBlockBytes);
    StoreLe32(out + HaltAt, static_cast<uint32_t>(HaltState));
    StoreLe32(out + EvyAt, static_cast<uint32_t>(BlendEvy));
    StoreLe32(out + EvaAt, static_cast<uint32_t>(BlendEva));
    StoreLe32(out + EvbAt, static_cast<uint32_t>(BlendEvb));
    for (int i = 0; i < 4; ++i) {
        StoreLe32(out + BgOrderAt + 4 * i, BgOrder[i]);
        StoreLe32(out + DivisorAt + 4 * i, static_cast<uint32_t>(Timers[i].divisor));
        StoreLe32(out + CountdownAt + 4 * i, static_cast<uint32_t>(Timers[i].countdown));
    }
    for (int j = 0; j < 2; ++j) {
        const AffineBackground& a = Affine[j];
        const int32_t values[8] = {a.latchedX, a.latchedY, a.x, a.y, a.pa, a.pb, a.pc, a.pd};
        for (int k = 0; k < 8; ++k)
            StoreLe32(out + AffineAt + AffineBytes * j + 4 * k, static_cast<uint32_t>(values[k]));
    }
}

bool Within(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

bool CpuRecordPossible(const CpuState& cpu) {
    return (cpu.sliceQuantum == SliceLong || cpu.sliceQuantum == SliceShort) &&
           Within(cpu.cycleBudget, -BudgetLimit, BudgetLimit) && Within(cpu.savedBudget, -BudgetLimit, BudgetLimit);
}

// A BgOrder entry is a control register value, the background number and its
// priority repeated in bits 30..31; the four entries name each background once.
bool BgOrderPossible(const uint32_t order[4]) {
    unsigned seen = 0;
    for (int k = 0; k < 4; ++k) {
        uint32_t e = order[k];
        if (e & 0x07FF0000) return false;
        if ((e >> 30) != (e & 3)) return false;
        seen |= 1u << ((e >> 28) & 3);
    }
    return seen == 0xF;
}

bool TimerPossible(int32_t divisor, int32_t countdown) {
    if (divisor != 0 && divisor != 1 && divisor != 64 && divisor != 256 && divisor != 1024) return false;
    return Within(countdown, 0, divisor);
}

struct MachineBlock {
    int32_t halt;
    uint32_t bgOrder[4];
    int32_t divisor[4], countdown[4];
    AffineBackground affine[2];
};

bool DecodeMachineBlock(const uint8_t* in, MachineBlock& block) {
    block.halt = LoadLeSigned32(in + HaltAt);
    if (!Within(block.halt, 0, HaltLast)) return false;
    for (int i = 0; i < 4; ++i) {
        block.bgOrder[i] = LoadLe32(in + BgOrderAt + 4 * i);
        block.divisor[i] = LoadLeSigned32(in + DivisorAt + 4 * i);
        block.countdown[i] = LoadLeSigned32(in + CountdownAt + 4 * i);
        if (!TimerPossible(block.divisor[i], block.countdown[i])) return false;
    }
    if (!BgOrderPossible(block.bgOrder)) return false;
    for (int j = 0; j < 2; ++j) {
        int32_t v[8];
        for (int k = 0; k < 8; ++k) v[k] = LoadLeSigned32(in + AffineAt + AffineBytes * j + 4 * k);
        if (!Within(v[0], -ReferenceLimit, ReferenceLimit - 1) || !Within(v[1], -ReferenceLimit, ReferenceLimit - 1))
            return false;
        if (!Within(v[2], -CurrentLimit, CurrentLimit) || !Within(v[3], -CurrentLimit, CurrentLimit)) return false;
        for (int k = 4; k < 8; ++k)
            if (!Within(v[k], -32768, 32767)) return false;
        block.affine[j] = AffineBackground{v[4], v[5], v[6], v[7], v[0], v[1], v[2], v[3]};
    }
    return true;
}

void ApplyMachineBlock(const MachineBlock& block) {
    HaltState = block.halt;
    for (int i = 0; i < 4; ++i) {
        BgOrder[i] = block.bgOrder[i];
        Timers[i].divisor = block.divisor[i];
        Timers[i].countdown = block.countdown[i];
    }
    Affine[0] = block.affine[0];
    Affine[1] = block.affine[1];
}

uint32_t DmaSource(int channel) {
    uint32_t sad = Reg::DMA0SAD + Reg::DMA_STRIDE * channel;
    return (ReadIo(sad + 2) << 16 | ReadIo(sad)) & 0x0FFFFFFC;
}

// A whole state decoded from its stream, applied only once every piece is checked.
struct DecodedState {
    CpuState cpu;
    FlashChip flash;
    Eeprom eeprom;
    MachineBlock block;
};

// The sections a state of this machine may carry, as found in a stream.
struct Sections {
    bool flash = false;
    uint8_t bank = 0;
    const uint8_t* otherBank = nullptr;
    EepromKind eepromKind = EepromKind::Small;
    const uint8_t* eepromTail = nullptr;
};

// The longest stream a state of this machine can be.
size_t LongestState() {
    size_t longest = StateBytes;
    if (Flash.parked) longest += FlashSectionBytes;
    if (EepromChip.kind != EepromKind::Small) longest += EepromSectionBytes;
    return longest;
}

void AppendSection(std::vector<uint8_t>& stream, const uint8_t tag[4], uint32_t length) {
    stream.insert(stream.end(), tag, tag + 4);
    uint8_t bytes[4];
    StoreLe32(bytes, length);
    stream.insert(stream.end(), bytes, bytes + 4);
}

bool SectionAt(const uint8_t* p, size_t left, const uint8_t tag[4], uint32_t length) {
    return left >= SectionHeaderBytes && std::memcmp(p, tag, 4) == 0 && LoadLe32(p + 4) == length &&
           left - SectionHeaderBytes >= length;
}

// Reads the sections after the base stream (`left` bytes at `p`). False, with
// the reason, unless they are exactly those of the machine's chips.
bool ReadSections(const uint8_t* p, size_t left, Sections& found, std::string& reason) {
    reason = "a state of other backup chips";
    found.eepromKind = EepromChip.kind;
    if (Flash.parked) {
        if (!SectionAt(p, left, FlashTag, FlashPayloadBytes)) return false;
        found.flash = true;
        found.bank = p[SectionHeaderBytes];
        if (found.bank > 1 || p[SectionHeaderBytes + 1] || p[SectionHeaderBytes + 2] || p[SectionHeaderBytes + 3]) {
            reason = "impossible value in the Flash section";
            return false;
        }
        found.otherBank = p + SectionHeaderBytes + 4;
        p += FlashSectionBytes;
        left -= FlashSectionBytes;
    }
    if (EepromChip.kind != EepromKind::Small && SectionAt(p, left, EepromTag, EepromPayloadBytes)) {
        found.eepromKind = EepromKind::Large;
        found.eepromTail = p + SectionHeaderBytes;
        p += EepromSectionBytes;
        left -= EepromSectionBytes;
    } else if (EepromChip.kind == EepromKind::Large) {
        return false;
    }
    if (left != 0) reason = "damaged: longer than a state";
    return left == 0;
}

bool Refuse(const std::string& reason, bool reset) {
    StateLoadFailure = reason;
    if (reset) ResetMachine();
    return false;
}

}  // namespace

bool SaveMachineState(const char* path) {
    if (!MachineRunning()) return false;
    std::vector<uint8_t> stream(StateBytes, 0);
    uint8_t* s = stream.data();
    std::memcpy(s, Magic, sizeof Magic);
    s[4] = Version;
    s[5] = CartridgeRom()[0xBD];
    StoreCpuState(Cpu, s + CpuAt);
    StoreFlashChip(Flash, s + FlashAt);
    StoreEeprom(EepromChip, s + EepromAt);
    StoreMachineBlock(s + MachineAt);
    for (const MemoryBlock& b : MemoryBlocks) std::memcpy(s + b.at, b.buffer(), b.size);
    if (Flash.parked) {
        AppendSection(stream, FlashTag, FlashPayloadBytes);
        const uint8_t bank[4] = {Flash.bank, 0, 0, 0};
        stream.insert(stream.end(), bank, bank + 4);
        stream.insert(stream.end(), Flash.parked, Flash.parked + FlashBankBytes);
    }
    if (EepromChip.kind == EepromKind::Large) {
        AppendSection(stream, EepromTag, EepromPayloadBytes);
        stream.insert(stream.end(), EepromChip.data + EepromDataBytes, EepromChip.data + LargeEepromDataBytes);
    }
    s = stream.data();

    ReplacementFile file(path);
    if (!file.ok()) return false;
    int fd = dup(file.fd());
    // The fastest compression level: any gzip reader reads the stream, and a
    // state is saved in a fraction of a frame's time.
    gzFile gz = fd >= 0 ? gzdopen(fd, "wb1") : nullptr;
    if (!gz) {
        if (fd >= 0) close(fd);
        return false;
    }
    bool complete = gzwrite(gz, s, static_cast<unsigned>(stream.size())) == static_cast<int>(stream.size());
    complete = gzclose(gz) == Z_OK && complete;
    // Not flushed to disk: a state is saved while the game waits, and the
    // rename alone keeps the previous state whole if saving fails.
    return complete && file.Commit(false);
}

bool LoadMachineState(const char* path) {
    StateLoadFailure.clear();
    if (!MachineRunning()) return Refuse("no cartridge is running", false);
    std::vector<uint8_t> stream;
    std::string problem;
    ReadOutcome outcome = ReadGzipFile(path, LongestState(), stream, problem);
    if (outcome == ReadOutcome::TooLarge) return Refuse("damaged: longer than a state", false);
    if (outcome != ReadOutcome::Read) return Refuse(problem, false);
    const size_t available = stream.size();
    const uint8_t* s = stream.data();
    const char* shorter = "damaged: shorter than a state";

    if (available < HeaderBytes || std::memcmp(s, Magic, sizeof Magic) != 0 || s[4] != Version)
        return Refuse("not a machine state", false);
    if (s[5] != CartridgeRom()[0xBD]) return Refuse("another cartridge's state", false);

    Sections sections;
    if (available >= StateBytes && !ReadSections(s + StateBytes, available - StateBytes, sections, problem))
        return Refuse(problem, false);

    DecodedState state{Cpu, Flash, EepromChip, {}};
    if (available >= StateBytes) state.eeprom.kind = sections.eepromKind;
    if (available < EepromAt) return Refuse(shorter, true);
    LoadCpuState(state.cpu, s + CpuAt);
    if (!CpuRecordPossible(state.cpu)) return Refuse("impossible value in the CPU record", true);
    if (!LoadFlashChip(state.flash, s + FlashAt)) return Refuse("impossible value in the Flash record", true);
    if (available < MachineAt) return Refuse(shorter, false);
    if (!LoadEeprom(state.eeprom, s + EepromAt)) return Refuse("impossible value in the EEPROM record", false);
    if (available < InternalRamAt) return Refuse(shorter, true);
    if (!DecodeMachineBlock(s + MachineAt, state.block)) return Refuse("impossible value in the machine block", true);
    if (available < StateBytes) return Refuse(shorter, false);

    Cpu = state.cpu;
    Flash = state.flash;
    EepromChip = state.eeprom;
    for (const MemoryBlock& b : MemoryBlocks) std::memcpy(b.buffer(), s + b.at, b.size);
    if (sections.flash) {
        Flash.bank = sections.bank;
        std::memcpy(Flash.parked, sections.otherBank, FlashBankBytes);
    }
    if (sections.eepromTail) std::memcpy(EepromChip.data + EepromDataBytes, sections.eepromTail, EepromPayloadBytes);
    ApplyMachineBlock(state.block);
    Flash.data = SaveRam();
    EepromChip.reply = DummyRam;
    uint32_t alpha = ReadIo(Reg::BLDALPHA);
    BlendEva = BlendCoefficient(alpha & 0x1F);
    BlendEvb = BlendCoefficient((alpha >> 8) & 0x1F);
    BlendEvy = BlendCoefficient(ReadIo(Reg::BLDY) & 0x1F);
    Rings[0].source = DmaSource(1);
    Rings[1].source = DmaSource(2);
    UpdateDirectSound();
    return true;
}
