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
// Sits between the device and its cable and lets a test change or drop the bulk messages of one
// address (a voice's name block unless told otherwise) on their way in or out; counts those it saw.
class TamperingTransport : public MidiTransport {
public:
    // Answers false to drop the message.
    using Tamper = std::function<bool(MotifSysex& block, int seen)>;

    explicit TamperingTransport(MidiTransport& inner) : inner_(inner) {}
    bool send(std::span<const std::uint8_t> message) override
    {
        const auto bytes = tampered(message, out, sent);
        return bytes.empty() || inner_.send(bytes);
    }
    void setReceiver(Receiver receiver) override
    {
        inner_.setReceiver([this, receiver](MidiBytes message) {
            auto bytes = tampered(message, in, received);
            if (receiver && !bytes.empty()) receiver(std::move(bytes));
        });
    }
    QString name() const override { return inner_.name(); }
    bool isOpen() const override { return inner_.isOpen(); }

    Tamper in, out;
    std::uint32_t watched = 0x407000;
    int sent = 0, received = 0;

private:
    MidiBytes tampered(std::span<const std::uint8_t> bytes, const Tamper& tamper, int& seen)
    {
        MotifSysex message(bytes);
        if (message.kind() == MotifSysex::BulkDump && message.getAddress() == watched) {
            const bool keep = !tamper || tamper(message, seen);
            ++seen;
            if (!keep) return {};
        }
        const std::span<const std::uint8_t> result = message.bytes();
        return MidiBytes(result.begin(), result.end());
    }

    MidiTransport& inner_;
};

class LibrarianTest : public ::testing::Test {
protected:
    LibrarianTest() { rig.device.connectPorts(&cable, &cable); }
    // The cable goes before the rig's device, which lets go of its ports as it ends.
    ~LibrarianTest() override { rig.device.connectPorts(rig.host.get(), rig.host.get()); }

    ManualClock clock;
    ScopedClock scoped{clock};
    InstrumentRig rig;
    TamperingTransport cable{*rig.host};
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
