// The YSFC container: the chunks of new documents, the exact bytes it stores, what it keeps of
// chunks it does not understand, and how it refuses broken and cut files.
#include "YsfcFile.h"

#include "core/Archive.h"
#include "motif/documents/XS_Document.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

QStringList names(const XS_Document& document)
{
    QStringList out;
    for (const auto& chunk : document.chunks) out << chunk->name;
    return out;
}

bool load(XS_Document& document, const QByteArray& bytes)
{
    Archive archive(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    return document.loadDocument(archive);
}

QByteArray stored(XS_Document& document)
{
    Archive archive;
    EXPECT_TRUE(document.storeDocument(archive));
    EXPECT_FALSE(archive.failed()) << archive.errorText().toStdString();
    return QByteArray(reinterpret_cast<const char*>(archive.bytes().data()),
                      qsizetype(archive.bytes().size()));
}

YsfcFile::Item item(const char* tag, const char* hex) { return {tag, QByteArray::fromHex(hex)}; }

void addItem(XS_Chunk& chunk, std::initializer_list<std::uint8_t> bytes)
{
    chunk.items.append(std::make_unique<XS_Item>())->data = Buffer(bytes);
}

// Three chunks of two items each, for cutting.
YsfcFile threeChunks()
{
    YsfcFile file;
    file.chunks = {{"EWFM", {item("Entr", "0102"), item("Entr", "030405")}},
                   {"DWFM", {item("Data", "AA"), item("Data", "")}},
                   {"DWIM", {item("Data", "B0B1B2B3"), item("Data", "C0C1")}}};
    return file;
}

} // namespace

TEST(XS_Document, NewDocumentsGetTheChunksOfTheirType)
{
    XS_Document xs;
    xs.newDocument(2);
    EXPECT_EQ(names(xs), QStringList({"EWFM", "EWIM", "DWFM", "DWIM"}));
    EXPECT_EQ(xs.type, 2);
    EXPECT_EQ(xs.version, "1.0.0");
    EXPECT_EQ(xs.model(), "Motif XS");

    XS_Document s90;
    s90.newDocument(4);
    EXPECT_EQ(names(s90), QStringList({"EWFM", "EWIM", "DWFM", "DWIM"}));
    EXPECT_EQ(s90.version, "3.0.0");
    EXPECT_EQ(s90.model(), "S90 XS");

    // Chunks that are there stay where they are, with their items.
    XS_Document xf;
    addItem(*xf.createChunk(QStringLiteral("DVCE")), {});
    xf.newDocument(7);
    EXPECT_EQ(names(xf), QStringList({"DVCE", "EWFM", "EWIM", "DWFM", "DWIM", "EVCE"}));
    EXPECT_EQ(xf.getChunk(QStringLiteral("DVCE"))->items.count(), 1);
    EXPECT_EQ(xf.version, "1.0.2");
    EXPECT_EQ(xf.getChunk(QStringLiteral("EVCE")), xf.createChunk(QStringLiteral("EVCE")));

    QStringList withVoices;
    for (int type = -1; type <= 9; ++type)
        withVoices << QStringLiteral("%1:%2:%3")
                          .arg(type)
                          .arg(XS_Document::ModelOfType(type))
                          .arg(XS_Document::TypeHasVoices(type));
    EXPECT_EQ(withVoices.join(' '),
              ("-1::0 0:Motif XS:1 1:Motif XS:1 2:Motif XS:0 3:S90 XS:0 4:S90 XS:0 5:S90 XS:0 "
               "6:Motif XF:1 7:Motif XF:1 8:Motif XF:0 9::0"));
}

TEST(XS_Document, StoresHeaderCatalogueAndNestedSizes)
{
    XS_Document document;
    document.newDocument(7);
    const QByteArray empty = stored(document);
    YsfcFile expected;
    for (const char* id : {"EWFM", "EWIM", "DWFM", "DWIM", "EVCE", "DVCE"})
        expected.chunks.push_back({id, {}});
    EXPECT_EQ(empty.toHex(), expected.bytes().toHex());
    // The chunks learn where they were written: an empty chunk is 12 bytes.
    EXPECT_EQ(document.chunks.at(5)->offset, 0x70 + 12 * 5);

    // Items are tagged by the chunk's kind and every size field encloses what follows it.
    XS_Chunk* ewfm = document.getChunk(QStringLiteral("EWFM"));
    addItem(*ewfm, {1, 2, 3});
    addItem(*ewfm, {4, 5, 6, 7, 8});
    ewfm->count = 2;
    XS_Chunk* dwfm = document.getChunk(QStringLiteral("DWFM"));
    addItem(*dwfm, {0xDD});
    // The count field is written as set, whatever the list holds.
    dwfm->count = 3;
    const QByteArray full = stored(document);
    expected.chunks[0].items = {item("Entr", "010203"), item("Entr", "0405060708")};
    expected.chunks[2].items = {item("Data", "DD")};
    expected.chunks[2].count = 3;
    EXPECT_EQ(full.toHex(), expected.bytes().toHex());
    EXPECT_EQ(document.chunks.at(1)->offset, 0x70 + 36);
}

TEST(XS_Document, KeepsWhatItDoesNotUnderstand)
{
    // A version that is read but never chosen for a new document goes back as read.
    YsfcFile old;
    old.version = "1.0.1";
    old.chunks = {{"EVCE", {item("Entr", "00")}}, {"DVCE", {item("Data", "0102")}}};
    XS_Document document;
    ASSERT_TRUE(load(document, old.bytes()));
    EXPECT_EQ(document.model(), "Motif XS");
    EXPECT_EQ(stored(document).toHex(), old.bytes().toHex());

    // Unknown chunks keep their items; the tags follow the first letter of the chunk id.
    YsfcFile mixed;
    mixed.version = "9.9.9";
    mixed.chunks = {{"XTRA", {item("Data", "11"), item("Entr", "")}},
                    {"DABC", {item("Entr", "2222")}},
                    {"EABC", {item("Data", "333333")}}};
    XS_Document unknown;
    ASSERT_TRUE(load(unknown, mixed.bytes()));
    EXPECT_EQ(unknown.chunks.at(1)->offset, int(u32At(mixed.bytes(), 0x4C)));
    YsfcFile retagged = mixed;
    retagged.chunks[0].items[0].tag = "Entr";
    retagged.chunks[1].items[0].tag = "Data";
    retagged.chunks[2].items[0].tag = "Entr";
    EXPECT_EQ(stored(unknown).toHex(), retagged.bytes().toHex());
}

TEST(XS_Document, LoadIntoExistingChunksReplacesTheirItems)
{
    XS_Document document;
    XS_Chunk* ewfm = document.createChunk(QStringLiteral("EWFM"));
    addItem(*ewfm, {0xEE, 0xEE});
    YsfcFile file;
    file.chunks = {{"EWFM", {item("Entr", "01")}}, {"DWFM", {item("Data", "02")}}};
    ASSERT_TRUE(load(document, file.bytes()));
    EXPECT_EQ(document.chunks.at(0), ewfm);
    EXPECT_EQ(names(document), QStringList({"EWFM", "DWFM"}));
    ASSERT_EQ(ewfm->items.count(), 1);
    EXPECT_EQ(ewfm->items.at(0)->data, Buffer({0x01}));
}

TEST(XS_Document, RefusesForeignAndIllegalFiles)
{
    XS_Document document;
    document.newDocument(7);
    YsfcFile foreign;
    foreign.version = "1.0.0";
    QByteArray bytes = foreign.bytes();
    bytes[10] = 'D';
    EXPECT_FALSE(load(document, bytes));
    EXPECT_EQ(document.errorText(), "Unknown format");
    EXPECT_EQ(names(document).size(), 6);
    EXPECT_EQ(document.version, "1.0.2");
    EXPECT_FALSE(load(document, QByteArray("YAMAHA")));
    EXPECT_EQ(document.errorText(), "Unknown format");

    // A bad tag in the second chunk: nothing of the first chunk stays either.
    YsfcFile illegal;
    illegal.chunks = {{"EWFM", {item("Entr", "01")}}, {"DWFM", {item("Data", "02"), item("DATA", "03")}}};
    EXPECT_FALSE(load(document, illegal.bytes()));
    EXPECT_EQ(document.errorText(), "Illegal file");
    EXPECT_TRUE(document.chunks.isEmpty());
    EXPECT_EQ(document.version, "1.0.2");
    EXPECT_EQ(document.type, 7);
}

TEST(XS_Document, EndOfFileAfterAnItemEndsTheLastChunk)
{
    YsfcFile file = threeChunks();
    file.chunks[2].count = 5;
    XS_Document document;
    ASSERT_TRUE(load(document, file.bytes()));
    EXPECT_EQ(document.chunks.at(2)->count, 2);
    file.chunks[2].count = -1;
    EXPECT_EQ(stored(document).toHex(), file.bytes().toHex());

    // Cut after a whole item of an earlier chunk, the next chunk is missing: an error.
    const QByteArray bytes = threeChunks().bytes();
    const qsizetype afterFirstDwfmItem = bytes.indexOf("DWFM", 0x58) + 12 + 9;
    EXPECT_FALSE(load(document, bytes.left(afterFirstDwfmItem)));
    EXPECT_EQ(document.errorText(),
              "Illegal file: chunk DWIM: Cannot read a text field at offset 142 of 142 bytes");
}

TEST(XS_Document, EveryCutOfAFileFailsCleanlyUnlessItEndsAfterAnItemOfTheLastChunk)
{
    const QByteArray bytes = threeChunks().bytes();
    const qsizetype dwim = bytes.lastIndexOf("DWIM");
    const qsizetype afterItem1 = dwim + 12 + 8 + 4;
    for (qsizetype length = 0; length < bytes.size(); ++length) {
        XS_Document document;
        const bool loaded = load(document, bytes.left(length));
        EXPECT_EQ(loaded, length == afterItem1) << length;
        if (loaded) {
            EXPECT_EQ(document.chunks.at(2)->items.count(), 1);
            continue;
        }
        EXPECT_TRUE(document.chunks.isEmpty()) << length;
        EXPECT_TRUE(document.errorText().startsWith(length < 16 ? "Unknown format" : "Illegal file"))
            << length << ": " << document.errorText().toStdString();
    }
}

TEST(XS_Document, SizesAndCountsPastTheEndAreErrors)
{
    XS_Document document;
    YsfcFile file = threeChunks();
    QByteArray bytes = file.bytes();
    // The first item's length.
    const qsizetype firstItem = 0x58 + 12;
    bytes.replace(firstItem + 4, 4, QByteArray::fromHex("FFFFFFF0"));
    EXPECT_FALSE(load(document, bytes));
    EXPECT_EQ(document.errorText(),
              "Illegal file: chunk EWFM, item 1: Cannot read a block of 4294967280 bytes at "
              "offset 104: only 76 bytes follow");

    bytes = file.bytes();
    bytes.replace(0x20, 4, QByteArray::fromHex("7FFFFFF8"));
    EXPECT_FALSE(load(document, bytes));
    EXPECT_EQ(document.errorText(),
              "Illegal file: a catalogue of 2147483640 bytes at offset 64 runs past the end of "
              "the file (184 bytes)");

    // A catalogue of many names in front of a few bytes: refused before the chunks are made.
    YsfcFile many;
    for (int i = 0; i < 40; ++i) many.chunks.push_back({QString::asprintf("E%03d", i).toStdString(), {}});
    bytes = many.bytes();
    EXPECT_FALSE(load(document, bytes.left(0x40 + 8 * 40 + 12 * 3)));
    EXPECT_EQ(document.errorText(), "Illegal file: the catalogue names more chunks than the file holds");
    EXPECT_TRUE(document.chunks.isEmpty());

    // A count beyond the items ends with the file; a negative count means no items.
    file.chunks = {{"EWFM", {item("Entr", "01")}, 0x7FFFFFFF}};
    ASSERT_TRUE(load(document, file.bytes()));
    EXPECT_EQ(document.chunks.at(0)->count, 1);
    file.chunks = {{"EWFM", {}}, {"DWFM", {item("Data", "01")}}};
    bytes = file.bytes();
    bytes.replace(0x50 + 8, 4, QByteArray::fromHex("FFFFFFFB"));
    ASSERT_TRUE(load(document, bytes));
    EXPECT_EQ(document.chunks.at(0)->count, -5);
    EXPECT_EQ(document.chunks.at(1)->items.at(0)->data, Buffer({0x01}));
}

TEST(XS_Document, RealFilesGoBackAsTheyCame)
{
    const QDir folder(QStringLiteral(MOTIF_REALDATA_DIR "/ysfc"));
    if (!folder.exists()) GTEST_SKIP() << "no real data at " << folder.path().toStdString();
    const QStringList files = folder.entryList(QStringList{QStringLiteral("*.X9A")}, QDir::Files);
    ASSERT_EQ(files.size(), 2);
    for (const QString& name : files) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray original = file.readAll();
        XS_Document document;
        ASSERT_TRUE(document.loadFile(file.fileName())) << document.errorText().toStdString();
        // All but the reserved header bytes, which a store writes as 0xFF.
        const QByteArray copy = stored(document);
        EXPECT_EQ(copy.left(0x24), original.left(0x24));
        EXPECT_TRUE(copy.mid(0x40) == original.mid(0x40)) << name.toStdString();
    }
}
