// timers.cpp - stand-in timers: registers are stored, nothing counts.
#include "timers.h"

#include "io.h"

Timer Timers[4];
DirectSoundRing Rings[2];

void WriteTimerReload(int timer, uint32_t value) {
    Timers[timer].counter = value;
    StoreIo(Reg::TM0CNT_L + 4 * timer, value);
}

void WriteTimerControl(int timer, uint32_t value) { StoreIo(Reg::TM0CNT_H + 4 * timer, value); }

void StepTimers(int32_t) {}
void FeedFrame() {}
void FetchBlocks(int, int32_t) {}
void UpdateDirectSound() {}

void ResetTimers() {
    for (Timer& t : Timers) t = Timer{};
    for (DirectSoundRing& r : Rings) r.position = r.pending = 0;
}
