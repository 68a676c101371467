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

#include <array>

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

// What a write to each halfword of the first 4 KB of the I/O page does; one
// table lookup instead of a chain of comparisons on every write.
enum class Kind : uint8_t {
    Plain,
    DisplayStatus,
    ReadOnly,
    BgControl,
    AffineParameter,
    ReferencePoint,
    BlendAlpha,
    BlendY,
    Sound,
    SoundControlH,
    DmaControl,
    TimerReload,
    TimerControl,
    InterruptControl,
    InterruptFlags,
    WaitControl,
    Halt,
};

constexpr std::array<Kind, 0x800> BuildRegisterKinds() {
    std::array<Kind, 0x800> kinds{};
    auto set = [&kinds](uint32_t offset, Kind kind) { kinds[offset >> 1] = kind; };
    set(Reg::DISPSTAT, Kind::DisplayStatus);
    set(Reg::VCOUNT, Kind::ReadOnly);
    set(Reg::KEYINPUT, Kind::ReadOnly);
    for (uint32_t i = 0; i < 4; ++i) {
        set(Reg::BG0CNT + 2 * i, Kind::BgControl);
        set(Reg::BG2PA + 2 * i, Kind::AffineParameter);
        set(Reg::BG3PA + 2 * i, Kind::AffineParameter);
        set(Reg::BG2X + 2 * i, Kind::ReferencePoint);
        set(Reg::BG3X + 2 * i, Kind::ReferencePoint);
        set(Reg::DMA0SAD + Reg::DMA_STRIDE * i + Reg::DMA_CNT_H, Kind::DmaControl);
        set(Reg::TM0CNT_L + 4 * i, Kind::TimerReload);
        set(Reg::TM0CNT_H + 4 * i, Kind::TimerControl);
    }
    set(Reg::BLDALPHA, Kind::BlendAlpha);
    set(Reg::BLDY, Kind::BlendY);
    // Sound registers end with the wave RAM; FIFO_A and FIFO_B after them are plain storage.
    for (uint32_t offset = Reg::SOUND_FIRST; offset < 0x0A0; offset += 2) set(offset, Kind::Sound);
    set(Reg::SOUNDCNT_H, Kind::SoundControlH);
    set(Reg::IE, Kind::InterruptControl);
    set(Reg::IME, Kind::InterruptControl);
    set(Reg::IF, Kind::InterruptFlags);
    set(Reg::WAITCNT, Kind::WaitControl);
    set(Reg::POSTFLG, Kind::Halt);
    return kinds;
}
constexpr std::array<Kind, 0x800> RegisterKinds = BuildRegisterKinds();

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
    switch (RegisterKinds[offset >> 1]) {
    case Kind::Plain: break;
    case Kind::DisplayStatus: StoreIo(offset, (ReadIo(offset) & 7) | (value & ~7u)); return;
    case Kind::ReadOnly: return;
    case Kind::BgControl: UpdateBgOrder(static_cast<int>(offset - Reg::BG0CNT) / 2, value); break;
    case Kind::AffineParameter: WriteAffineParameter(offset, value); break;
    case Kind::ReferencePoint:
        StoreIo(offset, value);
        LatchReferencePoint(offset);
        return;
    case Kind::BlendAlpha:
        BlendEva = BlendCoefficient(value);
        BlendEvb = BlendCoefficient(value >> 8);
        break;
    case Kind::BlendY: BlendEvy = BlendCoefficient(value); break;
    case Kind::Sound: WriteSoundIo(offset - Reg::SOUND_FIRST, value); break;
    case Kind::SoundControlH:
        StoreIo(offset, value);
        WriteSoundIo(offset - Reg::SOUND_FIRST, value);
        UpdateDirectSound();
        StoreIo(Reg::SOUNDCNT_X, ToneChipStatus());
        return;
    case Kind::DmaControl: WriteDmaControl(static_cast<int>(offset - Reg::DMA0SAD) / Reg::DMA_STRIDE, value); return;
    case Kind::TimerReload: WriteTimerReload(static_cast<int>(offset - Reg::TM0CNT_L) / 4, value); return;
    case Kind::TimerControl: WriteTimerControl(static_cast<int>(offset - Reg::TM0CNT_H) / 4, value); return;
    case Kind::InterruptControl:
        StoreIo(offset, value);
        CheckInterrupts();
        return;
    case Kind::InterruptFlags:
        // Writing 1 to a request bit acknowledges it.
        StoreIo(offset, ReadIo(offset) & ~value);
        CheckInterrupts();
        return;
    case Kind::WaitControl: ApplyWaitControl(value); break;
    case Kind::Halt: WriteHaltControl(); break;
    }
    StoreIo(offset, value);
}
