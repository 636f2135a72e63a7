// The YSFC container: the chunks of new documents, the exact bytes it stores, what it keeps of
// chunks it does not understand, and which cut files it takes. Hostile sizes and counts are
// fuzz_ysfc's, which also stores and reloads every file it takes.
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
    QStringList types;
    for (int type = -1; type <= 9; ++type)
        types << QStringLiteral("%1:%2:%3")
                     .arg(type)
                     .arg(XS_Document::ModelOfType(type))
                     .arg(XS_Document::TypeHasVoices(type));
    EXPECT_EQ(types.join(' '),
              "-1::0 0:Motif XS:1 1:Motif XS:1 2:Motif XS:0 3:S90 XS:0 4:S90 XS:0 5:S90 XS:0 "
              "6:Motif XF:1 7:Motif XF:1 8:Motif XF:0 9::0");
    XS_Document s90;
    s90.newDocument(4);
    EXPECT_EQ(names(s90).join(' ') + " " + s90.version, "EWFM EWIM DWFM DWIM 3.0.0");
    // Chunks that are there stay where they are, with their items.
    XS_Document xf;
    addItem(*xf.createChunk(QStringLiteral("DVCE")), {});
    xf.newDocument(7);
    EXPECT_EQ(names(xf).join(' ') + " " + xf.version, "DVCE EWFM EWIM DWFM DWIM EVCE 1.0.2");
    EXPECT_EQ(xf.getChunk(QStringLiteral("DVCE"))->items.count(), 1);
}

TEST(XS_Document, StoresHeaderCatalogueAndNestedSizes)
{
    XS_Document document;
    document.newDocument(7);
    YsfcFile expected;
    for (const char* id : {"EWFM", "EWIM", "DWFM", "DWIM", "EVCE", "DVCE"})
        expected.chunks.push_back({id, {}});
    EXPECT_EQ(stored(document).toHex(), expected.bytes().toHex());
    // The chunks learn where they were written: an empty chunk is 12 bytes.
    EXPECT_EQ(document.chunks.at(5)->offset, 0x70 + 12 * 5);

    // Items are tagged by the chunk's kind and every size field encloses what follows it; the
    // count field is written as set, whatever the list holds.
    XS_Chunk* ewfm = document.getChunk(QStringLiteral("EWFM"));
    addItem(*ewfm, {1, 2, 3});
    addItem(*ewfm, {4, 5, 6, 7, 8});
    ewfm->count = 2;
    XS_Chunk* dwfm = document.getChunk(QStringLiteral("DWFM"));
    addItem(*dwfm, {0xDD});
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

    // Unknown chunks keep their items; the tags follow the first letter of the chunk id. Loading
    // into a document replaces the items of the chunks it has.
    YsfcFile mixed;
    mixed.version = "9.9.9";
    mixed.chunks = {{"XTRA", {item("Data", "11"), item("Entr", "")}},
                    {"DABC", {item("Entr", "2222")}},
                    {"EABC", {item("Data", "333333")}}};
    XS_Document unknown;
    XS_Chunk* xtra = unknown.createChunk(QStringLiteral("XTRA"));
    addItem(*xtra, {0xEE, 0xEE});
    ASSERT_TRUE(load(unknown, mixed.bytes()));
    EXPECT_EQ(unknown.chunks.at(0), xtra);
    EXPECT_EQ(unknown.chunks.at(2)->offset, int(u32At(mixed.bytes(), 0x54)));
    YsfcFile retagged = mixed;
    retagged.chunks[0].items[0].tag = "Entr";
    retagged.chunks[1].items[0].tag = "Data";
    retagged.chunks[2].items[0].tag = "Entr";
    EXPECT_EQ(stored(unknown).toHex(), retagged.bytes().toHex());
}

TEST(XS_Document, EveryCutOfAFileFailsCleanlyUnlessItEndsAfterAnItemOfTheLastChunk)
{
    const QByteArray bytes = threeChunks().bytes();
    const qsizetype afterItem1 = bytes.lastIndexOf("DWIM") + 12 + 8 + 4;
    for (qsizetype length = 0; length < bytes.size(); ++length) {
        XS_Document document;
        const bool loaded = load(document, bytes.left(length));
        EXPECT_EQ(loaded, length == afterItem1) << length;
        if (loaded) continue;
        EXPECT_TRUE(document.chunks.isEmpty()) << length;
        EXPECT_TRUE(document.errorText().startsWith(length < 16 ? "Unknown format" : "Illegal file"))
            << length << ": " << document.errorText().toStdString();
    }
    // The last chunk's count beyond its items ends with the file.
    YsfcFile file = threeChunks();
    file.chunks[2].count = 5;
    XS_Document document;
    ASSERT_TRUE(load(document, file.bytes()));
    EXPECT_EQ(document.chunks.at(2)->count, 2);
    file.chunks[2].count = -1;
    EXPECT_EQ(stored(document).toHex(), file.bytes().toHex());
}

TEST(XS_Document, RealFilesGoBackAsTheyCame)
{
    const QDir folder(qEnvironmentVariable("MOTIF_REALDATA_DIR", QStringLiteral(MOTIF_REALDATA_DIR)) +
                      "/ysfc");
    const QStringList files = folder.entryList(QStringList{QStringLiteral("*.X9A")}, QDir::Files);
    if (files.isEmpty())
        GTEST_SKIP() << "real YSFC files round trip: no *.X9A in " << folder.path().toStdString();
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
