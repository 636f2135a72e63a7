#include "zaltor/MidiInbox.h"

#include "core/Clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

bool isSysex(const MidiBytes& message) { return !message.empty() && message[0] == 0xF0; }

} // namespace

TEST(MidiInbox, KeepsArrivalOrderAndWaitForHandsOnWhatItDoesNotAccept)
{
    ManualClock clock;
    ScopedClock scoped(clock);
    MidiInbox inbox;
    for (const MidiBytes& message :
         {MidiBytes{0x90, 0x3C, 0x64}, {0xF0, 0x43, 0x10, 0xF7}, {0xB0, 0x07, 0x64}, {0xC0, 0x05}})
        inbox.push(message);
    std::vector<MidiBytes> others;
    const auto collect = [&](const MidiBytes& message) { others.push_back(message); };
    MidiBytes answer;
    ASSERT_TRUE(inbox.waitFor(isSysex, 1000, &answer, collect));
    EXPECT_EQ(answer, (MidiBytes{0xF0, 0x43, 0x10, 0xF7}));
    EXPECT_EQ(inbox.drain(), (std::vector<MidiBytes>{{0xB0, 0x07, 0x64}, {0xC0, 0x05}})); // after the answer
    EXPECT_EQ(inbox.pop(), std::nullopt);
    EXPECT_EQ(clock.nowMs(), 0);

    // Nothing acceptable: exactly the timeout passes, polling is no fixed wait, and the rest is
    // consumed on the way.
    inbox.push({0xB0, 0x07, 0x64});
    EXPECT_FALSE(inbox.waitFor(isSysex, 250, &answer, collect));
    EXPECT_EQ(clock.nowMs(), 250);
    EXPECT_TRUE(clock.sleeps().empty());
    EXPECT_EQ(others, (std::vector<MidiBytes>{{0x90, 0x3C, 0x64}, {0xB0, 0x07, 0x64}}));
    EXPECT_EQ(inbox.size(), 0u);

    // Without `other`, refused messages simply go; without `out`, the answer is only taken.
    inbox.push({0xC0, 0x01});
    inbox.push({0xF0, 0xF7});
    inbox.push({0xFA});
    EXPECT_TRUE(inbox.waitFor(isSysex, 0, nullptr));
    EXPECT_EQ(inbox.size(), 1u);
    inbox.clear();
    EXPECT_FALSE(inbox.waitFor(isSysex, 0, &answer));
}

TEST(MidiInbox, RealClockWaitWakesOnPushAndWaitsOutItsTimeout)
{
    MidiInbox inbox;
    const auto start = std::chrono::steady_clock::now();
    std::thread sender([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        inbox.push({0x90, 0x3C, 0x64});
    });
    const auto any = [](const MidiBytes&) { return true; };
    EXPECT_TRUE(inbox.waitFor(any, 10000, nullptr));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    sender.join();
    EXPECT_FALSE(inbox.waitFor(any, 40, nullptr));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(70));
}
