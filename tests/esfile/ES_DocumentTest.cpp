#include "motif/documents/ES_Document.h"

#include "EsFileWriter.h"
#include "core/Archive.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

using Bytes = EsFileWriter::Bytes;

struct Loaded {
    bool ok = false;
    ES_Document document;
};

Loaded load(const Bytes& bytes)
{
    Loaded loaded;
    Archive archive(bytes);
    loaded.ok = loaded.document.loadDocument(archive);
    return loaded;
}

QStringList names(const ES_Document& document)
{
    QStringList out;
    for (const auto& chunk : document.chunks()) out << chunk->name;
    return out;
}

std::vector<ES_Skipped> skippedOf(const ES_Document& document, const QString& chunk)
{
    std::vector<ES_Skipped> out;
    for (const ES_Skipped& part : document.skipped())
        if (part.chunk == chunk) out.push_back(part);
    return out;
}

void expectEntries(const ES_Chunk& chunk, int count, int entrySize)
{
    ASSERT_EQ(chunk.entries.count(), count) << chunk.name.toStdString();
    for (int k = 0; k < count; ++k)
        EXPECT_EQ(chunk.entries.at(k)->vector(), EsFileWriter::entry(k, entrySize))
            << chunk.name.toStdString() << k;
}

// The voice chunk and its partner, a performance chunk whose partner follows it in the catalogue,
// the waveform chunk and a chunk that is not a data chunk: every rule of the reader in one file.
struct ValidFile {
    struct Chunk {
        const char* name;
        std::uint32_t offset;
        std::uint32_t size;
        int entries;
        int entrySize;
    };
    std::vector<Chunk> chunks;
    Bytes bytes;

    ValidFile()
    {
        EsFileWriter writer;
        const auto add = [&](const char* name, const Bytes& chunk, int entries, int entrySize) {
            chunks.push_back(
                {name, writer.add(name, chunk), std::uint32_t(chunk.size()), entries, entrySize});
        };
        add("EVCE", EsFileWriter::partner("EVCE", 3), 0, 0);
        add("DVCE", EsFileWriter::data("DVCE", 3, 100), 3, 100);
        add("DPFM", EsFileWriter::data("DPFM", 2, 40), 2, 40);
        add("EPFM", EsFileWriter::partner("EPFM", 2), 0, 0);
        add("DWFM", EsFileWriter::data("DWFM", 1, 8), 0, 0);
        add("EWFM", EsFileWriter::partner("EWFM", 1), 0, 0);
        // Only a data chunk's id starts with an upper-case D.
        add("XVCE", EsFileWriter::data("XVCE", 3, 100), 0, 0);
        add("dVCE", EsFileWriter::data("dVCE", 3, 100), 0, 0);
        add("DNOP", EsFileWriter::data("DNOP", 1, 10), 1, 10);
        // The last byte of a size that does not divide evenly is not part of any entry.
        Bytes uneven = EsFileWriter::data("DODD", 2, 50);
        uneven.push_back(0xEE);
        EsFileWriter::put32(uneven, 4, 44 + 101);
        add("DODD", uneven, 2, 50);
        add("EODD", EsFileWriter::partner("EODD", 2), 0, 0);
        add("SYS", EsFileWriter::chunk("SYS", 24, 24), 0, 0);
        bytes = writer.bytes();
    }
    const Chunk* find(const QString& name) const
    {
        for (const Chunk& c : chunks)
            if (name == QLatin1String(c.name)) return &c;
        return nullptr;
    }
};

} // namespace

TEST(ES_Document, RecognisesTheModelByTheCaseOfTheIdentifier)
{
    QStringList seen;
    for (const char* identifier :
         {"8E24 S90ES", "8E24", "A0745 MOTIF", "8E57", "8e24", "a0745", "8e57", "8E2", "A074", " 8E24", ""}) {
        EsFileWriter writer(identifier);
        writer.add("EVCE", EsFileWriter::partner("EVCE", 1));
        const Loaded loaded = load(writer.bytes());
        seen << QStringLiteral("%1=%2 %3")
                    .arg(QLatin1String(identifier), loaded.document.model(),
                         loaded.ok ? names(loaded.document).join(',') : loaded.document.errorText());
    }
    EXPECT_EQ(seen, QStringList({"8E24 S90ES=S90 ES EVCE", "8E24=S90 ES EVCE", "A0745 MOTIF=Motif ES EVCE",
                                 "8E57=Motif ES EVCE", "8e24= Unknown format", "a0745= Unknown format",
                                 "8e57= Unknown format", "8E2= Unknown format", "A074= Unknown format",
                                 " 8E24= Unknown format", "= Unknown format"}));

    // The identifier fills its 16 bytes without a closing zero; a failed load drops the chunks of
    // the file before but shows the texts of the failed one.
    EsFileWriter full("8E24567890ABCDEFGHIJ", "0123456789ABCDEFGHIJ");
    full.add("EVCE", EsFileWriter::partner("EVCE", 1));
    Archive good(full.bytes());
    ES_Document document;
    ASSERT_TRUE(document.loadDocument(good));
    EXPECT_EQ(document.headerText1(), "8E24567890ABCDEF");
    EXPECT_EQ(document.headerText2(), "0123456789ABCDEF");
    Archive bad(EsFileWriter("8e24", "OTHER").bytes());
    EXPECT_FALSE(document.loadDocument(bad));
    EXPECT_TRUE(document.chunks().isEmpty());
    EXPECT_EQ(document.headerText1(), "8e24");
    EXPECT_EQ(document.headerText2(), "OTHER");
    EXPECT_EQ(document.model(), "");
}

TEST(ES_Document, ReadsAll48CatalogueSlotsAndSkipsEmptyOnes)
{
    EsFileWriter writer;
    writer.catalogue("", 0);
    const std::uint32_t evce = writer.add("EVCE", EsFileWriter::partner("EVCE", 1));
    writer.catalogue(std::string("\0ABC", 4), evce);
    const std::uint32_t ab = writer.add("AB", EsFileWriter::chunk("AB", 77, 8));
    for (int slot = 4; slot < 47; ++slot) writer.catalogue("", 0);
    writer.add("DVCE", EsFileWriter::data("DVCE", 1, 5));
    const Loaded loaded = load(writer.bytes());
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(names(loaded.document), (QStringList{"EVCE", "AB", "DVCE"}));
    EXPECT_EQ(loaded.document.chunks().at(1)->offset, qint32(ab));
    EXPECT_EQ(loaded.document.chunks().at(1)->size, 77);
    expectEntries(*loaded.document.chunks().at(2), 1, 5);
}

TEST(ES_Document, CountsEntriesFromThePartnerSize)
{
    // 32 bytes of header, then 32 a entry; a size that reads as negative announces none.
    EsFileWriter writer;
    std::vector<std::uint32_t> offsets;
    for (const std::uint32_t size : {0u, 31u, 32u, 63u, 64u, 95u, 96u, 0x80000000u}) {
        const std::string index = std::to_string(offsets.size());
        writer.add("EP" + index, EsFileWriter::chunk("EP" + index, size, 8));
        offsets.push_back(writer.add("DP" + index, EsFileWriter::data("DP" + index, 2, 6)));
    }
    const Loaded loaded = load(writer.bytes());
    ASSERT_TRUE(loaded.ok);
    const ES_Document& document = loaded.document;
    QStringList counts;
    for (int i = 0; i < 8; ++i) {
        const QString data = QStringLiteral("DP%1").arg(i);
        counts << QStringLiteral("%1/%2")
                      .arg(document.countEntries(data))
                      .arg(document.getChunk(data)->entries.count());
    }
    EXPECT_EQ(counts.join(' '), "0/0 0/0 0/0 0/0 1/1 1/1 2/2 0/0");
    expectEntries(*document.getChunk("DP6"), 2, 6);
    EXPECT_EQ(document.getChunk("DP4")->entries.at(0)->size(), 12);
    EXPECT_EQ(
        skippedOf(document, "DP3"),
        (std::vector<ES_Skipped>{{"DP3", offsets[3], "partner chunk EP3 of size 63 announces no entries"}}));
    EXPECT_EQ(skippedOf(document, "DP7")[0].reason,
              "partner chunk EP7 of size -2147483648 announces no entries");
    EXPECT_EQ(document.skipped().size(), 5u);
}

TEST(ES_Document, LoadsEveryTruncationWithOnlyWholeEntries)
{
    const ValidFile file;
    for (std::size_t length = 0; length <= file.bytes.size(); ++length) {
        const Bytes prefix(file.bytes.begin(), file.bytes.begin() + std::ptrdiff_t(length));
        const Loaded loaded = load(prefix);
        const ES_Document& document = loaded.document;
        const auto cut = qint64(length);
        if (cut < 16) {
            EXPECT_FALSE(loaded.ok) << length;
            EXPECT_EQ(document.errorText(), "Unknown format");
            continue;
        }
        ASSERT_TRUE(loaded.ok) << length;
        EXPECT_EQ(document.model(), "S90 ES");
        EXPECT_EQ(document.headerText2(), cut < 32 ? "" : "ALL DATA");
        const qint64 slotsRead = std::clamp<qint64>((cut - 128) / 8, 0, 48);
        std::vector<ES_Skipped> fileParts;
        if (cut < 32) fileParts.push_back({"", 16, "the second header text is cut off"});
        if (slotsRead < 48)
            fileParts.push_back(
                {"", 128 + slotsRead * 8,
                 QStringLiteral("the catalogue is cut off after %1 of 48 entries").arg(slotsRead)});
        EXPECT_EQ(skippedOf(document, ""), fileParts) << length;
        ASSERT_EQ(document.chunks().count(), std::min<qint64>(slotsRead, qint64(file.chunks.size())))
            << length;

        for (const auto& chunk : document.chunks()) {
            const ValidFile::Chunk& expected = *file.find(chunk->name);
            const qint64 offset = expected.offset;
            const bool headerWhole = offset + 8 <= cut;
            EXPECT_EQ(chunk->offset, offset);
            EXPECT_EQ(chunk->size, headerWhole ? qint32(expected.size) : 0) << length;
            std::vector<ES_Skipped> parts;
            int whole = 0;
            const QString partnerName = ES_Chunk::partnerName(chunk->name);
            const ES_Chunk* partner = document.getChunk(partnerName);
            if (!headerWhole) {
                parts.push_back({chunk->name, offset, "the chunk header lies outside the file"});
            } else if (expected.entries == 0) {
            } else if (!partner) {
                parts.push_back({chunk->name, offset, "no partner chunk " + partnerName});
            } else if (partner->size == 0) {
                parts.push_back({chunk->name, offset,
                                 "partner chunk " + partnerName + " of size 0 announces no entries"});
            } else if (offset + 44 > cut) {
                parts.push_back({chunk->name, offset + 40, "the entry start lies outside the file"});
            } else {
                while (whole < expected.entries &&
                       offset + 44 + qint64(whole + 1) * expected.entrySize <= cut)
                    ++whole;
                if (whole < expected.entries)
                    parts.push_back(
                        {chunk->name, offset + 44 + whole * expected.entrySize,
                         QStringLiteral("%1 of %2 entries of %3 bytes lie beyond the end of the file")
                             .arg(expected.entries - whole)
                             .arg(expected.entries)
                             .arg(expected.entrySize)});
            }
            expectEntries(*chunk, whole, expected.entrySize);
            EXPECT_EQ(skippedOf(document, chunk->name), parts) << length << " " << chunk->name.toStdString();
        }
    }
}

TEST(ES_Document, StaysInsideHostileFiles)
{
    EsFileWriter writer;
    const std::uint32_t evce = writer.add("EVCE", EsFileWriter::partner("EVCE", 3));
    // Negative-looking sizes and entry starts beyond the chunk give entries below one byte.
    Bytes negative = EsFileWriter::data("DVCE", 3, 100);
    EsFileWriter::put32(negative, 4, 0xFFFFFFFF);
    const std::uint32_t dvce = writer.add("DVCE", negative);
    writer.add("EBIG", EsFileWriter::partner("EBIG", 3));
    Bytes beyond = EsFileWriter::data("DBIG", 3, 100);
    EsFileWriter::put32(beyond, 40, 400);
    const std::uint32_t dbig = writer.add("DBIG", beyond);
    writer.add("EMAX", EsFileWriter::partner("EMAX", 3));
    Bytes farStart = EsFileWriter::data("DMAX", 3, 100);
    EsFileWriter::put32(farStart, 40, 0xFFFFFFFF);
    const std::uint32_t dmax = writer.add("DMAX", farStart);
    // An entry far beyond the end of the file.
    writer.add("EFAR", EsFileWriter::partner("EFAR", 1));
    Bytes far = EsFileWriter::data("DFAR", 1, 100);
    EsFileWriter::put32(far, 4, 0x7FFFFFFF);
    EsFileWriter::put32(far, 40, 0x7FFFFFF0);
    const std::uint32_t dfar = writer.add("DFAR", far);
    writer.add("SYS", EsFileWriter::chunk("SYS", 16, 16));
    // A partner that announces 67 million entries: the split stops at the end of the file.
    writer.add("EHUG", EsFileWriter::chunk("EHUG", 0x7FFFFFFF, 8));
    Bytes huge = EsFileWriter::data("DHUG", 5, 32);
    EsFileWriter::put32(huge, 4, 0x7FFFFFFF);
    const std::uint32_t dhug = writer.add("DHUG", huge);
    const std::uint32_t end = writer.end();
    // Chunk offsets at and past the end, and one that reads as negative.
    writer.catalogue("DEND", end);
    writer.catalogue("DNEG", 0xFFFFFFF0);
    writer.catalogue("DCUT", end - 4);
    writer.catalogue("EEND", end);
    const Loaded loaded = load(writer.bytes());
    ASSERT_TRUE(loaded.ok);
    const ES_Document& document = loaded.document;

    EXPECT_EQ(document.getChunk("EVCE")->offset, qint32(evce));
    EXPECT_EQ(document.getChunk("DVCE")->size, -1);
    EXPECT_EQ(document.getChunk("DNEG")->offset, -16);
    for (const char* name : {"DVCE", "DBIG", "DMAX", "DFAR", "DEND", "DNEG", "DCUT", "EEND"})
        EXPECT_TRUE(document.getChunk(name)->entries.isEmpty()) << name;
    for (const char* name : {"DEND", "DNEG", "DCUT", "EEND"})
        EXPECT_EQ(document.getChunk(name)->size, 0) << name;
    expectEntries(*document.getChunk("DHUG"), 5, 32);
    const std::vector<ES_Skipped> expected = {
        {"DEND", end, "the chunk header lies outside the file"},
        {"DNEG", -16, "the chunk header lies outside the file"},
        {"DCUT", end - 4, "the chunk header lies outside the file"},
        {"EEND", end, "the chunk header lies outside the file"},
        {"DVCE", dvce + 40, "entry size -15 is below 1 (size -1, entry start 44, 3 entries)"},
        {"DBIG", dbig + 40, "entry size -18 is below 1 (size 344, entry start 400, 3 entries)"},
        {"DMAX", dmax + 40,
         "entry size -1431655650 is below 1 (size 344, entry start 4294967295, 3 entries)"},
        {"DFAR", dfar + 0x7FFFFFF0LL, "1 of 1 entries of 15 bytes lie beyond the end of the file"},
        {"DHUG", dhug + 44 + 5 * 32,
         "67108857 of 67108862 entries of 32 bytes lie beyond the end of the file"}};
    EXPECT_EQ(document.skipped(), expected);
}

TEST(ES_Document, CopiesOwnTheirEntriesAndClearingKeepsTheHeader)
{
    Loaded loaded = load(ValidFile().bytes);
    ES_Document copy(loaded.document);
    ES_Document assigned;
    assigned = loaded.document;
    const ES_Document& self = assigned;
    assigned = self;
    loaded.document.getChunk("DVCE")->entries.at(0)->setAt(0, 0xAB);
    loaded.document.clearDocument();
    for (const ES_Document* document : {&copy, &assigned}) {
        expectEntries(*document->getChunk("DVCE"), 3, 100);
        EXPECT_EQ(document->skipped().size(), 1u);
    }

    // The texts and the model stay with the document.
    EXPECT_TRUE(loaded.document.chunks().isEmpty());
    EXPECT_TRUE(loaded.document.skipped().empty());
    EXPECT_EQ(loaded.document.model(), "S90 ES");
    EXPECT_EQ(loaded.document.headerText2(), "ALL DATA");
}
