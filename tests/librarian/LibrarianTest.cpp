// Fetch and send through a cable that damages what it carries: a block with a bad checksum or
// lost is fetched again, a location that reads back different is sent again, and a fault that
// persists ends in a text naming the place.
#include "TamperingTransport.h"

#include "core/Clock.h"
#include "emulator/InstrumentSettings.h"
#include "motif/librarian/Librarian.h"
#include "zaltor/BulkDump.h"
#include "zaltor/PatchDump.h"

#include <gtest/gtest.h>

namespace {
class LibrarianTest : public ::testing::Test {
protected:
    ManualClock clock;
    ScopedClock scoped{clock};
    TamperedRig tampered;
    InstrumentRig& rig = tampered.rig;
    TamperingTransport& cable = tampered.cable;
    Librarian librarian{rig.device};
    const PatchLocation user1_5{Patch(0x3F08, 5), -1};
};

// A data byte changed, the checksum left as it was.
bool breakChecksum(MotifSysex& block)
{
    block.setDataAt(0, block.dataAt(0) ^ 0x01);
    return true;
}
bool dropFirst(MotifSysex&, int seen) { return seen > 0; }
bool dropAll(MotifSysex&, int) { return false; }
} // namespace

TEST_F(LibrarianTest, FetchKeepsTheWholeBlocksOfEveryReplyAndAsksAgainForTheRest)
{
    BulkDump clean, bulk;
    ASSERT_EQ(librarian.fetch(user1_5, clean), QString());
    auto always = [](bool (*fault)(MotifSysex&)) {
        return [fault](MotifSysex& block, int) { return fault(block); };
    };
    // A fault on the messages of one address: how many of them the fetch saw, how long it waited
    // for lack of a header or footer, and what it says when the fault persists.
    const struct {
        std::uint32_t address;
        TamperingTransport::Tamper fault;
        int received;
        std::int64_t ms;
        const char* error;
    } rows[] = {
        {0x407000, [](MotifSysex& block, int seen) { return seen > 0 || breakChecksum(block); }, 2, 0, ""},
        {0x440350, dropFirst, 2, 0, ""},
        // Without its header or footer a reply ends after a short quiet; the footer is the
        // header's twin.
        {0x0E0805, dropFirst, 2, 300, ""},
        {0x0F0805, dropFirst, 1, 300, ""},
        {0x0F0805, always([](MotifSysex& footer) {
             footer.setAt(10, footer.at(10) ^ 0x01);
             return true;
         }),
         1, 0, ""},
        {0x0F0805, always([](MotifSysex& footer) {
             footer.setAt(9, 0x06);
             return true;
         }),
         1, 0, ""},
        // Three requests, the last two bringing nothing new; replies without their header do not
        // count, up to eight.
        {0x0E0805, dropAll, 8, 2400, "no reply began with its header"},
        {0x407000, always(breakChecksum), 3, 0, "bad checksum in the block at 407000"},
        {0x410100, dropAll, 3, 0, "block 410100 missing"},
        {0x440350, always([](MotifSysex& block) {
             block.setAddress(0x4A0000);
             return true;
         }),
         3, 0, "block 440350 missing; unexpected block 4A0000 (4 bytes)"},
    };
    for (const auto& row : rows) {
        cable.watched = row.address;
        cable.received = 0;
        cable.in = row.fault;
        const std::int64_t start = clock.nowMs();
        const QString error = librarian.fetch(user1_5, bulk);
        EXPECT_EQ(error,
                  *row.error ? "the bulk for USER1:5 is not a whole voice: " + QString(row.error) : "");
        EXPECT_EQ(bulk.toBytes(), *row.error ? std::vector<std::uint8_t>{} : clean.toBytes()) << row.error;
        EXPECT_EQ(cable.received, row.received) << std::hex << row.address << row.error;
        EXPECT_EQ(clock.nowMs() - start, row.ms) << std::hex << row.address;
    }
}

// A 375-message drum kit through a cable that loses or damages 6% of them never arrives whole in
// one reply; the blocks of several come together.
TEST_F(LibrarianTest, ADrumKitComesTogetherFromRepliesThatEachLackBlocks)
{
    InstrumentSettings settings;
    ASSERT_EQ(settings.setAll("drop=0.03,corrupt=0.03,seed=3"), QString());
    InstrumentRig faulty(settings);
    const PatchLocation kit{Patch(0x3F28, 3), -1};
    BulkDump clean, bulk;
    ASSERT_EQ(librarian.fetch(kit, clean), QString());
    ASSERT_EQ(Librarian(faulty.device).fetch(kit, bulk), QString());
    EXPECT_EQ(bulk.toBytes(), clean.toBytes());
    EXPECT_GT(faulty.instrument.faultCounts().dropped, 20);
}

TEST_F(LibrarianTest, VerifiedSendResendsWhatReadsBackDifferent)
{
    BulkDump bulk;
    ASSERT_EQ(librarian.fetch(user1_5, bulk), QString());
    auto dump = librarian.toDump(bulk);
    dump->setName("Verified");
    const PatchLocation target{Patch(0x3F09, 7), -1};
    // Every send but the second arrives renamed, with a checksum that holds: only the read-back shows it.
    cable.out = [](MotifSysex& block, int seen) {
        if (seen == 1) return true;
        block.setDataAt(0, 'X');
        block.updateChecksum();
        return true;
    };
    EXPECT_EQ(librarian.sendVerified(target, *dump), QString());
    EXPECT_EQ(cable.sent, 2);
    EXPECT_EQ(rig.instrument.block(0x0907, 0x407000)[0], 'V');

    // Damage on every try: three tries fail and say where.
    EXPECT_EQ(librarian.sendVerified(target, *dump), "USER2:7 reads back different from what was sent");
    EXPECT_EQ(cable.sent, 5);

    // A read-back that lacks a block, though fetched three times, is a try that failed, not the
    // end of the verify.
    cable.out = nullptr;
    cable.received = 0;
    cable.in = [](MotifSysex&, int seen) { return seen >= 3; };
    EXPECT_EQ(librarian.sendVerified(target, *dump), QString());
    EXPECT_EQ(cable.received, 4);
    EXPECT_EQ(rig.instrument.errors(), QStringList{});
}

TEST_F(LibrarianTest, LateRepliesToOneLocationAreNotTakenForTheNext)
{
    // Both tries for USER1:5 go unanswered in time; their replies land after USER1:6 is asked for,
    // whose own first reply loses its header.
    cable.hold();
    BulkDump bulk;
    EXPECT_EQ(librarian.fetch(user1_5, bulk), "no bulk from the instrument for USER1:5 within 3000 ms: check "
                                              "that its MIDI device number is 1 or 'all' (--device)");
    EXPECT_EQ(clock.nowMs(), 6000);
    cable.raw = nullptr;
    ASSERT_EQ(cable.held.size(), 2 * 39u);
    cable.watched = 0x0E0806;
    cable.in = dropFirst;
    EXPECT_EQ(librarian.fetch({Patch(0x3F08, 6), -1}, bulk), QString());
    EXPECT_EQ(clock.nowMs(), 6300);
    EXPECT_EQ(bulk.first()->getAddress(), 0x0E0806u);
    EXPECT_EQ(librarian.toDump(bulk)->name(false), "USER1:006 ");
}

TEST_F(LibrarianTest, IdentifyNamesWhatAnsweredOrThatNothingDid)
{
    EXPECT_EQ(librarian.identify(), QString());
    EXPECT_EQ(rig.device.modelName(), "Motif ES7");
    cable.raw = [](MidiBytes& reply) { reply[8] = 0x70; };
    EXPECT_EQ(
        librarian.identify(),
        "the instrument on in 'host' / out 'host' is a Yamaha model with family code 00 41 and member code "
        "70 05 (hex, as its identity reply gives them): only Motif ES6/ES7/ES8 are supported");
    cable.silence();
    const std::int64_t start = clock.nowMs();
    EXPECT_EQ(
        librarian.identify(),
        "no answer to the identity request within 1000 ms on in 'host' / out 'host', device number 1: check "
        "that the instrument is switched on, that its MIDI OUT (or USB) reaches 'host' and 'host' reaches "
        "its MIDI IN, and that its MIDI device number is 1 or 'all'");
    EXPECT_EQ(clock.nowMs() - start, 1000);
    cable.gone = true;
    EXPECT_TRUE(
        librarian.identify().startsWith("port 'host' is gone (in 'host' / out 'host', device number 1"));
}
