#include "WaveTestSupport.h"

#include "motif/documents/XS_Waveform.h"
#include "zaltor/AudioDevice.h"

#include <gtest/gtest.h>

namespace {
const QString XS = QStringLiteral("Motif XS");
const QString XF = QStringLiteral("Motif XF");
const QString S90 = QStringLiteral("S90 XS");

// Key banks told apart by their centre key.
XS_Waveform waveformOnKeys(std::initializer_list<int> keys)
{
    XS_Waveform w(QStringLiteral("Keys"));
    for (int key : keys) {
        auto keybank = makeKeybank(4);
        keybank->note_center = keybank->note_lo = keybank->note_hi = static_cast<std::uint8_t>(key);
        w.addKeybank(std::move(keybank));
    }
    return w;
}

std::vector<int> centres(const XS_Waveform& w)
{
    std::vector<int> keys;
    for (const auto& keybank : w.keybanks()) keys.push_back(keybank->note_center);
    return keys;
}

std::vector<std::uint8_t> wfmBytes(const XS_DWFIM& data)
{
    Archive out;
    data.writeWFM(out);
    return out.bytes();
}

std::vector<std::uint8_t> wimBytes(const XS_DWFIM& data)
{
    Archive out;
    data.writeWIM(out);
    return out.bytes();
}
} // namespace

TEST(XS_Waveform, IdsFollowBankAndNumberPerModel)
{
    struct Case {
        int bank, number;
        const QString& model;
        int id;
        const char* bankName;
    };
    // The first and last slots of each bank, and the numbers just outside them.
    const Case cases[] = {
        {2, 1, XF, 129, "FL1"},     {2, 2048, XF, 2176, "FL1"}, {3, 5, XF, 2181, "FL2"},
        {3, 2048, XF, 4224, "FL2"}, {1, 128, XF, 128, "USR"},   {1, 1024, XS, 1024, "USR"},
        {1, 129, XF, 0, ""},        {2, 2049, XF, 0, ""},       {2, 1, XS, 0, ""},
        {1, 1025, XS, 0, ""},       {1, 0, XS, 0, ""},          {1, 1, S90, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2 %3").arg(c.model).arg(c.bank).arg(c.number).toStdString());
        EXPECT_EQ(XS_Waveform::MakeId(c.bank, c.number, c.model), c.id);
        if (!c.id) continue;
        EXPECT_EQ(XS_Waveform::BankOf(c.id, c.model), c.bank);
        EXPECT_EQ(XS_Waveform::NumberOf(c.id, c.model), c.number);
        EXPECT_EQ(XS_Waveform::BankNameOf(c.id, c.model), c.bankName);
    }
    // Ids outside every bank.
    for (const auto& [id, model] :
         {std::pair{4225, XF}, std::pair{1025, XS}, std::pair{0, XS}, std::pair{5, S90}}) {
        EXPECT_EQ(XS_Waveform::BankOf(id, model), 0) << id;
        EXPECT_EQ(XS_Waveform::NumberOf(id, model), 0) << id;
    }
    EXPECT_EQ(XS_Waveform::BankNameOf(4225, XF), "0");
    EXPECT_EQ(XS_Waveform::BankName(2, XS), "2");

    const XS_Waveform w(QStringLiteral("Pad"), 3, 5, XF);
    EXPECT_EQ(w.id(), 2181);
    EXPECT_EQ(w.wimEntry().content_number, 2181);
    EXPECT_EQ(w.wfmEntry().filename, "2181-Waveform.wfm");
    EXPECT_EQ(w.wimEntry().filename, "2181-Waveform.wim");
    EXPECT_EQ(w.bankName(XF), "FL2");
    EXPECT_EQ(XS_Waveform(QString(), 1, 7, XS).wfmEntry().filename, "0007-Waveform.wfm");
}

TEST(XS_Waveform, NameDropsOnlyAShortNumberPrefix)
{
    XS_Waveform w(QStringLiteral("12:Strings"));
    EXPECT_EQ(w.name(), "Strings");
    EXPECT_EQ(w.wimEntry().content_name, "12:Strings");
    for (const auto& [given, shown] :
         {std::pair{"001:Piano", "Piano"}, std::pair{"1:2:Bass", "2:Bass"},
          std::pair{"1234:Strings", "1234:Strings"}, std::pair{"A1:Strings", "A1:Strings"},
          std::pair{":Strings", ":Strings"}}) {
        w.setName(QString::fromLatin1(given));
        EXPECT_EQ(w.name(), shown);
    }
}

TEST(XS_Waveform, DataComesFromEntriesOrKeybanks)
{
    // An entry that points at data counts before the data itself is there.
    XS_Waveform w;
    w.wimEntry().data_offset = 12;
    EXPECT_TRUE(w.hasData());
    w.setId(12);
    w.addKeybank(makeKeybank(4));
    w.deleteData();
    EXPECT_FALSE(w.hasData());
    EXPECT_EQ(w.id(), 12);

    // A key bank names an unnamed waveform.
    w.addKeybank(makeKeybank(4));
    EXPECT_EQ(w.name(), "New Waveform");
    XS_Waveform named(QStringLiteral("Choir"));
    named.addKeybank(makeKeybank(10, true));
    named.addKeybank(makeKeybank(3));
    EXPECT_EQ(named.name(), "Choir");
    EXPECT_EQ(named.totalSize(), 46);
    EXPECT_EQ(named.sampleSizeOf(2), 0);
}

TEST(XS_Waveform, SlicesAreSingleKeysInARow)
{
    XS_Waveform w = waveformOnKeys({10, 10, 10, 10});
    XS_Waveform::CreateSlices(
        {w.keybanks().at(0), w.keybanks().at(1), w.keybanks().at(2), w.keybanks().at(3)}, 126);
    EXPECT_EQ(centres(w), (std::vector<int>{126, 127, 0, 1}));
    EXPECT_EQ(w.keybanks().at(3)->note_lo, 1);
    EXPECT_EQ(w.keybanks().at(3)->note_hi, 1);
    EXPECT_FALSE(w.hasSlices()); // 127 to 0 is no neighbour
    w.keybanks().at(0)->note_center = 40;
    w.createSlices(-1);
    EXPECT_EQ(centres(w), (std::vector<int>{40, 41, 42, 43}));
    EXPECT_TRUE(w.hasSlices());
    XS_Waveform::CreateSlices({}, 5);

    EXPECT_TRUE(waveformOnKeys({60, 61, 62}).hasSlices());
    EXPECT_TRUE(waveformOnKeys({62, 61, 60}).hasSlices());
    EXPECT_FALSE(waveformOnKeys({60, 62}).hasSlices());
    EXPECT_FALSE(waveformOnKeys({60}).hasSlices());
    XS_Waveform wide = waveformOnKeys({60, 61});
    wide.keybanks().at(1)->note_hi = 62;
    EXPECT_FALSE(wide.hasSlices());
    EXPECT_FALSE(wide.playSlices(nullptr));
}

TEST(XS_Waveform, SlicesPlayJoined)
{
    AudioDevice device("jack");
    if (!device.isAvailable()) GTEST_SKIP() << "no JACK server runs";
    EXPECT_TRUE(waveformOnKeys({61, 60}).playSlices(&device)) << device.out().error().toStdString();
    device.out().stop();
    EXPECT_FALSE(waveformOnKeys({60, 62}).playSlices(&device));
}

TEST(XS_Waveform, DataPairWritesDwfmAndDwim)
{
    // Without key banks DWFM is its size field, a zero count and the pitch offset.
    XS_DWFIM empty;
    empty.setPitchOffset(0x0102);
    EXPECT_EQ(hex(wfmBytes(empty)), "00 00 00 04 00 00 02 01");
    EXPECT_EQ(hex(wimBytes(empty)), "00 00 00 04 00 00 00 00");

    XS_DWFIM data;
    data.keybanks().append(makeKeybank(1));
    data.keybanks().append(makeKeybank(1, true, 0xA0));
    data.keybanks().append(makeKeybank(2, false, 0xB0));
    EXPECT_EQ(data.sampleCount(), 4);
    EXPECT_EQ(hex(wimBytes(data)), "00 00 00 1E 00 00 00 04 "
                                   "00 00 00 02 11 11 "
                                   "00 00 00 02 A0 A0 00 00 00 02 A1 A1 "
                                   "00 00 00 04 B0 B0 B0 B0");
    const auto wfm = wfmBytes(data);
    ASSERT_EQ(wfm.size(), std::size_t(8 + 3 * 68));
    EXPECT_EQ(hex(std::vector<std::uint8_t>(wfm.begin(), wfm.begin() + 8)), "00 00 00 D0 03 00 00 00");
    Archive record;
    data.keybanks().at(1)->storeWFM(record);
    EXPECT_EQ(std::vector<std::uint8_t>(wfm.begin() + 8 + 68, wfm.begin() + 8 + 136), record.bytes());

    // The sizes worked out before writing match the ones written.
    EXPECT_EQ(data.toString(), "pitch_offset: 0\nkeybank_count: 3\nsample_count: 4\n"
                               "DWFM size: 208\nDWIM size: 30\n");

    // Read back: DWFM first, since it says how many key banks and channels DWIM holds.
    std::vector<std::uint8_t> both = wfm;
    const auto wim = wimBytes(data);
    both.insert(both.end(), wim.begin(), wim.end());
    Archive in(both);
    XS_DWFIM read;
    read.keybanks().append(makeKeybank(9));
    ASSERT_TRUE(read.readWFM(in));
    ASSERT_TRUE(read.readWIM(in));
    EXPECT_TRUE(in.eof());
    ASSERT_EQ(read.keybankCount(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(*read.keybanks().at(i), *data.keybanks().at(i));
}

TEST(XS_Waveform, DataPairReadsOnlyInsideItsItems)
{
    XS_DWFIM read;
    // A size past the end of the bytes.
    Archive beyond(hexBytes("00 00 00 50 01 00 00 00"));
    EXPECT_FALSE(read.readWFM(beyond));
    // Two key banks counted where the size leaves room for none.
    Archive crowded(hexBytes("00 00 00 04 02 00 00 00 AA"));
    EXPECT_FALSE(read.readWFM(crowded));
    EXPECT_EQ(read.keybankCount(), 0);
    EXPECT_EQ(crowded.pos(), 8);
    Archive tooSmall(hexBytes("00 00 00 02 00 00"));
    EXPECT_FALSE(read.readWFM(tooSmall));

    // Bytes after the records belong to the item and are passed over.
    Archive padded(hexBytes("00 00 00 06 00 00 07 00 EE EE 00 00 00 04 00 00 00 01"));
    ASSERT_TRUE(read.readWFM(padded));
    EXPECT_EQ(read.pitchOffset(), 7);
    EXPECT_EQ(padded.pos(), 10);
    ASSERT_TRUE(read.readWIM(padded));
    EXPECT_TRUE(padded.eof());

    // Sample data that runs into the next item.
    XS_DWFIM one;
    one.keybanks().append(makeKeybank(2));
    auto bytes = wfmBytes(one);
    const auto wim = hexBytes("00 00 00 08 00 00 00 01 00 00 00 06 01 02 03 04 05 06");
    bytes.insert(bytes.end(), wim.begin(), wim.end());
    Archive overrun(bytes);
    ASSERT_TRUE(read.readWFM(overrun));
    EXPECT_FALSE(read.readWIM(overrun));
    EXPECT_EQ(read.keybankCount(), 0);
    EXPECT_EQ(overrun.pos(), qint64(wfmBytes(one).size()) + 12);
}

TEST(XS_Waveform, PasteDeleteAndReorganizeKeybanks)
{
    XS_Waveform w = waveformOnKeys({0, 1, 2});
    const XS_Waveform source = waveformOnKeys({10, 11});
    ASSERT_TRUE(w.pasteKeybanks(1, {source.keybanks().at(0), source.keybanks().at(1)}, nullptr));
    EXPECT_EQ(centres(w), (std::vector<int>{0, 10, 11, 1, 2}));
    EXPECT_NE(w.keybanks().at(1), source.keybanks().at(0));
    ASSERT_TRUE(w.pasteKeybanks(-1, {source.keybanks().at(1)}, nullptr));
    EXPECT_EQ(centres(w), (std::vector<int>{0, 10, 11, 1, 2, 11}));
    // A source that cannot be copied pastes nothing.
    EXPECT_FALSE(w.pasteKeybanks(0, {source.keybanks().at(0), nullptr}, nullptr));
    EXPECT_EQ(w.keybanks().count(), 6);

    XS_Waveform unnamed;
    ASSERT_TRUE(unnamed.pasteKeybanks(0, {source.keybanks().at(0)}, nullptr));
    EXPECT_EQ(unnamed.name(), "New Waveform");
    XS_Waveform untouched;
    ASSERT_TRUE(untouched.pasteKeybanks(0, {}, nullptr));
    EXPECT_EQ(untouched.name(), "");

    // Positions name the key banks as they stood before the deletion.
    w.deleteKeybanks({0, 2, 2, 9}, nullptr);
    EXPECT_EQ(centres(w), (std::vector<int>{10, 1, 2, 11}));

    XS_Waveform five = waveformOnKeys({0, 1, 2, 3, 4});
    int position = 4;
    ASSERT_TRUE(five.reorganizeKeybanks(position, {0, 1}));
    EXPECT_EQ(centres(five), (std::vector<int>{2, 3, 0, 1, 4}));
    EXPECT_EQ(position, 2);
    five = waveformOnKeys({0, 1, 2, 3, 4});
    position = 0;
    ASSERT_TRUE(five.reorganizeKeybanks(position, {3}));
    EXPECT_EQ(centres(five), (std::vector<int>{3, 0, 1, 2, 4}));
    EXPECT_EQ(position, 0);
    // Taken in the order given, to the end.
    position = 5;
    ASSERT_TRUE(five.reorganizeKeybanks(position, {4, 0}));
    EXPECT_EQ(centres(five), (std::vector<int>{0, 1, 2, 4, 3}));
    EXPECT_EQ(position, 3);
}

TEST(XS_Waveform, OwnArchiveFormRoundTrips)
{
    XS_Waveform empty(QStringLiteral("A"), 1, 1, XS);
    Archive small;
    empty.toArchive(small);
    // Two entries of 42 bytes after their length (the filter byte included, whatever the model),
    // then DWFM and DWIM with only their headers.
    ASSERT_EQ(small.bytes().size(), std::size_t(2 * 46 + 8 + 8));

    XS_Waveform w(QStringLiteral("003:Harp"), 2, 7, XF);
    w.wfmEntry().filter = 1;
    w.wimEntry().favorite = 1;
    w.wfmEntry().rel_filenames = QStringList{QStringLiteral("x.wav")};
    w.addKeybank(makeKeybank(3, true));
    w.addKeybank(makeKeybank(5));
    w.dwfim().setPitchOffset(300);
    Archive out;
    w.toArchive(out);
    Archive in(out.bytes());
    XS_Waveform read(QStringLiteral("old"));
    read.wfmEntry().rel_filenames = QStringList{QStringLiteral("stale")};
    ASSERT_TRUE(read.fromArchive(in));
    EXPECT_TRUE(in.eof());
    EXPECT_EQ(read.info(), w.info());
    EXPECT_EQ(read.wfmEntry().rel_filenames, QStringList{QStringLiteral("x.wav")});
    ASSERT_EQ(read.keybanks().count(), 2);
    EXPECT_EQ(*read.keybanks().at(0), *w.keybanks().at(0));

    // Cut short, nothing is taken.
    auto cut = out.bytes();
    cut.pop_back();
    Archive shortIn(cut);
    XS_Waveform kept(QStringLiteral("kept"));
    EXPECT_FALSE(kept.fromArchive(shortIn));
    EXPECT_EQ(kept.name(), "kept");
    EXPECT_TRUE(kept.keybanks().isEmpty());
}
