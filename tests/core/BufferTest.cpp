#include "core/Buffer.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Buffer, HexTextAndFileRoundTripAndRejection)
{
    Buffer buffer;
    ASSERT_TRUE(buffer.fromString(" f04310\t\r\n7f "));
    EXPECT_EQ(buffer, Buffer({0xF0, 0x43, 0x10, 0x7F}));
    EXPECT_EQ(buffer.toString(), "F0 43 10 7F");
    EXPECT_EQ(buffer.toString(2), "F0 43");
    EXPECT_EQ(buffer.toString(0), "");
    EXPECT_EQ(buffer.toString(99), "F0 43 10 7F");
    ASSERT_TRUE(buffer.fromString(""));
    EXPECT_TRUE(buffer.isEmpty());
    // The last is a pair of Arabic-Indic digits, which QChar calls digits too.
    for (const QString& bad : {QString("F0 4"), QString("F0 4 3"), QString("F0,43"), QString("0xF0"),
                               QString("G0"), QString("F0 43 1"), QString::fromUtf8("\xD9\xA1\xD9\xA2")}) {
        ASSERT_TRUE(buffer.fromString("01"));
        EXPECT_FALSE(buffer.fromString(bad)) << bad.toStdString();
        EXPECT_TRUE(buffer.isEmpty()) << bad.toStdString();
    }

    QTemporaryDir dir;
    QFile file(dir.filePath("dump.syx"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\xF0\x43\xF7", 3);
    file.close();
    ASSERT_TRUE(buffer.fromFile(file.fileName()));
    EXPECT_EQ(buffer.toString(), "F0 43 F7");
    EXPECT_FALSE(buffer.fromFile(dir.filePath("missing.syx")));
    EXPECT_TRUE(buffer.isEmpty());
}

TEST(Buffer, PositionalAccessStaysInsideTheBytes)
{
    Buffer buffer({0x12, 0x34, 0x56, 0x78, 0x9A});
    EXPECT_EQ(buffer.at(0), 0x12);
    EXPECT_EQ(buffer[4], 0x9A);
    EXPECT_EQ(buffer.at(5), 0);
    EXPECT_EQ(buffer.at(-1), 0);
    EXPECT_EQ(buffer.readValue(0, 2), 0x1234U);
    EXPECT_EQ(buffer.readValue(3, 3), 0x789A00U);
    EXPECT_EQ(buffer.readValue(0, 5), 0x3456789AU);
    EXPECT_EQ(buffer.readValueR(0, 4), 0x78563412U);
    EXPECT_EQ(buffer.readValueR(-2, 3), 0x120000U);
    EXPECT_EQ(buffer.readValue(0x7FFFFFFF, 4), 0U);

    buffer.setAt(5, 0xFF);
    buffer.setAt(-1, 0xFF);
    buffer.writeValueR(3, 4, 0xAABBCCDD);
    EXPECT_EQ(buffer, Buffer({0x12, 0x34, 0x56, 0xDD, 0xCC}));
    buffer.writeValueR(-1, 3, 0x112233);
    EXPECT_EQ(buffer, Buffer({0x22, 0x11, 0x56, 0xDD, 0xCC}));

    buffer.allocate(6, 0x20);
    buffer.writeText(1, "ABCDEFGH", 4);
    EXPECT_EQ(buffer, Buffer({0x20, 'A', 'B', 'C', 'D', 0x20}));
    buffer.writeText(2, "Z", 8);
    EXPECT_EQ(buffer, Buffer({0x20, 'A', 'Z', 0, 0, 0}));
    EXPECT_EQ(buffer.readText(1, 4), "AZ");
    EXPECT_EQ(buffer.readText(4, 100), "");
    EXPECT_EQ(buffer.readText(-3, 5), " A");
    EXPECT_EQ(buffer.readText(6, 4), "");
    EXPECT_EQ(buffer.readText(0x7FFFFFF0, 0x7FFFFFFF), "");

    EXPECT_EQ(Buffer(nullptr, 5).size(), 0);
    buffer.allocate(-3);
    EXPECT_TRUE(buffer.isEmpty());
}
