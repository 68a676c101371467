// alu.h - flag arithmetic, the condition test and the CPU's own loads, shared by
// the ARM and Thumb interpreters.
#pragma once

#include <cstdint>

#include "../machine/memory.h"
#include "cpu.h"

// Condition field (0..15) against CPSR flags; 15 never holds.
constexpr bool ConditionHolds(uint32_t cpsr, uint32_t condition) {
    bool n = cpsr & FlagN, z = cpsr & FlagZ, c = cpsr & FlagC, v = cpsr & FlagV;
    switch (condition) {
    case 0x0: return z;
    case 0x1: return !z;
    case 0x2: return c;
    case 0x3: return !c;
    case 0x4: return n;
    case 0x5: return !n;
    case 0x6: return v;
    case 0x7: return !v;
    case 0x8: return c && !z;
    case 0x9: return !c || z;
    case 0xA: return n == v;
    case 0xB: return n != v;
    case 0xC: return !z && n == v;
    case 0xD: return z || n != v;
    case 0xE: return true;
    default: return false;
    }
}

inline uint32_t NzFlags(uint32_t result) { return result ? (result & FlagN) : FlagZ; }

// N, Z, C and V in their CPSR positions, N and Z taken from the result.
inline uint32_t FlagBits(uint32_t result, bool carry, bool overflow) {
    uint32_t nz = result ? (result & FlagN) : FlagZ;
    return nz | (static_cast<uint32_t>(carry) << 1 | static_cast<uint32_t>(overflow)) << 28;
}

// op1 + op2 + carryIn with N, Z, C, V written into cpsr.
inline uint32_t AddWithFlags(uint32_t& cpsr, uint32_t op1, uint32_t op2, uint32_t carryIn) {
    uint32_t partial, result;
    bool carry = __builtin_add_overflow(op1, op2, &partial);
    carry |= __builtin_add_overflow(partial, carryIn, &result);
    int32_t signedPartial, signedResult;
    bool overflow = __builtin_add_overflow(static_cast<int32_t>(op1), static_cast<int32_t>(op2), &signedPartial);
    overflow ^= __builtin_add_overflow(signedPartial, static_cast<int32_t>(carryIn), &signedResult);
    cpsr = (cpsr & 0x0FFFFFFF) | FlagBits(result, carry, overflow);
    return result;
}

// op1 - op2 - borrowIn with N, Z, C (not borrow), V written into cpsr.
// V is set when the operands differ in sign and the result's sign differs from op1.
inline uint32_t SubtractWithFlags(uint32_t& cpsr, uint32_t op1, uint32_t op2, uint32_t borrowIn) {
    uint32_t partial, result;
    bool borrow = __builtin_sub_overflow(op1, op2, &partial);
    borrow |= __builtin_sub_overflow(partial, borrowIn, &result);
    int32_t signedPartial, signedResult;
    bool overflow = __builtin_sub_overflow(static_cast<int32_t>(op1), static_cast<int32_t>(op2), &signedPartial);
    overflow ^= __builtin_sub_overflow(signedPartial, static_cast<int32_t>(borrowIn), &signedResult);
    cpsr = (cpsr & 0x0FFFFFFF) | FlagBits(result, !borrow, overflow);
    return result;
}

// The CPU's loads read host memory through the page table and charge the access
// cost plus `extra` cycles. The cost is read before the budget is written, so the
// budget is updated once.
inline uint32_t LoadWord(CpuState& cpu, uint32_t address, int32_t extra = 0) {
    int32_t cost = AccessCost32[(address >> 24) & 0xF] + extra;
    cpu.cycleBudget -= cost;
    return PeekWord(address);
}
inline uint32_t LoadHalf(CpuState& cpu, uint32_t address, int32_t extra = 0) {
    int32_t cost = AccessCost16[(address >> 24) & 0xF] + extra;
    cpu.cycleBudget -= cost;
    return PeekHalf(address);
}
inline uint32_t LoadSignedHalf(CpuState& cpu, uint32_t address, int32_t extra = 0) {
    return static_cast<uint32_t>(static_cast<int32_t>(LoadHalf(cpu, address, extra) << 16) >> 16);
}
inline uint32_t LoadByte(CpuState& cpu, uint32_t address, int32_t extra = 0) {
    int32_t cost = AccessCost16[(address >> 24) & 0xF] + extra;
    cpu.cycleBudget -= cost;
    return PeekByte(address);
}
inline uint32_t LoadSignedByte(CpuState& cpu, uint32_t address, int32_t extra = 0) {
    return static_cast<uint32_t>(static_cast<int32_t>(LoadByte(cpu, address, extra) << 24) >> 24);
}
