#pragma once

#include <cstdint>
#include <vector>

// Every fixed wait of the program goes through one clock, so that tests can replace real time
// with a manual clock that records the waits instead of sleeping them.
class Clock {
public:
    virtual ~Clock() = default;
    // A fixed wait the instrument needs (after a mode change, after storing).
    virtual void sleepMs(int ms) = 0;
    // A short pause while polling for input; not one of the fixed waits.
    virtual void idleMs(int ms) = 0;
    virtual std::int64_t nowMs() const = 0;

    // The clock in use; the system clock unless a test installed another.
    static Clock& current();
    // Installs a clock (not owned); nullptr restores the system clock.
    static void install(Clock* clock);
};

class SystemClock : public Clock {
public:
    void sleepMs(int ms) override;
    void idleMs(int ms) override;
    std::int64_t nowMs() const override;
};

// Time moves only when someone waits: fixed waits are recorded in order, polling pauses are not.
class ManualClock : public Clock {
public:
    void sleepMs(int ms) override;
    void idleMs(int ms) override { now_ += ms; }
    std::int64_t nowMs() const override { return now_; }
    const std::vector<int>& sleeps() const { return sleeps_; }
    void clearSleeps() { sleeps_.clear(); }

private:
    std::int64_t now_ = 0;
    std::vector<int> sleeps_;
};

// Installs a clock for the lifetime of a scope.
class ScopedClock {
public:
    explicit ScopedClock(Clock& clock) { Clock::install(&clock); }
    ~ScopedClock() { Clock::install(nullptr); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;
};
