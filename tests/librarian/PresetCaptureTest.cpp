// Presets come through the edit buffer: which locations need it, and what goes to the instrument
// (mode, selection on the receive channel, the wait, the request) before the edit buffer is saved.
#include "InstrumentRig.h"
#include "TestSupport.h"

#include "core/Clock.h"
#include "motif/librarian/PresetCapture.h"
#include "zaltor/BulkDump.h"

#include <gtest/gtest.h>

namespace {
PatchLocation at(const char* text, Motif& device)
{
    QString error;
    const auto location = PatchNotation::parseLocation(QString::fromLatin1(text), device, &error);
    EXPECT_TRUE(location) << text << ": " << error.toStdString();
    return location.value_or(PatchLocation{});
}

QStringList received(const VirtualInstrument& instrument, std::size_t from)
{
    QStringList out;
    const auto log = instrument.log();
    for (std::size_t i = from; i < log.size(); ++i) out << hex(log[i].bytes);
    return out;
}
} // namespace

TEST(PresetCapture, SelectsThePresetOnTheReceiveChannelWaitsAndFetchesItsEditBuffer)
{
    ManualClock clock;
    ScopedClock scoped{clock};
    InstrumentRig rig;
    PresetCapture capture(rig.device);
    // Voices, drum kits and PLG voices of the presets; user memory, mixes and the bank without a
    // type are not captured.
    for (const char* text : {"PRE1:0", "GM:5", "DR:PRE:2", "DR:GM:0", "63/70:1", "63/78:127"})
        EXPECT_TRUE(capture.covers(at(text, rig.device))) << text;
    for (const char* text : {"USER1:0", "DR:USR:1", "63/24:0", "PERF:0", "MASTER:0", "MIX:0", "63/60:0",
                             "63/10:0", "edit:voice"})
        EXPECT_FALSE(capture.covers(at(text, rig.device))) << text;

    rig.device.setReceiveChannel(2);
    BulkDump bulk;
    const PatchLocation pre2 = at("PRE2:7", rig.device);
    EXPECT_EQ(capture.capture(pre2, bulk), "");
    EXPECT_EQ(received(rig.instrument, 0), (QStringList{"F0 43 10 7F 00 0A 00 01 00 F7", "B2 00 3F",
                                                        "B2 20 01", "C2 07", "F0 43 20 7F 00 0E 0F 00 F7"}));
    EXPECT_EQ(clock.sleeps(), (std::vector<int>{350, 350}));
    ASSERT_EQ(bulk.count(), 39);
    EXPECT_EQ(bulk.first()->getAddress(), 0x0E0F00u);
    EXPECT_EQ(capture.note(pre2), "captured from PRE2:007 through the edit buffer");

    // Already in voice mode: a drum kit needs no mode change, only the wait for its loading.
    clock.clearSleeps();
    EXPECT_EQ(capture.capture(at("DR:GM:0", rig.device), bulk), "");
    EXPECT_EQ(received(rig.instrument, 5),
              (QStringList{"B2 00 7F", "B2 20 00", "C2 00", "F0 43 20 7F 00 0E 2F 00 F7"}));
    EXPECT_EQ(clock.sleeps(), std::vector<int>{350});
    EXPECT_EQ(bulk.first()->getAddress(), 0x0E2F00u);
    EXPECT_EQ(rig.instrument.errors(), QStringList{});
}
