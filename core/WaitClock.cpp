#include "core/WaitClock.h"

#include <thread>

namespace pf {

namespace {

class SteadyClock : public WaitClock
{
public:
    TimePoint Now() const override { return std::chrono::steady_clock::now(); }
    void Pause(std::chrono::milliseconds duration) override { std::this_thread::sleep_for(duration); }
};

} // namespace

WaitClock& WaitClock::Steady()
{
    static SteadyClock clock;
    return clock;
}

} // namespace pf
