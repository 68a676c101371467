// io.h - the I/O register write handler, interrupts, halting and the derived
// state kept in step with the I/O page (affine parameters, blend coefficients).
#pragma once

#include <cstdint>

#include "io_registers.h"
#include "memory.h"

// Halfword of the I/O page at a register offset.
inline uint32_t ReadIo(uint32_t offset) { return Load16(IoPage() + offset); }
inline void StoreIo(uint32_t offset, uint32_t value) { Store16(IoPage() + offset, value); }

// Rotation/scaling state of BG2 (index 0) and BG3 (index 1): step parameters,
// the latched reference point and the current one advanced line by line.
struct AffineBackground {
    int32_t pa, pb, pc, pd;
    int32_t latchedX, latchedY;
    int32_t x, y;
};
extern AffineBackground Affine[2];

// Blend coefficients, each 0..16.
extern int32_t BlendEva, BlendEvb, BlendEvy;

// Halt state: 0 running, 1 halted, 2 woken by an interrupt.
extern int32_t HaltState;

void WriteIo(uint32_t address, uint32_t value);
// Recomputes IrqPending from IE, IF and IME and breaks the slice when an
// interrupt is due.
void CheckInterrupts();
// Raises interrupt request bits in IF (does not recompute IrqPending).
inline void RequestInterrupt(uint32_t bits) { StoreIo(Reg::IF, ReadIo(Reg::IF) | bits); }
// The KEYCNT interrupt condition, evaluated after KEYINPUT is refreshed.
void CheckKeypadInterrupt();
// Blend coefficient of a 5-bit field: 16 when bit 4 is set, else the low 4 bits.
inline int32_t BlendCoefficient(uint32_t field) { return (field & 0x10) ? 16 : static_cast<int32_t>(field & 0xF); }
