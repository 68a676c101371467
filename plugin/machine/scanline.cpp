// scanline.cpp - stand-in scanline timing: alternates 960 and 272 cycle slices
// and moves VCOUNT and the DISPSTAT flags through 228 lines a frame.
#include "scanline.h"

#include "../cpu/cpu.h"
#include "../video/renderer.h"
#include "io.h"

int32_t FrameSkip = 1;
int32_t FrameSkipCountdown;
bool StopRequest;

namespace {
KeypadHook Keypad = nullptr;
}

void SetKeypadHook(KeypadHook hook) { Keypad = hook; }

int RunSlice() {
    uint32_t dispstat = ReadIo(Reg::DISPSTAT) ^ 2;
    if (dispstat & 2) {
        Cpu.sliceQuantum = 272;
    } else {
        Cpu.sliceQuantum = 960;
        uint32_t line = (ReadIo(Reg::VCOUNT) + 1) % 228;
        StoreIo(Reg::VCOUNT, line);
        if (line == 0) dispstat &= ~1u;
        if (line == 160) {
            dispstat |= 1;
            PresentFrame();
            uint32_t keys = Keypad ? Keypad() : 0;
            StoreIo(Reg::KEYINPUT, (~keys & 0xFFFF) | 0xFC00);
            if (StopRequest) return -1;
        }
    }
    StoreIo(Reg::DISPSTAT, dispstat);
    return 0;
}

void ResumeAfterStop() {
    StopRequest = false;
    StoreIo(Reg::DISPSTAT, (ReadIo(Reg::DISPSTAT) & ~2u) | 1);
    Cpu.cycleBudget += Cpu.sliceQuantum;
}
