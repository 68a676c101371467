// scanline.h - emulated time: slices of 960 and 272 cycles, 228 lines a frame.
#pragma once

#include <cstdint>

// Frames per shown frame (at least 1) and the countdown to the next shown frame.
extern int32_t FrameSkip;
extern int32_t FrameSkipCountdown;
// Set by the host to stop the machine when the next vertical blank begins.
extern bool StopRequest;

// The keypad as the host's input object reports it (bit set = button pressed),
// read once per frame when line 160 begins. Without a hook no key is pressed.
using KeypadHook = uint32_t (*)();
void SetKeypadHook(KeypadHook hook);

// Called by the CPU after every slice: -1 to stop, else the new IrqPending.
int RunSlice();

// Completes the slice that a stop request cut short at line 160 (vertical
// blank flags, interrupts, sound, then the CPU's next slice budget and the
// interrupt entry) and clears the request, so a run that was stopped
// continues exactly as if it had never stopped. The cut is recognised from
// the I/O page (line 160 with the old horizontal-blank flag still set), so a
// state saved there resumes the same way; otherwise only the request is
// cleared. Used by the headless runner and tests, which stop the machine at
// frame boundaries.
void ResumeAfterStop();
