#include "zaltor/LoopbackTransport.h"

#include <gtest/gtest.h>

TEST(LoopbackTransport, DeliversBothWaysAtOnce)
{
    auto [host, instrument] = LoopbackTransport::createPair("host", "instrument");
    EXPECT_EQ(host->name(), "host");
    EXPECT_EQ(instrument->name(), "instrument");

    // Nobody listening yet: the message is sent and lost, as on an unplugged cable.
    EXPECT_TRUE(host->send(MidiBytes{0xFA}));

    // The instrument answers from inside its receiver; the answer is there when send returns.
    std::vector<MidiBytes> atInstrument;
    instrument->setReceiver([&, peer = instrument.get()](MidiBytes message) {
        atInstrument.push_back(message);
        peer->send(MidiBytes{0xF0, 0x43, 0x00, message[1], 0xF7});
    });
    std::vector<MidiBytes> atHost;
    host->setReceiver([&](MidiBytes message) { atHost.push_back(std::move(message)); });
    ASSERT_TRUE(host->send(MidiBytes{0xB0, 0x07, 0x64}));
    EXPECT_EQ(atInstrument, (std::vector<MidiBytes>{{0xB0, 0x07, 0x64}}));
    EXPECT_EQ(atHost, (std::vector<MidiBytes>{{0xF0, 0x43, 0x00, 0x07, 0xF7}}));

    // An empty receiver drops input.
    host->setReceiver({});
    EXPECT_TRUE(instrument->send(MidiBytes{0xC0, 0x01}));
    EXPECT_EQ(atHost.size(), 1u);
}

TEST(LoopbackTransport, ClosedPeerRefusesSends)
{
    auto [host, instrument] = LoopbackTransport::createPair("host", "instrument");
    EXPECT_TRUE(host->isOpen());
    instrument.reset();
    EXPECT_FALSE(host->isOpen());
    EXPECT_FALSE(host->send(MidiBytes{0x90, 0x3C, 0x64}));
}
