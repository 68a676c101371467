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
constexpr uint32_t ArmHandlerIndex(uint32_t opcode) { return ((opcode >> 20) & 0xFF) | (((opcode >> 4) & 0xF) << 8); }

extern const std::array<ArmHandler, ArmHandlerCount> ArmHandlerTable;
