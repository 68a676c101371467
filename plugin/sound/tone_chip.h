// tone_chip.h - register-level model of the four tone channels, reduced to voices.
//
// The console's tone channels are not synthesized sample by sample. The model
// keeps their registers, timers and counters and turns each channel into a
// voice (frequency in Hz, volume 0..255) that it hands to the voice dispatch
// (voices.h): channel c of the model is voice `firstVoice + c`.
//
// Invariants kept by the model:
//  1. While NR52 bit 7 is clear, no register other than NR52 is stored or acted on.
//  2. A channel plays while its frequency is not 0; length expiry and sweep
//     overflow end it by setting the frequency to 0 and clearing its NR52 bit.
//  3. Changes reach the voices only through PushToneChip. While the deferral
//     flag is set, register writes and ticks only mark channels changed; the
//     once-per-frame push of the scanline step delivers them.
#pragma once

#include <cstdint>

// Register indices in the classic tone-chip order; channel c has its five
// registers at 5c..5c+4. Indices 5, 15 and 23..31 hold no register.
enum ToneRegister : int {
    NR10 = 0,
    NR11 = 1,
    NR12 = 2,
    NR13 = 3,
    NR14 = 4,
    NR21 = 6,
    NR22 = 7,
    NR23 = 8,
    NR24 = 9,
    NR30 = 10,
    NR31 = 11,
    NR32 = 12,
    NR33 = 13,
    NR34 = 14,
    NR41 = 16,
    NR42 = 17,
    NR43 = 18,
    NR44 = 19,
    NR50 = 20,
    NR51 = 21,
    NR52 = 22,
    WaveRam = 32,  // 16 bytes, 32..47
};

constexpr int ToneRegisterCount = 48;
constexpr int ToneChannelCount = 4;
constexpr int WaveSampleCount = 64;  // two banks of 32

struct ToneChipModel {
    uint8_t registers[ToneRegisterCount];
    // Per channel; frequency 0 means silent.
    int32_t lengthCounter[ToneChannelCount];  // ms, -1 = not counting
    int32_t lengthLimit[ToneChannelCount];    // ms
    int32_t frequency[ToneChannelCount];      // Hz
    int32_t volume[ToneChannelCount];         // envelope volume 0..15 (wave volume for channel 2)
    int32_t master[ToneChannelCount];         // 0..14 from NR50/NR51
    int32_t envelopeTimer[ToneChannelCount];  // ms
    int32_t envelopePeriod[ToneChannelCount];
    int32_t envelopeDirection[ToneChannelCount];  // +1 or -1
    // Frequency sweep of channel 0.
    int32_t sweepTimer;      // ms
    int32_t sweepPeriod;     // ms
    int32_t sweepDirection;  // +1 or -1
    int32_t sweepShift;
    int32_t sweepShadow;                  // 11-bit frequency register value
    int8_t waveSamples[WaveSampleCount];  // bank 0 at 0..31, bank 1 at 32..63
    int firstVoice;
    uint32_t changedMask;  // one bit per channel
    bool waveChanged;
    bool deferred;
    bool consoleMode;     // two wave banks and SOUNDCNT_H in effect
    int32_t volumeShift;  // tone volume shift 0..2 from SOUNDCNT_H
};

extern ToneChipModel ToneChip;

void InitToneChip(int firstVoice, bool consoleMode);
// One byte write by register index; 0 for an index above 47, else 1.
int WriteToneRegister(int index, uint32_t value);
// Sound register write from the I/O handler (offset from 0x60, 16-bit value).
void WriteSoundIo(uint32_t offset, uint32_t value);
// Advances length counters, envelopes and the sweep by `ms` milliseconds.
void TickToneChip(int32_t ms);
// Sends changed channels to the voices. Mode 2 pushes; modes 0 and 1 also set
// the deferral flag to that value.
void PushToneChip(int32_t mode);
// The NR52 byte (master enable and channel status), mirrored into SOUNDCNT_X.
uint8_t ToneChipStatus();
