// io.cpp - the I/O register write handler: derived state, interrupts and halting.
//
// Every read of an I/O register reads the I/O page directly, so this handler
// is the one place where writes become behaviour. It keeps in step with the
// page:
//   1. the affine parameters and reference points of BG2 and BG3 (Affine[]),
//   2. the blend coefficients (BlendEva, BlendEvb, BlendEvy),
//   3. the background order (through the renderer's UpdateBgOrder),
//   4. IrqPending, recomputed whenever IE, IF or IME change,
//   5. the halt state, driven by writes to POSTFLG/HALTCNT.
// Registers whose value changes by itself (DISPSTAT flags, VCOUNT, KEYINPUT)
// belong to the scanline step; writes to them are dropped here.
//
// Halt state machine (HaltState):
//
//      write 0x300, IME and IE set          RunSlice: IrqPending != 0
//   0 ------------------------------> 1 -------------------------------> 2
//   ^  (rewind, slice ends)           | write 0x300: rewind again        |
//   |                                                                    |
//   +--------------- write 0x300: fall through (WriteIo) ----------------+
//
// While halted, the storing instruction is rewound and runs again at the
// start of every slice; the interrupt handler returns to it, and the write
// after the wake-up lets execution continue past it.
#include "io.h"

#include "../cpu/cpu.h"
#include "../sound/tone_chip.h"
#include "../video/renderer.h"
#include "console.h"
#include "dma.h"
#include "timers.h"

AffineBackground Affine[2];
int32_t BlendEva, BlendEvb, BlendEvy;
int32_t HaltState;

namespace {

// Sound registers end with the wave RAM; FIFO_A and FIFO_B after them are plain storage.
constexpr uint32_t SoundLast = 0x09E;

inline int32_t SignExtend16(uint32_t value) { return static_cast<int16_t>(static_cast<uint16_t>(value)); }

// Reference points are 28-bit two's complement numbers (20.8 fixed point).
inline int32_t ReferencePoint(uint32_t offset) { return static_cast<int32_t>(Load32(IoPage() + offset) << 4) >> 4; }

void WriteAffineParameter(uint32_t offset, uint32_t value) {
    AffineBackground& bg = Affine[offset >= Reg::BG3PA];
    int32_t v = SignExtend16(value);
    switch (offset & 6) {
    case 0: bg.pa = v; break;
    case 2: bg.pb = v; break;
    case 4: bg.pc = v; break;
    default: bg.pd = v; break;
    }
}

// After a store to either half of BGxX or BGxY: latch the new point and
// restart the current one from it.
void LatchReferencePoint(uint32_t offset) {
    uint32_t base = offset & ~2u;
    AffineBackground& bg = Affine[base >= Reg::BG3X];
    int32_t point = ReferencePoint(base);
    if (base == Reg::BG2X || base == Reg::BG3X)
        bg.latchedX = bg.x = point;
    else
        bg.latchedY = bg.y = point;
}

void WriteHaltControl() {
    if (HaltState == 1) {
        RewindInstruction(Cpu);
    } else if (HaltState == 2) {
        HaltState = 0;
    } else if ((ReadIo(Reg::IME) & 1) && ReadIo(Reg::IE)) {
        // Halting needs an interrupt that can end it; otherwise the write does nothing.
        RewindInstruction(Cpu);
        HaltState = 1;
    }
}

}  // namespace

void CheckInterrupts() {
    if (ReadIo(Reg::IME) & 1) {
        Cpu.irqPending = ReadIo(Reg::IE) & ReadIo(Reg::IF);
        if (Cpu.irqPending) RequestIrqCheck(Cpu);
    } else {
        Cpu.irqPending = 0;
    }
}

void CheckKeypadInterrupt() {
    uint32_t control = ReadIo(Reg::KEYCNT);
    if ((control & 0x43FF) <= 0x4000) return;   // interrupt off or no key selected
    uint32_t released = ReadIo(Reg::KEYINPUT);  // a pressed key reads 0
    bool all = control & 0x8000;
    bool condition = all ? (released & control & 0x3FF) == 0 : (control & ~released & 0x3FF) != 0;
    if (condition) RequestInterrupt(Irq::Keypad);
}

void WriteIo(uint32_t address, uint32_t value) {
    value &= 0xFFFF;
    uint32_t offset = address & 0xFFE;
    if (DebugFlags & 0x02)
        ConsolePrintf("Wrote %04Xh to IO[%03Xh] at %d\n", value, offset, static_cast<int>(ReadIo(Reg::VCOUNT)));
    switch (offset) {
    case Reg::DISPSTAT: StoreIo(offset, (ReadIo(offset) & 7) | (value & ~7u)); return;
    case Reg::VCOUNT:
    case Reg::KEYINPUT: return;
    case Reg::BG0CNT:
    case Reg::BG0CNT + 2:
    case Reg::BG0CNT + 4:
    case Reg::BG0CNT + 6: UpdateBgOrder(static_cast<int>(offset - Reg::BG0CNT) / 2, value); break;
    case Reg::BG2PA:
    case Reg::BG2PA + 2:
    case Reg::BG2PA + 4:
    case Reg::BG2PA + 6:
    case Reg::BG3PA:
    case Reg::BG3PA + 2:
    case Reg::BG3PA + 4:
    case Reg::BG3PA + 6: WriteAffineParameter(offset, value); break;
    case Reg::BG2X:
    case Reg::BG2X + 2:
    case Reg::BG2Y:
    case Reg::BG2Y + 2:
    case Reg::BG3X:
    case Reg::BG3X + 2:
    case Reg::BG3Y:
    case Reg::BG3Y + 2:
        StoreIo(offset, value);
        LatchReferencePoint(offset);
        return;
    case Reg::BLDALPHA:
        BlendEva = BlendCoefficient(value);
        BlendEvb = BlendCoefficient(value >> 8);
        break;
    case Reg::BLDY: BlendEvy = BlendCoefficient(value); break;
    case Reg::SOUNDCNT_H:
        StoreIo(offset, value);
        WriteSoundIo(offset - Reg::SOUND_FIRST, value);
        UpdateDirectSound();
        StoreIo(Reg::SOUNDCNT_X, ToneChipStatus());
        return;
    case Reg::DMA0SAD + Reg::DMA_CNT_H:
    case Reg::DMA0SAD + Reg::DMA_STRIDE + Reg::DMA_CNT_H:
    case Reg::DMA0SAD + 2 * Reg::DMA_STRIDE + Reg::DMA_CNT_H:
    case Reg::DMA0SAD + 3 * Reg::DMA_STRIDE + Reg::DMA_CNT_H:
        WriteDmaControl(static_cast<int>(offset - Reg::DMA0SAD) / Reg::DMA_STRIDE, value);
        return;
    case Reg::TM0CNT_L:
    case Reg::TM0CNT_L + 4:
    case Reg::TM0CNT_L + 8:
    case Reg::TM0CNT_L + 12: WriteTimerReload(static_cast<int>(offset - Reg::TM0CNT_L) / 4, value); return;
    case Reg::TM0CNT_H:
    case Reg::TM0CNT_H + 4:
    case Reg::TM0CNT_H + 8:
    case Reg::TM0CNT_H + 12: WriteTimerControl(static_cast<int>(offset - Reg::TM0CNT_H) / 4, value); return;
    case Reg::IE:
    case Reg::IME:
        StoreIo(offset, value);
        CheckInterrupts();
        return;
    case Reg::IF:
        // Writing 1 to a request bit acknowledges it.
        StoreIo(offset, ReadIo(offset) & ~value);
        CheckInterrupts();
        return;
    case Reg::WAITCNT: ApplyWaitControl(value); break;
    case Reg::POSTFLG: WriteHaltControl(); break;
    default:
        if (offset >= Reg::SOUND_FIRST && offset <= SoundLast) WriteSoundIo(offset - Reg::SOUND_FIRST, value);
        break;
    }
    StoreIo(offset, value);
}
