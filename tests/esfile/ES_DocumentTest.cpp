// The all-data file reader: how it splits data chunks into entries by their partner's size, and
// what it reports of a file cut anywhere. Hostile offsets and sizes are the fuzz corpus's
// (fuzz_esfile checks every entry against the file's bytes).
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
    for (const Damage& part : document.damage())
        out << QStringLiteral("%1@%2: %3").arg(part.chunk).arg(part.offset).arg(part.reason);
    return out.join(QLatin1Char('\n')).toStdString();
}

void expectEntries(const ES_Document& document, const char* name, int entrySize)
{
    const ES_Chunk* chunk = document.getChunk(QLatin1String(name));
    for (int k = 0; chunk && k < chunk->entries.count(); ++k)
        EXPECT_EQ(chunk->entries.at(k)->vector(), EsFileWriter::entry(k, entrySize)) << name << k;
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
        // Partners have no entry size.
        const std::tuple<const char*, int, int> chunks[] = {
            {"DVCE", 3, 100}, {"DPFM", 2, 40},  {"EPFM", 2, 0},   {"DWFM", 1, 8},
            {"EWFM", 1, 0},   {"dVCE", 3, 100}, {"XVCE", 3, 100}, {"DNOP", 1, 10}};
        for (const auto& [id, count, size] : chunks)
            w.add(id, size ? EsFileWriter::data(id, count, size) : EsFileWriter::partner(id, count));
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

TEST(ES_Document, AFileCutAnywhereKeepsWholeEntriesAndSaysWhatWasCut)
{
    const ValidFile file;
    const qint64 dlst = file.dlst;
    const QString noPartner = QStringLiteral("\nDNOP@2008: no partner chunk ENOP");
    const QString chunks =
        QStringLiteral("EVCE:0\nDVCE:3\nDPFM:2\nEPFM:0\nDWFM:0\nEWFM:0\ndVCE:0\nXVCE:0\nDNOP:0\n"
                       "DODD:2\nEODD:0\nELST:0\n");
    // One document reads them all, the whole file first: a failed load keeps no chunk of the file
    // before. (Which identifiers make an all-data file is the es_file transcript's.)
    const std::pair<qint64, QString> cuts[] = {
        {qint64(file.bytes.size()), chunks + "DLST:2" + noPartner},
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
    ES_Document document;
    for (const auto& [length, expected] : cuts) {
        const bool ok = load(document, Bytes(file.bytes.begin(), file.bytes.begin() + length));
        EXPECT_EQ(ok ? summary(document) : document.errorText().toStdString() + summary(document),
                  expected.toStdString())
            << length;
        for (const auto& [name, size] : {std::pair{"DVCE", 100}, {"DPFM", 40}, {"DODD", 50}, {"DLST", 16}})
            expectEntries(document, name, size);
    }
}
