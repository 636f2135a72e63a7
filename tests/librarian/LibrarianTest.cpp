// Fetch and send through a cable that damages what it carries: a block with a bad checksum is
// fetched again, a location that reads back different is sent again, and a fault that persists
// ends in a text naming the place.
#include "TamperingTransport.h"

#include "core/Clock.h"
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
} // namespace

TEST_F(LibrarianTest, FetchTriesAgainAfterABadChecksumAndGivesUpAfterTwoRetries)
{
    cable.in = [](MotifSysex& block, int seen) { return seen >= 2 || breakChecksum(block); };
    BulkDump bulk;
    EXPECT_EQ(librarian.fetch(user1_5, bulk), QString());
    EXPECT_EQ(cable.received, 3);
    EXPECT_EQ(librarian.toDump(bulk)->name(false), "USER1:005 ");

    cable.in = [](MotifSysex& block, int) { return breakChecksum(block); };
    EXPECT_EQ(librarian.fetch(user1_5, bulk), "bad checksum in the block at 407000");
    EXPECT_EQ(cable.received, 6);

    // The last block and the footer are checked too, and a lost footer is a fetch without answer:
    // each is fetched again.
    const std::pair<std::uint32_t, TamperingTransport::Tamper> faults[] = {
        {0x440350, [](MotifSysex& block, int seen) { return seen > 0 || breakChecksum(block); }},
        {0x0F0805,
         [](MotifSysex& footer, int seen) {
             if (seen == 0) footer.setAt(footer.size() - 2, footer.at(footer.size() - 2) ^ 0x01);
             return true;
         }},
        {0x0F0805, dropFirst},
    };
    for (const auto& [address, fault] : faults) {
        cable.watched = address;
        cable.received = 0;
        cable.in = fault;
        EXPECT_EQ(librarian.fetch(user1_5, bulk), QString()) << std::hex << address;
        EXPECT_EQ(cable.received, 2) << std::hex << address;
    }
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

    // A read-back that never comes, though fetched three times, is a try that failed, not the end
    // of the verify.
    cable.out = nullptr;
    cable.watched = 0x0F0907;
    cable.received = 0;
    cable.in = [](MotifSysex&, int seen) { return seen >= 3; };
    EXPECT_EQ(librarian.sendVerified(target, *dump), QString());
    EXPECT_EQ(cable.received, 4);
    EXPECT_EQ(rig.instrument.errors(), QStringList{});
}

TEST_F(LibrarianTest, LateRepliesToOneLocationAreNotTakenForTheNext)
{
    // Both tries for USER1:5 go unanswered in time; their replies land after USER1:6 is asked for.
    cable.hold();
    BulkDump bulk;
    EXPECT_EQ(librarian.fetch(user1_5, bulk), "no bulk from the instrument for USER1:5 within 3000 ms");
    EXPECT_EQ(clock.nowMs(), 6000);
    cable.raw = nullptr;
    ASSERT_EQ(cable.held.size(), 2 * 39u);
    EXPECT_EQ(librarian.fetch({Patch(0x3F08, 6), -1}, bulk), QString());
    EXPECT_EQ(clock.nowMs(), 6000);
    EXPECT_EQ(bulk.first()->getAddress(), 0x0E0806u);
    EXPECT_EQ(librarian.toDump(bulk)->name(false), "USER1:006 ");
}

TEST_F(LibrarianTest, ABulkWithoutEveryBlockOfItsTypeIsAFailedFetch)
{
    BulkDump bulk;
    cable.watched = 0x410100;
    cable.in = [](MotifSysex&, int) { return false; };
    EXPECT_EQ(librarian.fetch(user1_5, bulk),
              "the bulk for USER1:5 is not a whole voice: block 410100 missing");
    EXPECT_EQ(cable.received, 3);

    // A block of no voice in place of the last one.
    cable.watched = 0x440350;
    cable.in = [](MotifSysex& block, int) {
        block.setAddress(0x4A0000);
        block.updateChecksum();
        return true;
    };
    EXPECT_EQ(librarian.fetch(user1_5, bulk).toStdString(),
              "the bulk for USER1:5 is not a whole voice: unexpected block 4A0000 (4 bytes)");
    // Lost once only, the block is fetched again.
    cable.received = 0;
    cable.in = dropFirst;
    EXPECT_EQ(librarian.fetch(user1_5, bulk), QString());
    EXPECT_EQ(cable.received, 2);
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
