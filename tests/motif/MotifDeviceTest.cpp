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

TEST_F(MotifDevice, KnowsItsBanks)
{
    EXPECT_EQ(device.bankType(0x3F0A), -1);
    EXPECT_EQ(device.bulkControlBaseOf(0x3F0A), 0x0A00u);
    EXPECT_EQ(device.bankType(0x3F3C), 0);
    EXPECT_EQ(device.bulkControlBaseOf(0x3F3C), Motif::NoControl);
    EXPECT_EQ(device.bankType(0x3F4E), 2);
    EXPECT_EQ(device.bankType(0x3F4F), -1);
    EXPECT_EQ(device.bankType(0x7F00), 1);
    EXPECT_EQ(device.bankType(0x7F7E), 4);
    EXPECT_EQ(device.bulkControlBaseOf(0x0000), 0x0600u);
    EXPECT_EQ(device.bulkControlBaseOf(0x7F7F), 0x7000u);
    EXPECT_EQ(device.bulkControlBaseOf(0x7F00), 0x2100u);
    EXPECT_TRUE(device.isUserBank(0x3F3C));
    EXPECT_TRUE(device.isUserBank(0x7F7E));
    EXPECT_FALSE(device.isUserBank(0x3F20));
    EXPECT_FALSE(device.isUserBank(0x3F46));
    EXPECT_FALSE(Motif::isVoiceBank(0x3F3C));
    EXPECT_TRUE(Motif::isVoiceBank(0x0000));
    EXPECT_TRUE(Motif::isPLGBank(0x3F18));
    EXPECT_FALSE(Motif::isPLGBank(0x3F1B));
    EXPECT_EQ(device.bankTypeName(4), "Multis");
    EXPECT_EQ(device.bankTypeName(6), "");
    EXPECT_EQ(device.getEditBuffer(2), 0x1F00u);
    EXPECT_EQ(device.getEditBuffer(-1), 0xFFFFFFFFu);
    EXPECT_EQ(device.bankNumber(0x7F7E), "");
    EXPECT_EQ(device.bankNumber(0x7F7F), "");
    EXPECT_EQ(device.bankNumber(0x7F00), "127/0");
    EXPECT_EQ(device.bankNumber(0x3F08), "63/8");
    EXPECT_EQ(Motif::modeName(4), "Master");
    EXPECT_EQ(Motif::modeName(5), "");
    EXPECT_TRUE(Motif::isMixMode(5));
    EXPECT_FALSE(Motif::isMixMode(4));
    EXPECT_EQ(device.getIndexedAddress(0x401000, 3), 0x401006u);
    EXPECT_EQ(VOICE_ELM_PART(2, 1), 0x410220u);
    EXPECT_EQ(VOICE_ELM_PART(3, 6), 0x440350u);
    EXPECT_EQ(VOICE_ELM_PART(1, 7), 0x100u);
    EXPECT_EQ(DRUM_KEY_PART(72, 1), 0x474820u);
    EXPECT_EQ(DRUM_KEY_PART(0, 4), 0x4A0000u);
    EXPECT_EQ(DRUM_KEY_PART(1, 5), 0xFFFFFFFFu);
}

TEST_F(MotifDevice, NamesCategoriesFromItsTables)
{
    EXPECT_EQ(device.printCategory(1), "Ap");
    EXPECT_EQ(device.printCategory(16), "Co");
    EXPECT_EQ(device.printCategory(17), "??");
    EXPECT_EQ(device.printCategory(1, 1), "Ap:A.PIANO");
    EXPECT_EQ(device.printCategory(16, 3), "Co:OTHER");
    EXPECT_EQ(device.printCategory(2, 9), "Kb");
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
    auto check = [&](const char* reply) {
        Sysex message{std::span<const std::uint8_t>(hexBytes(reply))};
        return device.checkId(&message);
    };
    EXPECT_FALSE(check("F0 7E 00 06 02 43 00 41 6A 04 00 00 00 01 F7"));
    EXPECT_EQ(device.modelName(), "Motif ES");
    EXPECT_FALSE(check("F0 7E 00 06 02 41 00 41 6A 05 00 00 00 01 F7"));
    EXPECT_FALSE(check("F0 7E 00 06 02 43 00 41 6A"));
    EXPECT_TRUE(check("F0 7E 00 06 02 43 00 41 6A 05 00 00 00 01 F7"));
    EXPECT_EQ(device.modelName(), "Motif ES7");
    EXPECT_TRUE(check("F0 7E 00 06 02 43 00 41 69 05 00 00 00 01 F7"));
    EXPECT_EQ(device.modelName(), "Motif ES6");
    EXPECT_TRUE(check("F0 7E 00 06 02 43 00 41 6B 05 00 00 00 01 F7"));
    EXPECT_EQ(device.modelName(), "Motif ES8");
    EXPECT_FALSE(check("F0 7E 00 06 02 43 00 41 6C 05 00 00 00 01 F7"));
    EXPECT_EQ(device.modelName(), "Motif ES8");
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
