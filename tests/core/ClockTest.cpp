#include "core/Clock.h"

#include <gtest/gtest.h>

TEST(Clock, ManualClockRecordsSleepsButNotIdles)
{
    ManualClock manual;
    {
        ScopedClock scope(manual);
        Clock::current().sleepMs(350);
        Clock::current().idleMs(5);
        Clock::current().sleepMs(100);
    }
    EXPECT_EQ(manual.sleeps(), (std::vector<int>{350, 100}));
    EXPECT_EQ(manual.nowMs(), 455);
}
