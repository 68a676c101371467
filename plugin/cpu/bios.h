// bios.h - software interrupts: entry into a loaded BIOS image, or the BIOS
// calls performed in host code when no image is present.
#pragma once

#include <cstdint>

#include "cpu.h"

// Address after the IntrWait or VBlankIntrWait being waited on; 0 when none.
extern uint32_t WaitMarker;

// Runs the software interrupt with the given comment field (opcode bits 23-0
// in ARM state, bits 7-0 in Thumb state).
void ExecuteSwi(CpuState& cpu, uint32_t comment);
