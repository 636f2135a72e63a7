#include "TestSupport.h"

#include "core/Clock.h"
#include "motif/Motif.h"
#include "motif/MotifSysex.h"

#include <gtest/gtest.h>

namespace {
// The device wired to a recorder, with time in the test's hands.
class MotifDevice : public ::testing::Test {
protected:
    struct Device : Motif {
        using Motif::replacePortNames;
        using Motif::setLocalOn;
    };

    MotifDevice() { device.connectPorts(wire.host.get(), wire.host.get()); }

    void receive(const char* hex, MidiSource source = SourceMain)
    {
        const MidiBytes bytes = hexBytes(hex);
        if (bytes.front() == 0xF0)
            device.OnLongMessage(bytes, source);
        else
            device.OnShortMessage(bytes, source);
    }

    ManualClock clock;
    ScopedClock scoped{clock};
    WireRecorder wire;
    Device device;
};
} // namespace

TEST_F(MotifDevice, SwitchesModesWithTheWaitTheInstrumentNeeds)
{
    EXPECT_EQ(device.currentMode(), -1);
    device.setModeByType(Motif::Mix);
    EXPECT_EQ(wire.lines(), QStringList{"F0 43 10 7F 00 0A 00 01 03 F7"});
    EXPECT_EQ(clock.sleeps(), std::vector<int>{350});
    EXPECT_TRUE(device.inMixMode());

    // Already in song mode: a mix needs no change, but mix voices always do.
    device.setModeByType(Motif::Mix);
    EXPECT_EQ(wire.received.size(), 1u);
    device.setModeByBank(Motif::MixVoiceBank);
    EXPECT_EQ(wire.lines().last(), "F0 43 10 7F 00 0A 00 01 03 F7");
    EXPECT_EQ(clock.sleeps(), (std::vector<int>{350, 350}));

    device.setModeByBank(0x3F08);
    device.setModeByBank(0x7F00);
    device.setModeByBank(0x3F47);
    EXPECT_EQ(wire.lines().last(), "F0 43 10 7F 00 0A 00 01 00 F7");
    EXPECT_TRUE(device.inVoiceMode());
    device.setModeByBank(0x3F40);
    EXPECT_TRUE(device.inPerformanceMode());
    device.setModeByBank(0x7F7F);
    EXPECT_TRUE(device.inMasterMode());
    device.setModeByBank(0x3F0A);
    device.setModeByType(6);
    EXPECT_EQ(wire.received.size(), 5u);
    EXPECT_EQ(clock.sleeps().size(), 5u);
}

// A bank's type, bulk location and user flag come from one table; one bank of each kind, and the
// neighbours just outside.
TEST_F(MotifDevice, KnowsItsBanks)
{
    const QStringList expected{"3f0a -1 a00 0",      "3f3c 0 ffffffff 1", "3f4e 2 ffffffff 0",
                               "3f4f -1 ffffffff 0", "7f00 1 2100 0",     "7f7e 4 ffffffff 1",
                               "0000 0 600 0",       "7f7f 5 7000 1",     "3f20 1 2000 0",
                               "3f46 2 ffffffff 0",  "3f28 1 2800 1"};
    for (const QString& line : expected) {
        const int bank = line.left(4).toInt(nullptr, 16);
        EXPECT_EQ(QString::asprintf("%04x %d %x %d", bank, device.bankType(bank),
                                    device.bulkControlBaseOf(bank), device.isUserBank(bank)),
                  line);
    }
    EXPECT_TRUE(Motif::isVoiceBank(0x0000) && !Motif::isVoiceBank(0x3F3C));
    EXPECT_TRUE(Motif::isPLGBank(0x3F18) && !Motif::isPLGBank(0x3F1B));
    EXPECT_TRUE(Motif::isDrumBank(0x3F20) && Motif::isDrumBank(0x3F28) && !Motif::isDrumBank(0x3F29));
    EXPECT_EQ(device.getEditBuffer(2), 0x1F00u);
    EXPECT_EQ(device.getEditBuffer(-1), 0xFFFFFFFFu);
    EXPECT_EQ(device.bankNumber(0x7F00) + device.bankNumber(0x7F7E), "127/0");
    EXPECT_EQ(device.getBulkControl(Patch(0x3F28, 31)), 0x281Fu);
    EXPECT_EQ(device.getBulkControl(Patch(Motif::MasterBank, 127)), 0x707Fu);
    EXPECT_EQ(device.getBulkControl(Patch(Motif::MixBank, 2)), 0xFFFFFFFFu);
    EXPECT_EQ(device.getIndexedAddress(0x401000, 3), 0x401006u);
    EXPECT_EQ(VOICE_ELM_PART(3, 6), 0x440350u);
    EXPECT_EQ(VOICE_ELM_PART(1, 7), 0x100u);
    EXPECT_EQ(DRUM_KEY_PART(72, 1), 0x474820u);
    EXPECT_EQ(DRUM_KEY_PART(1, 5), 0xFFFFFFFFu);
}

TEST_F(MotifDevice, SelectsPatchesTheWayEachModeWants)
{
    device.patchChange(Patch(0x7F7F, 3));
    device.patchChange(Patch(0x7F7E, 2));
    device.patchChange(Patch(0x3F08, 5));
    device.setReceiveChannel(2);
    device.patchChangeByType(Motif::DrumKit);
    device.patchChangeByType(Motif::Performance);
    EXPECT_EQ(wire.lines(), (QStringList{"F0 43 10 7F 00 0A 00 00 03 F7", "F3 02", "B0 00 3F", "B0 20 08",
                                         "C0 05", "B2 00 3F", "B2 20 28", "C2 00"}));
    EXPECT_TRUE(clock.sleeps().empty());
}

TEST_F(MotifDevice, SetsPartVolumesOfMixAndBoardParts)
{
    device.setPartVolume(3, 100);
    device.setPartVolume(3, -1);
    device.setPartVolume(-1, 10);
    device.setPartVolume(16, 90);
    device.setPartVolume(18, 80);
    device.setPartVolume(19, 70);
    EXPECT_EQ(wire.lines(), (QStringList{"F0 43 10 7F 00 37 03 0D 64 F7", "F0 43 10 7F 00 37 60 0D 5A F7",
                                         "F0 43 10 7F 00 37 62 0D 50 F7"}));
}

TEST_F(MotifDevice, FollowsWhatTheInstrumentReports)
{
    std::vector<std::pair<Patch, int>> changes;
    QObject::connect(&device, &MidiDevice::patchChanged,
                     [&](Patch p, int source) { changes.emplace_back(p, source); });
    int forwarded = 0;
    QObject::connect(&device, &MidiDevice::sysexReceived, [&](const Sysex&, int) { ++forwarded; });

    receive("F0 43 10 7F 00 0A 00 01 01 F7");
    EXPECT_TRUE(device.inPerformanceMode());
    receive("F0 43 10 7F 00 0A 00 00 03 F7");
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].first, Patch(0x7F7F, 3));
    receive("F3 07", SourceMain);
    receive("F3 09", SourceSecondary);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[1].first, Patch(0x7F7E, 7));
    // From the secondary port only parameter changes get through.
    receive("F0 43 00 7F 00 00 00 0E 0F 00 63 F7", SourceSecondary);
    receive("F0 43 10 7F 00 0A 00 01 04 F7", SourceSecondary);
    EXPECT_TRUE(device.inMasterMode());
    EXPECT_EQ(forwarded, 3);
    // Bank select and program change on the receive channel are a patch change too.
    receive("B0 00 3F");
    receive("B0 20 09");
    receive("C0 11");
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[2].first, Patch(0x3F09, 0x11));
}

TEST_F(MotifDevice, RecognisesOnlyTheThreeKeyboardsByIdentity)
{
    // Another family member, another maker, a cut reply, the three keyboards, an unknown member.
    const std::tuple<const char*, bool, const char*> replies[] = {
        {"F0 7E 00 06 02 43 00 41 6A 04 00 00 00 01 F7", false, "Motif ES"},
        {"F0 7E 00 06 02 41 00 41 6A 05 00 00 00 01 F7", false, "Motif ES"},
        {"F0 7E 00 06 02 43 00 41 6A", false, "Motif ES"},
        {"F0 7E 00 06 02 43 00 41 6A 05 00 00 00 01 F7", true, "Motif ES7"},
        {"F0 7E 00 06 02 43 00 41 69 05 00 00 00 01 F7", true, "Motif ES6"},
        {"F0 7E 00 06 02 43 00 41 6B 05 00 00 00 01 F7", true, "Motif ES8"},
        {"F0 7E 00 06 02 43 00 41 6C 05 00 00 00 01 F7", false, "Motif ES8"}};
    for (const auto& [reply, known, model] : replies) {
        Sysex message{std::span<const std::uint8_t>(hexBytes(reply))};
        EXPECT_EQ(device.checkId(&message), known) << reply;
        EXPECT_EQ(device.modelName(), model) << reply;
    }
}

TEST_F(MotifDevice, NamesSecondaryPortsAfterTheMainOnes)
{
    device.mainIn().setName("Motif ES-1 In-1");
    device.mainOut().setName("Motif ES-1 Out-1");
    device.setSecondaryPorts();
    EXPECT_EQ(device.secondaryIn().name(), "Motif ES-4 In-4");
    EXPECT_EQ(device.secondaryOut().name(), "Motif ES-4 Out-4");

    device.secondaryIn().setName("kept");
    device.secondaryOut().setName("kept");
    device.mainIn().setName("-1 Motif");
    device.setSecondaryPorts();
    EXPECT_EQ(device.secondaryIn().name(), "kept");
    device.mainIn().setName("Motif In");
    device.setSecondaryPorts();
    EXPECT_EQ(device.secondaryOut().name(), "kept");
}

TEST_F(MotifDevice, SystemSettingsAndStore)
{
    device.setLocalOn(false);
    device.setLocalOn(true);
    device.storeAllPatches();
    EXPECT_EQ(wire.lines(), (QStringList{"F0 43 10 7F 00 00 00 09 00 F7", "F0 43 10 7F 00 00 00 09 01 F7",
                                         "F0 43 00 7F 00 00 00 11 00 00 6F F7"}));
    EXPECT_EQ(clock.sleeps(), std::vector<int>{2500});

    device.resetMixVoices();
    EXPECT_EQ(device.userPatchName(Patch(0x3F3C, 15)), "--");
    EXPECT_EQ(device.userPatchName(Patch(0x3F3C, 16)), "");
}

TEST_F(MotifDevice, ReceiveChannelComesFromTheInstrumentAndFallsBackToOne)
{
    // No answer within 500 ms of manual time: channel 1 (0).
    device.setReceiveChannel(5);
    device.updateRcvChannel();
    EXPECT_EQ(device.receiveChannel(), 0);
    EXPECT_EQ(wire.lines(), QStringList{"F0 43 30 7F 00 00 00 0A F7"});

    wire.far->setReceiver([&](MidiBytes) { wire.answer(hexBytes("F0 43 10 7F 00 00 00 0A 07 F7")); });
    device.updateRcvChannel();
    EXPECT_EQ(device.receiveChannel(), 7);
    wire.far->setReceiver([&](MidiBytes) { wire.answer(hexBytes("F0 43 10 7F 00 00 00 0A 10 F7")); });
    device.updateRcvChannel();
    EXPECT_EQ(device.receiveChannel(), 0);
    // The answer is the value, not a mode report.
    wire.far->setReceiver([&](MidiBytes) { wire.answer(hexBytes("F0 43 10 7F 00 0A 00 01 03 F7")); });
    EXPECT_EQ(device.syncGetMode(500), 3);
    EXPECT_EQ(device.currentMode(), -1);
}
