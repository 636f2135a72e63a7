// Fetch and send through a cable that damages what it carries: a block with a bad checksum is
// fetched again, a location that reads back different is sent again, and a fault that persists
// ends in a text naming the place.
#include "InstrumentRig.h"

#include "core/Clock.h"
#include "motif/MotifSysex.h"
#include "motif/librarian/Librarian.h"
#include "zaltor/BulkDump.h"
#include "zaltor/PatchDump.h"

#include <gtest/gtest.h>

namespace {
// Sits between the device and its cable and lets a test change the name blocks of voices on
// their way in or out; counts those it saw.
class TamperingTransport : public MidiTransport {
public:
    using Tamper = std::function<void(MotifSysex& block, int seen)>;

    explicit TamperingTransport(MidiTransport& inner) : inner_(inner) {}
    bool send(std::span<const std::uint8_t> message) override
    {
        return inner_.send(tampered(message, out, sent));
    }
    void setReceiver(Receiver receiver) override
    {
        inner_.setReceiver([this, receiver](MidiBytes message) {
            if (receiver) receiver(tampered(message, in, received));
        });
    }
    QString name() const override { return inner_.name(); }
    bool isOpen() const override { return inner_.isOpen(); }

    Tamper in, out;
    int sent = 0, received = 0;

private:
    MidiBytes tampered(std::span<const std::uint8_t> bytes, const Tamper& tamper, int& seen)
    {
        MotifSysex message(bytes);
        if (message.kind() == MotifSysex::BulkDump && message.getAddress() == 0x407000) {
            if (tamper) tamper(message, seen);
            ++seen;
        }
        const std::span<const std::uint8_t> result = message.bytes();
        return MidiBytes(result.begin(), result.end());
    }

    MidiTransport& inner_;
};

class LibrarianTest : public ::testing::Test {
protected:
    LibrarianTest() { rig.device.connectPorts(&cable, &cable); }

    ManualClock clock;
    ScopedClock scoped{clock};
    InstrumentRig rig;
    TamperingTransport cable{*rig.host};
    Librarian librarian{rig.device};
    const PatchLocation user1_5{Patch(0x3F08, 5), -1};
};

// A data byte changed, the checksum left as it was.
void breakChecksum(MotifSysex& block) { block.setDataAt(0, block.dataAt(0) ^ 0x01); }
} // namespace

TEST_F(LibrarianTest, FetchTriesAgainAfterABadChecksumAndGivesUpAfterTwoRetries)
{
    cable.in = [](MotifSysex& block, int seen) {
        if (seen < 2) breakChecksum(block);
    };
    BulkDump bulk;
    EXPECT_EQ(librarian.fetch(user1_5, bulk), QString());
    EXPECT_EQ(cable.received, 3);
    EXPECT_EQ(librarian.toDump(bulk)->name(false), "USER1:005 ");

    cable.in = [](MotifSysex& block, int) { breakChecksum(block); };
    EXPECT_EQ(librarian.fetch(user1_5, bulk), "bad checksum in the block at 407000");
    EXPECT_EQ(cable.received, 6);
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
        if (seen == 1) return;
        block.setDataAt(0, 'X');
        block.updateChecksum();
    };
    EXPECT_EQ(librarian.sendVerified(target, *dump), QString());
    EXPECT_EQ(cable.sent, 2);
    EXPECT_EQ(rig.instrument.block(0x0907, 0x407000)[0], 'V');

    // Damage on every try: three tries fail and say where.
    EXPECT_EQ(librarian.sendVerified(target, *dump), "USER2:7 reads back different from what was sent");
    EXPECT_EQ(cable.sent, 5);
    EXPECT_EQ(rig.instrument.errors(), QStringList{});
}
