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
    EXPECT_TRUE(clock.sleeps().empty()); // under a millisecond owed so far
    ASSERT_TRUE(wire.send(note) && wire.send(note));
    EXPECT_EQ(clock.sleeps(), (std::vector<int>{1, 1})); // 1920 us, then 880 + 960 us
    EXPECT_EQ(arrived, (std::vector<MidiBytes>{note, note, note}));

    // Fractions add up over a long run instead of getting lost.
    clock.clearSleeps();
    for (int i = 0; i < 1000; ++i) wire.send(MidiBytes(10, 0x11));
    const std::vector<int>& sleeps = clock.sleeps();
    EXPECT_EQ(std::accumulate(sleeps.begin(), sleeps.end(), 0) + sleeps.size(), 4200u);
    EXPECT_EQ((std::vector<std::int64_t>{std::int64_t(wire.bytesSent()), wire.wireTimeUs(), clock.nowMs()}),
              (std::vector<std::int64_t>{10009, 3202880, 3202}));

    // The loopback is every device test's cable: once its far end is gone, nothing goes out.
    far.reset();
    EXPECT_FALSE(near->isOpen() || wire.send(note));
}
