// The catalogue entry record: its exact bytes in both layouts, and that they read back. Broken
// records are fuzz_arp's and fuzz_ysfc's.
#include "motif/documents/XS_Entry.h"
#include "TestSupport.h"
#include "core/Archive.h"

#include <QByteArray>
#include <gtest/gtest.h>

TEST(XS_Entry, RecordLayoutDependsOnTheModel)
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
    entry.rel_filenames = QStringList{"0001-Waveform.wfm", "0002-Waveform.wfm"};
    const QByteArray numbers = QByteArray::fromHex("01020304 00000668 A0B0C0D0 0000000C 003F0800");
    const QByteArray texts =
        QByteArray("0:256:Piano|3F0800-Voice.vce|0001-Waveform.wfm|0002-Waveform.wfm|").replace('|', '\0');
    // Only the Motif XF writes the filter byte; the text form shows every field.
    for (const auto& [model, middle] :
         {std::pair{"Motif XF", "00000057|0301"}, {"Motif XS", "00000056|01"}, {"", "00000056|01"}}) {
        Archive out;
        entry.toArchive(QLatin1String(model), out);
        const QByteArray bytes(reinterpret_cast<const char*>(out.bytes().data()),
                               qsizetype(out.bytes().size()));
        const QList<QByteArray> parts = QByteArray(middle).split('|');
        EXPECT_EQ(bytes, QByteArray::fromHex(parts[0]) + numbers + QByteArray::fromHex(parts[1]) + texts)
            << model;
        Archive in(out.bytes());
        XS_Entry read;
        EXPECT_TRUE(read.fromArchive(QLatin1String(model), in) && in.eof());
        EXPECT_EQ(read.filter, QLatin1String(model) == QLatin1String("Motif XF") ? 3 : 0) << model;
        read.filter = entry.filter;
        EXPECT_EQ(read.toString().toStdString(), entry.toString().toStdString()) << model;
    }
    Archive empty;
    XS_Entry().toArchive(QStringLiteral("Motif XF"), empty);
    EXPECT_EQ(hex(empty.bytes()), "00 00 00 18" + QString(" 00").repeated(24));
}
