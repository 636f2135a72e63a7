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

// Every message of a bulk, header and footer included, is followed by the device's pause.
TEST_F(MotifTransfer, BulksGoOutFramedWithAPauseAfterEveryMessage)
{
    VoiceDump empty(&device);
    VoiceDump voice(&device);
    voice.init();
    device.patchTransmit(Patch(0x3F08, 5), nullptr, true);
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
        EXPECT_EQ(session->instrument()->errors(), QStringList{});
    }
}

TEST_F(MotifTransfer, SendsSingleBlocksAndStripsOnlyAWholeFrame)
{
    const char* const block = "F0 43 00 7F 00 00 02 40 70 00 41 42 4B F7";
    device.sendBulkBuffer(0x407000, "41 42");
    device.sendBulkBuffer(Motif::NoControl, "41 42");
    EXPECT_EQ(wire.lines(), QStringList{block});
    EXPECT_TRUE(clock.sleeps().empty());

    BulkDump dump;
    dump.append(new MotifSysex(hexBytes("F0 43 00 7F 00 00 00 0E 08 05 65 F7")));
    device.strip(&dump);
    EXPECT_EQ(dump.count(), 1);
    dump.append(new MotifSysex(hexBytes(block)));
    dump.append(new MotifSysex(hexBytes("F0 43 00 7F 00 00 00 0F 08 05 64 F7")));
    device.strip(&dump);
    EXPECT_EQ(lines(dump), QStringList{block});
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
    const std::vector<std::uint8_t> voiceName = instrument.block(0x0805, 0x407000);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(voiceName.data()), 10), "Init Voice");
    device.storeAllPatches();
    EXPECT_EQ(instrument.storeCount(), 1);
}
