// bios.cpp - stand-in software interrupts: enters a loaded BIOS, else ignores the call.
#include "bios.h"

#include "../machine/cartridge.h"

uint32_t WaitMarker;

void ExecuteSwi(CpuState& cpu, uint32_t) {
    if (BiosLoaded) EnterSupervisorCall(cpu);
}
