// io.cpp - stand-in I/O write handler: stores the value and keeps the interrupt check.
#include "io.h"

#include "../cpu/cpu.h"

AffineBackground Affine[2];
int32_t BlendEva, BlendEvb, BlendEvy;
int32_t HaltState;

void CheckInterrupts() {
    if (ReadIo(Reg::IME) & 1) {
        Cpu.irqPending = ReadIo(Reg::IE) & ReadIo(Reg::IF);
        if (Cpu.irqPending) RequestIrqCheck(Cpu);
    } else {
        Cpu.irqPending = 0;
    }
}

void CheckKeypadInterrupt() {}

void WriteIo(uint32_t address, uint32_t value) {
    uint32_t offset = address & 0xFFE;
    switch (offset) {
    case Reg::VCOUNT:
    case Reg::KEYINPUT:
        return;
    case Reg::DISPSTAT:
        StoreIo(offset, (ReadIo(offset) & 7) | (value & ~7u));
        return;
    case Reg::IF:
        StoreIo(offset, ReadIo(offset) & ~value);
        CheckInterrupts();
        return;
    case Reg::IE:
    case Reg::IME:
        StoreIo(offset, value);
        CheckInterrupts();
        return;
    case Reg::WAITCNT:
        ApplyWaitControl(value);
        break;
    default:
        break;
    }
    StoreIo(offset, value);
}
