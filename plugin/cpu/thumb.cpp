// thumb.cpp - the Thumb interpreter: the Thumb inner loop of the run loop.
//
// The whole instruction set is one switch on opcode bits 15-8 inside the fetch
// loop, so a Thumb instruction costs no call. Each of the 256 cases is
// ExecuteRow<row>, a template that picks the format at compile time; the
// register in bits 10-8 (immediate arithmetic, SP- and PC-relative forms,
// STMIA/LDMIA) and the branch condition are template constants, so those cases
// carry no field decoding at run time.
//
// Conventions shared with the ARM side:
//   1. R15 holds the address of the next instruction (instruction + 2) while an
//      instruction runs; a read of R15 as an operand sees instruction + 4.
//   2. Loads read host memory through the page table and charge their cost
//      (alu.h); stores go through MemWrite8/16/32, which charge their own.
//   3. Writing R15 sets the next fetch address; only BX to an even address
//      leaves Thumb state, and it ends the inner loop so RunCpu switches loops.
//   4. Flags not named by an instruction are left unchanged.
#include "../machine/console.h"
#include "../machine/memory.h"
#include "alu.h"
#include "bios.h"
#include "cpu.h"
#include "fetch_window.h"

namespace {

#define THUMB_INLINE [[gnu::always_inline]] inline

// Low-register fields.
THUMB_INLINE uint32_t& RegAt(CpuState& cpu, uint32_t opcode, int shift) { return cpu.r[(opcode >> shift) & 7]; }

// Instruction address + 4, the value an instruction sees for R15.
THUMB_INLINE uint32_t PcOperand(const CpuState& cpu) { return cpu.r[15] + 2; }

THUMB_INLINE void SetNz(CpuState& cpu, uint32_t result) { cpu.cpsr = (cpu.cpsr & ~(FlagN | FlagZ)) | NzFlags(result); }
THUMB_INLINE void SetNzc(CpuState& cpu, uint32_t result, uint32_t carry) {
    cpu.cpsr = (cpu.cpsr & ~(FlagN | FlagZ | FlagC)) | NzFlags(result) | (carry ? FlagC : 0);
}
THUMB_INLINE uint32_t CarryIn(const CpuState& cpu) { return (cpu.cpsr >> 29) & 1; }

THUMB_INLINE uint32_t SignedShiftRight(uint32_t value, uint32_t amount) {
    return static_cast<uint32_t>(static_cast<int32_t>(value) >> amount);
}

enum class Shift { Lsl, Lsr, Asr, Ror };

// LSL/LSR/ASR Rd, Rs, #n. An amount of 0 means 32 for the right shifts.
template <Shift Kind>
THUMB_INLINE void ShiftByImmediate(CpuState& cpu, uint32_t opcode) {
    static_assert(Kind != Shift::Ror, "Thumb has no rotation by an immediate");
    uint32_t n = (opcode >> 6) & 31;
    uint32_t value = RegAt(cpu, opcode, 3);
    uint32_t result;
    if constexpr (Kind == Shift::Lsl) {
        if (n == 0) {
            result = value;
            SetNz(cpu, result);
        } else {
            result = value << n;
            SetNzc(cpu, result, (value >> (32 - n)) & 1);
        }
    } else {
        if (n == 0) {
            result = Kind == Shift::Lsr ? 0 : SignedShiftRight(value, 31);
            SetNzc(cpu, result, value >> 31);
        } else {
            result = Kind == Shift::Lsr ? value >> n : SignedShiftRight(value, n);
            SetNzc(cpu, result, (value >> (n - 1)) & 1);
        }
    }
    RegAt(cpu, opcode, 0) = result;
}

// ALU shifts by register: the amount is Rs AND 0xFF (Rs AND 31 for ROR, so
// ROR by 32 rotates by nothing); amount 0 leaves the value and C. Each costs
// one extra cycle.
template <Shift Kind>
THUMB_INLINE uint32_t ShiftByRegister(CpuState& cpu, uint32_t value, uint32_t rs) {
    cpu.cycleBudget -= 1;
    uint32_t n = Kind == Shift::Ror ? rs & 31 : rs & 0xFF;
    if (n == 0) {
        SetNz(cpu, value);
        return value;
    }
    uint32_t result, carry;
    if constexpr (Kind == Shift::Lsl) {
        result = n < 32 ? value << n : 0;
        carry = n < 32 ? (value >> (32 - n)) & 1 : (n == 32 ? value & 1 : 0);
    } else if constexpr (Kind == Shift::Lsr) {
        result = n < 32 ? value >> n : 0;
        carry = n < 32 ? (value >> (n - 1)) & 1 : (n == 32 ? value >> 31 : 0);
    } else if constexpr (Kind == Shift::Asr) {
        result = SignedShiftRight(value, n < 32 ? n : 31);
        carry = n < 32 ? (value >> (n - 1)) & 1 : value >> 31;
    } else {
        result = RotateRight(value, n);
        carry = (value >> (n - 1)) & 1;
    }
    SetNzc(cpu, result, carry);
    return result;
}

// The sixteen ALU operations of rows 0x40-0x43 (operation in bits 9-6). The
// row fixes bits 9-8, so each row's switch has four cases.
template <uint32_t Row>
THUMB_INLINE void AluOperation(CpuState& cpu, uint32_t opcode) {
    uint32_t& rd = RegAt(cpu, opcode, 0);
    uint32_t rs = RegAt(cpu, opcode, 3);
    switch ((Row & 3) << 2 | ((opcode >> 6) & 3)) {
    case 0x0: SetNz(cpu, rd &= rs); break;
    case 0x1: SetNz(cpu, rd ^= rs); break;
    case 0x2: rd = ShiftByRegister<Shift::Lsl>(cpu, rd, rs); break;
    case 0x3: rd = ShiftByRegister<Shift::Lsr>(cpu, rd, rs); break;
    case 0x4: rd = ShiftByRegister<Shift::Asr>(cpu, rd, rs); break;
    case 0x5: rd = AddWithFlags(cpu.cpsr, rd, rs, CarryIn(cpu)); break;
    case 0x6: rd = SubtractWithFlags(cpu.cpsr, rd, rs, CarryIn(cpu) ^ 1); break;
    case 0x7: rd = ShiftByRegister<Shift::Ror>(cpu, rd, rs); break;
    case 0x8: SetNz(cpu, rd & rs); break;
    case 0x9:  // NEG: C is set only by 0 - 0, and V stays clear even for 0 - 0x80000000.
        rd = 0 - rs;
        cpu.cpsr = (cpu.cpsr & 0x0FFFFFFF) | NzFlags(rd) | (rs == 0 ? FlagC : 0);
        break;
    case 0xA: SubtractWithFlags(cpu.cpsr, rd, rs, 0); break;
    case 0xB: AddWithFlags(cpu.cpsr, rd, rs, 0); break;
    case 0xC: SetNz(cpu, rd |= rs); break;
    case 0xD:
        rd *= rs;
        cpu.cpsr = (cpu.cpsr & 0x0FFFFFFF) | NzFlags(rd);
        cpu.cycleBudget -= 4;
        break;
    case 0xE: SetNz(cpu, rd &= ~rs); break;
    case 0xF: SetNz(cpu, rd = ~rs); break;
    }
}

// High-register operands: Rd = bit 7 : bits 2-0, Rs = bits 6-3; R15 reads instruction + 4.
THUMB_INLINE uint32_t HighRd(uint32_t opcode) { return ((opcode >> 4) & 8) | (opcode & 7); }
THUMB_INLINE uint32_t HighRs(uint32_t opcode) { return (opcode >> 3) & 0xF; }
THUMB_INLINE uint32_t ReadHigh(const CpuState& cpu, uint32_t n) { return n == 15 ? PcOperand(cpu) : cpu.r[n]; }

THUMB_INLINE void BranchExchange(CpuState& cpu, uint32_t opcode) {
    uint32_t target = ReadHigh(cpu, HighRs(opcode));
    if (target & 1) {
        cpu.r[15] = target & ~1u;
    } else {
        cpu.r[15] = target & ~3u;
        cpu.cpsr &= ~FlagT;
        BreakInnerLoop(cpu);
    }
}

// Single loads cost one cycle beyond their access, charged with the access.
template <uint32_t (*Load)(CpuState&, uint32_t, int32_t)>
THUMB_INLINE uint32_t LoadTimed(CpuState& cpu, uint32_t address) {
    return Load(cpu, address, 1);
}

// Rows 0x50-0x5F: transfers with the address Rb + Ro; the operation is opcode bits 11-9.
template <uint32_t Row>
THUMB_INLINE void RegisterOffsetTransfer(CpuState& cpu, uint32_t opcode) {
    constexpr uint32_t Operation = (Row >> 1) & 7;
    uint32_t address = RegAt(cpu, opcode, 3) + RegAt(cpu, opcode, 6);
    uint32_t& rd = RegAt(cpu, opcode, 0);
    if constexpr (Operation == 0) {
        MemWrite32(address, rd);
    } else if constexpr (Operation == 1) {
        MemWrite16(address, rd & 0xFFFF);
    } else if constexpr (Operation == 2) {
        MemWrite8(address, rd & 0xFF);
    } else if constexpr (Operation == 3) {
        rd = LoadTimed<LoadSignedByte>(cpu, address);
    } else if constexpr (Operation == 4) {
        rd = LoadTimed<LoadWord>(cpu, address);
    } else if constexpr (Operation == 5) {
        rd = LoadTimed<LoadHalf>(cpu, address);
    } else if constexpr (Operation == 6) {
        rd = LoadTimed<LoadByte>(cpu, address);
    } else {
        rd = LoadTimed<LoadSignedHalf>(cpu, address);
    }
}

// Loads of a register list from R0 up, word by word from an aligned address;
// returns the address after the last word.
THUMB_INLINE uint32_t LoadList(CpuState& cpu, uint32_t address, uint32_t list) {
    for (int i = 0; i < 8; ++i) {
        if (list & (1u << i)) {
            cpu.r[i] = LoadWord(cpu, address);
            address += 4;
        }
    }
    return address;
}

// PUSH stores LR highest, then R7 down to R0; SP keeps its two low bits.
template <bool WithLr>
THUMB_INLINE void Push(CpuState& cpu, uint32_t opcode) {
    uint32_t sp = cpu.r[13];
    uint32_t address = sp & ~3u;
    if constexpr (WithLr) {
        address -= 4;
        MemWrite32(address, cpu.r[14]);
    }
    for (int i = 7; i >= 0; --i) {
        if (opcode & (1u << i)) {
            address -= 4;
            MemWrite32(address, cpu.r[i]);
        }
    }
    cpu.r[13] = address | (sp & 3);
}

// POP loads R0 up to R7, then PC with bit 0 cleared (it never leaves Thumb state).
template <bool WithPc>
THUMB_INLINE void Pop(CpuState& cpu, uint32_t opcode) {
    uint32_t sp = cpu.r[13];
    uint32_t address = LoadList(cpu, sp & ~3u, opcode & 0xFF);
    if constexpr (WithPc) {
        cpu.r[15] = LoadWord(cpu, address) & ~1u;
        address += 4;
    }
    cpu.r[13] = address | (sp & 3);
}

// STMIA stores the listed registers with their values before the instruction.
// LDMIA writes the base back only when the base is not in the list: compiled
// code loads a structure through its own pointer with "ldmia r1!, {r1, r2}"
// and expects the loaded value in r1.
template <uint32_t Rb>
THUMB_INLINE void StoreMultiple(CpuState& cpu, uint32_t opcode) {
    uint32_t base = cpu.r[Rb];
    uint32_t address = base & ~3u;
    for (int i = 0; i < 8; ++i) {
        if (opcode & (1u << i)) {
            MemWrite32(address, cpu.r[i]);
            address += 4;
        }
    }
    cpu.r[Rb] = address | (base & 3);
}
template <uint32_t Rb>
THUMB_INLINE void LoadMultiple(CpuState& cpu, uint32_t opcode) {
    uint32_t base = cpu.r[Rb];
    uint32_t end = LoadList(cpu, base & ~3u, opcode & 0xFF);
    if (!(opcode & (1u << Rb))) cpu.r[Rb] = end | (base & 3);
}

THUMB_INLINE void Unrecognized(const CpuState& cpu, uint32_t opcode) {
    if (cpu.traceFlag) ConsolePrintf("THUMB: Unrecognized opcode 0x%04X at 0x%08X\n", opcode, cpu.r[15] - 2);
}

// One row of the format table: opcode bits 15-8 equal Row.
template <uint32_t Row>
THUMB_INLINE void ExecuteRow(CpuState& cpu, uint32_t opcode) {
    constexpr uint32_t Rx = Row & 7;  // the register in bits 10-8
    uint32_t imm8 = opcode & 0xFF;
    if constexpr (Row < 0x08) {
        ShiftByImmediate<Shift::Lsl>(cpu, opcode);
    } else if constexpr (Row < 0x10) {
        ShiftByImmediate<Shift::Lsr>(cpu, opcode);
    } else if constexpr (Row < 0x18) {
        ShiftByImmediate<Shift::Asr>(cpu, opcode);
    } else if constexpr (Row < 0x20) {
        // ADD/SUB Rd, Rs, Rn or #imm3 (bit 10 selects the immediate, bit 9 subtraction).
        uint32_t operand = (opcode >> 6) & 7;
        if constexpr ((Row & 4) == 0) operand = cpu.r[operand];
        uint32_t rs = RegAt(cpu, opcode, 3);
        if constexpr (Row & 2)
            RegAt(cpu, opcode, 0) = SubtractWithFlags(cpu.cpsr, rs, operand, 0);
        else
            RegAt(cpu, opcode, 0) = AddWithFlags(cpu.cpsr, rs, operand, 0);
    } else if constexpr (Row < 0x28) {
        cpu.r[Rx] = imm8;
        cpu.cpsr = (cpu.cpsr & ~(FlagN | FlagZ)) | (imm8 == 0 ? FlagZ : 0);
    } else if constexpr (Row < 0x30) {
        SubtractWithFlags(cpu.cpsr, cpu.r[Rx], imm8, 0);
    } else if constexpr (Row < 0x38) {
        cpu.r[Rx] = AddWithFlags(cpu.cpsr, cpu.r[Rx], imm8, 0);
    } else if constexpr (Row < 0x40) {
        cpu.r[Rx] = SubtractWithFlags(cpu.cpsr, cpu.r[Rx], imm8, 0);
    } else if constexpr (Row < 0x44) {
        AluOperation<Row>(cpu, opcode);
    } else if constexpr (Row == 0x44) {
        // ADD and MOV on high registers clear bit 0 of R15 whichever register they write.
        uint32_t rd = HighRd(opcode);
        cpu.r[rd] = ReadHigh(cpu, rd) + ReadHigh(cpu, HighRs(opcode));
        cpu.r[15] &= ~1u;
    } else if constexpr (Row == 0x45) {
        SubtractWithFlags(cpu.cpsr, ReadHigh(cpu, HighRd(opcode)), ReadHigh(cpu, HighRs(opcode)), 0);
    } else if constexpr (Row == 0x46) {
        cpu.r[HighRd(opcode)] = ReadHigh(cpu, HighRs(opcode));
        cpu.r[15] &= ~1u;
    } else if constexpr (Row == 0x47) {
        BranchExchange(cpu, opcode);
    } else if constexpr (Row < 0x50) {
        cpu.r[Rx] = LoadTimed<LoadWord>(cpu, (PcOperand(cpu) & ~3u) + imm8 * 4);
    } else if constexpr (Row < 0x60) {
        RegisterOffsetTransfer<Row>(cpu, opcode);
    } else if constexpr (Row < 0x90) {
        // Immediate offsets: imm5 scaled by the access width.
        uint32_t imm5 = (opcode >> 6) & 31;
        uint32_t rb = RegAt(cpu, opcode, 3);
        uint32_t& rd = RegAt(cpu, opcode, 0);
        if constexpr (Row < 0x68) {
            MemWrite32(rb + imm5 * 4, rd);
        } else if constexpr (Row < 0x70) {
            rd = LoadTimed<LoadWord>(cpu, rb + imm5 * 4);
        } else if constexpr (Row < 0x78) {
            MemWrite8(rb + imm5, rd & 0xFF);
        } else if constexpr (Row < 0x80) {
            rd = LoadTimed<LoadByte>(cpu, rb + imm5);
        } else if constexpr (Row < 0x88) {
            MemWrite16(rb + imm5 * 2, rd & 0xFFFF);
        } else {
            rd = LoadTimed<LoadHalf>(cpu, rb + imm5 * 2);
        }
    } else if constexpr (Row < 0x98) {
        MemWrite32(cpu.r[13] + imm8 * 4, cpu.r[Rx]);
    } else if constexpr (Row < 0xA0) {
        cpu.r[Rx] = LoadTimed<LoadWord>(cpu, cpu.r[13] + imm8 * 4);
    } else if constexpr (Row < 0xA8) {
        cpu.r[Rx] = (PcOperand(cpu) & ~3u) + imm8 * 4;
    } else if constexpr (Row < 0xB0) {
        cpu.r[Rx] = cpu.r[13] + imm8 * 4;
    } else if constexpr (Row == 0xB0) {
        uint32_t offset = (opcode & 0x7F) * 4;
        cpu.r[13] = (opcode & 0x80) ? cpu.r[13] - offset : cpu.r[13] + offset;
    } else if constexpr (Row == 0xB4 || Row == 0xB5) {
        Push<Row == 0xB5>(cpu, opcode);
    } else if constexpr (Row == 0xBC || Row == 0xBD) {
        Pop<Row == 0xBD>(cpu, opcode);
    } else if constexpr (Row >= 0xC0 && Row < 0xC8) {
        StoreMultiple<Rx>(cpu, opcode);
    } else if constexpr (Row >= 0xC8 && Row < 0xD0) {
        LoadMultiple<Rx>(cpu, opcode);
    } else if constexpr (Row >= 0xD0 && Row < 0xDE) {
        if (ConditionHolds(cpu.cpsr, Row & 0xF))
            cpu.r[15] = PcOperand(cpu) + (static_cast<uint32_t>(static_cast<int32_t>(opcode << 24) >> 23));
    } else if constexpr (Row == 0xDF) {
        ExecuteSwi(cpu, imm8);
    } else if constexpr (Row >= 0xE0 && Row < 0xE8) {
        cpu.r[15] = PcOperand(cpu) + static_cast<uint32_t>(static_cast<int32_t>(opcode << 21) >> 20);
    } else if constexpr (Row >= 0xF0 && Row < 0xF8) {
        // BL, first half: LR := instruction + 4 + the upper offset (bits 22-12).
        cpu.r[14] = PcOperand(cpu) + static_cast<uint32_t>(static_cast<int32_t>(opcode << 21) >> 9);
    } else if constexpr (Row >= 0xF8) {
        // BL, second half: jumps relative to whatever LR holds, then links.
        uint32_t target = cpu.r[14] + ((opcode & 0x7FF) << 1);
        cpu.r[14] = cpu.r[15] | 1;
        cpu.r[15] = target;
    } else {
        // B1-B3, B6-BB, BE, BF, DE, E8-EF.
        Unrecognized(cpu, opcode);
    }
}

}  // namespace

#define THUMB_ROW(n)                \
    case n:                         \
        ExecuteRow<n>(cpu, opcode); \
        break;
#define THUMB_ROWS4(n) THUMB_ROW(n) THUMB_ROW(n + 1) THUMB_ROW(n + 2) THUMB_ROW(n + 3)
#define THUMB_ROWS16(n) THUMB_ROWS4(n) THUMB_ROWS4(n + 4) THUMB_ROWS4(n + 8) THUMB_ROWS4(n + 12)
#define THUMB_ROWS64(n) THUMB_ROWS16(n) THUMB_ROWS16(n + 16) THUMB_ROWS16(n + 32) THUMB_ROWS16(n + 48)

void RunThumbLoop(CpuState& cpu) {
    FetchWindow window(cpu.r[15], AccessCost16);
    while (cpu.cycleBudget > 0) {
        uint32_t pc = cpu.r[15];
        uint32_t opcode;
        if (window.Holds<2>(pc)) [[likely]] {
            opcode = Load16(window.At(pc));
        } else {
            window = FetchWindow(pc, AccessCost16);
            opcode = Load16(window.At(pc & ~1u)) >> ((pc & 1) * 8);  // an odd R15 fetches the high byte
        }
        cpu.cycleBudget -= *window.cost;
        cpu.r[15] = pc + 2;
        switch (opcode >> 8) {
            THUMB_ROWS64(0x00)
            THUMB_ROWS64(0x40)
            THUMB_ROWS64(0x80)
            THUMB_ROWS64(0xC0)
        }
    }
}
