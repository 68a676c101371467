// fake_clock.h - time the test sets by hand for the engine's pacing: the counter
// counts nanoseconds, each read takes PollCost, and a sleep advances the time
// by the amount slept (and is remembered).
#pragma once

#include <cstdint>
#include <vector>

#include "engine/base_video.h"

class FakeClock {
public:
    static constexpr int64_t kPollCost = 10'000;  // 10 us per counter read

    // With `available` false the clock has no counter: timers made meanwhile are invalid.
    explicit FakeClock(bool available = true) {
        now = 1'000'000'000;
        sleeps.clear();
        previous_ = Emu::BaseVideo::SetClock({Read, available ? 1'000'000'000 : 0, Sleep});
    }
    ~FakeClock() { Emu::BaseVideo::SetClock(previous_); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    static void Advance(double seconds) { now += static_cast<int64_t>(seconds * 1e9); }
    static double Seconds() { return static_cast<double>(now) / 1e9; }

    static inline int64_t now = 0;
    static inline std::vector<int64_t> sleeps;  // the times sleeps began

private:
    static int64_t Read() { return now += kPollCost; }
    static void Sleep(int64_t counts) {
        sleeps.push_back(now);
        now += counts;
    }

    CPreciseTimer::Clock previous_;
};
