// Moving whole patches: what the device puts on the wire for every transfer operation, and what a
// real instrument (the virtual one) makes of it.
#include "InstrumentRig.h"
#include "Session.h"
#include "TestSupport.h"

#include "core/Clock.h"
#include "emulator/VirtualInstrument.h"
#include "motif/Motif.h"
#include "motif/MotifDump.h"
#include "motif/MotifSysex.h"
#include "zaltor/BulkDump.h"

#include <gtest/gtest.h>

namespace {

QStringList lines(const BulkDump& dump)
{
    QStringList out;
    for (int i = 0; i < dump.count(); ++i) out << dump.at(i)->toString();
    return out;
}

// The device wired to a recorder that never answers, with time in the test's hands.
class MotifTransfer : public ::testing::Test {
protected:
    MotifTransfer() { device.connectPorts(wire.host.get(), wire.host.get()); }

    ManualClock clock;
    ScopedClock scoped{clock};
    WireRecorder wire;
    Motif device;
};

// The device wired to the virtual instrument, which answers requests from its own memory.
class MotifTransferToInstrument : public ::testing::Test, public InstrumentRig {
protected:
    MotifTransferToInstrument()
    {
        device.setMonitor([this](bool outgoing, const MidiBytes& message) {
            if (outgoing) sent << hex(message);
        });
    }
    ~MotifTransferToInstrument() override { EXPECT_EQ(instrument.errors(), QStringList{}); }

    ManualClock clock;
    ScopedClock scoped{clock};
    QStringList sent;
};
} // namespace

TEST_F(MotifTransfer, PatchRequestSwitchesToTheBanksModeAndWaitsBeforeAsking)
{
    device.setModeByBank(0x3F40);
    device.patchRequest(Patch(0x3F08, 5), true);
    // Already in voice mode, or told not to switch: the request alone. No location: nothing.
    device.patchRequest(Patch(0x3F09, 127), true);
    device.patchRequest(Patch(Motif::MasterBank, 3), false);
    device.patchRequest(Patch(Motif::MixBank, 1), false);
    device.patchRequest(Patch(), false);
    device.bulkRequest(Motif::NoControl);
    EXPECT_EQ(wire.lines().mid(1), (QStringList{"F0 43 10 7F 00 0A 00 01 00 F7", "F0 43 20 7F 00 0E 08 05 F7",
                                                "F0 43 20 7F 00 0E 09 7F F7", "F0 43 20 7F 00 0E 70 03 F7"}));
    EXPECT_EQ(clock.sleeps(), (std::vector<int>{350, 350}));

    // A mix has no bulk: with the mode flag only the mode change goes out, and no wait for a bulk.
    BulkDump dump;
    EXPECT_FALSE(device.syncPatchRequest(Patch(Motif::MixBank, 2), dump, true));
    EXPECT_EQ(clock.nowMs(), 3 * 350);
    EXPECT_FALSE(device.syncEditBufferRequest(6, dump, 100));
    EXPECT_EQ(wire.lines().mid(5), QStringList{"F0 43 10 7F 00 0A 00 01 03 F7"});
    EXPECT_TRUE(dump.isEmpty());

    // An altered bulk whose location does not answer sends nothing after the request.
    MotifSysex name;
    name.prepareBulkDump(0x407000, "41 42");
    EXPECT_FALSE(device.bulkTransmitAltered(0x0805, &name, 500));
    EXPECT_EQ(wire.lines().mid(6), QStringList{"F0 43 20 7F 00 0E 08 05 F7"});
    EXPECT_EQ(clock.sleeps().size(), 3u);
}

// Every message of a bulk, header and footer included, is followed by the device's pause.
TEST_F(MotifTransfer, BulksGoOutFramedWithAPauseAfterEveryMessage)
{
    VoiceDump empty(&device);
    VoiceDump voice(&device);
    voice.init();
    device.patchTransmit(Patch(0x3F08, 5), &empty, true);
    device.patchTransmit(Patch(Motif::MixBank, 5), &voice, true);
    device.toEditBuffer(nullptr);
    EXPECT_TRUE(wire.received.empty());

    device.setTransmitDelay(7);
    device.patchTransmit(Patch(0x3F08, 5), &voice, false);
    EXPECT_EQ(wire.lines(), QStringList{"F0 43 00 7F 00 00 00 0E 08 05 65 F7"} + lines(voice) +
                                QStringList{"F0 43 00 7F 00 00 00 0F 08 05 64 F7"});
    DrumDump kit(&device);
    kit.init();
    device.toEditBuffer(&kit);
    EXPECT_EQ(wire.lines().mid(39, 1) + wire.lines().mid(413),
              (QStringList{"F0 43 00 7F 00 00 00 0E 2F 00 43 F7", "F0 43 00 7F 00 00 00 0F 2F 00 42 F7"}));
    device.setTransmitDelay(10);
    device.initMaster();
    EXPECT_EQ(wire.lines().mid(414, 2),
              (QStringList{"F0 43 00 7F 00 00 00 0E 7F 00 73 F7", lines(*device.getInitMaster())[0]}));
    std::vector<int> pauses(39 + 375, 7);
    pauses.resize(pauses.size() + 7, 10);
    EXPECT_EQ(clock.sleeps(), pauses);
}

// The command line's --pace reaches every pause of a bulk; without it the virtual cable needs none.
TEST(MotifTransferPace, SessionPaceReachesEveryPause)
{
    ManualClock clock;
    ScopedClock scoped(clock);
    for (const int pace : {-1, 7}) {
        SessionOptions options;
        options.useVirtual = true;
        options.paceMs = pace;
        QString error;
        const auto session = Session::open(options, &error);
        ASSERT_NE(session, nullptr) << error.toStdString();
        VoiceDump voice(&session->device());
        voice.init();
        clock.clearSleeps();
        session->device().patchTransmit(Patch(0x3F08, 5), &voice, false);
        EXPECT_EQ(clock.sleeps(), std::vector<int>(39, std::max(pace, 0)));
    }
}

TEST_F(MotifTransferToInstrument, AlteredBulkReplacesOnlyTheBlocksItHas)
{
    BulkDump fetched;
    ASSERT_TRUE(device.syncPatchRequest(Patch(0x3F08, 5), fetched, false));
    auto expected = instrument.userMemory();
    sent.clear();

    // The Rack ES's extra block is not part of this instrument's voice; the name block replaces its own.
    MotifSysex stray;
    stray.prepareBulkDump(0x400700, "01 02 03 04");
    auto renamed = fetched.at(1)->clone();
    const QByteArray name("Renamed 05");
    for (int i = 0; i < name.size(); ++i) renamed->setDataAt(i, std::uint8_t(name[i]));
    renamed->updateChecksum();
    Sysex* const messages[] = {&stray, renamed.get()};
    EXPECT_TRUE(device.bulkTransmitAltered(0x0805, messages, 2, 3000));
    QStringList expectedSent = lines(fetched);
    expectedSent[1] = renamed->toString();
    EXPECT_EQ(sent, QStringList{"F0 43 20 7F 00 0E 08 05 F7"} + expectedSent);
    EXPECT_EQ(clock.sleeps(), std::vector<int>(39, 10));
    // Nothing else changed: the name is the first ten bytes of the location.
    std::copy(name.begin(), name.end(), expected.at(0x0805).begin());
    EXPECT_EQ(instrument.userMemory(), expected);
}

TEST_F(MotifTransferToInstrument, RetargetedBulkLandsAtTheNewLocation)
{
    BulkDump bulk;
    device.setBulkControls(bulk, Patch(0x3F09, 127));
    ASSERT_TRUE(device.syncPatchRequest(Patch(0x3F08, 5), bulk, false));
    QStringList expected = lines(bulk);
    device.setBulkControls(bulk, Patch());
    EXPECT_EQ(lines(bulk), expected);

    device.setBulkControls(bulk, Patch(0x3F09, 127));
    expected.first() = "F0 43 00 7F 00 00 00 0E 09 7F 6A F7";
    expected.last() = "F0 43 00 7F 00 00 00 0F 09 7F 69 F7";
    EXPECT_EQ(lines(bulk), expected);
    bulk.sendToSynth(&device);
    const auto memory = instrument.userMemory();
    EXPECT_EQ(memory.at(0x097F), memory.at(0x0805));
}

// The device number sits in every message the device sends, whatever built it: a request, and the
// blocks of a bulk saved at another number (parameter changes and init bulks are the device
// transcript's). The universal identity request stays addressed to every device.
TEST_F(MotifTransfer, EveryMessageCarriesTheDeviceNumber)
{
    device.setDeviceNumber(3);
    device.setDeviceNumber(17);
    EXPECT_EQ(device.deviceNumber(), 3);
    device.bulkRequest(0x0805);
    BulkDump saved;
    saved.append(new MotifSysex(hexBytes("F0430F7F00000133000041 0C F7")));
    device.bulkTransmit(0x7002, &saved);
    device.identify(0);
    device.setDeviceNumber(16);
    device.storeAllPatches();
    EXPECT_EQ(wire.lines(),
              (QStringList{"F0 43 22 7F 00 0E 08 05 F7", "F0 43 02 7F 00 00 00 0E 70 02 00 F7",
                           "F0 43 02 7F 00 00 01 33 00 00 41 0C F7", "F0 43 02 7F 00 00 00 0F 70 02 7F F7",
                           "F0 7E 7F 06 01 F7", "F0 43 0F 7F 00 00 00 11 00 00 6F F7"}));
}
