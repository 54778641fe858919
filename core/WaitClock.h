#pragma once
// The time source of waits that let the screen go on (the login's growing pauses after a wrong
// password). The program uses the steady clock; tests pass a clock that advances on Pause, so a
// wait of minutes runs in no time and its length can be checked.

#include <chrono>

namespace pf {

class WaitClock
{
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~WaitClock() = default;
    virtual TimePoint Now() const = 0;
    // Gives up the processor for a short while.
    virtual void Pause(std::chrono::milliseconds duration) = 0;

    // The real clock.
    static WaitClock& Steady();
};

} // namespace pf
