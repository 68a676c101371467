// precise_timer.h - CPreciseTimer: seconds between Begin and End on the
// steady clock, for frame pacing and the frame-rate display.
//
// The counter and the short sleep of the pacing wait come from one clock that
// tests may replace, so that pacing can be checked against time they set.
#pragma once

#include <cstdint>

class CPreciseTimer {
public:
    // A source of time: a counter, its counts per second (0: there is no
    // counter, and timers made meanwhile are invalid) and a sleep of at least
    // the given number of counts.
    struct Clock {
        int64_t (*counter)();
        int64_t frequency;
        void (*sleep)(int64_t counts);
    };
    // The steady clock of the system.
    static Clock SystemClock();
    // Makes `clock` the source of every timer made, begun or read afterwards;
    // returns the one it replaces.
    static Clock SetClock(const Clock& clock);
    // Sleeps about `seconds` on the current clock (not at all for 0 or less).
    static void Sleep(double seconds);

    // Takes the counter's frequency; start is 0 until Begin.
    CPreciseTimer();
    bool IsValid() const { return valid_; }
    // Remembers the current counter value; false when the timer is invalid.
    bool Begin();
    // Seconds since Begin, 0.0 when the timer is invalid.
    double End() const;

private:
    bool valid_;
    int64_t frequency_;
    int64_t start_ = 0;
};
