#include "core/Clock.h"

#include <chrono>
#include <thread>

namespace {
SystemClock systemClock;
Clock* installed = nullptr;
} // namespace

Clock& Clock::current() { return installed ? *installed : systemClock; }

void Clock::install(Clock* clock) { installed = clock; }

void SystemClock::sleepMs(int ms)
{
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void SystemClock::idleMs(int ms) { sleepMs(ms); }

std::int64_t SystemClock::nowMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void ManualClock::sleepMs(int ms)
{
    sleeps_.push_back(ms);
    now_ += ms;
}
