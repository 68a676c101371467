// scanline.cpp - emulated time: two slices a line (960 cycles visible, 272
// horizontal blank), 228 lines a frame, and everything that happens at their
// boundaries.
//
// The slice phase lives only in DISPSTAT bit 1 (set during the horizontal
// blank) and SliceQuantum, both part of saved machine state. RunSlice is
// called by the CPU after every slice:
//
//   visible slice of line L ends  -> blank begins: draw line L (shown frames,
//                                    L < 160), horizontal-blank DMA
//   blank slice of line L ends    -> line L + 1 begins: VCOUNT, line match,
//                                    serial, DMA3 special; at 160 the frame
//                                    ends (present, vertical-blank DMA, keys,
//                                    sound) and a stop request is honoured
//
// then raises the DISPSTAT interrupts and reports the pending interrupts.
#include "scanline.h"

#include "../cpu/cpu.h"
#include "../sound/tone_chip.h"
#include "../sound/voices.h"
#include "../video/renderer.h"
#include "dma.h"
#include "io.h"
#include "timers.h"

int32_t FrameSkip = 1;
int32_t FrameSkipCountdown;
bool StopRequest;

namespace {

constexpr uint32_t VisibleCycles = 960;
constexpr uint32_t BlankCycles = 272;
constexpr uint32_t VisibleLines = 160;
constexpr uint32_t FrameLines = 228;

constexpr uint32_t StatusVBlank = 1, StatusHBlank = 2, StatusLineMatch = 4;

KeypadHook Keypad = nullptr;

inline uint32_t DmaControl(int channel) {
    return ReadIo(Reg::DMA0SAD + Reg::DMA_STRIDE * static_cast<uint32_t>(channel) + Reg::DMA_CNT_H);
}

// Runs every channel armed for a timing (0x9000 vertical blank, 0xA000 horizontal), in channel order.
inline void RunTimedDma(uint32_t timing) {
    for (int channel = 0; channel < 4; ++channel)
        if ((DmaControl(channel) & 0xB000) == timing) RunDma(channel);
}

inline int32_t WrappingAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

void DrawLine(uint32_t line) {
    if (line == 0) {
        for (AffineBackground& bg : Affine) {
            bg.x = bg.latchedX;
            bg.y = bg.latchedY;
        }
    }
    RenderLine(static_cast<int>(line));
    for (AffineBackground& bg : Affine) {
        bg.x = WrappingAdd(bg.x, bg.pb);
        bg.y = WrappingAdd(bg.y, bg.pd);
    }
}

// Line 160 up to the stop point: present, vertical-blank DMA, keys.
void BeginVerticalBlank() {
    if (FrameSkipCountdown == 0) {
        PresentFrame();
        FrameSkipCountdown = FrameSkip > 0 ? FrameSkip : 1;
    }
    FrameSkipCountdown -= 1;
    RunTimedDma(0x9000);
    uint32_t pressed = Keypad ? Keypad() : 0;
    StoreIo(Reg::KEYINPUT, (~pressed & 0xFFFF) | 0xFC00);
    CheckKeypadInterrupt();
}

// Line 160 after the stop point: the once-a-frame sound work.
void FrameSound() {
    if (SoundMode != 3) TickToneChip(16);
    if (SoundMode != 3) StoreIo(Reg::SOUNDCNT_X, ToneChipStatus());
    if (SoundMode != 3) PushToneChip(2);
    FeedFrame();
}

// Raises the DISPSTAT interrupts whose flag rose, stores the new flags and
// returns the new IrqPending (waking a halted CPU when it is not 0). Bits
// 3..15 are taken from the page as it is now, so a write to them made during
// this step (by a timed DMA) is kept.
int FinishSlice(uint32_t old, uint32_t flags) {
    uint32_t status = (ReadIo(Reg::DISPSTAT) & ~7u) | flags;
    uint32_t rose = flags & ~old & (status >> 3);
    if (rose) RequestInterrupt(rose);
    StoreIo(Reg::DISPSTAT, status);
    uint32_t pending = (ReadIo(Reg::IME) & 1) ? ReadIo(Reg::IE) & ReadIo(Reg::IF) : 0;
    Cpu.irqPending = pending;
    if (pending && HaltState == 1) HaltState = 2;
    return static_cast<int>(pending);
}

inline uint32_t LineMatch(uint32_t line, uint32_t status) { return line == (status >> 8) ? StatusLineMatch : 0; }

}  // namespace

void SetKeypadHook(KeypadHook hook) { Keypad = hook; }

int RunSlice() {
    StepTimers(Cpu.sliceQuantum);
    uint32_t old = ReadIo(Reg::DISPSTAT);
    uint32_t flags = (old ^ StatusHBlank) & 7;
    if (flags & StatusHBlank) {
        Cpu.sliceQuantum = BlankCycles;
        uint32_t line = ReadIo(Reg::VCOUNT);
        if (line < VisibleLines) {
            if (FrameSkipCountdown == 0) DrawLine(line);
            RunTimedDma(0xA000);
        }
    } else {
        Cpu.sliceQuantum = VisibleCycles;
        uint32_t line = (ReadIo(Reg::VCOUNT) + 1) % FrameLines;
        StoreIo(Reg::VCOUNT, line);
        flags = (flags & ~StatusLineMatch) | LineMatch(line, old);
        uint32_t serial = ReadIo(Reg::SIOCNT);
        if (serial & 0x80) {
            // A transfer completes one line after it starts; no data is exchanged.
            if (serial & 0x4000) RequestInterrupt(Irq::Serial);
            StoreIo(Reg::SIOCNT, serial & ~0x80u);
        }
        if (line < VisibleLines) {
            if (line == 0) flags &= ~StatusVBlank;
            if ((DmaControl(3) & 0xB000) == 0xB000) RunDma(3);
        } else if (line == VisibleLines) {
            flags |= StatusVBlank;
            BeginVerticalBlank();
            // Stopped here, the slice is completed by ResumeAfterStop.
            if (StopRequest) return -1;
            FrameSound();
        }
    }
    return FinishSlice(old, flags);
}

void ResumeAfterStop() {
    StopRequest = false;
    uint32_t status = ReadIo(Reg::DISPSTAT);
    // Only a slice cut short at the start of line 160 still shows the
    // horizontal-blank flag of line 159 and no vertical-blank flag.
    if (ReadIo(Reg::VCOUNT) != VisibleLines || (status & 3) != StatusHBlank) return;
    FrameSound();
    FinishSlice(status, StatusVBlank | LineMatch(VisibleLines, status));
    Cpu.cycleBudget += Cpu.sliceQuantum;
    TakePendingInterrupt(Cpu);
}
