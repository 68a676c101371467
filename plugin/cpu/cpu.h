// cpu.h - the ARM7TDMI register file, mode banking and the sliced run loop.
//
// There is exactly one CPU, the process-wide `Cpu`. Its 47 words are also the
// CPU image inside save states, so the field order below is a storage format:
// word 0 CPSR, words 1-16 R0-R15, words 17-39 the banked R13/R14 pairs and the
// SPSRs (with reserved words), then the run-loop bookkeeping.
//
// Invariants:
//   1. R15 always holds the address of the next instruction to fetch.
//   2. The mode only changes through SetCpsr, which swaps R13/R14 with the banks.
//   3. A pending break parks the slice budget in savedBudget and zeroes
//      cycleBudget; the inner loop's only per-instruction test is budget > 0.
#pragma once

#include <cstddef>
#include <cstdint>

struct CpuState {
    uint32_t cpsr;          // word 0
    uint32_t r[16];         // words 1-16
    uint32_t bank[23];      // words 17-39, indexed by word - 17 (see BankWord)
    uint32_t irqPending;    // word 40
    int32_t sliceQuantum;   // word 41
    int32_t cycleBudget;    // word 42
    int32_t savedBudget;    // word 43
    uint8_t breakFlag;      // word 44, byte 0
    uint8_t breakReserved[3];
    uint32_t reserved45;    // word 45
    uint8_t traceFlag;      // word 46, byte 0
    uint8_t traceReserved[3];
};
static_assert(sizeof(CpuState) == 188, "the CPU record is 47 words");
static_assert(offsetof(CpuState, irqPending) == 40 * 4);
static_assert(offsetof(CpuState, traceFlag) == 46 * 4);

constexpr int CpuStateBytes = 188;

// Word numbers of the banked registers, as in the save-state image.
namespace BankWord {
constexpr int Reserved17 = 17;
constexpr int UserR13 = 18;
constexpr int SpsrSvc = 20;
constexpr int SvcR13 = 21;
constexpr int SpsrAbt = 23;
constexpr int AbtR13 = 24;
constexpr int SpsrIrq = 26;
constexpr int IrqR13 = 27;
constexpr int SpsrUnd = 29;
constexpr int SharedR13 = 30;  // FIQ, Undefined and every invalid mode
constexpr int SpsrFiq = 32;
}  // namespace BankWord

// CPSR bits.
constexpr uint32_t FlagN = 1u << 31;
constexpr uint32_t FlagZ = 1u << 30;
constexpr uint32_t FlagC = 1u << 29;
constexpr uint32_t FlagV = 1u << 28;
constexpr uint32_t FlagI = 1u << 7;
constexpr uint32_t FlagF = 1u << 6;
constexpr uint32_t FlagT = 1u << 5;
constexpr uint32_t ModeMask = 0x1F;
constexpr uint32_t ModeUser = 0x10, ModeFiq = 0x11, ModeIrq = 0x12, ModeSupervisor = 0x13,
                   ModeAbort = 0x17, ModeUndefined = 0x1B, ModeSystem = 0x1F;

extern CpuState Cpu;

// Word of the R13/R14 bank used by a mode value (R14 is the word after it).
int BankOfMode(uint32_t mode);
// Word of the SPSR of a mode value, or -1 for User, System and invalid modes.
int SpsrOfMode(uint32_t mode);
// The SPSR of the current mode, or nullptr when the mode has none.
uint32_t* CurrentSpsr(CpuState& cpu);

void SetCpsr(CpuState& cpu, uint32_t value);
void RequestIrqCheck(CpuState& cpu);
void CpuReset(CpuState& cpu);
// Runs up to 3200 slices; 1 when they were all run, 0 when the machine stopped.
int RunCpu(CpuState& cpu);
// Enters the IRQ exception if an interrupt is pending and allowed (run-loop step 4).
void TakePendingInterrupt(CpuState& cpu);
// Exception entry of a software interrupt into a loaded BIOS image.
void EnterSupervisorCall(CpuState& cpu);
void LogUnrecognizedArm(CpuState& cpu, uint32_t opcode);

// Ends the inner loop after the current instruction; the slice continues
// with the parked budget. A second request before the loop ends keeps the
// first parked value.
inline void BreakInnerLoop(CpuState& cpu) {
    if (!cpu.breakFlag) {
        cpu.breakFlag = 1;
        cpu.savedBudget = cpu.cycleBudget;
        cpu.cycleBudget = 0;
    }
}

// Makes the current instruction run again at the next slice (halting and the
// waiting BIOS calls): R15 moves back one instruction and the slice ends.
inline void RewindInstruction(CpuState& cpu) {
    cpu.r[15] -= (cpu.cpsr & FlagT) ? 2 : 4;
    cpu.cycleBudget = 0;
}

// The two inner loops; each runs while cycleBudget > 0.
void RunArmLoop(CpuState& cpu);
void RunThumbLoop(CpuState& cpu);

// Little-endian storage of the CPU record (save states).
void StoreCpuState(const CpuState& cpu, uint8_t out[CpuStateBytes]);
void LoadCpuState(CpuState& cpu, const uint8_t in[CpuStateBytes]);
