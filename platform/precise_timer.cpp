// precise_timer.cpp - the high-resolution counter is std::chrono::steady_clock.
#include "precise_timer.h"

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

int64_t Counter() { return Clock::now().time_since_epoch().count(); }

}  // namespace

CPreciseTimer::CPreciseTimer()
    : valid_(Clock::is_steady && Clock::period::num > 0),
      frequency_(static_cast<int64_t>(Clock::period::den / Clock::period::num)) {}

bool CPreciseTimer::Begin() {
    if (!valid_) return false;
    start_ = Counter();
    return true;
}

double CPreciseTimer::End() const {
    if (!valid_) return 0.0;
    // A counter that reads below the start (it cannot on a steady clock, but
    // the pacing must never see negative time) is read again.
    int64_t now = Counter();
    while (now < start_) now = Counter();
    return static_cast<double>(now - start_) / static_cast<double>(frequency_);
}
