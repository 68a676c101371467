// timers.cpp - the four timers, stepped once per slice, and the direct-sound
// feed that timers 0 and 1 pace.
//
// Timers are not advanced per instruction: StepTimers moves them by a whole
// slice with a handful of integer operations, whatever the prescaler. Each
// overflow of the timer a direct-sound channel selects is one sample; the
// samples are fetched from the channel's DMA source in 16-byte blocks into a
// 1024-byte ring that the sound side plays as a sample loop.
//
// When a timer period is shorter than a slice, several overflows fall into
// one step. The counter is then reduced to the reload value plus what is left
// of the excess after the last whole period, so it always ends the step below
// 0x10000 and no period is counted twice (by this step and the next).
#include "timers.h"

#include "../sound/voices.h"
#include "io.h"

Timer Timers[4];
DirectSoundRing Rings[2];

namespace {

// Voice volume by (the channel's two enable bits) * 2 + its volume bit.
constexpr int32_t DirectSoundVolume[8] = {0, 0, 128, 255, 128, 255, 128, 255};

// Clock constants of the sample-rate rules (deliberately not the exact CPU clock).
constexpr int32_t VoiceClock = 16780002;
constexpr int32_t FrameClock = 280945;

inline uint32_t Reload(int timer) { return ReadIo(Reg::TM0CNT_L + 4 * static_cast<uint32_t>(timer)); }

inline uint32_t DmaControl(int channel) {
    return ReadIo(Reg::DMA0SAD + Reg::DMA_STRIDE * static_cast<uint32_t>(channel) + Reg::DMA_CNT_H);
}

inline bool FeedArmed(int ring) { return (DmaControl(ring + 1) & 0xB000) == 0xB000; }

// The timer (0 or 1) that paces ring A (bit 10) or ring B (bit 14).
inline int FeedTimer(uint32_t soundControl, int ring) { return (soundControl >> (10 + 4 * ring)) & 1; }

// Samples a timer produces per second, divided by `scale`; 0 when stopped.
inline int32_t RateOver(int32_t clock, int timer) {
    int32_t divisor = Timers[timer].divisor;
    if (divisor == 0) return 0;
    return (clock / divisor) / static_cast<int32_t>(0x10000 - Reload(timer));
}

void CountFeedSamples(int timer, uint32_t overflows) {
    uint32_t soundControl = ReadIo(Reg::SOUNDCNT_H);
    for (int ring = 0; ring < 2; ++ring) {
        if (FeedTimer(soundControl, ring) != timer) continue;
        DirectSoundRing& r = Rings[ring];
        r.pending = static_cast<int32_t>(static_cast<uint32_t>(r.pending) + overflows);
        // Fetching per overflow only matters when a program waits for the
        // feed's interrupts (timer 0/1 or DMA1/2); otherwise once a frame is enough.
        if (r.pending > 15 && (ReadIo(Reg::IE) & 0x0618)) {
            FetchBlocks(ring, r.pending >> 4);
            r.pending &= 15;
        }
    }
}

}  // namespace

void WriteTimerReload(int timer, uint32_t value) {
    timer &= 3;
    Timers[timer].counter = value & 0xFFFF;
    StoreIo(Reg::TM0CNT_L + 4 * static_cast<uint32_t>(timer), value);
}

void WriteTimerControl(int timer, uint32_t value) {
    timer &= 3;
    Timer& t = Timers[timer];
    uint32_t prescaler = value & 3;
    t.divisor = !(value & 0x80) ? 0 : prescaler == 0 ? 1 : 16 << (2 * prescaler);
    t.countdown = (timer > 0 && (value & 4)) ? 0 : t.divisor;
    if (timer < 2) UpdateDirectSound();
    // The counter keeps its value: starting a timer does not reload it.
    StoreIo(Reg::TM0CNT_H + 4 * static_cast<uint32_t>(timer), value);
}

void StepTimers(int32_t cycles) {
    int last = -2;  // the timer that overflowed last in this step
    for (int i = 0; i < 4; ++i) {
        Timer& t = Timers[i];
        if (t.divisor == 0) continue;
        if (t.countdown != 0) {
            // 64-bit arithmetic keeps any divisor and countdown (a restored
            // state's too) free of overflow.
            int64_t left = static_cast<int64_t>(t.countdown) - cycles;
            if (left > 0) {
                t.countdown = static_cast<int32_t>(left);
                continue;
            }
            int64_t q = left / t.divisor;  // whole increments beyond the first, negated
            t.counter = static_cast<uint32_t>(t.counter - static_cast<uint32_t>(q) + 1);
            t.countdown = static_cast<int32_t>(t.divisor + (left - q * t.divisor));
        } else {
            if (last != i - 1) continue;
            t.counter += 1;  // count-up: once per step however often the previous one overflowed
        }
        if (t.counter < 0x10000) continue;
        uint32_t reload = Reload(i);
        uint32_t period = 0x10000 - reload;
        uint32_t excess = t.counter - 0x10000;
        uint32_t overflows = excess / period + 1;
        t.counter = reload + excess % period;
        if (ReadIo(Reg::TM0CNT_H + 4 * static_cast<uint32_t>(i)) & 0x40) RequestInterrupt(Irq::Timer0 << i);
        last = i;
        if (i < 2 && SoundMode != 2 && SoundMode != 3) CountFeedSamples(i, overflows);
    }
}

void FeedFrame() {
    if (SoundMode != 0 && SoundMode != 2) return;
    uint32_t soundControl = ReadIo(Reg::SOUNDCNT_H);
    for (int ring = 0; ring < 2; ++ring) {
        int timer = FeedTimer(soundControl, ring);
        if (Timers[timer].divisor == 0) continue;
        DirectSoundRing& r = Rings[ring];
        if (SoundMode == 2) {
            // The sound output is open: one frame's worth of samples at once.
            FetchBlocks(ring, RateOver(FrameClock, timer) >> 4);
        } else if (r.pending > 15) {
            FetchBlocks(ring, r.pending >> 4);
            r.pending &= 15;
        }
    }
}

void FetchBlocks(int ring, int32_t blocks) {
    ring &= 1;
    uint32_t controlOffset = Reg::DMA0SAD + Reg::DMA_STRIDE * static_cast<uint32_t>(ring + 1) + Reg::DMA_CNT_H;
    uint32_t control = ReadIo(controlOffset);
    if ((control & 0xB000) != 0xB000) return;
    if (control & 0x4000) RequestInterrupt(Irq::Dma0 << (ring + 1));
    if (!(control & 0x200)) StoreIo(controlOffset, control & ~0x8000u);
    DirectSoundRing& r = Rings[ring];
    uint8_t* samples = reinterpret_cast<uint8_t*>(r.samples);
    for (int32_t b = 0; b < blocks; ++b) {
        for (int w = 0; w < 4; ++w) {
            uint32_t word = MemRead32(r.source);
            uint32_t position = r.position & (RingSize - 4);
            if (samples) Store32(samples + position, word);
            r.source = (r.source + 4) & 0x0FFFFFFC;
            r.position = (position + 4) & (RingSize - 1);
        }
    }
}

void UpdateDirectSound() {
    uint32_t soundControl = ReadIo(Reg::SOUNDCNT_H);
    for (int ring = 0; ring < 2; ++ring) {
        uint32_t enables = (soundControl >> (8 + 4 * ring)) & 3;
        uint32_t fullVolume = (soundControl >> (2 + ring)) & 1;
        int32_t volume = DirectSoundVolume[enables * 2 + fullVolume];
        // Ring periods per second: the timer's sample rate over the ring length.
        int32_t frequency = FeedArmed(ring) ? RateOver(VoiceClock, FeedTimer(soundControl, ring)) / RingSize : 0;
        SetVoiceTone(4 + ring, frequency, volume);
    }
}

void ResetTimers() {
    for (Timer& t : Timers) t = Timer{};
    for (DirectSoundRing& r : Rings) r.position = r.pending = 0;
}
