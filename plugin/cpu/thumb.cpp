// thumb.cpp - stand-in Thumb interpreter: fetches and skips every opcode.
#include "../machine/console.h"
#include "../machine/memory.h"
#include "cpu.h"

void RunThumbLoop(CpuState& cpu) {
    while (cpu.cycleBudget > 0) {
        uint32_t pc = cpu.r[15];
        cpu.cycleBudget -= AccessCost16[(pc >> 24) & 0xF];
        uint32_t opcode = PeekHalf(pc);
        cpu.r[15] = pc + 2;
        if (cpu.traceFlag) ConsolePrintf("THUMB: Unrecognized opcode 0x%04X at 0x%08X\n", opcode, pc);
    }
}
