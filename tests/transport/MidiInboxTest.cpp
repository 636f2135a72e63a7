#include "zaltor/MidiInbox.h"

#include "core/Clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

bool isSysex(const MidiBytes& message) { return !message.empty() && message[0] == 0xF0; }

} // namespace

TEST(MidiInbox, KeepsArrivalOrder)
{
    MidiInbox inbox;
    inbox.push({0x90, 0x3C, 0x64});
    inbox.push({0xF0, 0x43, 0xF7});
    inbox.push({0xC0, 0x05});
    EXPECT_EQ(inbox.size(), 3u);
    EXPECT_EQ(inbox.pop(), (MidiBytes{0x90, 0x3C, 0x64}));
    EXPECT_EQ(inbox.drain(), (std::vector<MidiBytes>{{0xF0, 0x43, 0xF7}, {0xC0, 0x05}}));
    EXPECT_EQ(inbox.size(), 0u);
    EXPECT_EQ(inbox.pop(), std::nullopt);
    inbox.push({0xFA});
    inbox.clear();
    EXPECT_TRUE(inbox.drain().empty());
}

TEST(MidiInbox, WaitForHandsOnWhatItDoesNotAccept)
{
    ManualClock clock;
    ScopedClock scoped(clock);
    MidiInbox inbox;
    inbox.push({0x90, 0x3C, 0x64});
    inbox.push({0xF0, 0x43, 0x10, 0xF7});
    inbox.push({0xB0, 0x07, 0x64});

    std::vector<MidiBytes> others;
    const auto collect = [&](const MidiBytes& message) { others.push_back(message); };
    MidiBytes answer;
    ASSERT_TRUE(inbox.waitFor(isSysex, 1000, &answer, collect));
    EXPECT_EQ(answer, (MidiBytes{0xF0, 0x43, 0x10, 0xF7}));
    EXPECT_EQ(others, (std::vector<MidiBytes>{{0x90, 0x3C, 0x64}}));
    EXPECT_EQ(inbox.size(), 1u); // what came after the answer stays
    EXPECT_EQ(clock.nowMs(), 0);

    // Nothing acceptable: exactly the timeout passes, polling is no fixed wait, and the rest is
    // consumed on the way.
    EXPECT_FALSE(inbox.waitFor(isSysex, 250, &answer, collect));
    EXPECT_EQ(clock.nowMs(), 250);
    EXPECT_TRUE(clock.sleeps().empty());
    EXPECT_EQ(others, (std::vector<MidiBytes>{{0x90, 0x3C, 0x64}, {0xB0, 0x07, 0x64}}));
    EXPECT_EQ(inbox.size(), 0u);

    // Without `other`, refused messages simply go; without `out`, the answer is only taken.
    inbox.push({0xC0, 0x01});
    inbox.push({0xF0, 0xF7});
    EXPECT_TRUE(inbox.waitFor(isSysex, 0, nullptr));
    EXPECT_EQ(inbox.size(), 0u);
    EXPECT_FALSE(inbox.waitFor(isSysex, 0, &answer));
    EXPECT_EQ(clock.nowMs(), 250);
}

TEST(MidiInbox, RealClockWaitWakesOnPush)
{
    MidiInbox inbox;
    const auto start = std::chrono::steady_clock::now();
    std::thread sender([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        inbox.push({0x90, 0x3C, 0x64});
    });
    MidiBytes answer;
    const bool got = inbox.waitFor([](const MidiBytes&) { return true; }, 10000, &answer);
    const auto waited = std::chrono::steady_clock::now() - start;
    sender.join();
    ASSERT_TRUE(got);
    EXPECT_EQ(answer, (MidiBytes{0x90, 0x3C, 0x64}));
    EXPECT_LT(waited, std::chrono::seconds(5));

    const auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(inbox.waitFor([](const MidiBytes&) { return true; }, 40, &answer));
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(40));
}
