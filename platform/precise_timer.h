// precise_timer.h - CPreciseTimer: seconds between Begin and End on the
// steady clock, for frame pacing and the frame-rate display.
#pragma once

#include <cstdint>

class CPreciseTimer {
public:
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
