// A waveform: its ids in each model's banks, its name, its key banks and their slices, and the
// DWFM and DWIM records it writes. Hostile records and the waveform's own archive form are
// fuzz_dwfim's.
#include "WaveTestSupport.h"

#include "motif/documents/XS_Waveform.h"

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
} // namespace

TEST(XS_Waveform, IdsFollowBankAndNumberPerModel)
{
    // The first and last slots of each bank, and the numbers just outside them, as
    // "id:bank:number:bank name" of the id made.
    const std::tuple<int, int, const QString&> cases[] = {
        {2, 1, XF},   {2, 2048, XF}, {3, 5, XF}, {3, 2048, XF}, {1, 128, XF}, {1, 1024, XS},
        {1, 129, XF}, {2, 2049, XF}, {2, 1, XS}, {1, 1025, XS}, {1, 0, XS},   {1, 1, S90},
    };
    QStringList ids;
    for (const auto& [bank, number, model] : cases) {
        const int id = XS_Waveform::MakeId(bank, number, model);
        ids << QString::asprintf("%d:%d:%d:", id, XS_Waveform::BankOf(id, model),
                                 XS_Waveform::NumberOf(id, model)) +
                   XS_Waveform::BankNameOf(id, model);
    }
    EXPECT_EQ(ids.join(' '),
              "129:2:1:FL1 2176:2:2048:FL1 2181:3:5:FL2 4224:3:2048:FL2 128:1:128:USR 1024:1:1024:USR" +
                  QString(" 0:0:0:0").repeated(6));
    // Ids outside every bank.
    for (const auto& [id, model] : {std::pair{4225, XF}, std::pair{1025, XS}, std::pair{5, S90}})
        EXPECT_EQ(XS_Waveform::BankOf(id, model) + XS_Waveform::NumberOf(id, model), 0) << id;
    const XS_Waveform w(QStringLiteral("Pad"), 3, 5, XF);
    EXPECT_EQ(w.wfmEntry().filename + w.wimEntry().filename +
                  XS_Waveform(QString(), 1, 7, XS).wfmEntry().filename,
              "2181-Waveform.wfm2181-Waveform.wim0007-Waveform.wfm");
}

// Which prefixes a name drops is the x0v_new_voice transcript's (rename); the entry keeps it whole.
TEST(XS_Waveform, TheEntryKeepsTheNumberPrefixTheNameDrops)
{
    const XS_Waveform w(QStringLiteral("12:Strings"));
    EXPECT_EQ(w.wimEntry().content_name + "|" + w.name(), "12:Strings|Strings");
}

TEST(XS_Waveform, SlicesAreSingleKeysInARow)
{
    XS_Waveform w = waveformOnKeys({10, 10, 10, 10});
    XS_Waveform::CreateSlices(
        {w.keybanks().at(0), w.keybanks().at(1), w.keybanks().at(2), w.keybanks().at(3)}, 126);
    EXPECT_EQ(centres(w), (std::vector<int>{126, 127, 0, 1}));
    // 127 to 0 is no neighbour.
    EXPECT_FALSE(w.hasSlices() || w.keybanks().at(3)->note_lo + w.keybanks().at(3)->note_hi != 2);
    w.keybanks().at(0)->note_center = 40;
    w.createSlices(-1);
    EXPECT_EQ(centres(w), (std::vector<int>{40, 41, 42, 43}));
    EXPECT_TRUE(w.hasSlices());

    EXPECT_FALSE(waveformOnKeys({60, 62}).hasSlices() || waveformOnKeys({60}).hasSlices());
    EXPECT_TRUE(waveformOnKeys({62, 61, 60}).hasSlices());
}

TEST(XS_Waveform, DataPairWritesDwfmAndDwim)
{
    // Without key banks DWFM is its size field, a zero count and the pitch offset.
    XS_DWFIM empty;
    empty.setPitchOffset(0x0102);
    Archive emptyWfm, emptyWim;
    empty.writeWFM(emptyWfm);
    empty.writeWIM(emptyWim);
    EXPECT_EQ(hex(emptyWfm.bytes()) + " | " + hex(emptyWim.bytes()),
              "00 00 00 04 00 00 02 01 | 00 00 00 04 00 00 00 00");

    XS_DWFIM data;
    data.keybanks().append(makeKeybank(1));
    data.keybanks().append(makeKeybank(1, true, 0xA0));
    data.keybanks().append(makeKeybank(2, false, 0xB0));
    Archive wfm, wim;
    data.writeWFM(wfm);
    data.writeWIM(wim);
    EXPECT_EQ(hex(wim.bytes()),
              "00 00 00 1E 00 00 00 04 00 00 00 02 11 11 00 00 00 02 A0 A0 00 00 00 02 A1 A1 "
              "00 00 00 04 B0 B0 B0 B0");
    auto bytes = wfm.bytes();
    EXPECT_EQ(hex({bytes.begin(), bytes.begin() + 8}) + QString::number(bytes.size()),
              "00 00 00 D0 03 00 00 00212");

    // Read back: DWFM first, since it says how many key banks and channels DWIM holds.
    bytes.insert(bytes.end(), wim.bytes().begin(), wim.bytes().end());
    Archive in(bytes);
    XS_DWFIM read;
    read.keybanks().append(makeKeybank(9));
    ASSERT_TRUE(read.readWFM(in) && read.readWIM(in));
    EXPECT_TRUE(in.eof());
    ASSERT_EQ(read.keybankCount(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(*read.keybanks().at(i), *data.keybanks().at(i));

    // Bytes after the records belong to the item and are passed over.
    Archive padded(hexBytes("00 00 00 06 00 00 07 00 EE EE 00 00 00 04 00 00 00 01"));
    ASSERT_TRUE(read.readWFM(padded));
    EXPECT_EQ(read.pitchOffset() * 100 + padded.pos(), 710);
}

TEST(XS_Waveform, PasteAndDeleteKeybanks)
{
    XS_Waveform w = waveformOnKeys({0, 1, 2});
    const XS_Waveform source = waveformOnKeys({10, 11});
    ASSERT_TRUE(w.pasteKeybanks(1, {source.keybanks().at(0), source.keybanks().at(1)}, nullptr));
    ASSERT_TRUE(w.pasteKeybanks(-1, {source.keybanks().at(1)}, nullptr));
    EXPECT_EQ(centres(w), (std::vector<int>{0, 10, 11, 1, 2, 11}));
    EXPECT_NE(w.keybanks().at(1), source.keybanks().at(0));
    // A source that cannot be copied pastes nothing.
    EXPECT_FALSE(w.pasteKeybanks(0, {source.keybanks().at(0), nullptr}, nullptr));

    // Positions name the key banks as they stood before the deletion.
    w.deleteKeybanks({0, 2, 2, 9}, nullptr);
    EXPECT_EQ(centres(w), (std::vector<int>{10, 1, 2, 11}));
}
