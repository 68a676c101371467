// cpu.cpp - mode banking, the interrupt entry and the sliced run loop.
#include "cpu.h"

#include "../machine/console.h"
#include "../machine/scanline.h"

CpuState Cpu;

namespace {

constexpr int SliceLimit = 3200;

struct ModeWords {
    int8_t bank;  // word of R13 (R14 follows)
    int8_t spsr;  // word of the SPSR, -1 for none
};

// Indexed by mode value minus 0x10; values below 0x10 use the invalid row.
constexpr ModeWords ModeTable[16] = {
    {BankWord::UserR13, -1},                  // 0x10 User
    {BankWord::SharedR13, BankWord::SpsrFiq}, // 0x11 FIQ
    {BankWord::IrqR13, BankWord::SpsrIrq},    // 0x12 IRQ
    {BankWord::SvcR13, BankWord::SpsrSvc},    // 0x13 Supervisor
    {BankWord::SharedR13, -1},
    {BankWord::SharedR13, -1},
    {BankWord::SharedR13, -1},
    {BankWord::AbtR13, BankWord::SpsrAbt},    // 0x17 Abort
    {BankWord::SharedR13, -1},
    {BankWord::SharedR13, -1},
    {BankWord::SharedR13, -1},
    {BankWord::SharedR13, BankWord::SpsrUnd}, // 0x1B Undefined
    {BankWord::SharedR13, -1},
    {BankWord::SharedR13, -1},
    {BankWord::SharedR13, -1},
    {BankWord::UserR13, -1},                  // 0x1F System
};
constexpr ModeWords InvalidMode = {BankWord::SharedR13, -1};

inline const ModeWords& WordsOf(uint32_t mode) {
    mode &= ModeMask;
    return mode < 0x10 ? InvalidMode : ModeTable[mode - 0x10];
}

inline uint32_t& Word(CpuState& cpu, int word) { return cpu.bank[word - BankWord::Reserved17]; }

}  // namespace

int BankOfMode(uint32_t mode) { return WordsOf(mode).bank; }
int SpsrOfMode(uint32_t mode) { return WordsOf(mode).spsr; }

uint32_t* CurrentSpsr(CpuState& cpu) {
    int word = SpsrOfMode(cpu.cpsr);
    return word < 0 ? nullptr : &Word(cpu, word);
}

void SetCpsr(CpuState& cpu, uint32_t value) {
    uint32_t old = cpu.cpsr;
    if ((old ^ value) & ModeMask) {
        int from = BankOfMode(old), to = BankOfMode(value);
        Word(cpu, from) = cpu.r[13];
        Word(cpu, from + 1) = cpu.r[14];
        cpu.r[13] = Word(cpu, to);
        cpu.r[14] = Word(cpu, to + 1);
    }
    cpu.cpsr = value;
    if ((old ^ value) & 0xBF) BreakInnerLoop(cpu);
}

void RequestIrqCheck(CpuState& cpu) {
    cpu.irqPending = 1;
    BreakInnerLoop(cpu);
}

void CpuReset(CpuState& cpu) {
    for (uint32_t& r : cpu.r) r = 0;
    cpu.cpsr = 0xD3;
    cpu.cycleBudget = cpu.sliceQuantum;
    cpu.savedBudget = 0;
    cpu.breakFlag = 0;
    cpu.irqPending = 0;
}

void TakePendingInterrupt(CpuState& cpu) {
    if (!cpu.irqPending || (cpu.cpsr & FlagI) || (cpu.cpsr & ModeMask) == ModeSupervisor) return;
    Word(cpu, BankWord::SpsrIrq) = cpu.cpsr;
    SetCpsr(cpu, (cpu.cpsr & ~0x2Du) | 0x92);
    cpu.r[14] = cpu.r[15] + 4;
    cpu.r[15] = 0x18;
}

void EnterSupervisorCall(CpuState& cpu) {
    Word(cpu, BankWord::SpsrSvc) = cpu.cpsr;
    SetCpsr(cpu, (cpu.cpsr & ~0x2Cu) | 0x13);
    cpu.r[14] = cpu.r[15];
    cpu.r[15] = 0x08;
}

int RunCpu(CpuState& cpu) {
    int slices = 0;
    for (;;) {
        if (cpu.cpsr & FlagT)
            RunThumbLoop(cpu);
        else
            RunArmLoop(cpu);
        if (cpu.breakFlag) {
            cpu.breakFlag = 0;
            cpu.cycleBudget += cpu.savedBudget;
        } else {
            int result = RunSlice();
            if (result == -1) return 0;
            ++slices;
            cpu.irqPending = static_cast<uint32_t>(result);
            cpu.cycleBudget += cpu.sliceQuantum;
        }
        TakePendingInterrupt(cpu);
        if (slices >= SliceLimit) return 1;
    }
}

void LogUnrecognizedArm(CpuState& cpu, uint32_t opcode) {
    if (cpu.traceFlag) ConsolePrintf("ARM: Unrecognized opcode 0x%08X at 0x%08X\n", opcode, cpu.r[15] - 4);
}

void StoreCpuState(const CpuState& cpu, uint8_t out[CpuStateBytes]) {
    uint32_t words[47];
    words[0] = cpu.cpsr;
    for (int i = 0; i < 16; ++i) words[1 + i] = cpu.r[i];
    for (int i = 0; i < 23; ++i) words[17 + i] = cpu.bank[i];
    words[40] = cpu.irqPending;
    words[41] = static_cast<uint32_t>(cpu.sliceQuantum);
    words[42] = static_cast<uint32_t>(cpu.cycleBudget);
    words[43] = static_cast<uint32_t>(cpu.savedBudget);
    words[44] = cpu.breakFlag | cpu.breakReserved[0] << 8 | cpu.breakReserved[1] << 16 |
                static_cast<uint32_t>(cpu.breakReserved[2]) << 24;
    words[45] = cpu.reserved45;
    words[46] = cpu.traceFlag | cpu.traceReserved[0] << 8 | cpu.traceReserved[1] << 16 |
                static_cast<uint32_t>(cpu.traceReserved[2]) << 24;
    for (int i = 0; i < 47; ++i) {
        out[4 * i] = static_cast<uint8_t>(words[i]);
        out[4 * i + 1] = static_cast<uint8_t>(words[i] >> 8);
        out[4 * i + 2] = static_cast<uint8_t>(words[i] >> 16);
        out[4 * i + 3] = static_cast<uint8_t>(words[i] >> 24);
    }
}

void LoadCpuState(CpuState& cpu, const uint8_t in[CpuStateBytes]) {
    uint32_t words[47];
    for (int i = 0; i < 47; ++i)
        words[i] = in[4 * i] | in[4 * i + 1] << 8 | in[4 * i + 2] << 16 | static_cast<uint32_t>(in[4 * i + 3]) << 24;
    cpu.cpsr = words[0];
    for (int i = 0; i < 16; ++i) cpu.r[i] = words[1 + i];
    for (int i = 0; i < 23; ++i) cpu.bank[i] = words[17 + i];
    cpu.irqPending = words[40];
    cpu.sliceQuantum = static_cast<int32_t>(words[41]);
    cpu.cycleBudget = static_cast<int32_t>(words[42]);
    cpu.savedBudget = static_cast<int32_t>(words[43]);
    cpu.breakFlag = static_cast<uint8_t>(words[44]);
    for (int i = 0; i < 3; ++i) cpu.breakReserved[i] = static_cast<uint8_t>(words[44] >> (8 * (i + 1)));
    cpu.reserved45 = words[45];
    cpu.traceFlag = static_cast<uint8_t>(words[46]);
    for (int i = 0; i < 3; ++i) cpu.traceReserved[i] = static_cast<uint8_t>(words[46] >> (8 * (i + 1)));
}
