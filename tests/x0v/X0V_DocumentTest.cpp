// The library document: the slots of each model, the bytes it stores for voices and waveforms
// (sizes, offsets, names), how it pairs the items of a file with voices and waveforms, and what
// it keeps or refuses of files it cannot use whole.
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
    if (filter) out.append('\0');
    out.append('\0');
    out.append(name);
    out.append('\0');
    out.append('\0');
    return out;
}

// The DWFM and DWIM item contents of `keybanks` key banks of `frames` frames of `fill`.
std::pair<QByteArray, QByteArray> waveItems(int keybanks, int frames, std::uint8_t fill)
{
    XS_DWFIM dwfim;
    for (int i = 0; i < keybanks; ++i) dwfim.keybanks().append(keybank(frames, fill));
    Archive wfm;
    dwfim.writeWFM(wfm);
    Archive wim;
    dwfim.writeWIM(wim);
    // The item's length word is the record's own size field.
    const auto contents = [](const Archive& archive) {
        return QByteArray(reinterpret_cast<const char*>(archive.bytes().data()) + 4,
                          qsizetype(archive.bytes().size()) - 4);
    };
    return {contents(wfm), contents(wim)};
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

QString textAt(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    QString text;
    while (at < bytes.size() && bytes[at] != 0) text += QLatin1Char(char(bytes[at++]));
    return text;
}

} // namespace

TEST(X0V_Document, InitSlotsMakesTheUserSlotsOfEachModel)
{
    // Voice banks with their slot counts, waveform banks with their slot counts and first and
    // last ids.
    const auto banksOf = [](const X0V_Document& document) {
        QStringList out;
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
    const std::tuple<int, const char*, const char*> cases[] = {
        {XsType, "Motif XS", "3f08:128 3f09:128 3f0a:128 3f28:32 1:1024:1-1024"},
        {XfType, "Motif XF",
         "3f08:128 3f09:128 3f0a:128 3f0b:128 3f28:32 1:128:1-128 2:2048:129-2176 3:2048:2177-4224"},
        {S90Type, "S90 XS", "3f28:32"},
        {-1, "", "3f28:32"},
    };
    for (const auto& [type, model, banks] : cases) {
        SCOPED_TRACE(model);
        X0V_Document document;
        document.initSlots(type);
        EXPECT_EQ(document.model(), model);
        EXPECT_EQ(banksOf(document), banks);
        const XS_Voice* slot = document.voices().getBank(DrumUser)->voices().at(5);
        EXPECT_EQ(slot->id(), 0x3F2805);
        EXPECT_EQ(slot->model(), model);
    }
    auto xf = library(XfType);
    EXPECT_EQ(waveAt(*xf, 2, 0)->wimEntry().filename, "0129-Waveform.wim");
    EXPECT_EQ(X0V_Document::TypeOfModel(QStringLiteral("Motif XF")), 6);
    EXPECT_EQ(X0V_Document::TypeOfModel(QStringLiteral("Motif Rack XS")), -1);
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
    putVoice(*used, User2, 4, QStringLiteral("Used"), {1, 300});
    voiceAt(*used, User2, 4)->owner = 7;
    putWave(waveAt(*used, 2, 0), QStringLiteral("Used"))->wimEntry().rel_filenames << QStringLiteral("x");
    waveAt(*used, 3, 5)->wfmEntry().item_index = 3;
    int target = 0;
    used->reorganizeWaves(2, target, {0, 7});
    used->waves().getBank(1)->waveforms().setTracking(true);
    used->voices().getBank(DrumUser)->voices().setTracking(true);
    // Loading appends what has no slot.
    auto extra = std::make_unique<XS_Voice>(MotifXF);
    extra->setId(User1 * 256 + 200);
    used->addVoice(std::move(extra));
    auto stray = std::make_unique<XS_Voice>(MotifXF);
    stray->setPatch(Patch(0x1234, 1));
    used->addVoice(std::move(stray));
    auto far = std::make_unique<XS_Waveform>(QStringLiteral("Far"));
    far->setId(9999);
    used->addWave(std::move(far));
    ASSERT_EQ(used->voices().banks().count(), 6);
    ASSERT_EQ(used->waves().banks().count(), 4);
    const XS_Waveform* kept = waveAt(*used, 2, 0);

    used->initSlots(XfType);
    EXPECT_EQ(slotsOf(*used), slotsOf(*library(XfType)));
    EXPECT_EQ(waveAt(*used, 2, 0), kept);
    // Another model's slots are made anew.
    used->initSlots(XsType);
    EXPECT_EQ(slotsOf(*used), slotsOf(*library(XsType)));

    // Clearing keeps the model's slots and drops the chunks.
    putVoice(*used, User3, 7, QStringLiteral("Gone"));
    putWave(waveAt(*used, 1, 0), QStringLiteral("Gone"));
    used->clearDocument();
    EXPECT_TRUE(used->chunks.isEmpty());
    EXPECT_EQ(used->model(), "Motif XS");
    EXPECT_EQ(slotsOf(*used), slotsOf(*library(XsType)));
}

TEST(X0V_Document, AnEmptyLibraryStoresEveryChunkWithCountZero)
{
    auto document = library(XsType);
    YsfcFile expected;
    expected.version = "1.0.0";
    for (const char* id : {"EWFM", "EWIM", "DWFM", "DWIM", "EVCE", "DVCE"})
        expected.chunks.push_back({id, {}});
    EXPECT_EQ(store(*document), expected.vector());

    // The S90 XS has no voice chunks and no waveform slots.
    auto s90 = library(S90Type);
    expected.version = "3.0.0";
    expected.chunks.resize(4);
    EXPECT_EQ(store(*s90), expected.vector());
}

TEST(X0V_Document, VoicesGetTheirDataOffsetsSizesAndListNames)
{
    auto document = library(XsType);
    XS_Voice* voice = voiceAt(*document, User1, 0);
    voice->initVoice();
    XS_Voice* kit = voiceAt(*document, DrumUser, 3);
    kit->initDrumKit();
    kit->setCategory2(2 * 128 + 5);
    const std::vector<std::uint8_t> bytes = store(*document);

    EXPECT_EQ(voice->data_size, 1640);
    EXPECT_EQ(voice->data_offset, 12);
    EXPECT_EQ(voice->content_name, "0:256:Full Concert Grand  ");
    EXPECT_EQ(kit->data_size, 11000);
    EXPECT_EQ(kit->data_offset, 1660);
    EXPECT_EQ(kit->content_name, "0:37:Power Standard Kit 1");

    const std::size_t evce = chunkAt(bytes, "EVCE");
    const std::vector<StoredItem> entries = storedItems(bytes, evce);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(u32At(bytes, entries[0].contents + 12), 12u);
    EXPECT_EQ(u32At(bytes, entries[0].contents + 16), 0x3F0800u);
    // The Motif XS record has no filter byte: the favourite byte, then the name.
    EXPECT_EQ(textAt(bytes, entries[0].contents + 21), "0:256:Full Concert Grand  ");
    EXPECT_EQ(u32At(bytes, entries[1].contents + 4), 11000u);
    EXPECT_EQ(u32At(bytes, entries[1].contents + 16), 0x3F2803u);

    // The offsets point at the data items in their chunk.
    const std::size_t dvce = chunkAt(bytes, "DVCE");
    EXPECT_EQ(textAt(bytes, dvce + 12).left(4), "Data");
    EXPECT_EQ(u32At(bytes, dvce + 1664), 11000u);
    EXPECT_EQ(textAt(bytes, dvce + 1668 + 4), "Power Standard Kit 1");
}

TEST(X0V_Document, WaveformsGetTheOffsetsOfTheirTwoDataItems)
{
    auto document = library(XfType);
    XS_Waveform* one = putWave(waveAt(*document, 1, 0), QStringLiteral("One"), 100);
    XS_Waveform* two = putWave(waveAt(*document, 2, 3), QStringLiteral("Two"), 50);
    two->addKeybank(keybank(50, 0x22));
    const std::vector<std::uint8_t> bytes = store(*document);

    // DWFM: 4 + 68 a key bank; DWIM: 4 + (4 + bytes) a channel.
    EXPECT_EQ(one->wfmEntry().data_size, 72);
    EXPECT_EQ(one->wfmEntry().data_offset, 12);
    EXPECT_EQ(two->wfmEntry().data_size, 140);
    EXPECT_EQ(two->wfmEntry().data_offset, 92);
    EXPECT_EQ(one->wimEntry().data_size, 208);
    EXPECT_EQ(one->wimEntry().data_offset, 12);
    EXPECT_EQ(two->wimEntry().data_size, 212);
    EXPECT_EQ(two->wimEntry().data_offset, 228);

    // The 4222 empty slots are not written.
    for (const char* id : {"EWFM", "EWIM", "DWFM", "DWIM"})
        EXPECT_EQ(u32At(bytes, chunkAt(bytes, id) + 8), 2u) << id;
    const std::vector<StoredItem> wim = storedItems(bytes, chunkAt(bytes, "EWIM"));
    ASSERT_EQ(wim.size(), 2u);
    EXPECT_EQ(u32At(bytes, wim[1].contents + 12), 228u);
    EXPECT_EQ(u32At(bytes, wim[1].contents + 16), 132u);
    // The Motif XF record holds the filter byte before the favourite byte.
    EXPECT_EQ(textAt(bytes, wim[1].contents + 22), "Two");
    EXPECT_EQ(textAt(bytes, wim[1].contents + 26), "0132-Waveform.wim");
    EXPECT_EQ(u32At(bytes, chunkAt(bytes, "DWFM") + 92 + 4), 140u);
    EXPECT_EQ(u32At(bytes, chunkAt(bytes, "DWIM") + 228 + 4), 212u);
}

TEST(X0V_Document, LoadPairsItemsByPositionAndFillsTheSlotsById)
{
    const auto [wfm1, wim1] = waveItems(1, 10, 0x01);
    const auto [wfm2, wim2] = waveItems(2, 10, 0x02);
    const auto [wfm3, wim3] = waveItems(3, 10, 0x03);
    const auto [wfm4, wim4] = waveItems(2, 10, 0x04);
    YsfcFile file;
    file.version = "1.0.0";
    // Waveform 5 comes before waveform 3, the entry between them has no id, and waveform 5 comes
    // again last.
    const auto entries = [] {
        return std::vector<YsfcFile::Item>{{"Entr", entryRecord(5, "Five")},
                                           {"Entr", entryRecord(0, "None")},
                                           {"Entr", entryRecord(3, "Three")},
                                           {"Entr", entryRecord(5, "Again")}};
    };
    file.chunks = {
        {"EWFM", entries()},
        {"EWIM", entries()},
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
    EXPECT_EQ(document.waves().getBank(1)->waveforms().count(), 1024);
    EXPECT_EQ(document.waves().count(), 2);
    const XS_Waveform* five = waveAt(document, 1, 4);
    EXPECT_EQ(five->wimEntry().content_name, "Again");
    ASSERT_EQ(five->keybanks().count(), 2);
    EXPECT_EQ(five->keybanks().at(1)->left().at(0), 0x04);
    const XS_Waveform* three = waveAt(document, 1, 2);
    EXPECT_EQ(three->name(), "Three");
    ASSERT_EQ(three->keybanks().count(), 3);
    EXPECT_EQ(three->keybanks().at(2)->left().at(19), 0x03);

    EXPECT_EQ(document.voices().count(), 2);
    EXPECT_EQ(voiceAt(document, User1, 1)->name(), "First");
    EXPECT_EQ(voiceAt(document, DrumUser, 2)->name(), "Kit");

    const std::vector<std::uint8_t> bytes = store(document);
    for (const char* id : {"EWFM", "EWIM", "DWFM", "DWIM", "EVCE", "DVCE"})
        EXPECT_EQ(u32At(bytes, chunkAt(bytes, id) + 8), 2u) << id;
    // Stored in slot order: waveform 3 first now.
    EXPECT_EQ(u32At(bytes, storedItems(bytes, chunkAt(bytes, "EWFM"))[0].contents + 16), 3u);
}

TEST(X0V_Document, KindsWithAChunkMissingAndUnknownChunksGoBackUnchanged)
{
    YsfcFile file;
    file.version = "1.0.2";
    file.chunks = {
        {"EVCE", {{"Entr", entryRecord(0x3F0800, "Lonely", true)}}},
        {"EWFM", {{"Entr", entryRecord(1, "Half", true)}}},
        {"DWFM", {{"Data", waveItems(1, 4, 0x44).first}}},
        {"ESNG", {{"Entr", QByteArray::fromHex("0102")}}},
    };
    X0V_Document document;
    ASSERT_TRUE(loadBytes(document, file.vector()));
    EXPECT_EQ(document.voices().count(), 0);
    EXPECT_EQ(document.waves().count(), 0);
    EXPECT_TRUE(document.hasVoiceChunk());
    EXPECT_TRUE(document.hasWaveChunk());
    EXPECT_EQ(store(document), file.vector());
}

TEST(X0V_Document, StereoKeybanksWithoutSampleDataComeBackWhole)
{
    // Waveform 1 has a stereo key bank and no DWIM item; waveform 2 one whose right channel is
    // empty in its DWIM item.
    XS_DWFIM stereo;
    stereo.keybanks().append(keybank(0, 0));
    stereo.keybanks().at(0)->format().setChannels(2);
    Archive wfm;
    stereo.writeWFM(wfm);
    const QByteArray wfmItem(reinterpret_cast<const char*>(wfm.bytes().data()) + 4,
                             qsizetype(wfm.bytes().size()) - 4);
    const QByteArray wimItem = QByteArray::fromHex("00000002"
                                                   "00000002"
                                                   "1122"
                                                   "00000000");
    YsfcFile file;
    file.version = "1.0.2";
    file.chunks = {
        {"EWFM", {{"Entr", entryRecord(1, "One", true)}, {"Entr", entryRecord(2, "Two", true)}}},
        {"EWIM", {{"Entr", entryRecord(1, "One", true)}, {"Entr", entryRecord(2, "Two", true)}}},
        {"DWFM", {{"Data", wfmItem}, {"Data", wfmItem}}},
        {"DWIM", {{"Data", QByteArray()}, {"Data", wimItem}}, 0},
    };
    // The DWIM chunk says it holds nothing: its two items are never read.
    X0V_Document document;
    ASSERT_TRUE(loadBytes(document, file.vector()));
    ASSERT_EQ(document.waves().count(), 2);
    EXPECT_TRUE(waveAt(document, 1, 0)->keybanks().at(0)->format().isStereo());
    const std::vector<std::uint8_t> first = store(document);

    file.chunks[3] = {"DWIM", {{"Data", wimItem}, {"Data", wimItem}}};
    X0V_Document second;
    ASSERT_TRUE(loadBytes(second, file.vector()));
    EXPECT_EQ(waveAt(second, 1, 1)->keybanks().at(0)->left(), Buffer({0x11, 0x22}));
    EXPECT_TRUE(waveAt(second, 1, 1)->keybanks().at(0)->right().isEmpty());
    const std::vector<std::uint8_t> bytes = store(second);
    const std::vector<StoredItem> items = storedItems(bytes, chunkAt(bytes, "DWIM"));
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].length, 14u); // the count, the left channel, and the empty right channel

    for (const std::vector<std::uint8_t>* stored : {&first, &bytes}) {
        X0V_Document again;
        ASSERT_TRUE(loadBytes(again, *stored));
        EXPECT_EQ(store(again), *stored);
    }
}

TEST(X0V_Document, RefusedFilesLeaveNoVoicesOrWaveforms)
{
    X0V_Document foreign;
    EXPECT_FALSE(loadBytes(foreign, std::vector<std::uint8_t>(64, 'x')));
    EXPECT_EQ(foreign.errorText(), "Unknown format");
    EXPECT_TRUE(foreign.chunks.isEmpty());

    YsfcFile file;
    file.version = "1.0.0";
    file.chunks = {{"EVCE", {{"Entr", entryRecord(0x3F0800, "")}}},
                   {"DVCE", {{"Data", voiceItem("Gone")}, {"Bad!", QByteArray("x")}}}};
    X0V_Document illegal;
    EXPECT_FALSE(loadBytes(illegal, file.vector()));
    EXPECT_EQ(illegal.errorText(), "Illegal file");
    EXPECT_TRUE(illegal.chunks.isEmpty());
    EXPECT_EQ(illegal.voices().count(), 0);

    X0V_Document missing;
    EXPECT_FALSE(missing.loadLibrary(QStringLiteral("/nonexistent/library.X0V")));
    EXPECT_TRUE(missing.errorText().contains(QStringLiteral("/nonexistent/library.X0V")));

    // A version the table knows only for reading stays as it is.
    file.version = "1.0.1";
    file.chunks = {{"EWFM", {}}, {"EWIM", {}}, {"DWFM", {}}, {"DWIM", {}}};
    X0V_Document old;
    ASSERT_TRUE(loadBytes(old, file.vector()));
    EXPECT_EQ(old.model(), "Motif XS");
    EXPECT_EQ(old.waves().getBank(1)->waveforms().count(), 1024);
    EXPECT_EQ(store(old), file.vector());
}

TEST(X0V_Document, EstimatedSizeCountsWholeMegabytesOfSampleData)
{
    auto document = library(XsType);
    EXPECT_EQ(document->estimatedSizeMB(), 0.0);
    // Three waveforms of 700 KiB: 2100 KiB.
    for (int i = 0; i < 3; ++i) putWave(waveAt(*document, 1, i * 10), QStringLiteral("Big"), 350 * 1024);
    EXPECT_EQ(document->estimatedSizeMB(), 2.0);
}

TEST(X0V_Document, WordsAndTheWaveBankPrompt)
{
    EXPECT_EQ(X0V_Document::strWaveforms(1, true), "1 Waveform");
    EXPECT_EQ(X0V_Document::strVoices(2, false), "Voices");
    EXPECT_EQ(X0V_Document::strKeybanks(0, true), "0 Keybanks");

    ScriptedInterface script;
    X0V_Document document;
    script.answer = QStringLiteral("FL1");
    EXPECT_EQ(document.choseWaveBank(QStringLiteral("Move Waveforms")), 2);
    script.answer = QString();
    EXPECT_EQ(document.choseWaveBank(QStringLiteral("Paste")), 0);
    EXPECT_EQ(script.calls, QStringList({"chose Move Waveforms|Chose destination bank|USR,FL1,FL2|0",
                                         "chose Paste|Chose destination bank|USR,FL1,FL2|0"}));
}

TEST(X0V_Document, VoicesAskTheLibraryForTheirWaveformsAndPatches)
{
    auto document = library(XfType);
    putWave(waveAt(*document, 2, 4), QStringLiteral("Strings"));
    XS_Voice* voice = putVoice(*document, User1, 3, QStringLiteral("Pad"), {133, 2, 133});
    EXPECT_EQ(voice->waveformInfo(document.get()), "FL1:5|Strings|USR:2|--------");
    EXPECT_EQ(voice->waveformInfo(nullptr), "");

    XS_Voice copy;
    EXPECT_TRUE(copy.readPatch(document.get(), Patch(User1, 3)));
    EXPECT_EQ(copy.name(), "Pad");
    EXPECT_FALSE(copy.readPatch(nullptr, Patch(User1, 3)));

    EXPECT_TRUE(voice->removeInvalidWaveforms(document.get()));
    EXPECT_EQ(elementWaves(*document, *voice, 3), std::vector<int>({133, 0, 133}));
    EXPECT_FALSE(voice->removeInvalidWaveforms(nullptr));
}
