#include "TestSupport.h"

#include "motif/Motif.h"
#include "motif/MotifSysex.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
MotifSysex message(const char* hex) { return MotifSysex(hexBytes(hex)); }

std::vector<MidiBytes> splitSyx(const QByteArray& bytes)
{
    std::vector<MidiBytes> out(1);
    for (char c : bytes) {
        out.back().push_back(std::uint8_t(c));
        if (std::uint8_t(c) == 0xF7) out.emplace_back();
    }
    out.pop_back();
    return out;
}
} // namespace

// Building and reading the instrument's messages is checked against the virtual instrument's own
// codec in tests/e2e/DeviceAgainstInstrumentTest.cpp; here what the device adds on top.
TEST(MotifSysex, HeaderFooterAndStoreAreRecognised)
{
    MotifSysex m;
    m.prepareBulkHeader(0x0F00);
    EXPECT_TRUE(m.isHeader() && !m.isFooter());
    m.prepareBulkFooter(0x0F00);
    EXPECT_TRUE(m.isFooter() && m.isLastOfBulk());
    m.prepareBulkDump(0x110000, QString());
    EXPECT_EQ(m.toString(), "F0 43 00 7F 00 00 00 11 00 00 6F F7");
}

TEST(MotifSysex, ParameterWithoutAddressLeavesNothingToSend)
{
    MotifSysex m;
    m.prepareBulkHeader(0x0F00);
    m.prepareParameterChange(MidiParam(), 5);
    EXPECT_TRUE(m.isEmpty());
    m.prepareBulkHeader(0x0F00);
    m.prepareParameterRequest(MidiParam());
    EXPECT_TRUE(m.isEmpty());
}

TEST(MotifSysex, AnalysesKindAddressDataAndChecksumStart)
{
    const MotifSysex bulk = message("F0 43 00 7F 00 00 03 40 70 00 41 42 43 3A F7");
    EXPECT_EQ(bulk.dataStart(), 10);
    EXPECT_EQ(bulk.checksumStart(), 5);
    EXPECT_EQ(bulk.printAnalysis(), "BULK DUMP: 407000 : 41 42 43");
    const MotifSysex change = message("F0 43 10 7F 00 30 11 00 02 48 F7");
    EXPECT_EQ(change.printAnalysis(), "PARAM CHANGE: 301100 : 02 48");
    // A pair of six-bit bytes here: 2 * 64 + 72.
    EXPECT_EQ(change.getParameterData(MidiParam(0x301100, 2)), 200);
    EXPECT_EQ(change.getParameterData(MidiParam(0x301101, 2)), -1);

    EXPECT_EQ(message("F0 43 20 7F 00 0E 08 05 F7").printAnalysis(), "BULK REQUEST: 0E0805");
    EXPECT_EQ(message("F0 43 35 7F 00 0A 00 01 F7").printAnalysis(), "PARAM REQUEST : 0A0001");
    // Another maker, an unknown kind, a truncated bulk: nothing is analysed.
    EXPECT_EQ(message("F0 41 10 42 12 40 00 7F 00 41 F7").printAnalysis(), "invalid");
    EXPECT_EQ(message("F0 43 40 7F 00 0A 00 01 F7").printAnalysis(), "invalid");
    EXPECT_EQ(message("F0 43 00 7F 00 00 F7").kind(), -1);
    EXPECT_EQ(message("F0 43 10 7F F7").kind(), -1);
}

TEST(MotifSysex, LocatesParametersInSubBlocks)
{
    const MotifSysex m;
    auto check = [&](std::uint32_t address, std::uint32_t base, std::uint32_t offset) {
        std::uint32_t b = 1, o = 1;
        m.getBulkBaseAndOffset(address, b, o);
        EXPECT_EQ(b, base) << std::hex << address;
        EXPECT_EQ(o, offset) << std::hex << address;
    };
    check(0x410125, 0x410120, 5);
    check(0x47482B, 0x474820, 11);
    check(0x47482C, 0x474800, 0x2C);
    check(0x400005, 0x400000, 5);
    check(0x400043, 0x400040, 3);
    check(0x44035F, 0x440300, 0x5F);
    check(0x440352, 0x440350, 2);
    check(0x460041, 0x460040, 1);

    MotifSysex block;
    block.prepareBulkDump(0x410120, QString("00 ").repeated(30));
    EXPECT_EQ(block.getParameterPos(MidiParam(0x41013D, 1)), 29);
    EXPECT_EQ(block.getParameterPos(MidiParam(0x41021D, 1)), -1);
    block.setAt(10 + 29, 0x55);
    EXPECT_EQ(block.getParameterData(MidiParam(0x41013D, 1)), 0x55);
    block.prepareBulkDump(0x410120, QString("00 ").repeated(29));
    EXPECT_EQ(block.getParameterPos(MidiParam(0x41013D, 1)), -1);

    const MotifSysex change = message("F0 43 10 7F 00 0A 00 01 03 F7");
    EXPECT_EQ(change.getParameterPos(MidiParam(0x0A0001, 1)), 0);
    EXPECT_EQ(change.getParameterData(MidiParam(0x0A0001, 1)), 3);
    EXPECT_EQ(change.getParameterPos(MidiParam(0x0A0000, 1)), -1);
}

TEST(MotifSysex, ReadsNamesAndCategoriesFromNameBlocks)
{
    Motif device;
    MotifSysex voice;
    // Ten name characters, two bytes, then the main category (1 = Ap).
    voice.prepareBulkDump(0x407000, "46 75 6C 6C 20 47 72 61 6E 64 00 00 01 00");
    EXPECT_TRUE(voice.hasName());
    EXPECT_TRUE(voice.hasCategory());
    EXPECT_EQ(voice.readName(&device), "Ap:Full Grand");
    voice.setAt(10 + 12, 99);
    voice.updateChecksum();
    EXPECT_EQ(voice.readName(&device), "??:Full Grand");

    MotifSysex master;
    master.prepareBulkDump(0x330000, "4D 79 20 4D 61 73 74 65 72 21 00 00 00");
    EXPECT_TRUE(master.hasName());
    EXPECT_FALSE(master.hasCategory());
    EXPECT_EQ(master.readName(&device), "My Master!");

    const MotifSysex request = message("F0 43 20 7F 00 40 70 00 F7");
    EXPECT_FALSE(request.hasName());
    EXPECT_TRUE(request.hasCategory());
    EXPECT_EQ(message("F0 43 10 7F 00 40 70 00 41 F7").readName(&device), "");
}

TEST(MotifSysex, SetAddressRetargetsABulkAndRenewsItsChecksum)
{
    MotifSysex m = message("F0 43 00 7F 00 00 00 0E 0F 00 63 F7");
    m.setAddress(0x0E0805);
    EXPECT_EQ(m.toString(), "F0 43 00 7F 00 00 00 0E 08 05 65 F7");
    EXPECT_EQ(m.getAddress(), 0x0E0805u);
    EXPECT_TRUE(m.checksumValid());
    // A request is too short to hold a block address: its F7 must survive.
    MotifSysex request = message("F0 43 30 7F 00 00 00 0A F7");
    request.setAddress(0);
    EXPECT_EQ(request.toString(), "F0 43 30 7F 00 00 00 0A F7");
    MotifSysex foreign = message("F0 41 00 F7");
    foreign.setAddress(0x0E0805);
    EXPECT_EQ(foreign.toString(), "F0 41 00 F7");
}

TEST(MotifSysex, ReadsRealBulksOfNeighbouringModels)
{
    QFile xf(MOTIF_REALDATA_DIR "/sysex/motifXF_5pad.voi.syx");
    QFile classic(MOTIF_REALDATA_DIR "/sysex/jsynthlib_motif_classic_normal.syx");
    if (!xf.open(QIODevice::ReadOnly) || !classic.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "skipped: no real Motif XF and Motif bulks under " MOTIF_REALDATA_DIR "/sysex";
    // The Motif XF frames its bulks like the ES (two-byte model id), so every message analyses.
    const auto messages = splitSyx(xf.readAll());
    ASSERT_EQ(messages.size(), 26u);
    for (const auto& bytes : messages) {
        const MotifSysex m(bytes);
        EXPECT_TRUE(m.kind() == MotifSysex::BulkDump && m.checksumValid()) << m.printAnalysis().toStdString();
    }
    // The first Motif's header has a one-byte model id and a checksum that does not add up.
    const auto old = splitSyx(classic.readAll());
    ASSERT_FALSE(old.empty());
    EXPECT_EQ(MotifSysex(old.front()).printAnalysis(), "invalid");
}
