// timers.h - the four timers and the direct-sound feed that they pace.
#pragma once

#include <cstdint>

struct Timer {
    uint32_t counter;   // may exceed 0xFFFF inside a step
    int32_t divisor;    // 0 stopped, else 1, 64, 256 or 1024
    int32_t countdown;  // cycles to the next increment; 0 in count-up mode
};
extern Timer Timers[4];

// One of the two 1024-byte rings that direct sound A (0) and B (1) play.
constexpr int RingSize = 1024;
struct DirectSoundRing {
    int8_t* samples;    // RingSize signed samples, allocated at machine start
    uint32_t position;  // write position, a multiple of 4
    uint32_t source;    // console address of the next fetch
    int32_t pending;    // samples consumed by the timer and not yet fetched
};
extern DirectSoundRing Rings[2];

void WriteTimerReload(int timer, uint32_t value);
void WriteTimerControl(int timer, uint32_t value);
void StepTimers(int32_t cycles);
void FeedFrame();
void FetchBlocks(int ring, int32_t blocks);
void UpdateDirectSound();
// Counters, divisors, countdowns, pending counts and ring positions to 0.
void ResetTimers();
