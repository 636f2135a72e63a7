// The device module against the virtual instrument, in-process: two independent readings of the
// same protocol have to agree on every byte.
#include "InstrumentRig.h"
#include "core/Clock.h"
#include "emulator/VirtualInstrument.h"
#include "motif/Motif.h"
#include "zaltor/LoopbackTransport.h"

#include <gtest/gtest.h>

namespace {
class DeviceAgainstInstrument : public ::testing::Test, public InstrumentRig {
protected:
    ~DeviceAgainstInstrument() override { EXPECT_EQ(instrument.errors(), QStringList{}); }

    ManualClock clock;
    ScopedClock scoped{clock};
};
} // namespace

TEST_F(DeviceAgainstInstrument, IdentifiesEveryKeyboard)
{
    EXPECT_TRUE(device.identify(1000));
    EXPECT_EQ(device.modelName(), "Motif ES7");
    for (auto [model, name] : {std::pair{VirtualInstrument::Model::ES6, "Motif ES6"},
                               {VirtualInstrument::Model::ES8, "Motif ES8"}}) {
        VirtualInstrument other(model);
        other.attach(*far);
        EXPECT_TRUE(device.identify(1000));
        EXPECT_EQ(device.modelName(), name);
    }
    instrument.attach(*far);
}

TEST_F(DeviceAgainstInstrument, SelectsInEveryModeAndTheInstrumentFollows)
{
    device.setModeByBank(0x3F09);
    device.patchChange(Patch(0x3F09, 17));
    EXPECT_EQ(instrument.mode(), 0);
    EXPECT_EQ(instrument.selected(0), (VirtualInstrument::Selection{63, 9, 17}));

    device.setModeByBank(0x3F40);
    device.patchChange(Patch(0x3F40, 5));
    EXPECT_EQ(instrument.mode(), 1);
    EXPECT_EQ(instrument.selected(0), (VirtualInstrument::Selection{63, 64, 5}));

    device.setModeByBank(Motif::MasterBank);
    device.patchChange(Patch(Motif::MasterBank, 3));
    EXPECT_EQ(instrument.mode(), 4);
    EXPECT_EQ(instrument.master(), 3);

    device.setModeByBank(Motif::MixBank);
    device.patchChange(Patch(Motif::MixBank, 2));
    EXPECT_EQ(instrument.mode(), 3);
    EXPECT_EQ(instrument.songSelect(), 2);
    EXPECT_EQ(clock.sleeps(), (std::vector<int>{350, 350, 350, 350}));

    EXPECT_EQ(device.syncGetMode(500), 3);
    device.setPartVolume(15, 33);
    device.setPartVolume(17, 44);
    EXPECT_EQ(instrument.partVolume(0x0F), 33);
    EXPECT_EQ(instrument.partVolume(0x61), 44);
}

TEST_F(DeviceAgainstInstrument, HearsThePanel)
{
    std::vector<Patch> changes;
    QObject::connect(&device, &MidiDevice::patchChanged, [&](Patch p, int) { changes.push_back(p); });
    instrument.pressMode(1);
    instrument.pressMaster(9);
    EXPECT_EQ(device.currentMode(), -1);
    EXPECT_EQ(device.poll(), 2);
    EXPECT_TRUE(device.inPerformanceMode());
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], Patch(Motif::MasterBank, 9));
    device.updateRcvChannel();
    EXPECT_EQ(device.receiveChannel(), 0);
}
