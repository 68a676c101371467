// memory.h - the paged memory map: page tables, access costs and bus operations.
//
// The 4 GB address space is cut into 16 KB pages. ReadPageTable and
// WritePageTable hold one host pointer per page; after machine start every
// entry is valid (unclaimed pages point at the shared Dummy RAM), so the CPU
// indexes them with unmasked addresses and no bounds check. The six bus
// operations reduce the address to 28 bits first and route writes to the I/O
// registers, the backup chips and the EEPROM.
#pragma once

#include <cstdint>
#include <cstring>

#include "../cpu/cpu.h"

constexpr uint32_t PageShift = 14;
constexpr uint32_t PageSize = 1u << PageShift;
constexpr uint32_t PageOffsetMask = PageSize - 1;
constexpr uint32_t PageCount = 1u << (32 - PageShift);

extern uint8_t* ReadPageTable[PageCount];
extern uint8_t* WritePageTable[PageCount];
extern int32_t AccessCost16[16];
extern int32_t AccessCost32[16];

// The shared 16 KB page behind every unmapped page and every read-only page's writes.
extern uint8_t* DummyRam;

// Machine-wide diagnostic switches: 0x01 progress, 0x02 I/O writes,
// 0x04 unaligned accesses, 0x08 DMA, 0x10 CPU, 0x20 BIOS calls, 0x40 backup chips.
extern uint32_t DebugFlags;

// Little-endian access to host buffers; the compiler turns these into single loads.
inline uint16_t Load16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    if constexpr (__BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__) v = __builtin_bswap32(v);
    return v;
}
inline void Store16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void Store32(uint8_t* p, uint32_t v) {
    if constexpr (__BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__) v = __builtin_bswap32(v);
    std::memcpy(p, &v, 4);
}
inline uint32_t RotateRight(uint32_t v, uint32_t n) {
    n &= 31;
    return n ? (v >> n) | (v << (32 - n)) : v;
}

// Host byte behind a console address as the CPU reads it (unmasked address).
inline uint8_t* ReadPointer(uint32_t address) {
    return ReadPageTable[address >> PageShift] + (address & PageOffsetMask);
}

// The CPU's own loads: no routing, no side effects, cost charged by the caller.
inline uint32_t PeekWord(uint32_t address) {
    return Load32(ReadPageTable[address >> PageShift] + (address & 0x3FFC)) >> ((address & 3) * 8);
}
inline uint32_t PeekHalf(uint32_t address) {
    return Load16(ReadPageTable[address >> PageShift] + (address & 0x3FFE)) >> ((address & 1) * 8);
}
inline uint32_t PeekByte(uint32_t address) { return *ReadPointer(address); }

// Region number of a 28-bit address.
inline uint32_t Region(uint32_t a) { return a >> 24; }
// Regions 9, B, D and F answer halfword accesses with the serial EEPROM (28-bit address).
inline bool IsEepromAddress(uint32_t a) { return (a & 0xF9000000) == 0x09000000; }

inline bool TraceUnalignedAccesses() { return DebugFlags & 0x04; }
[[gnu::cold]] void TraceUnalignedRead32(uint32_t a);

// The word read and the three stores are inline: the CPU's stores and the DMA
// and sound-feed copies go through them constantly.
inline uint32_t MemRead32(uint32_t address) {
    uint32_t a = address & 0x0FFFFFFF;
    Cpu.cycleBudget -= AccessCost32[Region(a)];
    if ((a & 3) && TraceUnalignedAccesses()) [[unlikely]]
        TraceUnalignedRead32(a);
    return PeekWord(a);
}
uint32_t MemRead16(uint32_t address);
uint32_t MemRead8(uint32_t address);

// One test of the region and the low address bits separates stores to plain
// memory from the routed ones (I/O registers, the EEPROM, the Flash chip,
// unaligned accesses), which live out of line and take 28-bit addresses.
[[gnu::cold]] void RoutedWrite32(uint32_t a, uint32_t value);
[[gnu::cold]] void RoutedWrite16(uint32_t a, uint32_t value);
[[gnu::cold]] void RoutedWrite8(uint32_t a, uint32_t value);

// Regions whose stores are routed: 4 (I/O) for every width, 9/B/D/F (EEPROM)
// for halfwords, E (Flash) for bytes.
constexpr uint32_t RoutedRegions16 = 1u << 4 | 1u << 0x9 | 1u << 0xB | 1u << 0xD | 1u << 0xF;
constexpr uint32_t RoutedRegions8 = 1u << 4 | 1u << 0xE;

inline void MemWrite32(uint32_t address, uint32_t value) {
    uint32_t a = address & 0x0FFFFFFF;
    Cpu.cycleBudget -= AccessCost32[Region(a)];
    if ((a & 3) || Region(a) == 4) [[unlikely]] {
        RoutedWrite32(a, value);
        return;
    }
    Store32(WritePageTable[a >> PageShift] + (a & 0x3FFC), value);
}

inline void MemWrite16(uint32_t address, uint32_t value) {
    uint32_t a = address & 0x0FFFFFFF;
    Cpu.cycleBudget -= AccessCost16[Region(a)];
    if ((a & 1) || ((RoutedRegions16 >> Region(a)) & 1)) [[unlikely]] {
        RoutedWrite16(a, value);
        return;
    }
    Store16(WritePageTable[a >> PageShift] + (a & 0x3FFE), value);
}

inline void MemWrite8(uint32_t address, uint32_t value) {
    uint32_t a = address & 0x0FFFFFFF;
    value &= 0xFF;
    Cpu.cycleBudget -= AccessCost16[Region(a)];
    if ((RoutedRegions8 >> Region(a)) & 1) [[unlikely]] {
        RoutedWrite8(a, value);
        return;
    }
    WritePageTable[a >> PageShift][a & PageOffsetMask] = static_cast<uint8_t>(value);
}

// Mapping happens at machine start only, never while the CPU runs: the inner
// loops keep the host address of the page they fetch from (cpu/fetch_window.h).
void MapRegion(uint8_t* buffer, uint32_t bufferSize, uint32_t base, uint32_t span, bool writable);
void ApplyWaitControl(uint32_t waitControl);
// Empties both tables (every entry null) and resets the cost tables.
void ClearPageTables();
// Points every still empty entry of both tables at Dummy RAM.
void FillEmptyPages(uint8_t* dummyRam);

// Region handles: the write-table entries of the region bases (the read-table
// entries for the read-only BIOS and cartridge image).
inline uint8_t* IoPage() { return WritePageTable[0x04000000 >> PageShift]; }
inline uint8_t* PaletteRam() { return WritePageTable[0x05000000 >> PageShift]; }
inline uint8_t* VideoRam() { return WritePageTable[0x06000000 >> PageShift]; }
inline uint8_t* ObjectRam() { return WritePageTable[0x07000000 >> PageShift]; }
inline uint8_t* InternalRam() { return WritePageTable[0x03000000 >> PageShift]; }
inline uint8_t* ExternalRam() { return WritePageTable[0x02000000 >> PageShift]; }
inline uint8_t* SaveRam() { return WritePageTable[0x0E000000 >> PageShift]; }
inline uint8_t* BiosRom() { return ReadPageTable[0]; }
inline uint8_t* CartridgeRom() { return ReadPageTable[0x08000000 >> PageShift]; }

// Buffer sizes of the regions.
constexpr uint32_t BiosSize = 16 * 1024;
constexpr uint32_t ExternalRamSize = 256 * 1024;
constexpr uint32_t InternalRamSize = 32 * 1024;
constexpr uint32_t IoSize = 16 * 1024;
constexpr uint32_t PaletteSize = 16 * 1024;
constexpr uint32_t VideoRamSize = 96 * 1024;
// VRAM is allocated with zero padding past its 96 KB so that every address the
// renderer can form from registers and tile numbers stays inside the buffer.
constexpr uint32_t VideoRamBufferSize = 128 * 1024;
constexpr uint32_t ObjectRamSize = 16 * 1024;
constexpr uint32_t SaveRamSize = 64 * 1024;
constexpr uint32_t DummyRamSize = 16 * 1024;
constexpr uint32_t MaxCartridgeSize = 32 * 1024 * 1024;
