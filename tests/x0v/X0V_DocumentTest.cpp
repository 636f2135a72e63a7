// The library document: the slots of each model, where the entries it stores point, how it pairs
// the items of a file with voices and waveforms, and what it keeps of files it cannot use whole.
// Refused and hostile files are the fuzz corpus's (fuzz_x0v stores and reopens every library).
#include "X0vTestSupport.h"

#include "motif/documents/XS_DWFIM.h"

#include <gtest/gtest.h>

namespace {

// An entry record as the instrument writes it: five numbers, the XF filter byte, the favourite
// byte, then the name and the file name, each ended by a zero byte.
QByteArray entryRecord(std::uint32_t number, const char* name, bool filter = false)
{
    QByteArray out;
    for (std::uint32_t value : {0u, 0u, 0u, 0u, number}) YsfcFile::u32(out, value);
    return out + QByteArray(filter ? 2 : 1, '\0') + name + QByteArray(2, '\0');
}

// The DWFM and DWIM item contents of `keybanks` key banks of `frames` frames of `fill`; an
// item's length word is the record's own size field.
std::pair<QByteArray, QByteArray> waveItems(int keybanks, int frames, std::uint8_t fill, bool stereo = false)
{
    XS_DWFIM dwfim;
    for (int i = 0; i < keybanks; ++i) dwfim.keybanks().append(makeKeybank(frames, stereo, fill));
    Archive wfm, wim;
    dwfim.writeWFM(wfm);
    dwfim.writeWIM(wim);
    return {
        QByteArray(reinterpret_cast<const char*>(wfm.bytes().data()) + 4, qsizetype(wfm.bytes().size()) - 4),
        QByteArray(reinterpret_cast<const char*>(wim.bytes().data()) + 4, qsizetype(wim.bytes().size()) - 4)};
}

QByteArray voiceItem(const char* name)
{
    XS_Voice voice;
    voice.initVoice();
    voice.setName(QString::fromLatin1(name));
    return QByteArray(reinterpret_cast<const char*>(voice.data().data()), voice.data().size());
}

bool loadBytes(X0V_Document& document, const std::vector<std::uint8_t>& bytes)
{
    Archive archive(bytes);
    return document.loadLibrary(archive);
}

// Where the catalogue says the chunk lies, and its items as (where the contents begin, length).
std::vector<std::pair<std::size_t, std::uint32_t>> storedItems(const std::vector<std::uint8_t>& bytes,
                                                               const char* id, std::size_t* chunk = nullptr)
{
    std::size_t at = 0x40;
    while (!std::equal(id, id + 4, bytes.begin() + std::ptrdiff_t(at))) at += 8;
    at = u32At(bytes, at + 4);
    if (chunk) *chunk = at;
    std::vector<std::pair<std::size_t, std::uint32_t>> items(u32At(bytes, at + 8));
    at += 12;
    for (auto& item : items) {
        item = {at + 8, u32At(bytes, at + 4)};
        at += 8 + item.second;
    }
    return items;
}

} // namespace

TEST(X0V_Document, InitSlotsMakesTheUserSlotsOfEachModel)
{
    // Voice banks with their slot counts, waveform banks with their slot counts and first and
    // last ids.
    const std::pair<int, const char*> cases[] = {
        {XsType, "Motif XS 3f08:128 3f09:128 3f0a:128 3f28:32 1:1024:1-1024"},
        {XfType,
         "Motif XF 3f08:128 3f09:128 3f0a:128 3f0b:128 3f28:32 1:128:1-128 2:2048:129-2176 3:2048:2177-4224"},
        {S90Type, "S90 XS 3f28:32"},
    };
    for (const auto& [type, banks] : cases) {
        X0V_Document document;
        document.initSlots(type);
        QStringList out{document.model()};
        for (const auto& bank : document.voices().banks())
            out << QStringLiteral("%1:%2").arg(bank->id(), 0, 16).arg(bank->voices().count());
        for (const auto& bank : document.waves().banks())
            out << QString::asprintf("%d:%d:%d-%d", bank->id(), int(bank->waveforms().count()),
                                     bank->waveforms().at(0)->id(),
                                     bank->waveforms().at(bank->waveforms().count() - 1)->id());
        EXPECT_EQ(out.join(' '), banks);
    }
    EXPECT_EQ(waveAt(*library(XfType), 2, 0)->wimEntry().filename, "0129-Waveform.wim");
}

TEST(X0V_Document, EveryStoredEntryPointsAtItsDataItem)
{
    auto document = library(XfType);
    voiceAt(*document, User1, 0)->initVoice();
    putVoice(*document, User3, 9, QStringLiteral("Middle"));
    XS_Voice* kit = voiceAt(*document, DrumUser, 3);
    kit->initDrumKit();
    kit->setCategory2(2 * 128 + 5);
    putWave(waveAt(*document, 1, 0), QStringLiteral("One"), 100);
    putWave(waveAt(*document, 2, 3), QStringLiteral("Two"), 50)->addKeybank(makeKeybank(51, false, 0x22));
    waveAt(*document, 3, 0)->addKeybank(makeKeybank(7, false, 0x33));
    const std::vector<std::uint8_t> bytes = store(*document);

    // Entry item i names the offset and size of data item i and the slot's number; the 4222
    // empty waveform slots are not written.
    QStringList numbers;
    for (const auto& [entries, data] : {std::pair{"EVCE", "DVCE"}, {"EWFM", "DWFM"}, {"EWIM", "DWIM"}}) {
        std::size_t chunk = 0;
        const auto dataItems = storedItems(bytes, data, &chunk);
        const auto entryItems = storedItems(bytes, entries);
        ASSERT_EQ(entryItems.size() * 10 + dataItems.size(), 33u) << entries;
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(u32At(bytes, entryItems[i].first + 12), dataItems[i].first - 8 - chunk) << entries << i;
            EXPECT_EQ(u32At(bytes, entryItems[i].first + 4), dataItems[i].second) << entries << i;
            numbers << QString::number(u32At(bytes, entryItems[i].first + 16), 16);
        }
    }
    EXPECT_EQ(numbers.join(' '), "3f0800 3f0a09 3f2803 1 84 881 1 84 881");
    // A voice is listed by its two categories and its whole name field.
    EXPECT_EQ(voiceAt(*document, User1, 0)->content_name + kit->content_name,
              "0:256:Full Concert Grand  0:37:Power Standard Kit 1");
}

TEST(X0V_Document, LoadPairsItemsByPositionAndFillsTheSlotsById)
{
    const auto [wfm1, wim1] = waveItems(1, 10, 0x01);
    const auto [wfm2, wim2] = waveItems(2, 10, 0x02);
    const auto [wfm3, wim3] = waveItems(3, 10, 0x03);
    const auto [wfm4, wim4] = waveItems(2, 10, 0x04);
    // Waveform 5 comes before waveform 3, the entry between them has no id, and waveform 5 comes
    // again last.
    const std::vector<YsfcFile::Item> entries = {{"Entr", entryRecord(5, "Five")},
                                                 {"Entr", entryRecord(0, "None")},
                                                 {"Entr", entryRecord(3, "Three")},
                                                 {"Entr", entryRecord(5, "Again")}};
    YsfcFile file;
    file.version = "1.0.0";
    file.chunks = {
        {"EWFM", entries},
        {"EWIM", entries},
        {"DWFM", {{"Data", wfm1}, {"Data", wfm2}, {"Data", wfm3}, {"Data", wfm4}}},
        {"DWIM", {{"Data", wim1}, {"Data", wim2}, {"Data", wim3}, {"Data", wim4}}},
        {"EVCE",
         {{"Entr", entryRecord(0x3F0801, "")},
          {"Entr", entryRecord(0, "")},
          {"Entr", entryRecord(0x3F2802, "")}}},
        {"DVCE", {{"Data", voiceItem("First")}, {"Data", voiceItem("Lost")}, {"Data", voiceItem("Kit")}}},
    };
    X0V_Document document;
    ASSERT_TRUE(loadBytes(document, file.vector())) << document.errorText().toStdString();
    EXPECT_EQ(waveSlots(document, 1, 5), "1: 2: 3:Three 4: 5:Again");
    ASSERT_EQ(waveAt(document, 1, 4)->keybanks().count() * 10 + waveAt(document, 1, 2)->keybanks().count(),
              23);
    EXPECT_EQ(waveAt(document, 1, 4)->keybanks().at(1)->left().at(0), 0x04);
    EXPECT_EQ(waveAt(document, 1, 2)->keybanks().at(2)->left().at(19), 0x03);
    EXPECT_EQ(document.voices().count(), 2);
    EXPECT_EQ(voiceAt(document, User1, 1)->name() + voiceAt(document, DrumUser, 2)->name(),
              QStringLiteral("First").leftJustified(20) + QStringLiteral("Kit").leftJustified(20));

    // Stored in slot order: waveform 3 first now.
    const std::vector<std::uint8_t> bytes = store(document);
    EXPECT_EQ(u32At(bytes, storedItems(bytes, "EWFM")[0].first + 16), 3u);
}

TEST(X0V_Document, StereoKeybanksWithoutSampleDataComeBackWhole)
{
    // One key bank: a left channel of two bytes and an empty right one.
    const QByteArray wfmItem = waveItems(1, 0, 0, true).first;
    const QByteArray wimItem = QByteArray::fromHex("00000002000000021122 00000000");
    YsfcFile file;
    const std::vector<YsfcFile::Item> entries = {{"Entr", entryRecord(1, "One", true)},
                                                 {"Entr", entryRecord(2, "Two", true)}};
    file.chunks = {{"EWFM", entries},
                   {"EWIM", entries},
                   {"DWFM", {{"Data", wfmItem}, {"Data", wfmItem}}},
                   {"DWIM", {{"Data", wimItem}, {"Data", wimItem}}}};
    // Read once with both DWIM items, once with a DWIM chunk that says it holds nothing.
    for (const int count : {-1, 0}) {
        file.chunks[3].count = count;
        X0V_Document document, again;
        ASSERT_TRUE(loadBytes(document, file.vector()));
        ASSERT_EQ(document.waves().count(), 2);
        const XS_Keybank& read = *waveAt(document, 1, 1)->keybanks().at(0);
        EXPECT_TRUE(read.format().isStereo());
        EXPECT_EQ(read.left(), count ? Buffer({0x11, 0x22}) : Buffer());
        const std::vector<std::uint8_t> stored = store(document);
        ASSERT_TRUE(loadBytes(again, stored));
        EXPECT_EQ(store(again), stored);
    }
}
