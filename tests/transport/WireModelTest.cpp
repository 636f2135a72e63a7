#include "zaltor/WireModel.h"
#include "zaltor/LoopbackTransport.h"

#include "core/Clock.h"

#include <gtest/gtest.h>

#include <numeric>

TEST(WireModel, PacesLikeADinCable)
{
    ManualClock clock;
    ScopedClock scoped(clock);
    auto [near, far] = LoopbackTransport::createPair("host", "instrument");
    std::vector<MidiBytes> arrived;
    far->setReceiver([&](MidiBytes message) { arrived.push_back(std::move(message)); });
    WireModel wire(*near);

    const MidiBytes note{0x90, 0x3C, 0x64};
    ASSERT_TRUE(wire.send(note));
    EXPECT_EQ(wire.wireTimeUs(), 960);
    EXPECT_EQ(wire.bytesSent(), 3u);
    EXPECT_TRUE(clock.sleeps().empty()); // under a millisecond owed so far
    ASSERT_TRUE(wire.send(note));
    ASSERT_TRUE(wire.send(note));
    EXPECT_EQ(clock.sleeps(), (std::vector<int>{1, 1})); // 1920 us, then 880 + 960 us
    EXPECT_EQ(arrived, (std::vector<MidiBytes>{note, note, note}));

    // Fractions add up over a long run instead of getting lost.
    clock.clearSleeps();
    const MidiBytes block(10, 0x11);
    for (int i = 0; i < 1000; ++i) wire.send(block);
    const std::vector<int>& sleeps = clock.sleeps();
    EXPECT_EQ(std::accumulate(sleeps.begin(), sleeps.end(), 0), 3200);
    EXPECT_EQ(sleeps.size(), 1000u);
    EXPECT_EQ(wire.bytesSent(), 10009u);
    EXPECT_EQ(wire.wireTimeUs(), 3202880);
    EXPECT_EQ(clock.nowMs(), 3202);
}
