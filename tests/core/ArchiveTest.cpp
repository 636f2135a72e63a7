#include "core/Archive.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using Bytes = std::vector<std::uint8_t>;

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(Archive, WritesAndReadsEveryField)
{
    Archive out;
    out.writeUINT(0xDEADBEEF);
    out.writeInt(-2);
    out.writeWORD(0x1234);
    out.writeValueR(0x00ABCDEF, 3);
    out.writeBYTE(0x7F);
    out.writeVarLength(0x2000);
    out.writeText("Voice", 8);
    out.writeText("XY");
    out << std::uint8_t(0x99) << Buffer({0xF0, 0xF7}) << QString("Hi");
    out.writeBuffer(Buffer({1, 2, 3}));
    EXPECT_FALSE(out.failed());
    const Bytes expected = {0xDE, 0xAD, 0xBE, 0xEF, 0xFF, 0xFF, 0xFF, 0xFE, 0x12, 0x34, 0xEF, 0xCD, 0xAB,
                            0x7F, 0xC0, 0x00, 'V',  'o',  'i',  'c',  'e',  0,    0,    0,    'X',  'Y',
                            0x99, 0xF0, 0xF7, 'H',  'i',  0,    0,    0,    0,    3,    1,    2,    3};
    ASSERT_EQ(out.bytes(), expected);

    Archive in(expected);
    EXPECT_EQ(in.readUINT(), 0xDEADBEEFU);
    EXPECT_EQ(in.readInt(), -2);
    EXPECT_EQ(in.readWORD(), 0x1234);
    EXPECT_EQ(in.readValueR(3), 0xABCDEFU);
    EXPECT_EQ(in.readBYTE(), 0x7F);
    EXPECT_EQ(in.readVarLength(), 0x2000U);
    EXPECT_EQ(in.readText(8), "Voice");
    EXPECT_EQ(in.readText(2), "XY");
    std::uint8_t byte = 0;
    Buffer two;
    two.allocate(2);
    QString text;
    in >> byte >> two >> text;
    EXPECT_EQ(byte, 0x99);
    EXPECT_EQ(two.toString(), "F0 F7");
    EXPECT_EQ(text, "Hi");
    Buffer block;
    EXPECT_TRUE(in.readBuffer(block));
    EXPECT_EQ(block.toString(), "01 02 03");
    EXPECT_TRUE(in.eof());
    EXPECT_FALSE(in.failed());

    in.seek(8);
    EXPECT_EQ(in.pos(), 8);
    in.skip(2);
    EXPECT_TRUE(in.reached(10));
    EXPECT_FALSE(in.reached(11));
    std::uint8_t raw[3] = {};
    EXPECT_TRUE(in.read(raw));
    EXPECT_EQ(raw[2], 0xAB);
}

TEST(Archive, NestedSizeFieldsCountTheBytesAfterThem)
{
    Archive out;
    out.writeText("OUT ", 4);
    out.willPutSize();
    out.writeWORD(0xAAAA);
    out.willPutSize();
    out.writeBYTE(0xBB);
    out.putSize();
    out.writeBYTE(0xCC);
    out.putSize();
    out.writeBYTE(0xDD);
    EXPECT_FALSE(out.failed());
    EXPECT_EQ(out.bytes(),
              (Bytes{'O', 'U', 'T', ' ', 0, 0, 0, 0x08, 0xAA, 0xAA, 0, 0, 0, 1, 0xBB, 0xCC, 0xDD}));
    EXPECT_EQ(out.pos(), 17);

    Archive unmatched;
    unmatched.putSize();
    EXPECT_TRUE(unmatched.failed());
    EXPECT_EQ(unmatched.errorText(), "A size was put without a reserved size field");
}

TEST(Archive, TruncatedAndHostileInputFails)
{
    Archive in(Bytes{0x00, 0x01, 0x02});
    EXPECT_EQ(in.readUINT(), 0U);
    EXPECT_TRUE(in.failed());
    EXPECT_EQ(in.errorText(), "Cannot read a 32-bit number at offset 0 of 3 bytes");
    EXPECT_EQ(in.readBYTE(), 0);
    EXPECT_EQ(in.errorText(), "Cannot read a 32-bit number at offset 0 of 3 bytes");

    Archive huge(Bytes{0xFF, 0xFF, 0xFF, 0xF0, 1, 2});
    Buffer buffer({9});
    EXPECT_FALSE(huge.readBuffer(buffer));
    EXPECT_TRUE(buffer.isEmpty());
    EXPECT_EQ(huge.errorText(), "Cannot read a block of 4294967280 bytes at offset 0: only 2 bytes follow");

    Archive five(Bytes{0x81, 0x80, 0x80, 0x80, 0x00});
    EXPECT_EQ(five.readVarLength(), 0U);
    EXPECT_EQ(five.errorText(), "Cannot read a variable-length number at offset 0 of 5 bytes");

    Archive text(Bytes{'a', 'b'});
    QString s = "old";
    text >> s;
    EXPECT_EQ(s, "");
    EXPECT_TRUE(text.failed());

    Archive raw(Bytes{1, 2});
    std::uint8_t dst[3] = {7, 7, 7};
    EXPECT_FALSE(raw.read(dst));
    EXPECT_EQ(dst[0] + dst[1] + dst[2], 0);

    Archive seeking(Bytes{1, 2});
    seeking.seek(3);
    EXPECT_EQ(seeking.errorText(), "Cannot move to offset 3 of 2 bytes");

    Archive wrongWay(Bytes{1});
    wrongWay.writeBYTE(1);
    EXPECT_EQ(wrongWay.errorText(), "The archive is open for reading, not writing");
    Archive writer;
    writer.readBYTE();
    EXPECT_EQ(writer.errorText(), "The archive is open for writing, not reading");
}

TEST(Archive, CommitReplacesTheFileOnlyWhenTheWriteSucceeds)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("library.x0v");
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();

    Archive out;
    out.writeText("new", -1);
    ASSERT_TRUE(out.commit(target)) << out.errorText().toStdString();
    EXPECT_FALSE(QFile::exists(target + ".tmp"));
    Archive back(target);
    EXPECT_EQ(back.readText(3), "new");
    EXPECT_EQ(back.size(), 3);

    // The target is a folder: nothing can be renamed over it and the temporary file goes away.
    const QString folder = dir.filePath("folder");
    ASSERT_TRUE(QDir().mkdir(folder));
    Archive onFolder;
    onFolder.writeText("x", -1);
    EXPECT_FALSE(onFolder.commit(folder));
    EXPECT_TRUE(onFolder.errorText().startsWith("Cannot replace " + folder))
        << onFolder.errorText().toStdString();
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_FALSE(QFile::exists(folder + ".tmp"));

    // A failed archive never reaches the disk.
    Archive broken;
    broken.writeText("partial", -1);
    broken.writeVarLength(0xFFFFFFFF);
    EXPECT_FALSE(broken.commit(target));
    EXPECT_EQ(contents(target), "new");

    Archive open;
    open.willPutSize();
    EXPECT_FALSE(open.commit(target));
    EXPECT_EQ(contents(target), "new");

    // The temporary file cannot be created (its name is taken by a folder): the old file stays.
    ASSERT_TRUE(QDir().mkdir(target + ".tmp"));
    Archive blocked;
    blocked.writeText("lost", -1);
    EXPECT_FALSE(blocked.commit(target));
    EXPECT_TRUE(blocked.errorText().startsWith("Cannot write " + target + ".tmp"))
        << blocked.errorText().toStdString();
    EXPECT_EQ(contents(target), "new");

    Archive nowhere;
    EXPECT_FALSE(nowhere.commit(dir.filePath("no/such/folder.x0v")));
}
