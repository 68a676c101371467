// precise_timer.cpp - the high-resolution counter is std::chrono::steady_clock
// unless a test has set another clock.
#include "precise_timer.h"

#include <chrono>
#include <thread>

namespace {

using Steady = std::chrono::steady_clock;

int64_t SteadyCounter() { return Steady::now().time_since_epoch().count(); }

void SteadySleep(int64_t counts) { std::this_thread::sleep_for(Steady::duration(counts)); }

CPreciseTimer::Clock& Current() {
    static CPreciseTimer::Clock clock = CPreciseTimer::SystemClock();
    return clock;
}

}  // namespace

CPreciseTimer::Clock CPreciseTimer::SystemClock() {
    const bool usable = Steady::is_steady && Steady::period::num > 0;
    return {SteadyCounter, usable ? static_cast<int64_t>(Steady::period::den / Steady::period::num) : 0, SteadySleep};
}

CPreciseTimer::Clock CPreciseTimer::SetClock(const Clock& clock) {
    Clock previous = Current();
    Current() = clock;
    return previous;
}

void CPreciseTimer::Sleep(double seconds) {
    const Clock& clock = Current();
    if (seconds <= 0.0 || clock.frequency <= 0) return;
    clock.sleep(static_cast<int64_t>(seconds * static_cast<double>(clock.frequency)));
}

CPreciseTimer::CPreciseTimer() : valid_(Current().frequency > 0), frequency_(Current().frequency) {}

bool CPreciseTimer::Begin() {
    if (!valid_) return false;
    start_ = Current().counter();
    return true;
}

double CPreciseTimer::End() const {
    if (!valid_) return 0.0;
    // A counter that reads below the start (it cannot on a steady clock, but
    // the pacing must never see negative time) is read again.
    int64_t now = Current().counter();
    while (now < start_) now = Current().counter();
    return static_cast<double>(now - start_) / static_cast<double>(frequency_);
}
