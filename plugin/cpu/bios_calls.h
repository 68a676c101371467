// bios_calls.h - the host implementations of the BIOS calls, grouped by file:
// arithmetic and affine set-up (bios_math.cpp), copies and fills
// (bios_copy.cpp), decompressors (bios_decompress.cpp). bios.cpp dispatches
// to them and prints the call trace lines.
//
// Every call keeps these rules:
//   1. Unusable arguments (zero count, zero divisor, wrong stream header) leave
//      registers and memory untouched.
//   2. Memory is reached through the bus operations, so addresses wrap the way
//      the bus wraps them and every access is charged to the cycle budget.
//   3. Work is bounded by the size or count the call was given: each step of
//      every loop either produces output or is counted against a limit derived
//      from that size, whatever the data in memory says.
#pragma once

#include <cstdint>

#include "../machine/memory.h"
#include "cpu.h"

namespace Bios {

// True when the BIOS-call trace lines are switched on.
inline bool Tracing() { return (DebugFlags & 0x20) != 0; }

// Signed division of the two values; a zero divisor changes nothing.
void Divide(CpuState& cpu, uint32_t numerator, uint32_t denominator);
void SquareRoot(CpuState& cpu);
void ArcTangent(CpuState& cpu);
void ArcTangent2(CpuState& cpu);
void BgAffineSet(CpuState& cpu);
void ObjAffineSet(CpuState& cpu);

void CpuSet(CpuState& cpu);
void CpuFastSet(CpuState& cpu);

void Lz77UnComp(uint32_t source, uint32_t dest);
void RunLengthUnComp(uint32_t source, uint32_t dest);
void HuffUnComp(uint32_t source, uint32_t dest);
void Diff8bitUnFilter(uint32_t source, uint32_t dest);
void Diff16bitUnFilter(uint32_t source, uint32_t dest);

}  // namespace Bios
