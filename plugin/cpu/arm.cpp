// arm.cpp - stand-in ARM interpreter: fetches and logs every opcode as unrecognized.
#include "../machine/memory.h"
#include "cpu.h"

void RunArmLoop(CpuState& cpu) {
    while (cpu.cycleBudget > 0) {
        uint32_t pc = cpu.r[15];
        cpu.cycleBudget -= AccessCost32[(pc >> 24) & 0xF];
        uint32_t opcode = PeekWord(pc);
        cpu.r[15] = pc + 4;
        LogUnrecognizedArm(cpu, opcode);
    }
}
