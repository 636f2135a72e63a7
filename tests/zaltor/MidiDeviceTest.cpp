#include "zaltor/MidiDevice.h"
#include "BulkSysex.h"
#include "TestSupport.h"
#include "core/Clock.h"
#include "zaltor/BulkDump.h"

#include <gtest/gtest.h>

namespace {

// A device that speaks BulkSysex and writes down everything the framework hands it.
class RecordingDevice : public MidiDevice {
public:
    RecordingDevice() : MidiDevice("Test", 10) {}

    Sysex* createSysex() override { return new BulkSysex; }
    void bulkRequest(unsigned int control) override
    {
        BulkSysex request;
        request.FormatSysex("F0 43 20 %M %A3 F7", 0x0E0000 + control);
        sendSysex(&request);
    }
    bool checkId(Sysex* reply) override { return reply->at(5) == 0x43; }
    // Headers and footers name the request they answer.
    bool isReplyTo(unsigned int control, const Sysex& message) override
    {
        return !(message.isHeader() || message.isFooter()) || (message.getAddress() & 0xFFFF) == control;
    }
    void OnMidiMessage(const MidiMessage& message, MidiSource source) override
    {
        log << QString("short %1 from %2").arg(message.toString()).arg(source);
        MidiDevice::OnMidiMessage(message, source); // which reports a patch change
    }
    void OnSysex(Sysex* message, MidiSource source) override
    {
        log << QString::asprintf("sysex %s from %d at %06x", qPrintable(message->toString()), source,
                                 message->getAddress());
    }
    void OnPatchChange(Patch patch, MidiSource source) override
    {
        log << QString("patch %1 from %2").arg(patch.value(), 6, 16, QChar('0')).arg(source);
    }

    QStringList log;
};

// The instrument's side: records what the host sends and answers through a script.
class MidiDeviceTest : public ::testing::Test {
protected:
    MidiDeviceTest()
    {
        device.connectPorts(wire.host.get(), wire.host.get());
        device.connectSecondaryPorts(secondary.host.get(), secondary.host.get());
    }
    // Every message the host sends is answered with these, in order.
    void answerWith(std::vector<const char*> replies)
    {
        wire.far->setReceiver([this, replies](MidiBytes message) {
            wire.received.push_back(std::move(message));
            for (const char* reply : replies) wire.answer(hexBytes(reply));
        });
    }

    ManualClock clock;
    ScopedClock scopedClock{clock};
    WireRecorder wire;
    WireRecorder secondary;
    RecordingDevice device;
};

const char* const header = "F0 43 00 7F 00 00 00 0E 0F 00 63 F7";
const char* const block = "F0 43 00 7F 00 00 02 40 70 00 41 42 4B F7";
const char* const footer = "F0 43 00 7F 00 00 00 0F 0F 00 62 F7";

} // namespace

TEST_F(MidiDeviceTest, PollHandsEveryMessageToTheHandlersInArrivalOrder)
{
    for (const char* bytes : {"B0 00 3F", "F0 43 10 7F 00 0A 00 01 03 F7", "B0 20 08", "C3 07", "C0 05"})
        wire.answer(hexBytes(bytes));
    secondary.answer(hexBytes("90 3C 64"));
    EXPECT_TRUE(device.log.isEmpty()); // nothing runs behind the caller's back
    EXPECT_EQ(device.poll(), 6);
    EXPECT_EQ(device.log,
              QStringList({"short B0 00 3F from 0", "sysex F0 43 10 7F 00 0A 00 01 03 F7 from 0 at 0a0001",
                           "short B0 20 08 from 0", "short C3 07 from 0", "short C0 05 from 0",
                           "patch 3f0805 from 0", "short 90 3C 64 from 1"}));
}

TEST_F(MidiDeviceTest, ParameterRequestWaitsExactlyItsTimeAndHandsOnWhatElseArrives)
{
    QStringList seen; // by the monitor
    device.setMonitor(
        [&](bool out, const MidiBytes& bytes) { seen << (out ? ">" : "<") + Buffer(bytes).toString(); });
    const MidiParam mode(0x0A0001, 1);
    EXPECT_EQ(device.syncParamRequest(mode, 500), -1);
    EXPECT_EQ(clock.nowMs(), 500);
    EXPECT_TRUE(clock.sleeps().empty()); // polling, not a fixed wait
    EXPECT_EQ(wire.lines(), QStringList({"F0 43 30 7F 00 0A 00 01 F7"}));

    answerWith({"C0 05", "F0 43 10 7F 00 0A 00 00 02 F7", "F0 43 10 7F 00 0A 00 01 03 F7", "B0 07 64"});
    EXPECT_EQ(device.syncParamRequest(mode, 500), 3);
    EXPECT_EQ(clock.nowMs(), 500);
    EXPECT_EQ(device.log, QStringList({"short C0 05 from 0", "patch 000005 from 0",
                                       "sysex F0 43 10 7F 00 0A 00 00 02 F7 from 0 at 0a0000"}));
    EXPECT_EQ(device.poll(), 1); // what came after the answer waits for the next poll
    EXPECT_EQ(seen,
              QStringList({">F0 43 30 7F 00 0A 00 01 F7", ">F0 43 30 7F 00 0A 00 01 F7", "<C0 05",
                           "<F0 43 10 7F 00 0A 00 00 02 F7", "<F0 43 10 7F 00 0A 00 01 03 F7", "<B0 07 64"}));
}

TEST_F(MidiDeviceTest, BulkRequestCollectsHeaderToFooter)
{
    answerWith({"F0 43 10 7F 00 0A 00 01 03 F7", footer, header, block, footer});
    BulkDump dump;
    ASSERT_TRUE(device.syncBulkRequest(0x0F00, dump, 200));
    EXPECT_EQ(wire.lines(), QStringList({"F0 43 20 7F 00 0E 0F 00 F7"}));
    EXPECT_EQ(Buffer(dump.toBytes()).toString(), QStringList({header, block, footer}).join(' '));
    // What came before the header is not part of the bulk but still reaches the device.
    EXPECT_EQ(device.log, QStringList({"sysex F0 43 10 7F 00 0A 00 01 03 F7 from 0 at 0a0001",
                                       "sysex " + QString(footer) + " from 0 at 0f0f00"}));
    EXPECT_EQ(clock.nowMs(), 0);

    // Without a footer the request ends once the reply has been quiet for a while, keeping what
    // came; the header of another bulk, a late reply to an earlier request, ends it too.
    answerWith({header, block});
    EXPECT_FALSE(device.syncBulkRequest(0x0F00, dump, 3000));
    EXPECT_EQ(clock.nowMs(), 300);
    EXPECT_EQ(Buffer(dump.toBytes()).toString(), QStringList({header, block}).join(' '));
    answerWith({header, "F0 43 00 7F 00 00 00 0E 0F 01 62 F7", block});
    EXPECT_FALSE(device.syncBulkRequest(0x0F00, dump, 3000));
    EXPECT_EQ(Buffer(dump.toBytes()).toString(), header);
}

TEST_F(MidiDeviceTest, IdentifyWaitsForAReplyThatTheDeviceKnows)
{
    QStringList identified;
    QObject::connect(&device, &MidiDevice::identified, [&](const QString& name) { identified << name; });
    answerWith({"F0 7E 7F 06 02 41 00 00 00 00 00 00 00 00 F7"});
    EXPECT_FALSE(device.identify(1000));
    EXPECT_EQ(wire.lines(), QStringList({"F0 7E 7F 06 01 F7"}));

    // Another maker's instrument on the same cable answers too, possibly first.
    answerWith({"F0 7E 7F 06 02 41 00 00 00 00 00 00 00 00 F7", "B0 00 3F",
                "F0 7E 7F 06 02 43 00 41 6A 05 00 00 00 01 F7"});
    EXPECT_TRUE(device.identify(1000));
    EXPECT_EQ(clock.nowMs(), 1000); // the timeout passed once, for the first request only
    EXPECT_EQ(identified, QStringList({"Test"}));
    EXPECT_EQ(device.log, QStringList({"short B0 00 3F from 0"}));
}

TEST_F(MidiDeviceTest, SendsPatchChangesOnTheRightChannel)
{
    device.setReceiveChannel(2);
    device.patchChange(Patch(Bank(0x3F08), 5));
    device.patchChange(Patch(Bank(0x3F28), 127), 9);
    device.patchChange(Patch(Bank(0x0000), 1), 16); // not a channel: the receive channel
    device.patchChange(Patch(128, 0, 0));
    EXPECT_EQ(wire.lines(), QStringList({"B2 00 3F", "B2 20 08", "C2 05", "B9 00 3F", "B9 20 28", "C9 7F",
                                         "B2 00 00", "B2 20 00", "C2 01"}));

    // A name for a patch MIDI cannot select is not kept, so it cannot show up for another.
    device.updateUserPatchName(Patch(128, 0, 3), "lost");
    EXPECT_EQ(device.userPatchName(Patch(128, 0, 3)), "");
}
