// arm.cpp - the ARM interpreter: the generated handler table and the ARM inner loop.
//
// Each handler is a template instantiation whose parameters are the index bits
// of the table (opcode bits 27-20 as Row, bits 7-4 as Column), so the operation,
// the operand form, the S bit and the P/U/B/W/L bits are constants in its body.
// Handlers of different columns that execute the same instruction (immediate
// operands, offsets) are separate identical copies; the table is built by
// HandlerFor, which maps every index to its handler at compile time.
//
// Invariants:
//   1. A handler is entered with R15 = instruction address + 4.
//   2. Operand reads of R15 see address + 8, or address + 12 for register-specified
//      shifts, stored data and STM; LDM, the multiplies, SWP, MSR and BX read it as it
//      is. R15 is back at address + 4 before any result is written, and a result written
//      to R15 is the next fetch address as it is.
//   3. Loads read host memory through ReadPageTable and charge their own cost; they
//      never have side effects. Stores go through MemWrite8/16/32.
//   4. Condition code 15 and unimplemented encodings reach LogUnrecognizedArm and change
//      nothing.
#include "arm.h"

#include <bit>
#include <utility>

#include "../machine/memory.h"
#include "alu.h"
#include "bios.h"
#include "fetch_window.h"

// Identical handler copies must keep their own addresses: the table gives every
// instruction form its own entry point, and GCC would otherwise fold equal bodies.
#if defined(__GNUC__) && !defined(__clang__)
#define ARM_HANDLER __attribute__((no_icf))
#else
#define ARM_HANDLER
#endif

namespace {

// Bit f of entry c is set when condition c holds for flags f = CPSR bits 31-28 (NZCV).
constexpr std::array<uint16_t, 16> ConditionTable = [] {
    std::array<uint16_t, 16> table{};
    for (uint32_t condition = 0; condition < 16; ++condition)
        for (uint32_t flags = 0; flags < 16; ++flags)
            if (ConditionHolds(flags << 28, condition)) table[condition] |= static_cast<uint16_t>(1u << flags);
    return table;
}();

inline uint32_t CarryBit(uint32_t value, uint32_t bit) { return ((value >> bit) & 1) << 29; }

// Shifter output: the operand and the carry-out as CPSR bit C (FlagC or 0).
struct Shifted {
    uint32_t value;
    uint32_t carry;
};

enum ShiftType : uint32_t { Lsl = 0, Lsr = 1, Asr = 2, Ror = 3 };

// Register shifted by a 5-bit immediate; amount 0 encodes LSR 32, ASR 32 and RRX.
template <uint32_t Type>
inline Shifted ShiftByImmediate(uint32_t m, uint32_t amount, uint32_t carry) {
    if constexpr (Type == Lsl) {
        if (amount == 0) return {m, carry};
        return {m << amount, CarryBit(m, 32 - amount)};
    } else if constexpr (Type == Lsr) {
        if (amount == 0) return {0, CarryBit(m, 31)};
        return {m >> amount, CarryBit(m, amount - 1)};
    } else if constexpr (Type == Asr) {
        int32_t s = static_cast<int32_t>(m);
        if (amount == 0) return {static_cast<uint32_t>(s >> 31), CarryBit(m, 31)};
        return {static_cast<uint32_t>(s >> amount), CarryBit(m, amount - 1)};
    } else {
        if (amount == 0) return {(carry << 2) | (m >> 1), CarryBit(m, 0)};
        return {RotateRight(m, amount), CarryBit(m, amount - 1)};
    }
}

// Register shifted by the low byte of a register; amount 0 leaves value and carry.
template <uint32_t Type>
inline Shifted ShiftByRegister(uint32_t m, uint32_t amount, uint32_t carry) {
    if (amount == 0) return {m, carry};
    if constexpr (Type == Lsl) {
        if (amount < 32) return {m << amount, CarryBit(m, 32 - amount)};
        return {0, amount == 32 ? CarryBit(m, 0) : 0};
    } else if constexpr (Type == Lsr) {
        if (amount < 32) return {m >> amount, CarryBit(m, amount - 1)};
        return {0, amount == 32 ? CarryBit(m, 31) : 0};
    } else if constexpr (Type == Asr) {
        int32_t s = static_cast<int32_t>(m);
        if (amount < 32) return {static_cast<uint32_t>(s >> amount), CarryBit(m, amount - 1)};
        return {static_cast<uint32_t>(s >> 31), CarryBit(m, 31)};
    } else {
        uint32_t n = amount & 31;
        if (n == 0) return {m, 0};
        return {RotateRight(m, n), CarryBit(m, n - 1)};
    }
}

// CPSR := SPSR of the current mode, the exception return of S-bit writes to R15.
// Kept out of line so that the flag-setting handlers' common path saves no registers.
[[gnu::noinline, gnu::cold]] void RestoreCpsrFromSpsr(CpuState& cpu) {
    if (uint32_t* spsr = CurrentSpsr(cpu)) SetCpsr(cpu, *spsr);
}

enum Operation : uint32_t { And, Eor, Sub, Rsb, Add, Adc, Sbc, Rsc, Tst, Teq, Cmp, Cmn, Orr, Mov, Bic, Mvn };

constexpr bool IsLogical(uint32_t op) {
    return op == And || op == Eor || op == Tst || op == Teq || op == Orr || op == Mov || op == Bic || op == Mvn;
}
constexpr bool IsTest(uint32_t op) { return op >= Tst && op <= Cmn; }

// Data processing: rows 0x00-0x1F with a shifted register (even columns shift by an
// immediate, odd columns by a register), rows 0x20-0x3F with a rotated immediate.
template <uint32_t Row, uint32_t Column>
ARM_HANDLER void DataProcessing(CpuState& cpu, uint32_t opcode) {
    constexpr bool Immediate = Row & 0x20;
    constexpr bool RegisterShift = !Immediate && (Column & 1);
    constexpr uint32_t Type = (Column >> 1) & 3;
    constexpr uint32_t Op = (Row >> 1) & 0xF;
    constexpr bool SetFlags = Row & 1;
    constexpr uint32_t PcOffset = RegisterShift ? 8 : 4;

    uint32_t* r = cpu.r;
    uint32_t cpsr = cpu.cpsr;
    r[15] += PcOffset;
    uint32_t n = 0;
    if constexpr (Op != Mov && Op != Mvn) n = r[(opcode >> 16) & 0xF];
    Shifted op2;
    if constexpr (Immediate) {
        op2 = {RotateRight(opcode & 0xFF, (opcode >> 7) & 0x1E), cpsr & FlagC};
    } else if constexpr (RegisterShift) {
        op2 = ShiftByRegister<Type>(r[opcode & 0xF], r[(opcode >> 8) & 0xF] & 0xFF, cpsr & FlagC);
    } else {
        op2 = ShiftByImmediate<Type>(r[opcode & 0xF], (opcode >> 7) & 0x1F, cpsr & FlagC);
    }
    r[15] -= PcOffset;
    if constexpr (RegisterShift) cpu.cycleBudget -= 1;

    uint32_t m = op2.value;
    uint32_t carryIn = (cpsr >> 29) & 1;
    uint32_t flags = cpsr;  // N, Z, C, V of arithmetic operations when SetFlags
    uint32_t result;
    if constexpr (Op == And || Op == Tst) result = n & m;
    if constexpr (Op == Eor || Op == Teq) result = n ^ m;
    if constexpr (Op == Orr) result = n | m;
    if constexpr (Op == Mov) result = m;
    if constexpr (Op == Bic) result = n & ~m;
    if constexpr (Op == Mvn) result = ~m;
    if constexpr (Op == Add || Op == Cmn) result = SetFlags ? AddWithFlags(flags, n, m, 0) : n + m;
    if constexpr (Op == Adc) result = SetFlags ? AddWithFlags(flags, n, m, carryIn) : n + m + carryIn;
    if constexpr (Op == Sub || Op == Cmp) result = SetFlags ? SubtractWithFlags(flags, n, m, 0) : n - m;
    if constexpr (Op == Sbc) result = SetFlags ? SubtractWithFlags(flags, n, m, carryIn ^ 1) : n - m - (carryIn ^ 1);
    if constexpr (Op == Rsb) result = SetFlags ? SubtractWithFlags(flags, m, n, 0) : m - n;
    if constexpr (Op == Rsc) result = SetFlags ? SubtractWithFlags(flags, m, n, carryIn ^ 1) : m - n - (carryIn ^ 1);

    uint32_t d = (opcode >> 12) & 0xF;
    if constexpr (!IsTest(Op)) r[d] = result;
    if constexpr (SetFlags) {
        if (d == 15) [[unlikely]] {
            if constexpr (IsLogical(Op)) cpu.cpsr = (cpsr & ~FlagC) | op2.carry;
            RestoreCpsrFromSpsr(cpu);
            return;
        }
        if constexpr (IsLogical(Op))
            cpu.cpsr = (cpsr & ~(FlagN | FlagZ | FlagC)) | NzFlags(result) | op2.carry;
        else
            cpu.cpsr = flags;
    }
}

// MRS Rd, CPSR or SPSR; Rd keeps its value when the mode has no SPSR.
template <bool Spsr>
ARM_HANDLER void MoveFromStatus(CpuState& cpu, uint32_t opcode) {
    uint32_t d = (opcode >> 12) & 0xF;
    if constexpr (Spsr) {
        if (uint32_t* spsr = CurrentSpsr(cpu)) cpu.r[d] = *spsr;
    } else {
        cpu.r[d] = cpu.cpsr;
    }
}

// MSR: with the control field (bit 16) the whole word is written, else only N, Z, C, V.
template <bool Spsr>
inline void WriteStatus(CpuState& cpu, uint32_t opcode, uint32_t value) {
    bool whole = opcode & (1u << 16);
    if constexpr (Spsr) {
        uint32_t* spsr = CurrentSpsr(cpu);
        if (!spsr) return;
        *spsr = whole ? value : (*spsr & 0x0FFFFFFF) | (value & 0xF0000000);
    } else {
        if (whole && (cpu.cpsr & ModeMask) != ModeUser)
            SetCpsr(cpu, value);
        else
            cpu.cpsr = (cpu.cpsr & 0x0FFFFFFF) | (value & 0xF0000000);
    }
}

template <bool Spsr>
ARM_HANDLER void MoveRegisterToStatus(CpuState& cpu, uint32_t opcode) {
    WriteStatus<Spsr>(cpu, opcode, cpu.r[opcode & 0xF]);
}

template <bool Spsr, uint32_t Column>
ARM_HANDLER void MoveImmediateToStatus(CpuState& cpu, uint32_t opcode) {
    WriteStatus<Spsr>(cpu, opcode, RotateRight(opcode & 0xFF, (opcode >> 7) & 0x1E));
}

// BX: bit 0 of the target selects the state; a change of state ends the inner loop
// so that the run loop switches interpreters.
ARM_HANDLER void BranchExchange(CpuState& cpu, uint32_t opcode) {
    uint32_t target = cpu.r[opcode & 0xF];
    bool thumb = cpu.cpsr & FlagT;
    if (target & 1) {
        cpu.r[15] = target & ~1u;
        if (!thumb) {
            cpu.cpsr |= FlagT;
            BreakInnerLoop(cpu);
        }
    } else {
        cpu.r[15] = target & ~3u;
        if (thumb) {
            cpu.cpsr &= ~FlagT;
            BreakInnerLoop(cpu);
        }
    }
}

// MUL, MLA and the long forms; rows 0x00-0x03 and 0x08-0x0F of column 9.
template <uint32_t Row>
ARM_HANDLER void Multiply(CpuState& cpu, uint32_t opcode) {
    constexpr bool SetFlags = Row & 1;
    constexpr bool Accumulate = Row & 2;
    constexpr bool Long = Row & 8;
    constexpr bool Signed = Row & 4;
    uint32_t* r = cpu.r;
    uint32_t d = (opcode >> 16) & 0xF, n = (opcode >> 12) & 0xF;
    uint32_t s = r[(opcode >> 8) & 0xF], m = r[opcode & 0xF];
    if constexpr (!Long) {
        uint32_t result = m * s;
        if constexpr (Accumulate) result += r[n];
        r[d] = result;
        cpu.cycleBudget -= Accumulate ? 5 : 4;
        if constexpr (SetFlags) cpu.cpsr = (cpu.cpsr & 0x0FFFFFFF) | NzFlags(result);
    } else {
        uint64_t product;
        if constexpr (Signed)
            product = static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(m)) * static_cast<int32_t>(s));
        else
            product = static_cast<uint64_t>(m) * s;
        if constexpr (Accumulate) product += (static_cast<uint64_t>(r[d]) << 32) | r[n];
        uint32_t high = static_cast<uint32_t>(product >> 32);
        r[n] = static_cast<uint32_t>(product);
        r[d] = high;
        cpu.cycleBudget -= Accumulate ? 6 : 5;
        if constexpr (SetFlags) cpu.cpsr = (cpu.cpsr & ~(FlagN | FlagZ)) | (high & FlagN) | (product == 0 ? FlagZ : 0);
    }
}

// SWP (row 0x10) and SWPB (row 0x14): the old memory value reaches Rd last.
template <uint32_t Row>
ARM_HANDLER void Swap(CpuState& cpu, uint32_t opcode) {
    uint32_t* r = cpu.r;
    uint32_t address = r[(opcode >> 16) & 0xF];
    uint32_t value = r[opcode & 0xF];
    uint32_t old;
    if constexpr (Row & 0x04) {
        old = LoadByte(cpu, address);
        MemWrite8(address, value & 0xFF);
    } else {
        old = LoadWord(cpu, address);
        MemWrite32(address, value);
    }
    cpu.cycleBudget -= 1;
    r[(opcode >> 12) & 0xF] = old;
}

// Base and offset registers of single transfers: R15 reads instruction address + 8.
inline uint32_t AddressOperand(const uint32_t* r, uint32_t index) { return r[index] + (index == 15 ? 4 : 0); }

// Stored data: R15 is stored as instruction address + 12.
inline uint32_t StoredRegister(const uint32_t* r, uint32_t index) { return r[index] + (index == 15 ? 8 : 0); }

// LDR, STR, LDRB, STRB: rows 0x40-0x5F with a 12-bit offset, rows 0x60-0x7F
// (even columns) with a register offset shifted by an immediate.
template <uint32_t Row, uint32_t Column>
ARM_HANDLER void SingleTransfer(CpuState& cpu, uint32_t opcode) {
    constexpr bool RegisterOffset = Row & 0x20;
    constexpr bool Pre = Row & 0x10, Up = Row & 0x08, Byte = Row & 0x04, WriteBack = Row & 0x02, Load = Row & 0x01;
    constexpr uint32_t Type = (Column >> 1) & 3;

    uint32_t* r = cpu.r;
    uint32_t n = (opcode >> 16) & 0xF, d = (opcode >> 12) & 0xF;
    uint32_t base = AddressOperand(r, n);
    uint32_t offset;
    if constexpr (RegisterOffset)
        offset = ShiftByImmediate<Type>(AddressOperand(r, opcode & 0xF), (opcode >> 7) & 0x1F, cpu.cpsr & FlagC).value;
    else
        offset = opcode & 0xFFF;
    uint32_t moved = Up ? base + offset : base - offset;
    uint32_t address = Pre ? moved : base;

    // A load costs one cycle beyond its access.
    if constexpr (Load) {
        r[d] = Byte ? LoadByte(cpu, address, 1) : LoadWord(cpu, address, 1);
    } else if constexpr (Byte) {
        MemWrite8(address, StoredRegister(r, d) & 0xFF);
    } else {
        MemWrite32(address, StoredRegister(r, d));
    }
    if constexpr (!Pre || WriteBack) r[n] = moved;
}

// STRH, LDRH, LDRSB, LDRSH: column 0xB, 0xD, 0xF of rows 0x00-0x1F; bit 22 selects
// the split 8-bit immediate offset over Rm.
template <uint32_t Row, uint32_t Column>
ARM_HANDLER void HalfwordTransfer(CpuState& cpu, uint32_t opcode) {
    constexpr bool Pre = Row & 0x10, Up = Row & 0x08, ImmediateOffset = Row & 0x04, WriteBack = Row & 0x02,
                   Load = Row & 0x01;

    uint32_t* r = cpu.r;
    uint32_t n = (opcode >> 16) & 0xF, d = (opcode >> 12) & 0xF;
    uint32_t base = AddressOperand(r, n);
    uint32_t offset = ImmediateOffset ? ((opcode >> 4) & 0xF0) | (opcode & 0xF) : AddressOperand(r, opcode & 0xF);
    uint32_t moved = Up ? base + offset : base - offset;
    uint32_t address = Pre ? moved : base;

    if constexpr (Load) {
        if constexpr (Column == 0xB) r[d] = LoadHalf(cpu, address, 1);
        if constexpr (Column == 0xD) r[d] = LoadSignedByte(cpu, address, 1);
        if constexpr (Column == 0xF) r[d] = LoadSignedHalf(cpu, address, 1);
    } else {
        MemWrite16(address, StoredRegister(r, d) & 0xFFFF);
    }
    if constexpr (!Pre || WriteBack) r[n] = moved;
}

// LDM and STM, one handler per row. The lowest register always uses the lowest
// address; decrement forms walk the list from R15 down, so their stores reach
// memory highest register first.
template <uint32_t Row>
ARM_HANDLER void BlockTransfer(CpuState& cpu, uint32_t opcode) {
    constexpr bool Pre = Row & 0x10, Up = Row & 0x08, RestoreStatus = Row & 0x04, WriteBack = Row & 0x02,
                   Load = Row & 0x01;

    uint32_t* r = cpu.r;
    uint32_t n = (opcode >> 16) & 0xF;
    uint32_t list = opcode & 0xFFFF;
    uint32_t address = Load ? r[n] : StoredRegister(r, n);
    // Stores read every register before the base is written back, so a base in the
    // list is stored with its old value.
    auto transfer = [&](uint32_t index) {
        if constexpr (Pre) address += Up ? 4 : -4u;
        if constexpr (Load)
            r[index] = LoadWord(cpu, address);
        else
            MemWrite32(address, StoredRegister(r, index));
        if constexpr (!Pre) address += Up ? 4 : -4u;
    };
    if constexpr (Load) cpu.cycleBudget -= 1;
    if constexpr (Up) {
        for (uint32_t bits = list; bits; bits &= bits - 1) transfer(static_cast<uint32_t>(std::countr_zero(bits)));
    } else {
        for (uint32_t bits = list; bits;) {
            uint32_t index = 31 - static_cast<uint32_t>(std::countl_zero(bits));
            bits &= ~(1u << index);
            transfer(index);
        }
    }
    if constexpr (WriteBack) r[n] = address;
    if constexpr (Load && RestoreStatus)
        if (list & 0x8000) RestoreCpsrFromSpsr(cpu);
}

// B and BL: the offset counts from instruction address + 8.
template <bool Link>
ARM_HANDLER void Branch(CpuState& cpu, uint32_t opcode) {
    uint32_t offset = static_cast<uint32_t>(static_cast<int32_t>(opcode << 8) >> 6);
    if constexpr (Link) cpu.r[14] = cpu.r[15];
    cpu.r[15] += offset + 4;
}

ARM_HANDLER void SoftwareInterrupt(CpuState& cpu, uint32_t opcode) { ExecuteSwi(cpu, opcode & 0xFFFFFF); }

// The handler of one table index; every index value not matched below is unrecognized.
template <uint32_t Index>
consteval ArmHandler HandlerFor() {
    constexpr uint32_t Row = Index & 0xFF, Column = Index >> 8;
    constexpr bool StatusRow = (Row & 0xD9) == 0x10;  // rows 0x10, 0x12, 0x14, 0x16 and 0x30-0x36
    constexpr bool HalfwordColumn = Column == 0xB || Column == 0xD || Column == 0xF;
    constexpr bool MultiplyRow = Row < 0x10 && (Row & 0xC) != 0x4;
    constexpr bool HalfwordRow = (Row & 0x12) != 0x02 && (Column == 0xB || (Row & 1));  // no P=0 W=1, no signed stores
    if constexpr (Row < 0x20 && Column == 9 && MultiplyRow) {
        return &Multiply<Row>;
    } else if constexpr (Row < 0x20 && Column == 9 && (Row == 0x10 || Row == 0x14)) {
        return &Swap<Row>;
    } else if constexpr (Row < 0x20 && HalfwordColumn && HalfwordRow) {
        return &HalfwordTransfer<Row, Column>;
    } else if constexpr (Row < 0x20 && (Column == 9 || HalfwordColumn)) {
        return &LogUnrecognizedArm;
    } else if constexpr (Row < 0x20 && StatusRow) {
        if constexpr (Column == 0 && Row == 0x10) {
            return &MoveFromStatus<false>;
        } else if constexpr (Column == 0 && Row == 0x14) {
            return &MoveFromStatus<true>;
        } else if constexpr (Column == 0 && Row == 0x12) {
            return &MoveRegisterToStatus<false>;
        } else if constexpr (Column == 0 && Row == 0x16) {
            return &MoveRegisterToStatus<true>;
        } else if constexpr (Column == 1 && Row == 0x12) {
            return &BranchExchange;
        } else {
            return &LogUnrecognizedArm;
        }
    } else if constexpr (Row < 0x40 && StatusRow) {
        if constexpr (Row == 0x32) {
            return &MoveImmediateToStatus<false, Column>;
        } else if constexpr (Row == 0x36) {
            return &MoveImmediateToStatus<true, Column>;
        } else {
            return &LogUnrecognizedArm;
        }
    } else if constexpr (Row < 0x40) {
        return &DataProcessing<Row, Column>;
    } else if constexpr (Row < 0x60 || (Row < 0x80 && !(Column & 1))) {
        return &SingleTransfer<Row, Column>;
    } else if constexpr (Row < 0x80) {
        return &LogUnrecognizedArm;
    } else if constexpr (Row < 0xA0) {
        return &BlockTransfer<Row>;
    } else if constexpr (Row < 0xC0) {
        return &Branch<(Row >= 0xB0)>;
    } else if constexpr (Row < 0xF0) {
        return &LogUnrecognizedArm;
    } else {
        return &SoftwareInterrupt;
    }
}

template <uint32_t... Index>
constexpr std::array<ArmHandler, ArmHandlerCount> BuildHandlerTable(std::integer_sequence<uint32_t, Index...>) {
    return {HandlerFor<Index>()...};
}

}  // namespace

constinit const std::array<ArmHandler, ArmHandlerCount> ArmHandlerTable =
    BuildHandlerTable(std::make_integer_sequence<uint32_t, ArmHandlerCount>());

// Condition AL (opcodes 0xE0000000-0xEFFFFFFF) is tested first, so that most
// instructions need no look at the flags.
void RunArmLoop(CpuState& cpu) {
    FetchWindow window(cpu.r[15], AccessCost32);
    while (cpu.cycleBudget > 0) {
        uint32_t pc = cpu.r[15];
        uint32_t opcode;
        if (window.Holds<4>(pc)) [[likely]] {
            opcode = Load32(window.At(pc));
        } else {
            window = FetchWindow(pc, AccessCost32);
            opcode = Load32(window.At(pc & ~3u)) >> ((pc & 3) * 8);
        }
        cpu.cycleBudget -= *window.cost;
        cpu.r[15] = pc + 4;
        uint32_t condition = opcode >> 28;
        if (opcode - 0xE0000000 < 0x10000000 || ((ConditionTable[condition] >> (cpu.cpsr >> 28)) & 1))
            ArmHandlerTable[ArmHandlerIndex(opcode)](cpu, opcode);
        else if (condition == 0xF) [[unlikely]]
            LogUnrecognizedArm(cpu, opcode);
    }
}
