// A bank's names: read from the instrument patch by patch until it falls silent, or from the
// device's tables for presets, which the instrument never sends; and any patch fetched, a preset
// through the edit buffer.
#include "TamperingTransport.h"
#include "TestSupport.h"

#include "core/Clock.h"
#include "emulator/InstrumentSettings.h"
#include "motif/librarian/BankNames.h"
#include "motif/librarian/Librarian.h"
#include "motif/librarian/PatchFetch.h"
#include "zaltor/BulkDump.h"
#include "zaltor/PatchDump.h"

#include <gtest/gtest.h>

TEST(BankNames, AnInstrumentThatFallsSilentCostsThreeWaitsAndTheRestIsMarkedUnread)
{
    ManualClock clock;
    ScopedClock scoped{clock};
    TamperedRig tampered;
    std::int64_t since = 0;
    const auto names = BankNames::read(tampered.rig.device, 0x3F08, [&](const QString&, int index, int) {
        if (index == 3) {
            since = clock.nowMs();
            tampered.cable.silence();
        }
        return true;
    });
    ASSERT_EQ(names.size(), 128u);
    EXPECT_EQ(names[2].name + '|' + names[2].category + '|' + names[2].error, "USER1:002|--|");
    EXPECT_EQ(names[5].error,
              "no bulk from the instrument for USER1:5 within 3000 ms: check that its MIDI device "
              "number is 1 or 'all' (--device)");
    EXPECT_EQ(names[6].error, "USER1:6 not read: the instrument stopped answering");
    EXPECT_EQ(names[127].name + names[127].error, "USER1:127 not read: the instrument stopped answering");
    // Two waits of 3 s at the first silent patch and one at each of the two after it.
    EXPECT_EQ(clock.nowMs() - since, 12000);
}

TEST(BankNames, OnlyThreeSilentPatchesInARowStopTheReading)
{
    ManualClock clock;
    ScopedClock scoped{clock};
    TamperedRig tampered;
    // Two patches unanswered, then answers again, then silence for good.
    const auto names = BankNames::read(tampered.rig.device, 0x3F08, [&](const QString&, int index, int) {
        if (index == 3 || index == 10) tampered.cable.silence();
        if (index == 5) tampered.cable.raw = nullptr;
        return true;
    });
    ASSERT_EQ(names.size(), 128u);
    EXPECT_EQ(names[5].name + names[5].error, "USER1:005");
    EXPECT_TRUE(names[12].error.startsWith("no bulk from the instrument for USER1:12"))
        << names[12].error.toStdString();
    EXPECT_EQ(names[13].error, "USER1:13 not read: the instrument stopped answering");
}

TEST(BankNames, PresetsComeFromTheTablesAndACancelStopsAtItsStep)
{
    InstrumentRig rig;
    const auto presets = BankNames::read(rig.device, 0x3F20);
    ASSERT_EQ(presets.size(), 64u);
    EXPECT_EQ(presets[2].category + ':' + presets[2].name, "Dr:New Rock");
    EXPECT_TRUE(BankNames::fromTables(rig.device, 0x3F20));
    EXPECT_FALSE(BankNames::fromTables(rig.device, 0x3F28));
    const auto user =
        BankNames::read(rig.device, 0x3F28, [](const QString&, int index, int) { return index < 2; });
    ASSERT_EQ(user.size(), 2u);
    EXPECT_EQ(user[1].name, "DR:USR:001");
}

TEST(PatchFetch, CapturesAPresetOnTheReportedChannelAndFetchesAUserPatch)
{
    ManualClock clock;
    ScopedClock scoped{clock};
    InstrumentSettings settings;
    settings.channel = 5;
    InstrumentRig rig(settings);
    BulkDump bulk;
    QString note;
    ASSERT_EQ(PatchFetch::fetch(rig.device, {Patch(0x3F00, 2), -1}, bulk, &note), "");
    EXPECT_EQ(note, "captured from PRE1:002 through the edit buffer");
    EXPECT_EQ(rig.device.receiveChannel(), 4);
    // The virtual instrument names its presets by their location.
    EXPECT_EQ(Librarian(rig.device).toDump(bulk)->name(false), "PRE1:002  ");
    ASSERT_EQ(PatchFetch::fetch(rig.device, {Patch(0x3F09, 7), -1}, bulk, &note), "");
    EXPECT_EQ(note, "");
}
