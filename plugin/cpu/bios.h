// bios.h - software interrupts: entry into a loaded BIOS image or host emulation of its calls.
#pragma once

#include <cstdint>

#include "cpu.h"

// Address after the IntrWait or VBlankIntrWait being waited on; 0 when none.
extern uint32_t WaitMarker;

void ExecuteSwi(CpuState& cpu, uint32_t comment);
