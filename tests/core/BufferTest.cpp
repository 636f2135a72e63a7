#include "core/Buffer.h"

#include <QStringList>
#include <gtest/gtest.h>

TEST(Buffer, HexTextRoundTripAndRejection)
{
    Buffer buffer;
    ASSERT_TRUE(buffer.fromString(" f04310\t\r\n7f "));
    EXPECT_EQ(buffer.toString() + "|" + buffer.toString(2) + "|" + buffer.toString(0), "F0 43 10 7F|F0 43|");
    // The last is a pair of Arabic-Indic digits, which QChar calls digits too.
    for (const QString& bad : {QString("F0 4 3"), QString("F0,43"), QString("0xF0"), QString("G0"),
                               QString("F0 43 1"), QString::fromUtf8("\xD9\xA1\xD9\xA2")}) {
        ASSERT_TRUE(buffer.fromString("01"));
        EXPECT_FALSE(buffer.fromString(bad) || !buffer.isEmpty()) << bad.toStdString();
    }
}

TEST(Buffer, PositionalAccessStaysInsideTheBytes)
{
    Buffer buffer({0x12, 0x34, 0x56, 0x78, 0x9A});
    EXPECT_EQ(
        (std::vector<std::uint32_t>{buffer.at(0), buffer[4], buffer.at(5), buffer.at(-1),
                                    buffer.readValue(3, 3), buffer.readValue(0, 5), buffer.readValueR(0, 4),
                                    buffer.readValueR(-2, 3), buffer.readValue(0x7FFFFFFF, 4)}),
        (std::vector<std::uint32_t>{0x12, 0x9A, 0, 0, 0x789A00, 0x3456789A, 0x78563412, 0x120000, 0}));
    buffer.setAt(5, 0xFF);
    buffer.setAt(-1, 0xFF);
    buffer.writeValueR(3, 4, 0xAABBCCDD);
    buffer.writeValueR(-1, 3, 0x112233);
    EXPECT_EQ(buffer.toString(), "22 11 56 DD CC");

    buffer.allocate(6, 0x20);
    buffer.writeText(1, "ABCDEFGH", 4);
    EXPECT_EQ(buffer.toString(), "20 41 42 43 44 20");
    buffer.writeText(2, "Z", 8);
    EXPECT_EQ(buffer.toString(), "20 41 5A 00 00 00");
    EXPECT_EQ((QStringList{buffer.readText(1, 4), buffer.readText(4, 100), buffer.readText(-3, 5),
                           buffer.readText(6, 4), buffer.readText(0x7FFFFFF0, 0x7FFFFFFF)}),
              QStringList({"AZ", "", " A", "", ""}));
    buffer.allocate(-3);
    EXPECT_TRUE(buffer.isEmpty() && Buffer(nullptr, 5).isEmpty());
}
