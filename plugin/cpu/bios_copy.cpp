// bios_copy.cpp - CpuSet and CpuFastSet: copies and fills in 16- or 32-bit units.
//
// The source is read straight from the host page behind it (no access cost,
// no device side effects), the destination is written through the bus, so
// copies into I/O registers and save memory behave like CPU stores. Both
// addresses wrap within the 28-bit bus space as they advance; the count is at
// most 0xFFFF units.
#include "../machine/console.h"
#include "../machine/memory.h"
#include "bios_calls.h"

namespace Bios {
namespace {

constexpr uint32_t FillBit = 1u << 24;
constexpr uint32_t WordUnitsBit = 1u << 26;

void CopyUnits(const char* name, uint32_t source, uint32_t dest, uint32_t control, uint32_t unit) {
    uint32_t count = control & 0xFFFF;
    if (count == 0) return;
    const uint32_t step = (control & FillBit) ? 0 : unit;
    const uint32_t wrap = unit == 4 ? 0x0FFFFFFC : 0x0FFFFFFE;
    if (Tracing())
        ConsolePrintf("%s: %08X-%08X -> %08X-%08X (%ubit)\n", name, source, source + (count - 1) * step, dest,
                      dest + (count - 1) * unit, unit * 8);
    for (; count != 0; --count) {
        if (unit == 4)
            MemWrite32(dest, PeekWord(source));
        else
            MemWrite16(dest, PeekHalf(source));
        source = (source + step) & wrap;
        dest = (dest + unit) & wrap;
    }
}

}  // namespace

void CpuSet(CpuState& cpu) {
    uint32_t control = cpu.r[2];
    uint32_t unit = (control & WordUnitsBit) ? 4 : 2;
    CopyUnits("CPUSet", cpu.r[0] & ~(unit - 1), cpu.r[1] & ~(unit - 1), control, unit);
}

void CpuFastSet(CpuState& cpu) { CopyUnits("CPUFastSet", cpu.r[0] & 0x0FFFFFFC, cpu.r[1] & 0x0FFFFFFC, cpu.r[2], 4); }

}  // namespace Bios
