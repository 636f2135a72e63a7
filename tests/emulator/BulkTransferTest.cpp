#include "emulator/BulkTransfer.h"

#include "InstrumentBench.h"
#include "emulator/EsWire.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

MidiBytes dumpRequest(std::uint16_t control)
{
    return {0xF0, 0x43, 0x20, 0x7F, 0x00, 0x0E, std::uint8_t(control >> 8), std::uint8_t(control), 0xF7};
}

MidiBytes header(std::uint16_t control) { return EsWire::bulkDump(0x0E0000 | control, {}); }

MidiBytes footer(std::uint16_t control) { return EsWire::bulkDump(0x0F0000 | control, {}); }

// The blocks between header and footer, each checked to be a well-formed bulk dump.
std::vector<EsMessage> blocksOf(const Replies& bulk)
{
    std::vector<EsMessage> blocks;
    for (std::size_t i = 1; i + 1 < bulk.size(); ++i) {
        const EsParse parsed = EsWire::parse(bulk[i]);
        EXPECT_TRUE(parsed.message && parsed.message->checksumOk()) << EsWire::toHex(bulk[i]).toStdString();
        if (parsed.message) blocks.push_back(*parsed.message);
    }
    return blocks;
}

std::string nameOf(const Bytes& nameBlock) { return std::string(nameBlock.begin(), nameBlock.begin() + 10); }

// The bulk of a patch sent to another location: its blocks between a new header and footer.
Replies retarget(const Replies& bulk, std::uint16_t control)
{
    Replies sent(bulk.begin() + 1, bulk.end() - 1);
    sent.insert(sent.begin(), header(control));
    sent.push_back(footer(control));
    return sent;
}

} // namespace

// The blocks' layouts and the init bytes are checked against the device module's templates in
// tests/e2e/FactoryImageTest.cpp; here what a stored location adds: its own name over the init patch.
TEST(BulkTransfer, AnswersADumpRequestWithTheWholeBulk)
{
    InstrumentBench bench;
    const Replies bulk = bench.ask(dumpRequest(0x0805));
    ASSERT_EQ(bulk.size(), 39u);
    EXPECT_EQ(hex(bulk.front()) + " " + hex(bulk.back()),
              "F0 43 00 7F 00 00 00 0E 08 05 65 F7 F0 43 00 7F 00 00 00 0F 08 05 64 F7");
    const Bytes name = blocksOf(bulk)[0].data;
    const Bytes init = blocksOf(bench.ask(dumpRequest(0x0F00)))[0].data;
    EXPECT_EQ(nameOf(name), "USER1:005 ");
    EXPECT_EQ(Bytes(name.begin() + 10, name.end()), Bytes(init.begin() + 10, init.end()));
    EXPECT_EQ(bench.instrument.log()[0].description, "dump request: USER1:005, answered with 37 blocks");

    const Replies kit = bench.ask(dumpRequest(0x2803));
    EXPECT_EQ(std::to_string(kit.size()) + nameOf(blocksOf(kit)[0].data), "375DR:USR:003");
    EXPECT_EQ(bench.instrument.errorCount(), 0);
}

TEST(BulkTransfer, WritesAReceivedBulkAtItsFooter)
{
    InstrumentBench bench;
    VirtualInstrument& vi = bench.instrument;
    Replies bulk = bench.ask(dumpRequest(0x0805));
    Bytes name = blocksOf(bulk)[0].data;
    std::copy_n("Bass Solo ", 10, name.begin());
    bulk[1] = EsWire::bulkDump(0x407000, name);
    const Replies sent = retarget(bulk, 0x0903);
    for (std::size_t i = 0; i + 1 < sent.size(); ++i) EXPECT_EQ(bench.ask(sent[i]), Replies{});
    EXPECT_EQ(nameOf(vi.block(0x0903, 0x407000)), "USER2:003 ");
    bench.ask(sent.back());
    EXPECT_EQ(bench.ask(dumpRequest(0x0903)), sent);

    // Blocks that a bulk leaves out keep their values.
    const Bytes common(17, 0x05);
    for (const MidiBytes& m : {header(0x0904), EsWire::bulkDump(0x400000, common), footer(0x0904)})
        bench.ask(m);
    EXPECT_EQ(vi.block(0x0904, 0x400000), common);
    EXPECT_EQ(nameOf(vi.block(0x0904, 0x407000)), "USER2:004 ");
    EXPECT_EQ(vi.log().back().description, "bulk footer: USER2:004 written from 1 blocks");

    // Stores are counted; the store command carries no data.
    bench.ask(EsWire::bulkDump(BulkTransfer::storeCommand, {}));
    bench.ask(EsWire::bulkDump(BulkTransfer::storeCommand, Bytes{0x01}));
    EXPECT_EQ(vi.storeCount(), 1);
    EXPECT_EQ(vi.errors(),
              QStringList{"store command 0x110000 carries 1 data bytes: F0 43 00 7F 00 00 01 11 00 00 "
                          "01 6D F7"});
    vi.resetToFactory();
    EXPECT_EQ(vi.userMemory(), InstrumentBench().instrument.userMemory());
}

TEST(BulkTransfer, DropsABulkWithAnyBadMessage)
{
    InstrumentBench bench;
    VirtualInstrument& vi = bench.instrument;
    const Replies sent = retarget(bench.ask(dumpRequest(0x0805)), 0x0903);
    const PatchMemory::Snapshot before = vi.userMemory();

    MidiBytes corrupt = sent[5];
    corrupt[12] ^= 0x01; // a data byte, so the checksum no longer fits
    const MidiBytes shortBlock = EsWire::bulkDump(0x400000, Bytes(16, 0x00));
    const MidiBytes drumBlock = EsWire::bulkDump(0x460000, Bytes(8, 0x00));
    const std::vector<std::pair<MidiBytes, QString>> spoilers{
        {corrupt, "bad checksum 0x3F in bulk dump to 0x400200 (expected 0x3E)"},
        {shortBlock, "bad size: block 0x400000 of a voice holds 17 bytes, got 16"},
        {drumBlock, "bulk dump to 0x460000: a voice has no such block"},
    };
    for (const auto& [spoiler, error] : spoilers) {
        for (std::size_t i = 0; i < sent.size(); ++i) {
            if (i == 5) bench.ask(spoiler);
            bench.ask(sent[i]);
        }
        EXPECT_EQ(vi.errors().back(), error + ": " + EsWire::toHex(spoiler));
        EXPECT_EQ(vi.log().back().description,
                  "bulk footer: USER2:003 left unchanged, rejected messages in its bulk: 1");
        EXPECT_EQ(vi.userMemory(), before);
    }

    // Framing faults: each is counted, and nothing is written.
    const std::vector<std::pair<MidiBytes, QString>> cases{
        {sent[3], "bulk dump to 0x400040 outside a bulk (no header before it)"},
        {footer(0x0903), "bulk footer 0x0F0903 without a header"},
        {header(0x0903), ""},
        {header(0x0904), "the bulk to USER2:003 had no footer and is dropped"},
        {sent[2], ""},
        {footer(0x0903), "bulk footer 0x0F0903 does not match the header; the bulk to USER2:004 is dropped"},
        {EsWire::bulkDump(0x0E0903, Bytes{0x01}), "bulk header 0x0E0903 carries 1 data bytes"},
        {header(0x2820),
         "bulk header 0x0E2820: bulk control 0x2820 is beyond DR:USR, which holds 32 drum kits"},
        {header(0x0903), ""},
        {EsWire::bulkDump(0x0F0903, Bytes{0x01}),
         "bulk footer 0x0F0903 carries 1 data bytes; the bulk to USER2:003 is dropped"},
    };
    QStringList expected = vi.errors();
    for (const auto& [bytes, error] : cases) {
        bench.ask(bytes);
        if (!error.isEmpty()) expected << error + ": " + EsWire::toHex(bytes);
    }
    EXPECT_EQ(vi.errors(), expected);
    EXPECT_EQ(vi.userMemory(), before);
}

TEST(BulkTransfer, RefusesLocationsItDoesNotHave)
{
    InstrumentBench bench(VirtualInstrument::Model::ES8, {false, true, false});
    VirtualInstrument& vi = bench.instrument;
    const std::vector<std::pair<std::uint16_t, QString>> cases{
        {0x1805, "bulk control 0x1805 is in P1-USR, but PLG slot 1 has no board"},
        {0x1940, "bulk control 0x1940 is beyond P2-USR, which holds 64 PLG voices"},
        {0x5F01, "bulk control 0x5F01 names no location of this instrument"},
    };
    QStringList expected;
    for (const auto& [control, reason] : cases) {
        EXPECT_EQ(bench.ask(dumpRequest(control)), Replies{});
        expected << QString::asprintf("dump request for 0x0E%04X: ", control) + reason + ": " +
                        EsWire::toHex(dumpRequest(control));
    }
    EXPECT_EQ(vi.errors(), expected);
    // The board in slot 2 brings its bank of 64 voices.
    EXPECT_EQ(nameOf(blocksOf(bench.ask(dumpRequest(0x193F)))[0].data), "P2-USR:063");
    EXPECT_EQ(vi.userMemory().size(), 128u + 128u + 32u + 128u + 128u + 64u);
}

TEST(BulkTransfer, EditsTheEditBuffersByParameter)
{
    InstrumentBench bench;
    VirtualInstrument& vi = bench.instrument;
    const auto change = [&](std::uint32_t address, const Bytes& data) {
        return bench.ask(EsWire::parameterChange(address, data));
    };
    const auto request = [&](std::uint32_t address) {
        return bench.ask({0xF0, 0x43, 0x30, 0x7F, 0x00, std::uint8_t(address >> 16),
                          std::uint8_t(address >> 8), std::uint8_t(address), 0xF7});
    };
    for (const auto& [address, data] :
         {std::pair{0x400005u, Bytes{0x50}}, {0x4A4807u, {0x11}}, {0x320302u, {0x22, 0x23}}})
        EXPECT_EQ(change(address, data), Replies{});
    EXPECT_EQ(blocksOf(bench.ask(dumpRequest(0x0F00)))[1].data[5], 0x50);
    EXPECT_EQ(vi.block(0x2F00, 0x4A4800)[7], 0x11);
    EXPECT_EQ(hex(vi.block(0x7F00, 0x320300)).mid(6, 5), "22 23");
    EXPECT_EQ(vi.log()[0].description, "parameter change: 0x400005 in the voice edit buffer = 50");
    EXPECT_EQ(request(0x410000), Replies{EsWire::parameterChange(0x410000, Bytes{0x01})});
    EXPECT_EQ(vi.log().back().description,
              "parameter request: 0x410000 in the voice edit buffer, answered 1");
    // A two-byte parameter is answered whole from its first byte, one byte from its second.
    change(0x300014, {0x05, 0x21});
    EXPECT_EQ(request(0x300014), Replies{EsWire::parameterChange(0x300014, Bytes{0x05, 0x21})});
    EXPECT_EQ(request(0x300015), Replies{EsWire::parameterChange(0x300015, Bytes{0x21})});

    // A part volume is a byte of the mix edit buffer, whichever way it comes.
    change(0x37030D, {80});
    Bytes mixPart = vi.block(0x5F00, 0x376200);
    mixPart[13] = 33;
    for (const MidiBytes& m : {header(0x5F00), EsWire::bulkDump(0x376200, mixPart), footer(0x5F00)})
        bench.ask(m);
    EXPECT_TRUE(vi.partVolume(0x62) == 33 && vi.partVolume(0x03) == 80 && vi.errorCount() == 0);

    // Past the end of a block is no edit buffer.
    EXPECT_EQ(change(0x400010, {0x01, 0x02}), Replies{});
    EXPECT_EQ(request(0x400011), Replies{});
    EXPECT_EQ(vi.errors(),
              (QStringList{"bad length: 2 data bytes at 0x400010 run past the end of its block (1 bytes "
                           "left): F0 43 10 7F 00 40 00 10 01 02 F7",
                           "unknown address 0x400011 in parameter request: F0 43 30 7F 00 40 00 11 F7"}));
}
