// Moving whole patches: what the device puts on the wire for every transfer operation, and what a
// real instrument (the virtual one) makes of it.
#include "InstrumentRig.h"
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

TEST_F(MotifTransfer, FindsTheBulkControlOfStoredPatchesOnly)
{
    EXPECT_EQ(device.getBulkControl(Patch(0x3F0A, 3)), 0x0A03u);
    EXPECT_EQ(device.getBulkControl(Patch(0x3F08, 5)), 0x0805u);
    EXPECT_EQ(device.getBulkControl(Patch(0x3F28, 31)), 0x281Fu);
    EXPECT_EQ(device.getBulkControl(Patch(Motif::MasterBank, 127)), 0x707Fu);
    EXPECT_EQ(device.getBulkControl(Patch()), 0xFFFFFFFFu);
    EXPECT_EQ(device.getBulkControl(Patch(Motif::MixVoiceBank, 0)), 0xFFFFFFFFu);
    EXPECT_EQ(device.getBulkControl(Patch(Motif::MixBank, 2)), 0xFFFFFFFFu);
}

TEST_F(MotifTransfer, PatchRequestSwitchesToTheBanksModeAndWaitsBeforeAsking)
{
    device.setModeByBank(0x3F40);
    ASSERT_TRUE(device.inPerformanceMode());
    wire.received.clear();
    clock.clearSleeps();
    const std::int64_t start = clock.nowMs();
    std::vector<std::int64_t> arrivals;
    wire.far->setReceiver([&](MidiBytes message) {
        arrivals.push_back(clock.nowMs() - start);
        wire.received.push_back(std::move(message));
    });

    device.patchRequest(Patch(0x3F08, 5), true);
    EXPECT_EQ(wire.lines(), (QStringList{"F0 43 10 7F 00 0A 00 01 00 F7", "F0 43 20 7F 00 0E 08 05 F7"}));
    EXPECT_EQ(arrivals, (std::vector<std::int64_t>{0, 350}));
    EXPECT_EQ(clock.sleeps(), std::vector<int>{350});

    // Already in voice mode, or told not to switch: the request alone. No location: nothing.
    device.patchRequest(Patch(0x3F09, 127), true);
    device.patchRequest(Patch(Motif::MasterBank, 3), false);
    device.patchRequest(Patch(Motif::MixBank, 1), false);
    device.patchRequest(Patch(), false);
    device.bulkRequest(Motif::NoControl);
    EXPECT_EQ(wire.lines().mid(2), (QStringList{"F0 43 20 7F 00 0E 09 7F F7", "F0 43 20 7F 00 0E 70 03 F7"}));
    EXPECT_EQ(clock.sleeps(), std::vector<int>{350});
}

TEST_F(MotifTransfer, RequestsWithoutALocationGiveUpAtOnce)
{
    BulkDump dump;
    dump.append(new MotifSysex(hexBytes("F0 43 00 7F 00 00 00 0E 08 05 65 F7")));
    EXPECT_FALSE(device.syncPatchRequest(Patch(Motif::MixBank, 2), dump, false));
    EXPECT_TRUE(wire.received.empty());
    EXPECT_EQ(clock.nowMs(), 0);

    // With the mode flag only the mode change goes out: no request, no wait for a bulk.
    EXPECT_FALSE(device.syncPatchRequest(Patch(Motif::MixBank, 2), dump, true));
    EXPECT_EQ(wire.lines(), QStringList{"F0 43 10 7F 00 0A 00 01 03 F7"});
    EXPECT_EQ(clock.nowMs(), 350);

    // A patch type without an edit buffer asks nothing and finds nothing.
    EXPECT_FALSE(device.syncEditBufferRequest(6, dump, 100));
    EXPECT_EQ(wire.received.size(), 1u);
    EXPECT_TRUE(dump.isEmpty());
}

TEST_F(MotifTransfer, PatchTransmitNeedsBlocksAndALocation)
{
    VoiceDump empty(&device);
    VoiceDump voice(&device);
    voice.init();
    device.patchTransmit(Patch(0x3F08, 5), nullptr, true);
    device.patchTransmit(Patch(0x3F08, 5), &empty, true);
    device.patchTransmit(Patch(Motif::MixBank, 5), &voice, true);
    device.patchTransmit(Patch(), &voice, true);
    EXPECT_TRUE(wire.received.empty());
    EXPECT_TRUE(clock.sleeps().empty());

    device.patchTransmit(Patch(0x3F08, 5), &voice, false);
    ASSERT_EQ(wire.received.size(), 39u);
    EXPECT_EQ(wire.lines().first(), "F0 43 00 7F 00 00 00 0E 08 05 65 F7");
    EXPECT_EQ(wire.lines().mid(1, 37), lines(voice));
    EXPECT_EQ(wire.lines().last(), "F0 43 00 7F 00 00 00 0F 08 05 64 F7");
}

TEST_F(MotifTransfer, DrumKitGoesToItsEditBufferWithAPauseAfterEveryMessage)
{
    device.setTransmitDelay(7);
    DrumDump kit(&device);
    kit.init();
    ASSERT_EQ(kit.count(), 373);
    device.toEditBuffer(&kit);

    ASSERT_EQ(wire.received.size(), 375u);
    const QStringList sent = wire.lines();
    EXPECT_EQ(sent.first(), "F0 43 00 7F 00 00 00 0E 2F 00 43 F7");
    EXPECT_EQ(sent.mid(1, 373), lines(kit));
    EXPECT_EQ(sent.last(), "F0 43 00 7F 00 00 00 0F 2F 00 42 F7");
    EXPECT_EQ(kit.first()->getAddress(), 0x467000u);
    EXPECT_EQ(kit.last()->getAddress(), 0x4A4800u);
    EXPECT_EQ(clock.sleeps(), std::vector<int>(375, device.transmitDelay()));

    DrumDump empty(&device);
    device.toEditBuffer(&empty);
    device.toEditBuffer(nullptr);
    EXPECT_EQ(wire.received.size(), 375u);
}

TEST_F(MotifTransfer, InitMasterFillsTheMasterEditBuffer)
{
    device.initMaster();
    const QStringList sent = wire.lines();
    ASSERT_EQ(sent.size(), 7);
    EXPECT_EQ(sent[0], "F0 43 00 7F 00 00 00 0E 7F 00 73 F7");
    EXPECT_EQ(sent[1],
              "F0 43 00 7F 00 00 13 33 00 00 49 6E 69 74 4D 61 73 74 65 72 00 00 00 00 00 00 00 00 02 38 F7");
    for (int i = 2; i < 6; ++i) {
        const MotifSysex block(wire.received[std::size_t(i)]);
        EXPECT_EQ(block.getAddress(), 0x320000u + unsigned(i - 2) * 0x100) << i;
        EXPECT_EQ(block.dataSize(), 16) << i;
        EXPECT_TRUE(block.checksumValid()) << i;
    }
    EXPECT_EQ(sent[6], "F0 43 00 7F 00 00 00 0F 7F 00 72 F7");
    EXPECT_EQ(clock.sleeps(), std::vector<int>(7, 10));
}

TEST_F(MotifTransfer, SendsSingleBlocksByAddress)
{
    device.sendBulkBuffer(0x110000, nullptr);
    device.sendBulkBuffer(0x407000, "41 42");
    device.sendBulkBuffer(Motif::NoControl, "41 42");
    EXPECT_EQ(wire.lines(), (QStringList{"F0 43 00 7F 00 00 00 11 00 00 6F F7",
                                         "F0 43 00 7F 00 00 02 40 70 00 41 42 4B F7"}));
    EXPECT_TRUE(clock.sleeps().empty());
}

TEST_F(MotifTransfer, StripRemovesHeaderAndFooterOnly)
{
    BulkDump dump;
    dump.append(new MotifSysex(hexBytes("F0 43 00 7F 00 00 00 0E 08 05 65 F7")));
    device.strip(&dump);
    EXPECT_EQ(lines(dump), QStringList{"F0 43 00 7F 00 00 00 0E 08 05 65 F7"});
    device.strip(nullptr);

    dump.append(new MotifSysex(hexBytes("F0 43 00 7F 00 00 02 40 70 00 41 42 4B F7")));
    dump.append(new MotifSysex(hexBytes("F0 43 00 7F 00 00 00 0F 08 05 64 F7")));
    device.strip(&dump);
    EXPECT_EQ(lines(dump), QStringList{"F0 43 00 7F 00 00 02 40 70 00 41 42 4B F7"});
}

TEST_F(MotifTransfer, AlteredBulkWithoutAnAnswerSendsNothing)
{
    MotifSysex name;
    name.prepareBulkDump(0x407000, "41 42");
    EXPECT_FALSE(device.bulkTransmitAltered(0x0805, &name, 500));
    EXPECT_EQ(wire.lines(), QStringList{"F0 43 20 7F 00 0E 08 05 F7"});
    EXPECT_TRUE(clock.sleeps().empty());

    // A dump at hand goes out whole, even with nothing to alter.
    BulkDump dump;
    dump.append(new MotifSysex(hexBytes("F0 43 00 7F 00 00 02 40 70 00 41 42 4B F7")));
    device.bulkTransmitAltered(&dump, nullptr, 0);
    device.bulkTransmitAltered(nullptr, nullptr, 0);
    EXPECT_EQ(wire.lines().mid(1), QStringList{"F0 43 00 7F 00 00 02 40 70 00 41 42 4B F7"});
    EXPECT_EQ(clock.sleeps(), std::vector<int>{10});
}

TEST_F(MotifTransferToInstrument, AlteredBulkReplacesOnlyTheBlocksItHas)
{
    BulkDump fetched;
    ASSERT_TRUE(device.syncPatchRequest(Patch(0x3F08, 5), fetched, false));
    ASSERT_EQ(fetched.count(), 39);
    const auto before = instrument.userMemory();
    sent.clear();

    // The Rack ES's extra block is not part of this instrument's voice.
    MotifSysex stray;
    stray.prepareBulkDump(0x400700, "01 02 03 04");
    EXPECT_TRUE(device.bulkTransmitAltered(0x0805, &stray, 3000));
    EXPECT_EQ(sent.first(), "F0 43 20 7F 00 0E 08 05 F7");
    EXPECT_EQ(sent.mid(1), lines(fetched));
    EXPECT_EQ(clock.sleeps(), std::vector<int>(39, 10));
    EXPECT_EQ(instrument.userMemory(), before);

    auto renamed = fetched.at(1)->clone();
    const QByteArray name("Renamed 05");
    for (int i = 0; i < name.size(); ++i) renamed->setDataAt(i, std::uint8_t(name[i]));
    renamed->updateChecksum();
    Sysex* const messages[] = {&stray, renamed.get()};
    EXPECT_TRUE(device.bulkTransmitAltered(0x0805, messages, 2, 3000));
    EXPECT_EQ(instrument.block(0x0805, 0x407000), renamed->copyData());
    // Nothing else changed: the name is the first ten bytes of the location.
    auto expected = before;
    std::copy(name.begin(), name.end(), expected.at(0x0805).begin());
    EXPECT_EQ(instrument.userMemory(), expected);
}

TEST_F(MotifTransferToInstrument, RetargetedBulkLandsAtTheNewLocation)
{
    BulkDump empty;
    device.setBulkControls(empty, Patch(0x3F09, 127));
    EXPECT_TRUE(empty.isEmpty());

    BulkDump bulk;
    ASSERT_TRUE(device.syncPatchRequest(Patch(0x3F08, 5), bulk, false));
    const QStringList received = lines(bulk);
    device.setBulkControls(bulk, Patch());
    EXPECT_EQ(lines(bulk), received);

    device.setBulkControls(bulk, Patch(0x3F09, 127));
    EXPECT_EQ(bulk.first()->toString(), "F0 43 00 7F 00 00 00 0E 09 7F 6A F7");
    EXPECT_EQ(bulk.last()->toString(), "F0 43 00 7F 00 00 00 0F 09 7F 69 F7");
    EXPECT_EQ(lines(bulk).mid(1, 37), received.mid(1, 37));

    bulk.sendToSynth(&device);
    const auto memory = instrument.userMemory();
    EXPECT_EQ(memory.at(0x097F), memory.at(0x0805));
}

TEST_F(MotifTransferToInstrument, InitPatchesAndStoreReachTheInstrument)
{
    device.initVoice(0x0805);
    device.initMaster();
    const std::vector<std::uint8_t> voiceName = instrument.block(0x0805, 0x407000);
    ASSERT_EQ(voiceName.size(), 82u);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(voiceName.data()), 10), "Init Voice");
    EXPECT_EQ(instrument.block(0x7F00, 0x330000), device.getInitMaster()->first()->copyData());

    clock.clearSleeps();
    EXPECT_EQ(instrument.storeCount(), 0);
    device.storeAllPatches();
    EXPECT_EQ(instrument.storeCount(), 1);
    EXPECT_EQ(clock.sleeps(), std::vector<int>{2500});
}
