// The all-data file reader: which identifiers it takes, how it splits data chunks into entries by
// their partner's size, and what it reports of a file cut anywhere. Hostile offsets and sizes are
// the fuzz corpus's (fuzz_esfile checks every entry against the file's bytes).
#include "motif/documents/ES_Document.h"

#include "EsFileWriter.h"
#include "core/Archive.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

using Bytes = EsFileWriter::Bytes;

bool load(ES_Document& document, const Bytes& bytes)
{
    Archive archive(bytes);
    return document.loadDocument(archive);
}

// The chunks as "name:entries", then what was skipped as "chunk@offset: reason".
std::string summary(const ES_Document& document)
{
    QStringList out;
    for (const auto& chunk : document.chunks())
        out << QStringLiteral("%1:%2").arg(chunk->name).arg(chunk->entries.count());
    for (const ES_Skipped& part : document.skipped())
        out << QStringLiteral("%1@%2: %3").arg(part.chunk).arg(part.offset).arg(part.reason);
    return out.join(QLatin1Char('\n')).toStdString();
}

void expectEntries(const ES_Document& document, const char* name, int entrySize)
{
    const ES_Chunk& chunk = *document.getChunk(QLatin1String(name));
    for (int k = 0; k < chunk.entries.count(); ++k)
        EXPECT_EQ(chunk.entries.at(k)->vector(), EsFileWriter::entry(k, entrySize)) << name << k;
}

// Every rule of the reader in one file: an empty catalogue slot, a partner after its data chunk,
// chunks that are no data chunks (DWFM, lower case, other letters), a data chunk without partner,
// a size that does not divide evenly, and a last chunk that ends with the file.
struct ValidFile {
    Bytes bytes;
    std::uint32_t dlst = 0;
    ValidFile()
    {
        EsFileWriter w;
        w.add("EVCE", EsFileWriter::partner("EVCE", 3));
        w.catalogue("", 0);
        w.add("DVCE", EsFileWriter::data("DVCE", 3, 100));
        w.add("DPFM", EsFileWriter::data("DPFM", 2, 40));
        w.add("EPFM", EsFileWriter::partner("EPFM", 2));
        w.add("DWFM", EsFileWriter::data("DWFM", 1, 8));
        w.add("EWFM", EsFileWriter::partner("EWFM", 1));
        w.add("dVCE", EsFileWriter::data("dVCE", 3, 100));
        w.add("XVCE", EsFileWriter::data("XVCE", 3, 100));
        w.add("DNOP", EsFileWriter::data("DNOP", 1, 10));
        Bytes uneven = EsFileWriter::data("DODD", 2, 50);
        uneven.push_back(0xEE);
        EsFileWriter::put32(uneven, 4, 44 + 101);
        w.add("DODD", uneven);
        w.add("EODD", EsFileWriter::partner("EODD", 2));
        w.add("ELST", EsFileWriter::partner("ELST", 2));
        dlst = w.add("DLST", EsFileWriter::data("DLST", 2, 16));
        bytes = w.bytes();
    }
};

} // namespace

TEST(ES_Document, RecognisesTheModelByTheCaseOfTheIdentifier)
{
    QStringList seen;
    for (const char* identifier :
         {"8E24 S90ES", "A0745 MOTIF", "8E57", "8e24", "a0745", "8E2", " 8E24", ""}) {
        EsFileWriter writer(identifier);
        writer.add("EVCE", EsFileWriter::partner("EVCE", 1));
        ES_Document document;
        const bool ok = load(document, writer.bytes());
        seen << QStringLiteral("%1=%2 %3")
                    .arg(QLatin1String(identifier), document.model(),
                         ok ? QString::fromStdString(summary(document)) : document.errorText());
    }
    EXPECT_EQ(seen.join('|').toStdString(),
              QStringList({"8E24 S90ES=S90 ES EVCE:0", "A0745 MOTIF=Motif ES EVCE:0", "8E57=Motif ES EVCE:0",
                           "8e24= Unknown format", "a0745= Unknown format", "8E2= Unknown format",
                           " 8E24= Unknown format", "= Unknown format"})
                  .join('|')
                  .toStdString());

    // The identifier fills its 16 bytes without a closing zero; a failed load drops the chunks
    // of the file before.
    ES_Document document;
    EsFileWriter full("8E24567890ABCDEFGHIJ", "0123456789ABCDEFGHIJ");
    full.add("EVCE", EsFileWriter::partner("EVCE", 1));
    ASSERT_TRUE(load(document, full.bytes()));
    EXPECT_EQ((document.headerText1() + document.headerText2()).toStdString(),
              "8E24567890ABCDEF0123456789ABCDEF");
    EXPECT_FALSE(load(document, EsFileWriter("8e24").bytes()));
    EXPECT_TRUE(document.chunks().isEmpty());
}

TEST(ES_Document, SplitsDataChunksByTheirPartnersCount)
{
    const ValidFile file;
    ES_Document document;
    ASSERT_TRUE(load(document, file.bytes));
    EXPECT_EQ(summary(document), "EVCE:0\nDVCE:3\nDPFM:2\nEPFM:0\nDWFM:0\nEWFM:0\ndVCE:0\nXVCE:0\nDNOP:0\n"
                                 "DODD:2\nEODD:0\nELST:0\nDLST:2\nDNOP@2008: no partner chunk ENOP");
    expectEntries(document, "DVCE", 100);
    expectEntries(document, "DPFM", 40);
    expectEntries(document, "DODD", 50);
    expectEntries(document, "DLST", 16);
    EXPECT_EQ(document.getChunk(QStringLiteral("DODD"))->size, 145);
    EXPECT_EQ(document.getChunk(QStringLiteral("DLST"))->offset, qint32(file.dlst));
}

TEST(ES_Document, CountsEntriesFromThePartnerSize)
{
    // 32 bytes of header, then 32 an entry; a size that reads as negative announces none.
    EsFileWriter writer;
    std::string index = "A";
    for (const std::uint32_t size : {31u, 32u, 63u, 64u, 95u, 96u, 0x80000000u}) {
        writer.add("E" + index, EsFileWriter::chunk("E" + index, size, 8));
        writer.add("D" + index, EsFileWriter::data("D" + index, 2, 6));
        ++index[0];
    }
    ES_Document document;
    ASSERT_TRUE(load(document, writer.bytes()));
    QStringList counts;
    for (const auto& chunk : document.chunks())
        if (chunk->isDataChunk()) counts << QString::number(document.countEntries(chunk->name));
    EXPECT_EQ(counts.join(' '), "0 0 0 1 1 2 0");
    EXPECT_EQ(document.skipped().back().reason, "partner chunk EG of size -2147483648 announces no entries");
}

TEST(ES_Document, AFileCutAnywhereKeepsWholeEntriesAndSaysWhatWasCut)
{
    const ValidFile file;
    const qint64 dlst = file.dlst;
    const QString noPartner = QStringLiteral("\nDNOP@2008: no partner chunk ENOP");
    const QString chunks =
        QStringLiteral("EVCE:0\nDVCE:3\nDPFM:2\nEPFM:0\nDWFM:0\nEWFM:0\ndVCE:0\nXVCE:0\nDNOP:0\n"
                       "DODD:2\nEODD:0\nELST:0\n");
    const std::pair<qint64, QString> cuts[] = {
        {15, "Unknown format"},
        {20, "@16: the second header text is cut off\n@128: the catalogue is cut off after 0 of 48 entries"},
        {156, "EVCE:0\nDVCE:0\n@152: the catalogue is cut off after 3 of 48 entries\n"
              "EVCE@512: the chunk header lies outside the file\nDVCE@640: the chunk header lies outside the "
              "file"},
        {dlst + 7, chunks + "DLST:0\nDLST@" + QString::number(dlst) +
                       ": the chunk header lies outside the file" + noPartner},
        {dlst + 43, chunks + "DLST:0" + noPartner + "\nDLST@" + QString::number(dlst + 40) +
                        ": the entry start lies outside the file"},
        {dlst + 44 + 31, chunks + "DLST:1" + noPartner + "\nDLST@" + QString::number(dlst + 60) +
                             ": 1 of 2 entries of 16 bytes lie beyond the end of the file"},
    };
    for (const auto& [length, expected] : cuts) {
        ES_Document document;
        const bool ok = load(document, Bytes(file.bytes.begin(), file.bytes.begin() + length));
        EXPECT_EQ(ok ? summary(document) : document.errorText().toStdString(), expected.toStdString())
            << length;
        if (ok && document.getChunk(QStringLiteral("DLST"))) expectEntries(document, "DLST", 16);
    }
}
