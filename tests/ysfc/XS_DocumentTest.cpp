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

bool load(XS_Document& document, const QByteArray& bytes)
{
    Archive archive(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    return document.loadDocument(archive);
}

std::vector<std::uint8_t> storedBytes(XS_Document& document)
{
    Archive archive;
    EXPECT_TRUE(document.storeDocument(archive) && !archive.failed()) << archive.errorText().toStdString();
    return archive.bytes();
}

// The stored bytes in hex, and after them the offset each chunk learnt.
std::string stored(XS_Document& document)
{
    const std::vector<std::uint8_t> bytes = storedBytes(document);
    QByteArray out = QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())).toHex();
    for (const auto& chunk : document.chunks)
        out += ' ' + chunk->name.toLatin1() + '@' + QByteArray::number(chunk->offset, 16);
    return out.toStdString();
}

YsfcFile::Item item(const char* tag, const char* hex) { return {tag, QByteArray::fromHex(hex)}; }

void addItem(XS_Chunk& chunk, std::initializer_list<std::uint8_t> bytes)
{
    chunk.items.append(std::make_unique<XS_Item>())->data = LazyBuffer(Buffer(bytes));
}

} // namespace

TEST(XS_Document, NewDocumentsKeepTheChunksThatAreThere)
{
    // Chunks that are there stay where they are, with their items; the others follow in the type's order.
    XS_Document xf;
    addItem(*xf.createChunk(QStringLiteral("DVCE")), {});
    xf.newDocument(7);
    QStringList chunks{xf.version};
    for (const auto& chunk : xf.chunks) chunks << chunk->name + QString::number(chunk->items.count());
    EXPECT_EQ(chunks.join(' '), "1.0.2 DVCE1 EWFM0 EWIM0 DWFM0 DWIM0 EVCE0");
}

TEST(XS_Document, StoresHeaderCatalogueAndNestedSizes)
{
    // Items are tagged by the chunk's kind and every size field encloses what follows it; the
    // count field is written as set, whatever the list holds. The chunks learn where they were
    // written.
    XS_Document document;
    document.newDocument(7);
    XS_Chunk* ewfm = document.getChunk(QStringLiteral("EWFM"));
    addItem(*ewfm, {1, 2, 3});
    addItem(*ewfm, {4, 5, 6, 7, 8});
    ewfm->count = 2;
    XS_Chunk* dwfm = document.getChunk(QStringLiteral("DWFM"));
    addItem(*dwfm, {0xDD});
    dwfm->count = 3;
    YsfcFile expected;
    for (const char* id : {"EWFM", "EWIM", "DWFM", "DWIM", "EVCE", "DVCE"})
        expected.chunks.push_back({id, {}});
    expected.chunks[0].items = {item("Entr", "010203"), item("Entr", "0405060708")};
    expected.chunks[2].items = {item("Data", "DD")};
    expected.chunks[2].count = 3;
    EXPECT_EQ(stored(document),
              expected.bytes().toHex().toStdString() + " EWFM@70 EWIM@94 DWFM@a0 DWIM@b5 EVCE@c1 DVCE@cd");
}

// An old version and unknown chunks go back as read, tagged after the chunk's first letter: the ysfc
// transcript copies such files. Loading into a document replaces the items of the chunks it has.
TEST(XS_Document, LoadingReplacesTheItemsOfTheChunksItHas)
{
    YsfcFile mixed;
    mixed.chunks = {{"XTRA", {item("Data", "11")}}, {"DABC", {item("Data", "2222")}}};
    XS_Document unknown;
    addItem(*unknown.createChunk(QStringLiteral("XTRA")), {0xEE, 0xEE});
    ASSERT_TRUE(load(unknown, mixed.bytes()));
    mixed.chunks[0].items[0].tag = "Entr";
    EXPECT_EQ(stored(unknown), mixed.bytes().toHex().toStdString() + " XTRA@50 DABC@65");
}

// The damage as "chunk DWIM, item 2, offset 123: reason" lines joined by " | ".
std::string damageOf(const XS_Document& document)
{
    QStringList out;
    for (const Damage& part : document.damage()) out << part.toString();
    return out.join(" | ").toStdString();
}

TEST(XS_Document, EveryCutKeepsTheWholeItemsBeforeItAndReportsTheRest)
{
    YsfcFile file;
    file.chunks = {{"EWFM", {item("Entr", "0102"), item("Entr", "030405")}},
                   {"DWFM", {item("Data", "AA"), item("Data", "")}},
                   {"DWIM", {item("Data", "B0B1B2B3"), item("Data", "C0C1")}}};
    const QByteArray bytes = file.bytes();
    // Where each item ends: after the head, the catalogue and its chunk's 12 header bytes.
    std::vector<std::vector<qsizetype>> ends;
    qsizetype at = 0x40 + 8 * 3;
    for (const auto& chunk : file.chunks) {
        at += 12;
        ends.emplace_back();
        for (const auto& part : chunk.items) ends.back().push_back(at += 8 + part.contents.size());
    }
    for (qsizetype length = 0; length <= bytes.size(); ++length) {
        XS_Document document;
        const bool loaded = load(document, bytes.left(length));
        // A cut head leaves nothing to keep, not even the model.
        EXPECT_EQ(loaded, length >= 0x40) << length;
        if (!loaded) {
            EXPECT_TRUE(document.chunks.isEmpty()) << length;
            EXPECT_TRUE(document.errorText().startsWith(length < 16 ? "Unknown format" : "Illegal file"))
                << length;
            continue;
        }
        QStringList lost;
        for (std::size_t c = 0; c < file.chunks.size(); ++c) {
            std::size_t whole = 0;
            while (whole < ends[c].size() && ends[c][whole] <= length) ++whole;
            // A chunk that a cut catalogue does not name holds nothing.
            const XS_Chunk* chunk = document.chunks.at(int(c));
            if (!chunk) {
                EXPECT_EQ(whole, 0u) << length;
                continue;
            }
            ASSERT_EQ(chunk->items.count(), int(whole)) << length << ' ' << c;
            EXPECT_EQ(chunk->count, int(whole)) << length;
            for (std::size_t k = 0; k < whole; ++k)
                EXPECT_EQ(chunk->items.at(int(k))->data.buffer().vector(),
                          std::vector<std::uint8_t>(file.chunks[c].items[k].contents.begin(),
                                                    file.chunks[c].items[k].contents.end()));
            if (whole < ends[c].size()) lost << chunk->name;
        }
        QStringList damaged;
        for (const Damage& part : document.damage())
            if (!part.chunk.isEmpty()) damaged << part.chunk;
        EXPECT_EQ(damaged, lost) << length << ": " << damageOf(document);
        // What was kept is a whole file.
        XS_Document copy;
        Archive archive(storedBytes(document));
        ASSERT_TRUE(copy.loadDocument(archive)) << length;
        EXPECT_FALSE(copy.isDamaged()) << length << ": " << damageOf(copy);
    }
    XS_Document document;
    ASSERT_TRUE(load(document, bytes.left(0x40 + 12)));
    EXPECT_EQ(damageOf(document), "offset 72: the file ends inside the catalogue, after 1 of 3 chunks | "
                                  "chunk EWFM, offset 76: the file ends before the chunk");
    ASSERT_TRUE(load(document, bytes.left(ends[1][0] - 1)));
    EXPECT_EQ(damageOf(document),
              QStringLiteral("chunk DWFM, item 1, offset %1: the file ends inside item 1 of 2 | "
                             "chunk DWIM, offset %2: the file ends before the chunk")
                  .arg(ends[1][0] - 9)
                  .arg(ends[1][0] - 1)
                  .toStdString());
    // The last chunk's count beyond its items ends with the file: the items there are kept.
    file.chunks[2].count = 5;
    ASSERT_TRUE(load(document, file.bytes()));
    EXPECT_EQ(damageOf(document),
              QStringLiteral("chunk DWIM, item 3, offset %1: the file ends before item 3 of 5")
                  .arg(bytes.size())
                  .toStdString());
    file.chunks[2].count = -1;
    EXPECT_EQ(stored(document), file.bytes().toHex().toStdString() + " EWFM@58 DWFM@79 DWIM@96");
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
        const QByteArray copy =
            QByteArray::fromHex(QByteArray::fromStdString(stored(document)).split(' ').first());
        EXPECT_EQ(copy.left(0x24), original.left(0x24));
        EXPECT_TRUE(copy.mid(0x40) == original.mid(0x40)) << name.toStdString();
    }
}
