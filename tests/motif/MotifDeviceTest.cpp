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
    // Already in song mode: a mix needs no change, but mix voices always do.
    device.setModeByType(Motif::Mix);
    device.setModeByType(Motif::Mix);
    device.setModeByBank(Motif::MixVoiceBank);
    EXPECT_EQ(wire.lines(), QStringList(2, "F0 43 10 7F 00 0A 00 01 03 F7"));
    EXPECT_EQ(clock.sleeps(), (std::vector<int>{350, 350}));

    device.setModeByBank(0x3F08);
    device.setModeByBank(0x7F00);
    device.setModeByBank(0x3F47);
    device.setModeByBank(0x3F40);
    device.setModeByBank(0x7F7F);
    device.setModeByBank(0x3F0A);
    device.setModeByType(6);
    EXPECT_EQ(wire.lines().mid(2),
              (QStringList{"F0 43 10 7F 00 0A 00 01 00 F7", "F0 43 10 7F 00 0A 00 01 01 F7",
                           "F0 43 10 7F 00 0A 00 01 04 F7"}));
    EXPECT_EQ(clock.sleeps().size(), 5u);
}

// What the device adds to the bank table: mix voices are no stored voices, mixes and masters have
// no bank number, and the parameter address schemes end where their blocks do (the addresses
// within are the init templates', which go out byte for byte in the init transcript).
TEST_F(MotifDevice, KnowsItsBanks)
{
    EXPECT_TRUE(Motif::isVoiceBank(0x0000) && !Motif::isVoiceBank(Motif::MixVoiceBank));
    EXPECT_EQ(device.bankNumber(0x7F00) + device.bankNumber(0x7F7E), "127/0");
    EXPECT_EQ(VOICE_ELM_PART(1, 7), 0x100u);
    EXPECT_EQ(DRUM_KEY_PART(1, 5), 0xFFFFFFFFu);
}

// How a stored patch is selected in each mode is the device transcript's (select); an edit buffer
// is selected by its type, without a wait.
TEST_F(MotifDevice, SelectsTheEditBufferOfATypeWithoutAWait)
{
    device.setReceiveChannel(2);
    device.patchChangeByType(Motif::DrumKit);
    device.patchChangeByType(Motif::Performance);
    EXPECT_EQ(wire.lines(), (QStringList{"B2 00 3F", "B2 20 28", "C2 00"}));
    EXPECT_TRUE(clock.sleeps().empty());
}

TEST_F(MotifDevice, FollowsWhatTheInstrumentReports)
{
    QStringList changes;
    QObject::connect(&device, &MidiDevice::patchChanged, [&](Patch p, int) {
        changes << QString::asprintf("%04X:%d", unsigned(p.bank()), p.program());
    });
    int forwarded = 0;
    QObject::connect(&device, &MidiDevice::sysexReceived, [&](const Sysex&, int) { ++forwarded; });

    receive("F0 43 10 7F 00 0A 00 01 01 F7");
    receive("F0 43 10 7F 00 0A 00 00 03 F7");
    receive("F3 07", SourceMain);
    receive("F3 09", SourceSecondary);
    // From the secondary port only parameter changes get through.
    receive("F0 43 00 7F 00 00 00 0E 0F 00 63 F7", SourceSecondary);
    receive("F0 43 10 7F 00 0A 00 01 04 F7", SourceSecondary);
    EXPECT_TRUE(device.inMasterMode());
    EXPECT_EQ(forwarded, 3);
    // Bank select and program change on the receive channel are a patch change too.
    receive("B0 00 3F");
    receive("B0 20 09");
    receive("C0 11");
    EXPECT_EQ(changes, (QStringList{"7F7F:3", "7F7E:7", "3F09:17"}));
}

TEST_F(MotifDevice, RecognisesOnlyTheThreeKeyboardsByIdentity)
{
    // Another family member, another maker, the last keyboard, an unknown member (every keyboard is
    // identified in tests/e2e/DeviceAgainstInstrumentTest.cpp and the device transcript).
    const std::tuple<const char*, bool, const char*> replies[] = {
        {"F0 7E 00 06 02 43 00 41 6A 04 00 00 00 01 F7", false, "Motif ES"},
        {"F0 7E 00 06 02 41 00 41 6A 05 00 00 00 01 F7", false, "Motif ES"},
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
    const auto names = [&] { return device.secondaryIn().name() + "|" + device.secondaryOut().name(); };
    device.mainIn().setName("Motif ES-1 In-1");
    device.mainOut().setName("Motif ES-1 Out-1");
    device.setSecondaryPorts();
    EXPECT_EQ(names(), "Motif ES-4 In-4|Motif ES-4 Out-4");
    // A "-1" that starts the name is no port number.
    device.mainIn().setName("-1 Motif");
    device.setSecondaryPorts();
    EXPECT_EQ(names(), "Motif ES-4 In-4|Motif ES-4 Out-4");
}

// Part volumes of mix parts and board parts, none past the last; local control and store.
// The part volumes that go out are the device transcript's (volume); here the ones that do not,
// local control and store.
TEST_F(MotifDevice, SystemSettingsPartVolumesAndStore)
{
    for (const auto& [part, volume] : {std::pair{3, -1}, {-1, 10}, {19, 70}})
        device.setPartVolume(part, volume);
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
    // No answer within 500 ms, an answer out of range: channel 1 (0).
    const char* const answers[] = {nullptr, "F0 43 10 7F 00 00 00 0A 07 F7", "F0 43 10 7F 00 00 00 0A 10 F7"};
    QList<int> channels;
    for (const char* answer : answers) {
        device.setReceiveChannel(5);
        if (answer) wire.far->setReceiver([&, answer](MidiBytes) { wire.answer(hexBytes(answer)); });
        device.updateRcvChannel();
        channels << device.receiveChannel();
    }
    EXPECT_EQ(channels, (QList<int>{0, 7, 0}));
    EXPECT_EQ(wire.lines(), QStringList{"F0 43 30 7F 00 00 00 0A F7"});
    // The answer is the value, not a mode report.
    wire.far->setReceiver([&](MidiBytes) { wire.answer(hexBytes("F0 43 10 7F 00 0A 00 01 03 F7")); });
    EXPECT_EQ(device.syncGetMode(500), 3);
    EXPECT_EQ(device.currentMode(), -1);
}
