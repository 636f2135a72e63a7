#include "emulator/BulkTransfer.h"

#include "InstrumentBench.h"
#include "emulator/EsWire.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Layout = std::vector<std::pair<std::uint32_t, std::size_t>>; // block address and size

MidiBytes dumpRequest(std::uint16_t control)
{
    return {0xF0, 0x43, 0x20, 0x7F, 0x00, 0x0E, std::uint8_t(control >> 8), std::uint8_t(control & 0xFF),
            0xF7};
}

MidiBytes header(std::uint16_t control) { return EsWire::bulkDump(0x0E0000 | control, {}); }

MidiBytes footer(std::uint16_t control) { return EsWire::bulkDump(0x0F0000 | control, {}); }

Layout voiceLayout()
{
    Layout layout{{0x407000, 82}, {0x400000, 17}, {0x400040, 4},  {0x400100, 36}, {0x400200, 37},
                  {0x400300, 34}, {0x400400, 34}, {0x400500, 30}, {0x400600, 38}};
    for (std::uint32_t n = 0; n < 4; ++n) {
        for (auto [address, size] : Layout{{0x410000, 29},
                                           {0x410020, 30},
                                           {0x420000, 30},
                                           {0x430000, 50},
                                           {0x440000, 8},
                                           {0x440040, 8},
                                           {0x440050, 4}})
            layout.emplace_back(address + n * 0x100, size);
    }
    return layout;
}

Layout drumLayout()
{
    Layout layout{{0x467000, 82}, {0x460000, 8},  {0x460040, 4},  {0x460100, 36},
                  {0x460200, 37}, {0x460300, 34}, {0x460400, 34}, {0x460500, 30}};
    for (std::uint32_t k = 0; k < 73; ++k) {
        for (auto [address, size] :
             Layout{{0x470000, 19}, {0x470020, 12}, {0x480000, 3}, {0x490000, 8}, {0x4A0000, 8}})
            layout.emplace_back(address + k * 0x100, size);
    }
    return layout;
}

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

Layout layoutOf(const std::vector<EsMessage>& blocks)
{
    Layout layout;
    for (const EsMessage& m : blocks) layout.emplace_back(m.address, m.data.size());
    return layout;
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

TEST(BulkTransfer, AnswersADumpRequestWithTheWholeBulk)
{
    InstrumentBench bench;
    const Replies bulk = bench.ask(dumpRequest(0x0805));
    ASSERT_EQ(bulk.size(), 39u);
    EXPECT_EQ(bulk.front(),
              (MidiBytes{0xF0, 0x43, 0x00, 0x7F, 0x00, 0x00, 0x00, 0x0E, 0x08, 0x05, 0x65, 0xF7}));
    EXPECT_EQ(bulk.back(),
              (MidiBytes{0xF0, 0x43, 0x00, 0x7F, 0x00, 0x00, 0x00, 0x0F, 0x08, 0x05, 0x64, 0xF7}));
    EXPECT_EQ(bulk[37], (MidiBytes{0xF0, 0x43, 0x00, 0x7F, 0x00, 0x00, 0x04, 0x44, 0x03, 0x50, 0x00, 0x7F,
                                   0x7F, 0x7F, 0x68, 0xF7}));
    const std::vector<EsMessage> blocks = blocksOf(bulk);
    EXPECT_EQ(layoutOf(blocks), voiceLayout());

    // The location's own name over the init voice; category and the rest stay the template's.
    const Bytes name{'U',  'S',  'E',  'R',  '1',  ':',  '0',  '0',  '5',  ' ',  0x00, 0x00, 0x00, 0x00,
                     0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x17, 0x00, 0x01, 0x03, 0x00, 0x7F, 0x01,
                     0x7F, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x64, 0x00, 0x64, 0x01, 0x00, 0x00, 0x5A};
    ASSERT_EQ(blocks[0].data.size(), 82u);
    EXPECT_EQ(Bytes(blocks[0].data.begin(), blocks[0].data.begin() + 42), name);
    EXPECT_EQ(Bytes(blocks[0].data.begin() + 42, blocks[0].data.end()), [] {
        Bytes tail(10, 0x7F);
        tail.push_back(0x02);
        tail.insert(tail.end(), 28, 0x40);
        tail.push_back(0x00);
        return tail;
    }());
    // Only the first element sounds.
    EXPECT_EQ(blocks[9].data[0], 0x01);
    EXPECT_EQ(blocks[16].data[0], 0x00);
    EXPECT_EQ(blocks[9].data,
              (Bytes{0x01, 0x00, 0x00, 0x00, 0x01, 0x01, 0x01, 0x00, 0x40, 0x00, 0x40, 0x40, 0x00, 0x7F, 0x01,
                     0x7F, 0x00, 0x00, 0x00, 0x7F, 0x7F, 0x00, 0x01, 0x00, 0x00, 0x3F, 0x00, 0x07, 0x0B}));
    EXPECT_EQ(bench.instrument.log().back().description, "dump request: USER1:005, answered with 37 blocks");

    const Replies kit = bench.ask(dumpRequest(0x2803));
    ASSERT_EQ(kit.size(), 375u);
    EXPECT_EQ(kit.front(), header(0x2803));
    EXPECT_EQ(kit.back(), footer(0x2803));
    const std::vector<EsMessage> keys = blocksOf(kit);
    EXPECT_EQ(layoutOf(keys), drumLayout());
    EXPECT_EQ(nameOf(keys[0].data), "DR:USR:003");
    EXPECT_EQ(keys[0].data[12], 0x0D);

    // The edit buffers hold the init patches.
    const std::vector<std::tuple<std::uint16_t, std::size_t, std::string>> buffers{
        {0x0F00, 37, "Init Voice"}, {0x2F00, 373, "Init Drum "}, {0x1F00, 9, "----------"},
        {0x4F00, 20, "Init Perf "}, {0x5F00, 32, "Init Multi"},  {0x7F00, 5, "InitMaster"}};
    for (const auto& [control, count, init] : buffers) {
        const Replies dump = bench.ask(dumpRequest(control));
        ASSERT_EQ(dump.size(), count + 2) << control;
        EXPECT_EQ(dump.front(), header(control));
        EXPECT_EQ(nameOf(blocksOf(dump)[0].data), init);
    }
    EXPECT_EQ(bench.instrument.errorCount(), 0);
}

TEST(BulkTransfer, StartsFromTheInitTemplates)
{
    const VirtualInstrument vi(VirtualInstrument::Model::ES6);
    const Bytes kitName = vi.block(0x2F00, 0x467000);
    ASSERT_EQ(kitName.size(), 82u);
    EXPECT_EQ(Bytes(kitName.begin(), kitName.begin() + 24),
              (Bytes{0x49, 0x6E, 0x69, 0x74, 0x20, 0x44, 0x72, 0x75, 0x6D, 0x20, 0x00, 0x00,
                     0x0D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x09, 0x21, 0x00, 0x01}));
    EXPECT_EQ(vi.block(0x2F00, 0x4A4800), (Bytes{0x00, 0x00, 0x00, 0x36, 0x40, 0x01, 0x67, 0x40}));
    EXPECT_EQ(vi.block(0x0F00, 0x400100)[21], 0x00);
    EXPECT_EQ(vi.block(0x1F00, 0x4C0100)[21], 0x28);
    EXPECT_EQ(vi.block(0x4F00, 0x300200)[21], 0x40);

    Bytes plg(68, 0x00);
    plg[3] = 0x26;
    std::fill(plg.begin() + 4, plg.begin() + 31, 0x40);
    plg[32] = 0x40;
    plg[65] = 0x03;
    EXPECT_EQ(vi.block(0x1F00, 0x4C2000), plg);

    const Bytes part{0x3F, 0x00, 0x00, 0x7F, 0x01, 0x01, 0x7F, 0x00, 0x7F, 0x42, 0x3E, 0x40, 0x40, 0x64, 0x40,
                     0x40, 0x08, 0x00, 0x0C, 0x00, 0x00, 0x7F, 0x40, 0x40, 0x40, 0x40, 0x00, 0x40, 0x01, 0x00,
                     0x00, 0x7F, 0x7F, 0x7F, 0x40, 0x40, 0x01, 0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0x40,
                     0x00, 0x00, 0x36, 0x40, 0x00, 0x01, 0x0D, 0x40, 0x00, 0x01, 0x67, 0x40, 0x00};
    EXPECT_EQ(vi.block(0x4F00, 0x310000), part);
    Bytes expected = part;
    expected[31] = 0x7C;
    EXPECT_EQ(vi.block(0x4F00, 0x310300), expected);
    expected[1] = 0x4C;
    std::fill(expected.begin() + 47, expected.end(), 0x00);
    EXPECT_EQ(vi.block(0x4F00, 0x316200), expected);

    expected = part;
    expected[3] = 0x0E;
    expected[31] = 0x7C;
    EXPECT_EQ(vi.block(0x5F00, 0x370E00), expected);
    expected[1] = 0x49;
    expected[3] = 0x01;
    const Bytes plgTail{0x2E, 0x20, 0x00, 0x00, 0x53, 0x20, 0x00, 0x01, 0x03, 0x20, 0x00};
    std::copy(plgTail.begin(), plgTail.end(), expected.begin() + 47);
    EXPECT_EQ(vi.block(0x5F00, 0x376100), expected);
    EXPECT_EQ(vi.block(0x5F00, 0x370000)[3], 0x00);
    EXPECT_EQ(vi.block(0x5F00, 0x370000)[31], 0x7F);

    const Bytes mix = vi.block(0x5F00, 0x360000);
    ASSERT_EQ(mix.size(), 101u);
    EXPECT_EQ((Bytes{mix[16], mix[40], mix[41], mix[84], mix[85], mix[86], mix[98], mix[99], mix[100]}),
              (Bytes{0x00, 0x01, 0x0A, 0x00, 0x20, 0x00, 0x01, 0x7F, 0x7F}));
    EXPECT_EQ(vi.block(0x7F00, 0x320300)[0], 0x00);
    EXPECT_EQ(vi.block(0x7F00, 0x320000)[0], 0x30);
    EXPECT_EQ(vi.block(0x7F00, 0x320400), Bytes{});
    EXPECT_EQ(vi.block(0x7005, 0x330000).size(), 19u);
    EXPECT_EQ(nameOf(vi.block(0x7005, 0x330000)), "MASTER:005");
    EXPECT_EQ(nameOf(vi.block(0x4000, 0x300000)), "PERF:000  ");
    EXPECT_EQ(vi.block(0x5F01, 0x360000), Bytes{});
}

TEST(BulkTransfer, WritesAReceivedBulkAtItsFooter)
{
    InstrumentBench bench;
    VirtualInstrument& vi = bench.instrument;
    Replies bulk = bench.ask(dumpRequest(0x0805));
    const Bytes name{'B', 'a', 's', 's', ' ', 'S', 'o', 'l', 'o', ' '};
    std::vector<std::uint8_t> nameBlock = blocksOf(bulk)[0].data;
    std::copy(name.begin(), name.end(), nameBlock.begin());
    bulk[1] = EsWire::bulkDump(0x407000, nameBlock);

    const Replies sent = retarget(bulk, 0x0903);
    for (std::size_t i = 0; i + 1 < sent.size(); ++i) EXPECT_EQ(bench.ask(sent[i]), Replies{});
    EXPECT_EQ(nameOf(vi.block(0x0903, 0x407000)), "USER2:003 ");
    bench.ask(sent.back());
    EXPECT_EQ(bench.ask(dumpRequest(0x0903)), sent);
    EXPECT_EQ(nameOf(vi.block(0x0903, 0x407000)), "Bass Solo ");

    // Blocks that a bulk leaves out keep their values.
    const Bytes common{0x03, 0x7F, 0x01, 0x01, 0x00, 0x42, 0x3E, 0x01, 0x00,
                       0x40, 0x00, 0x0C, 0x00, 0x00, 0x7F, 0x00, 0x09};
    bench.ask(header(0x0904));
    bench.ask(EsWire::bulkDump(0x400000, common));
    bench.ask(footer(0x0904));
    EXPECT_EQ(vi.block(0x0904, 0x400000), common);
    EXPECT_EQ(nameOf(vi.block(0x0904, 0x407000)), "USER2:004 ");
    EXPECT_EQ(vi.block(0x0904, 0x410000), vi.block(0x0905, 0x410000));

    const auto log = vi.log();
    EXPECT_EQ(log[log.size() - 3].description, "bulk header: USER2:004");
    EXPECT_EQ(log[log.size() - 2].description, "bulk block 0x400000 (17 bytes) for USER2:004");
    EXPECT_EQ(log.back().description, "bulk footer: USER2:004 written from 1 blocks");

    // Stores are counted; the store command carries no data.
    bench.ask({0xF0, 0x43, 0x00, 0x7F, 0x00, 0x00, 0x00, 0x11, 0x00, 0x00, 0x6F, 0xF7});
    bench.ask(EsWire::bulkDump(BulkTransfer::storeCommand, {}));
    EXPECT_EQ(vi.storeCount(), 2);
    EXPECT_EQ(vi.log().back().description, "store command (store 2)");
    EXPECT_EQ(vi.errorCount(), 0);
    const std::uint8_t one[] = {0x01};
    bench.ask(EsWire::bulkDump(BulkTransfer::storeCommand, one));
    EXPECT_EQ(vi.storeCount(), 2);
    EXPECT_EQ(
        vi.errors(),
        QStringList{"store command 0x110000 carries 1 data bytes: F0 43 00 7F 00 00 01 11 00 00 01 6D F7"});
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
    EXPECT_EQ(vi.errorCount(), 3);

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
    for (const auto& [bytes, error] : cases) {
        const int errors = vi.errorCount();
        bench.ask(bytes);
        if (error.isEmpty())
            EXPECT_EQ(vi.errorCount(), errors) << EsWire::toHex(bytes).toStdString();
        else
            EXPECT_EQ(vi.errors().back(), error + ": " + EsWire::toHex(bytes));
    }
    EXPECT_EQ(vi.errorCount(), 3 + 7);
    EXPECT_EQ(vi.userMemory(), before);
}

TEST(BulkTransfer, RefusesLocationsItDoesNotHave)
{
    InstrumentBench bench;
    VirtualInstrument& vi = bench.instrument;
    const std::vector<std::pair<std::uint16_t, QString>> cases{
        {0x1805, "bulk control 0x1805 is in P1-USR, but PLG slot 1 has no board"},
        {0x1A3F, "bulk control 0x1A3F is in P3-USR, but PLG slot 3 has no board"},
        {0x2820, "bulk control 0x2820 is beyond DR:USR, which holds 32 drum kits"},
        {0x0A00, "bulk control 0x0A00 names no location of this instrument"},
        {0x5F01, "bulk control 0x5F01 names no location of this instrument"},
        {0x0000, "bulk control 0x0000 names no location of this instrument"},
    };
    for (const auto& [control, reason] : cases) {
        EXPECT_EQ(bench.ask(dumpRequest(control)), Replies{});
        EXPECT_EQ(vi.errors().back(), QString::asprintf("dump request for 0x0E%04X: ", control) + reason +
                                          ": " + EsWire::toHex(dumpRequest(control)));
    }
    EXPECT_EQ(bench.ask({0xF0, 0x43, 0x20, 0x7F, 0x00, 0x40, 0x00, 0x00, 0xF7}), Replies{});
    EXPECT_EQ(vi.errors().back(), "dump request for 0x400000: only whole bulks (0x0Emmll) can be requested: "
                                  "F0 43 20 7F 00 40 00 00 F7");
    EXPECT_EQ(vi.errorCount(), int(cases.size()) + 1);
    EXPECT_EQ(vi.userMemory().size(), 128u + 128u + 32u + 128u + 128u);

    // A board in slot 2 brings its bank of 64 voices.
    InstrumentBench plg(VirtualInstrument::Model::ES8, {false, true, false});
    const Replies voice = plg.ask(dumpRequest(0x193F));
    ASSERT_EQ(voice.size(), 11u);
    EXPECT_EQ(nameOf(blocksOf(voice)[0].data), "P2-USR:063");
    EXPECT_EQ(plg.ask(dumpRequest(0x1940)), Replies{});
    EXPECT_EQ(plg.ask(dumpRequest(0x1800)), Replies{});
    EXPECT_EQ(
        plg.instrument.errors(),
        (QStringList{"dump request for 0x0E1940: bulk control 0x1940 is beyond P2-USR, which holds 64 PLG "
                     "voices: F0 43 20 7F 00 0E 19 40 F7",
                     "dump request for 0x0E1800: bulk control 0x1800 is in P1-USR, but PLG slot 1 has no "
                     "board: F0 43 20 7F 00 0E 18 00 F7"}));
    EXPECT_EQ(plg.instrument.userMemory().size(), 544u + 64u);
}

TEST(BulkTransfer, EditsTheEditBuffersByParameter)
{
    InstrumentBench bench;
    VirtualInstrument& vi = bench.instrument;
    auto change = [&](std::uint32_t address, const Bytes& data) {
        return bench.ask(EsWire::parameterChange(address, data));
    };
    auto request = [&](std::uint32_t address) {
        return bench.ask({0xF0, 0x43, 0x30, 0x7F, 0x00, std::uint8_t(address >> 16),
                          std::uint8_t(address >> 8), std::uint8_t(address), 0xF7});
    };
    EXPECT_EQ(change(0x400005, {0x50}), Replies{});
    EXPECT_EQ(change(0x407000, {'S', 'o', 'l', 'o', ' ', 'B', 'a', 's', 's', ' '}), Replies{});
    EXPECT_EQ(change(0x4A4807, {0x11}), Replies{});
    EXPECT_EQ(change(0x320302, {0x22, 0x23}), Replies{});
    EXPECT_EQ(vi.errorCount(), 0);

    const std::vector<EsMessage> voice = blocksOf(bench.ask(dumpRequest(0x0F00)));
    EXPECT_EQ(voice[1].data, (Bytes{0x03, 0x7F, 0x01, 0x01, 0x00, 0x50, 0x3E, 0x01, 0x00, 0x40, 0x00, 0x0C,
                                    0x00, 0x00, 0x7F, 0x00, 0x00}));
    EXPECT_EQ(nameOf(voice[0].data), "Solo Bass ");
    EXPECT_EQ(vi.block(0x2F00, 0x4A4800)[7], 0x11);
    EXPECT_EQ(vi.block(0x7F00, 0x320300)[2], 0x22);
    EXPECT_EQ(vi.block(0x7F00, 0x320300)[3], 0x23);
    EXPECT_EQ(vi.log()[0].description, "parameter change: 0x400005 in the voice edit buffer = 50");

    const Replies first = request(0x410000);
    EXPECT_EQ(first, Replies{EsWire::parameterChange(0x410000, Bytes{0x01})});
    EXPECT_EQ(request(0x410300), Replies{EsWire::parameterChange(0x410300, Bytes{0x00})});
    EXPECT_EQ(vi.log().back().description,
              "parameter request: 0x410300 in the voice edit buffer, answered 0");

    // A part volume is a byte of the mix edit buffer, whichever way it comes.
    EXPECT_EQ(change(0x37030D, {80}), Replies{});
    EXPECT_EQ(vi.block(0x5F00, 0x370300)[13], 80);
    Bytes mixPart = vi.block(0x5F00, 0x376200);
    mixPart[13] = 33;
    bench.ask(header(0x5F00));
    bench.ask(EsWire::bulkDump(0x376200, mixPart));
    bench.ask(footer(0x5F00));
    EXPECT_EQ(vi.partVolume(0x62), 33);
    EXPECT_EQ(vi.partVolume(0x03), 80);
    EXPECT_EQ(vi.errorCount(), 0);

    // Past the end of a block is no edit buffer.
    EXPECT_EQ(change(0x400010, {0x01, 0x02}), Replies{});
    EXPECT_EQ(request(0x400011), Replies{});
    EXPECT_EQ(vi.errors(),
              (QStringList{"bad length: 2 data bytes at 0x400010 run past the end of its block (1 bytes "
                           "left): F0 43 10 7F 00 40 00 10 01 02 F7",
                           "unknown address 0x400011 in parameter request: F0 43 30 7F 00 40 00 11 F7"}));
    EXPECT_EQ(vi.block(0x0F00, 0x400000)[16], 0x00);
}

TEST(BulkTransfer, RestoresABackupIntoAFreshInstrument)
{
    InstrumentBench original;
    const Replies kit = original.ask(dumpRequest(0x2F00));
    for (const MidiBytes& message : retarget(kit, 0x281F)) original.ask(message);
    original.ask(EsWire::parameterChange(0x467000, Bytes{'E', 'd', 'i', 't', 'e', 'd'}));
    for (const MidiBytes& message : retarget(original.ask(dumpRequest(0x2F00)), 0x2800))
        original.ask(message);
    ASSERT_EQ(original.instrument.errorCount(), 0);

    InstrumentBench fresh;
    EXPECT_NE(fresh.instrument.userMemory(), original.instrument.userMemory());
    for (const auto& [control, bytes] : original.instrument.userMemory()) {
        for (const MidiBytes& message : original.ask(dumpRequest(control))) fresh.ask(message);
    }
    EXPECT_EQ(fresh.instrument.errorCount(), 0);
    EXPECT_EQ(fresh.instrument.userMemory(), original.instrument.userMemory());
    EXPECT_EQ(nameOf(fresh.instrument.block(0x2800, 0x467000)), "Editedrum ");
    EXPECT_EQ(nameOf(fresh.instrument.block(0x281F, 0x467000)), "Init Drum ");

    original.instrument.resetToFactory();
    EXPECT_EQ(original.instrument.userMemory(), InstrumentBench().instrument.userMemory());
    EXPECT_EQ(nameOf(original.instrument.block(0x2F00, 0x467000)), "Init Drum ");
}
