// The catalogue entry record: its exact bytes in both layouts. Reading it back, whole or broken, is
// fuzz_arp's and fuzz_ysfc's.
#include "motif/documents/XS_Entry.h"
#include "core/Archive.h"

#include <QByteArray>
#include <gtest/gtest.h>

namespace {

XS_Entry sampleEntry()
{
    XS_Entry entry;
    entry.owner = 0x01020304;
    entry.data_size = 1640;
    entry.time = 0xA0B0C0D0;
    entry.data_offset = 12;
    entry.content_number = 0x3F0800;
    entry.filter = 3;
    entry.favorite = 1;
    entry.content_name = QStringLiteral("0:256:Piano");
    entry.filename = QStringLiteral("3F0800-Voice.vce");
    entry.rel_filenames =
        QStringList{QStringLiteral("0001-Waveform.wfm"), QStringLiteral("0002-Waveform.wfm")};
    return entry;
}

QByteArray written(const XS_Entry& entry, const char* model)
{
    Archive archive;
    entry.toArchive(QLatin1String(model), archive);
    return QByteArray(reinterpret_cast<const char*>(archive.bytes().data()),
                      qsizetype(archive.bytes().size()));
}

const QByteArray kTexts = QByteArray("0:256:Piano\0"
                                     "3F0800-Voice.vce\0"
                                     "0001-Waveform.wfm\0"
                                     "0002-Waveform.wfm\0",
                                     65);

} // namespace

TEST(XS_Entry, RecordLayoutDependsOnTheModel)
{
    const QByteArray xf = written(sampleEntry(), "Motif XF");
    const QByteArray numbers = QByteArray::fromHex("01020304 00000668 A0B0C0D0 0000000C 003F0800");
    EXPECT_EQ(xf, QByteArray::fromHex("00000057") + numbers + QByteArray::fromHex("0301") + kTexts);
    // Every other model leaves the filter byte out.
    for (const char* model : {"Motif XS", "S90 XS", "Motif Rack XS", ""}) {
        const QByteArray xs = written(sampleEntry(), model);
        EXPECT_EQ(xs, QByteArray::fromHex("00000056") + numbers + QByteArray::fromHex("01") + kTexts)
            << model;
        EXPECT_EQ(xf.size(), xs.size() + 1);
    }
    EXPECT_EQ(written(XS_Entry(), "Motif XF"), QByteArray::fromHex("00000018"
                                                                   "00000000"
                                                                   "00000000"
                                                                   "00000000"
                                                                   "00000000"
                                                                   "00000000"
                                                                   "0000"
                                                                   "0000"));
}

TEST(XS_Entry, ReadsBackWhatItWrites)
{
    // The text form shows every field; the Motif XS record has no filter to read back.
    for (const char* model : {"Motif XF", "Motif XS"}) {
        const QByteArray bytes = written(sampleEntry(), model);
        Archive archive(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        XS_Entry entry;
        EXPECT_TRUE(entry.fromArchive(QLatin1String(model), archive));
        EXPECT_TRUE(archive.eof());
        XS_Entry expected = sampleEntry();
        expected.filter = QLatin1String(model) == QLatin1String("Motif XF") ? 3 : 0;
        EXPECT_EQ(entry.toString().toStdString(), expected.toString().toStdString()) << model;
    }
}
