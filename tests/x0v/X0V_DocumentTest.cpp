// The library document: the slots of each model, where the entries it stores point, how it pairs
// the items of a file with voices and waveforms, and what it keeps of files it cannot use whole.
// Refused and hostile files are the fuzz corpus's (fuzz_x0v stores and reopens every library).
#include "X0vTestSupport.h"

#include "core/Archive.h"
#include "motif/documents/XS_DWFIM.h"

#include <gtest/gtest.h>

namespace {

// An entry record as the instrument writes it: five numbers, the XF filter byte, the favourite
// byte, then the name and the file name, each ended by a zero byte.
QByteArray entryRecord(std::uint32_t number, const char* name, bool filter = false)
{
    QByteArray out;
    for (std::uint32_t value : {0u, 0u, 0u, 0u, number}) YsfcFile::u32(out, value);
    out.append(filter ? 2 : 1, '\0');
    out.append(name);
    out.append(2, '\0');
    return out;
}

QByteArray contents(const Archive& archive, int skip = 0)
{
    return QByteArray(reinterpret_cast<const char*>(archive.bytes().data()) + skip,
                      qsizetype(archive.bytes().size()) - skip);
}

// The DWFM and DWIM item contents of `keybanks` key banks of `frames` frames of `fill`; an
// item's length word is the record's own size field.
std::pair<QByteArray, QByteArray> waveItems(int keybanks, int frames, std::uint8_t fill)
{
    XS_DWFIM dwfim;
    for (int i = 0; i < keybanks; ++i) dwfim.keybanks().append(keybank(frames, fill));
    Archive wfm;
    dwfim.writeWFM(wfm);
    Archive wim;
    dwfim.writeWIM(wim);
    return {contents(wfm, 4), contents(wim, 4)};
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

} // namespace

TEST(X0V_Document, InitSlotsMakesTheUserSlotsOfEachModel)
{
    // Voice banks with their slot counts, waveform banks with their slot counts and first and
    // last ids.
    const auto banksOf = [](const X0V_Document& document) {
        QStringList out{document.model()};
        for (const auto& bank : document.voices().banks())
            out << QStringLiteral("%1:%2").arg(bank->id(), 0, 16).arg(bank->voices().count());
        for (const auto& bank : document.waves().banks())
            out << QStringLiteral("%1:%2:%3-%4")
                       .arg(bank->id())
                       .arg(bank->waveforms().count())
                       .arg(bank->waveforms().at(0)->id())
                       .arg(bank->waveforms().at(bank->waveforms().count() - 1)->id());
        return out.join(' ');
    };
    const std::pair<int, const char*> cases[] = {
        {XsType, "Motif XS 3f08:128 3f09:128 3f0a:128 3f28:32 1:1024:1-1024"},
        {XfType,
         "Motif XF 3f08:128 3f09:128 3f0a:128 3f0b:128 3f28:32 1:128:1-128 2:2048:129-2176 3:2048:2177-4224"},
        {S90Type, "S90 XS 3f28:32"},
        {-1, " 3f28:32"},
    };
    for (const auto& [type, banks] : cases) {
        X0V_Document document;
        document.initSlots(type);
        EXPECT_EQ(banksOf(document), banks);
        const XS_Voice* slot = voiceAt(document, DrumUser, 5);
        EXPECT_EQ(QString::number(slot->id(), 16) + slot->model(), "3f2805" + document.model());
    }
    EXPECT_EQ(waveAt(*library(XfType), 2, 0)->wimEntry().filename, "0129-Waveform.wim");
}

TEST(X0V_Document, SlotsMadeAgainOrClearedAreAsNewWhateverTheyHeld)
{
    // Every field of every slot.
    const auto slotsOf = [](const X0V_Document& document) {
        QStringList out;
        for (const auto& bank : document.voices().banks())
            for (const auto& voice : bank->voices())
                out << voice->info() + voice->model() + QString::number(voice->item_index) +
                           QString::number(bank->voices().isTracking());
        for (const auto& bank : document.waves().banks())
            for (const auto& waveform : bank->waveforms())
                out << QString::number(bank->id()) + waveform->info() +
                           QString::number(waveform->wfmEntry().item_index +
                                           waveform->wimEntry().item_index) +
                           QString::number(bank->waveforms().isTracking());
        return out;
    };
    auto used = library(XfType);
    putVoice(*used, User2, 4, QStringLiteral("Used"), {1, 300})->owner = 7;
    putWave(waveAt(*used, 2, 0), QStringLiteral("Used"))->wimEntry().rel_filenames << QStringLiteral("x");
    int target = 0;
    used->reorganizeWaves(2, target, {0, 7});
    used->voices().getBank(DrumUser)->voices().setTracking(true);
    // Loading appends what has no slot.
    auto stray = std::make_unique<XS_Voice>(MotifXF);
    stray->setPatch(Patch(0x1234, 1));
    used->addVoice(std::move(stray));
    auto far = std::make_unique<XS_Waveform>(QStringLiteral("Far"));
    far->setId(9999);
    used->addWave(std::move(far));
    const XS_Waveform* kept = waveAt(*used, 2, 0);

    used->initSlots(XfType);
    EXPECT_EQ(slotsOf(*used), slotsOf(*library(XfType)));
    EXPECT_EQ(waveAt(*used, 2, 0), kept);
    // Another model's slots are made anew; clearing keeps the model's slots and drops the chunks.
    used->initSlots(XsType);
    putVoice(*used, User3, 7, QStringLiteral("Gone"));
    putWave(waveAt(*used, 1, 0), QStringLiteral("Gone"));
    used->clearDocument();
    EXPECT_TRUE(used->chunks.isEmpty());
    EXPECT_EQ(slotsOf(*used), slotsOf(*library(XsType)));
}

TEST(X0V_Document, AnEmptyLibraryStoresEveryChunkWithCountZero)
{
    YsfcFile expected;
    expected.version = "1.0.0";
    for (const char* id : {"EWFM", "EWIM", "DWFM", "DWIM", "EVCE", "DVCE"})
        expected.chunks.push_back({id, {}});
    EXPECT_EQ(store(*library(XsType)), expected.vector());
    // The S90 XS has no voice chunks and no waveform slots.
    expected.version = "3.0.0";
    expected.chunks.resize(4);
    EXPECT_EQ(store(*library(S90Type)), expected.vector());
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
    putWave(waveAt(*document, 2, 3), QStringLiteral("Two"), 50)->addKeybank(keybank(51, 0x22));
    waveAt(*document, 3, 0)->addKeybank(keybank(7, 0x33));
    const std::vector<std::uint8_t> bytes = store(*document);

    // Entry item i names the offset and size of data item i and the slot's number; the 4222
    // empty waveform slots are not written.
    const std::pair<const char*, const char*> pairs[] = {
        {"EVCE", "DVCE"}, {"EWFM", "DWFM"}, {"EWIM", "DWIM"}};
    QStringList numbers;
    for (const auto& [entries, data] : pairs) {
        const std::size_t chunk = chunkAt(bytes, data);
        const std::vector<StoredItem> entryItems = storedItems(bytes, chunkAt(bytes, entries));
        const std::vector<StoredItem> dataItems = storedItems(bytes, chunk);
        ASSERT_EQ(entryItems.size(), 3u) << entries;
        ASSERT_EQ(dataItems.size(), 3u) << data;
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(u32At(bytes, entryItems[i].contents + 12), dataItems[i].contents - 8 - chunk)
                << entries << i;
            EXPECT_EQ(u32At(bytes, entryItems[i].contents + 4), dataItems[i].length) << entries << i;
            numbers << QString::number(u32At(bytes, entryItems[i].contents + 16), 16);
        }
    }
    EXPECT_EQ(numbers.join(' '), "3f0800 3f0a09 3f2803 1 84 881 1 84 881");
    // A voice is listed by its two categories and its whole name field.
    EXPECT_EQ(voiceAt(*document, User1, 0)->content_name, "0:256:Full Concert Grand  ");
    EXPECT_EQ(kit->content_name, "0:37:Power Standard Kit 1");
    EXPECT_EQ(kit->data_size, 11000);
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
    EXPECT_EQ(document.model(), "Motif XS");
    EXPECT_EQ(waveSlots(document, 1, 5), "1: 2: 3:Three 4: 5:Again");
    EXPECT_EQ(waveAt(document, 1, 4)->keybanks().count(), 2);
    EXPECT_EQ(waveAt(document, 1, 4)->keybanks().at(1)->left().at(0), 0x04);
    ASSERT_EQ(waveAt(document, 1, 2)->keybanks().count(), 3);
    EXPECT_EQ(waveAt(document, 1, 2)->keybanks().at(2)->left().at(19), 0x03);
    EXPECT_EQ(document.voices().count(), 2);
    EXPECT_EQ(voiceAt(document, User1, 1)->name() + voiceAt(document, DrumUser, 2)->name(), "FirstKit");

    // Stored in slot order: waveform 3 first now.
    const std::vector<std::uint8_t> bytes = store(document);
    EXPECT_EQ(u32At(bytes, chunkAt(bytes, "DVCE") + 8), 2u);
    EXPECT_EQ(u32At(bytes, storedItems(bytes, chunkAt(bytes, "EWFM"))[0].contents + 16), 3u);
}

TEST(X0V_Document, KindsWithAChunkMissingAndUnknownChunksGoBackUnchanged)
{
    YsfcFile file;
    file.chunks = {
        {"EVCE", {{"Entr", entryRecord(0x3F0800, "Lonely", true)}}},
        {"EWFM", {{"Entr", entryRecord(1, "Half", true)}}},
        {"DWFM", {{"Data", waveItems(1, 4, 0x44).first}}},
        {"ESNG", {{"Entr", QByteArray::fromHex("0102")}}},
    };
    X0V_Document document;
    ASSERT_TRUE(loadBytes(document, file.vector()));
    EXPECT_EQ(document.voices().count() + document.waves().count(), 0);
    EXPECT_EQ(store(document), file.vector());
}

TEST(X0V_Document, StereoKeybanksWithoutSampleDataComeBackWhole)
{
    XS_DWFIM stereo;
    stereo.keybanks().append(keybank(0, 0));
    stereo.keybanks().at(0)->format().setChannels(2);
    Archive wfm;
    stereo.writeWFM(wfm);
    const QByteArray wfmItem = contents(wfm, 4);
    // One key bank: a left channel of two bytes and an empty right one.
    const QByteArray wimItem = QByteArray::fromHex("00000002000000021122"
                                                   "00000000");
    YsfcFile file;
    file.chunks = {
        {"EWFM", {{"Entr", entryRecord(1, "One", true)}, {"Entr", entryRecord(2, "Two", true)}}},
        {"EWIM", {{"Entr", entryRecord(1, "One", true)}, {"Entr", entryRecord(2, "Two", true)}}},
        {"DWFM", {{"Data", wfmItem}, {"Data", wfmItem}}},
        {"DWIM", {{"Data", wimItem}, {"Data", wimItem}}},
    };
    // Read once with both DWIM items, once with a DWIM chunk that says it holds nothing.
    for (const int count : {-1, 0}) {
        file.chunks[3].count = count;
        X0V_Document document;
        ASSERT_TRUE(loadBytes(document, file.vector()));
        ASSERT_EQ(document.waves().count(), 2);
        const XS_Keybank& read = *waveAt(document, 1, 1)->keybanks().at(0);
        EXPECT_TRUE(read.format().isStereo());
        EXPECT_EQ(read.left(), count ? Buffer({0x11, 0x22}) : Buffer());
        const std::vector<std::uint8_t> stored = store(document);
        X0V_Document again;
        ASSERT_TRUE(loadBytes(again, stored));
        EXPECT_EQ(store(again), stored);
    }
}

TEST(X0V_Document, EstimatedSizeCountsWholeMegabytesOfSampleData)
{
    auto document = library(XsType);
    EXPECT_EQ(document->estimatedSizeMB(), 0.0);
    // Three waveforms of 700 KiB: 2100 KiB.
    for (int i = 0; i < 3; ++i) putWave(waveAt(*document, 1, i * 10), QStringLiteral("Big"), 350 * 1024);
    EXPECT_EQ(document->estimatedSizeMB(), 2.0);
}
