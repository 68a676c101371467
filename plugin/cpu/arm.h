// arm.h - the ARM instruction set: the handler table indexed by opcode bits 27-20 and 7-4.
//
// Every one of the 4096 index values has its own handler with the operation,
// operand form and transfer bits fixed at compile time, so executing an ARM
// instruction is one table lookup and one call with no decoding at run time.
// Entries of encodings the CPU does not implement (coprocessor, undefined and
// later-architecture forms) point at LogUnrecognizedArm.
#pragma once

#include <array>
#include <cstdint>

#include "cpu.h"

using ArmHandler = void (*)(CpuState& cpu, uint32_t opcode);

constexpr int ArmHandlerCount = 4096;

// Opcode bits 27-20 give the low eight index bits, bits 7-4 the high four.
// One multiply moves both fields at once: with only those bits kept, x + (x << 24)
// has bits 27-20 at 27-20 and bits 7-4 at 31-28, with no carries between them.
constexpr uint32_t ArmHandlerIndex(uint32_t opcode) {
    uint64_t fields = opcode & 0x0FF000F0u;
    return static_cast<uint32_t>((fields * 0x1000001u) >> 20) & 0xFFF;
}

extern const std::array<ArmHandler, ArmHandlerCount> ArmHandlerTable;
