// memory.cpp - page tables, the cartridge wait-state costs and the six bus operations.
#include "memory.h"

#include "../cpu/cpu.h"
#include "console.h"
#include "eeprom.h"
#include "flash.h"
#include "io.h"

uint8_t* ReadPageTable[PageCount];
uint8_t* WritePageTable[PageCount];
int32_t AccessCost16[16];
int32_t AccessCost32[16];
uint32_t DebugFlags = 1;
uint8_t* DummyRam;

namespace {

constexpr int32_t InitialCost16[16] = {1, 1, 3, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 6, 1};
constexpr int32_t InitialCost32[16] = {1, 1, 6, 1, 1, 2, 2, 1, 4, 4, 4, 4, 4, 4, 6, 1};

}  // namespace

void ClearPageTables() {
    for (uint32_t i = 0; i < PageCount; ++i) ReadPageTable[i] = WritePageTable[i] = nullptr;
    for (int i = 0; i < 16; ++i) {
        AccessCost16[i] = InitialCost16[i];
        AccessCost32[i] = InitialCost32[i];
    }
}

void FillEmptyPages(uint8_t* dummyRam) {
    for (uint32_t i = 0; i < PageCount; ++i) {
        if (!ReadPageTable[i]) ReadPageTable[i] = dummyRam;
        if (!WritePageTable[i]) WritePageTable[i] = dummyRam;
    }
}

void MapRegion(uint8_t* buffer, uint32_t bufferSize, uint32_t base, uint32_t span, bool writable) {
    uint32_t bufferPages = bufferSize / PageSize;
    uint32_t first = base / PageSize;
    for (uint32_t i = 0; i < span / PageSize; ++i) {
        uint8_t* page = buffer + (i % bufferPages) * PageSize;
        ReadPageTable[first + i] = page;
        WritePageTable[first + i] = writable ? page : DummyRam;
    }
}

void ApplyWaitControl(uint32_t w) {
    static constexpr int32_t SramCost[4] = {5, 4, 3, 9};
    int32_t c0 = (w & 0x0010) ? 2 : 3;
    int32_t c1 = (w & 0x0080) ? 2 : 5;
    int32_t c2 = (w & 0x0400) ? 2 : 9;
    AccessCost16[0x8] = AccessCost16[0x9] = c0;
    AccessCost16[0xA] = AccessCost16[0xB] = c1;
    AccessCost16[0xC] = AccessCost16[0xD] = c2;
    AccessCost16[0xE] = SramCost[w & 3];
    for (int i = 0x8; i <= 0xE; ++i) AccessCost32[i] = 2 * AccessCost16[i];
}

void TraceUnalignedRead32(uint32_t a) { ConsolePrintf("MEM: Unaligned qread [%08X] (PC=%08X)\n", a, Cpu.r[15]); }

uint32_t MemRead16(uint32_t address) {
    uint32_t a = address & 0x0FFFFFFF;
    Cpu.cycleBudget -= AccessCost16[Region(a)];
    if ((a & 1) && TraceUnalignedAccesses()) ConsolePrintf("MEM: Unaligned wread [%08X] (PC=%08X)\n", a, Cpu.r[15]);
    if (IsEepromAddress(a)) return EepromReadBit();
    return PeekHalf(a);
}

uint32_t MemRead8(uint32_t address) {
    Cpu.cycleBudget -= AccessCost16[(address >> 24) & 0xF];
    return ReadPageTable[(address >> PageShift) & 0x3FFF][address & PageOffsetMask];
}

// The routed stores: I/O registers, the EEPROM, the Flash chip and unaligned
// accesses (see MemWrite32 and its siblings in memory.h for the plain ones).
void RoutedWrite32(uint32_t a, uint32_t value) {
    if (a & 3) {
        if (TraceUnalignedAccesses())
            ConsolePrintf("MEM: Unaligned qwrite [%08X] = %08X (PC=%08X)\n", a, value, Cpu.r[15]);
        value = RotateRight(value, (a & 3) * 8);
    }
    if (Region(a) == 4) {
        WriteIo(a & ~3u, value & 0xFFFF);
        WriteIo((a & ~3u) + 2, value >> 16);
        return;
    }
    Store32(WritePageTable[a >> PageShift] + (a & 0x3FFC), value);
}

void RoutedWrite16(uint32_t a, uint32_t value) {
    if ((a & 1) && TraceUnalignedAccesses())
        ConsolePrintf("MEM: Unaligned wwrite [%08X] = %04X (PC=%08X)\n", a, value & 0xFFFF, Cpu.r[15]);
    if (IsEepromAddress(a)) {
        EepromWriteBit(value);
        return;
    }
    if (Region(a) == 4) {
        WriteIo(a & ~1u, value & 0xFFFF);
        return;
    }
    Store16(WritePageTable[a >> PageShift] + (a & 0x3FFE), value);
}

void RoutedWrite8(uint32_t a, uint32_t value) {
    if ((a & 0xFFFF0000) == 0x0E000000) {
        FlashWrite(a & 0xFFFF, static_cast<uint8_t>(value));
        return;
    }
    if (Region(a) == 4) {
        // Byte stores reach the I/O handler as a halfword merged with the
        // other byte of the register the write lands on, as the page holds it.
        const uint8_t* io = IoPage() + (a & 0xFFE);
        uint32_t half = (a & 1) ? (value << 8 | io[0]) : (value | io[1] << 8);
        WriteIo(a & ~1u, half);
        return;
    }
    WritePageTable[a >> PageShift][a & PageOffsetMask] = static_cast<uint8_t>(value);
}
