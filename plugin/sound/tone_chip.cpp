// tone_chip.cpp - the tone-chip model: register rules, timers and the push to the voices.
#include "tone_chip.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "voices.h"

ToneChipModel ToneChip;

namespace {

constexpr uint8_t NoRegister = 255;

// Register index of each byte of the I/O offsets 0x60..0x9F. SOUNDCNT_H
// (0x82/0x83) has no tone register; WriteSoundIo handles it on its own.
constexpr std::array<uint8_t, 64> OffsetTable = [] {
    std::array<uint8_t, 64> table{};
    table.fill(NoRegister);
    constexpr struct {
        uint8_t offset, index;
    } map[] = {{0x00, NR10}, {0x02, NR11}, {0x03, NR12}, {0x04, NR13}, {0x05, NR14}, {0x08, NR21}, {0x09, NR22},
               {0x0C, NR23}, {0x0D, NR24}, {0x10, NR30}, {0x12, NR31}, {0x13, NR32}, {0x14, NR33}, {0x15, NR34},
               {0x18, NR41}, {0x19, NR42}, {0x1C, NR43}, {0x1D, NR44}, {0x20, NR50}, {0x21, NR51}, {0x24, NR52}};
    for (auto m : map) table[m.offset] = m.index;
    for (int i = 0; i < 16; ++i) table[0x30 + i] = static_cast<uint8_t>(WaveRam + i);
    return table;
}();

constexpr uint32_t SoundControlHigh = 0x22;  // SOUNDCNT_H, offset from 0x60
constexpr uint32_t WaveControl = 0x10;       // NR30, offset from 0x60
constexpr int32_t VolumeShiftTable[4] = {2, 1, 0, 0};
constexpr uint32_t AllChannels = 0xF;

// Voice frequency of an 11-bit frequency register value x (0..2047).
int32_t FrequencyOf(int32_t x) { return 131072 / (2048 - x); }

int32_t VoiceVolume(int c) { return (ToneChip.master[c] * ToneChip.volume[c] * 255 / 210) >> ToneChip.volumeShift; }

bool ChannelOn(int c) { return ToneChip.registers[NR52] & (1u << c); }

void PushIfDue() {
    if (!ToneChip.deferred && (ToneChip.changedMask || ToneChip.waveChanged)) PushToneChip(2);
}

// The timers step at most once per tick; keeping them at or below the period
// once they pass it changes nothing observable and keeps them from growing.
void StepTimer(int32_t& timer, int32_t period) { timer = std::min(timer - period, period); }

void WriteMasterVolumes() {
    uint32_t enables = ToneChip.registers[NR51];
    int32_t right = ToneChip.registers[NR50] & 7;
    int32_t left = (ToneChip.registers[NR50] >> 4) & 7;
    for (int c = 0; c < ToneChannelCount; ++c)
        ToneChip.master[c] = ((enables >> c) & 1 ? right : 0) + ((enables >> (4 + c)) & 1 ? left : 0);
    ToneChip.master[3] = ToneChip.master[3] * 10000 / 11412;
    ToneChip.changedMask = AllChannels;
}

void WriteWaveControl() {
    if (ToneChip.registers[NR30] & 0x80) {
        int32_t code = (ToneChip.registers[NR32] >> 5) & 3;
        ToneChip.volume[2] = code ? (32 >> code) - 1 : 0;
    } else {
        ToneChip.registers[NR52] &= ~4u;
        ToneChip.volume[2] = 0;
        ToneChip.frequency[2] = 0;
    }
    ToneChip.changedMask |= 4;
}

void WriteWaveRam(int k, uint32_t value) {
    int bank = ToneChip.consoleMode && !(ToneChip.registers[NR30] & 0x40) ? 32 : 0;
    ToneChip.waveSamples[bank + 2 * k] = static_cast<int8_t>((value >> 4) * 17 - 128);
    ToneChip.waveSamples[bank + 2 * k + 1] = static_cast<int8_t>((value & 15) * 17 - 128);
    ToneChip.waveChanged = true;
}

}  // namespace

void InitToneChip(int firstVoice, bool consoleMode) {
    ToneChipModel& t = ToneChip;
    std::memset(t.registers, 0, sizeof t.registers);
    for (int c = 0; c < ToneChannelCount; ++c) {
        t.lengthCounter[c] = -1;
        t.lengthLimit[c] = 0;
        t.frequency[c] = 0;
        t.volume[c] = 0;
        t.master[c] = 0;
        t.envelopeTimer[c] = 0;
        t.envelopePeriod[c] = 0;
        t.envelopeDirection[c] = -1;
    }
    t.sweepTimer = t.sweepPeriod = t.sweepShift = t.sweepShadow = 0;
    t.sweepDirection = 1;
    t.deferred = false;
    t.waveChanged = false;
    t.changedMask = AllChannels;
    t.volumeShift = 0;
    std::memset(t.waveSamples, -128, sizeof t.waveSamples);
    t.firstVoice = firstVoice;
    SetVoiceInstrument(firstVoice, InstrumentSquare);
    SetVoiceInstrument(firstVoice + 1, InstrumentSquare);
    SetVoiceInstrument(firstVoice + 3, InstrumentNoise);
    SetVoiceWave(firstVoice + 2, t.waveSamples, 32);
    t.registers[NR52] = 0x80;
    WriteToneRegister(NR50, 0x77);
    WriteToneRegister(NR51, 0xFF);
    t.consoleMode = consoleMode;
}

int WriteToneRegister(int index, uint32_t value) {
    if (index < 0 || index >= ToneRegisterCount) return 0;
    ToneChipModel& t = ToneChip;
    if (!(t.registers[NR52] & 0x80) && index != NR52) return 1;
    value &= 0xFF;
    const int c = index / 5;
    const uint32_t d = c < ToneChannelCount ? 1u << c : 0;  // channel bit of a channel register
    switch (index) {
    case NR10:
        t.sweepShift = value & 7;
        t.sweepDirection = value & 8 ? -1 : 1;
        t.sweepPeriod = ((value >> 4) & 7) * 1000 / 128;
        break;
    case NR11:
    case NR21:
    case NR41: t.lengthLimit[c] = (64 - (value & 63)) * 1000 / 256; break;
    case NR31: t.lengthLimit[2] = (256 - value) * 500; break;
    case NR12:
    case NR22:
    case NR42:
        t.volume[c] = value >> 4;
        t.envelopePeriod[c] = value & 7;
        t.envelopeDirection[c] = value & 8 ? 1 : -1;
        if (ChannelOn(c)) t.changedMask |= d;
        break;
    case NR13:
    case NR23:
    case NR33:
        if (ChannelOn(c)) {
            int32_t x = value + (t.registers[5 * c + 4] & 7) * 256;
            if (c == 0) t.sweepShadow = x;
            t.frequency[c] = FrequencyOf(x);
            t.changedMask |= d;
        }
        break;
    case NR14:
    case NR24:
    case NR34:
        if (value & 0x80) {
            if (c < 2) {
                t.registers[NR52] |= d;
                t.volume[c] = t.registers[5 * c + 2] >> 4;
            } else if (t.registers[NR30] & 0x80) {
                t.registers[NR52] |= 4;
            }
            t.lengthCounter[c] = value & 0x40 ? 0 : -1;
            t.envelopeTimer[c] = 0;
            if (c == 0) t.sweepTimer = 0;
        }
        if (ChannelOn(c)) {
            int32_t x = (value & 7) * 256 + t.registers[5 * c + 3];
            if (c == 0) t.sweepShadow = x;
            t.frequency[c] = FrequencyOf(x);
            t.changedMask |= d;
        }
        break;
    case NR30:
    case NR32:
        t.registers[index] = static_cast<uint8_t>(value);
        WriteWaveControl();
        break;
    case NR44:
        if (value & 0x80) {
            t.registers[NR52] |= 8;
            t.frequency[3] = 8192;
            t.volume[3] = t.registers[NR42] >> 4;
            t.lengthCounter[3] = value & 0x40 ? 0 : -1;
            t.envelopeTimer[3] = 0;
            t.changedMask |= 8;
        }
        break;
    case NR50:
    case NR51:
        t.registers[index] = static_cast<uint8_t>(value);
        WriteMasterVolumes();
        break;
    case NR52:
        // Switching the sound off resets the whole chip; the channel status
        // bits are kept from the register as it stands after that.
        if ((t.registers[NR52] & 0x80) && !(value & 0x80)) InitToneChip(t.firstVoice, t.consoleMode);
        t.registers[NR52] = static_cast<uint8_t>((t.registers[NR52] & 0x0F) | (value & 0xF0));
        PushIfDue();
        return 1;
    default:
        if (index >= WaveRam) WriteWaveRam(index - WaveRam, value);
        break;
    }
    t.registers[index] = static_cast<uint8_t>(value);
    PushIfDue();
    return 1;
}

void WriteSoundIo(uint32_t offset, uint32_t value) {
    ToneChipModel& t = ToneChip;
    if (!t.consoleMode || offset > 63) return;
    offset &= ~1u;
    if (offset == SoundControlHigh) {
        t.volumeShift = VolumeShiftTable[value & 3];
        t.changedMask = AllChannels;
        if (!t.deferred) PushToneChip(2);
        return;
    }
    // A bank or length change must reach the wave voice even when the
    // sample bytes themselves stay the same.
    if (offset == WaveControl && ((value ^ t.registers[NR30]) & 0x60)) t.waveChanged = true;
    if (OffsetTable[offset] != NoRegister) WriteToneRegister(OffsetTable[offset], value & 0xFF);
    if (OffsetTable[offset + 1] != NoRegister) WriteToneRegister(OffsetTable[offset + 1], (value >> 8) & 0xFF);
}

void TickToneChip(int32_t ms) {
    ToneChipModel& t = ToneChip;
    for (int c = 0; c < ToneChannelCount; ++c) {
        if (t.frequency[c] == 0) continue;
        const uint32_t d = 1u << c;
        if (t.lengthCounter[c] >= 0) {
            t.lengthCounter[c] += ms;
            if (t.lengthCounter[c] >= t.lengthLimit[c]) {
                t.frequency[c] = 0;
                t.registers[NR52] &= ~d;
                t.changedMask |= d;
            }
        }
        if (t.frequency[c] != 0 && t.envelopePeriod[c] != 0) {
            t.envelopeTimer[c] += ms;
            if (t.envelopeTimer[c] >= t.envelopePeriod[c]) {
                StepTimer(t.envelopeTimer[c], t.envelopePeriod[c]);
                t.volume[c] = std::clamp(t.volume[c] + t.envelopeDirection[c], 0, 15);
                t.changedMask |= d;
            }
        }
    }
    if (t.frequency[0] != 0 && t.sweepPeriod != 0) {
        t.sweepTimer += ms;
        if (t.sweepTimer >= t.sweepPeriod) {
            StepTimer(t.sweepTimer, t.sweepPeriod);
            int32_t next = t.sweepShadow + (t.sweepShadow >> t.sweepShift) * t.sweepDirection;
            if (next < 2048) {
                if (next >= 0) {
                    t.sweepShadow = next;
                    t.registers[NR13] = static_cast<uint8_t>(next & 0xFF);
                    t.registers[NR14] = static_cast<uint8_t>((t.registers[NR14] & ~7u) | (next >> 8));
                }
                t.frequency[0] = FrequencyOf(t.sweepShadow);
            } else {
                t.frequency[0] = 0;
                t.registers[NR52] &= ~1u;
            }
            t.changedMask |= 1;
        }
    }
    if (!t.deferred && t.changedMask) PushToneChip(2);
}

void PushToneChip(int32_t mode) {
    ToneChipModel& t = ToneChip;
    if (mode != 2) t.deferred = mode != 0;
    if (t.waveChanged) {
        int32_t start = 0, length = 32;
        if (t.consoleMode) {
            uint32_t bits = (t.registers[NR30] >> 5) & 3;
            start = bits == 2 ? 32 : 0;
            length = bits & 1 ? 64 : 32;
        }
        SetVoiceWave(t.firstVoice + 2, t.waveSamples + start, length);
    }
    for (int c = 0; c < ToneChannelCount; ++c)
        if (t.changedMask & (1u << c)) SetVoiceTone(t.firstVoice + c, t.frequency[c], VoiceVolume(c));
    t.waveChanged = false;
    t.changedMask = 0;
}

uint8_t ToneChipStatus() { return ToneChip.registers[NR52]; }
