#include "core/VarArgs.h"

#include <gtest/gtest.h>
#include <string>

TEST(VarArgs, FormatsTheTemplatesOfTheDevice)
{
    EXPECT_EQ(VarArgs("%06X", 0x0A0001).format(), "0A0001");
    EXPECT_EQ(VarArgs("%d,%d,P%d-USER", 1, 2, 3).format(), "1,2,P3-USER");
    EXPECT_EQ(VarArgs("BULK DUMP: %06X : %s", 0x407000u, QString("41 42")).format(),
              "BULK DUMP: 407000 : 41 42");
    EXPECT_EQ(VarArgs("%s/plg%d.ini", std::string("/dev"), 2).format(), "/dev/plg2.ini");
    EXPECT_EQ(VarArgs("Out of memory (%s)", "paste").format(), "Out of memory (paste)");
    EXPECT_EQ(VarArgs("100%% %c%c", 'o', 107).format(), "100% ok");
}

TEST(VarArgs, IntegerFlagsWidthAndPrecision)
{
    EXPECT_EQ(VarArgs("[%5d|%-5d|%05d|%+d|% d]", 42, 42, -42, 7, 7).format(), "[   42|42   |-0042|+7| 7]");
    EXPECT_EQ(VarArgs("[%.3d|%8.3d|%08.3d|%.0d]", 5, -5, 5, 0).format(), "[005|    -005|     005|]");
    EXPECT_EQ(VarArgs("%x %#x %#X %#o %o %#x", 255, 255, 255, 8, 0, 0).format(), "ff 0xff 0XFF 010 0 0");
    EXPECT_EQ(VarArgs("%#06x", 10).format(), "0x000a");
    EXPECT_EQ(VarArgs("%b %08b %#b", 5, 5, 2).format(), "101 00000101 0b10");
    EXPECT_EQ(VarArgs("%u %ld %lld %hhu %zu", 4000000000u, -1L, 1LL << 40, 200, std::size_t(9)).format(),
              "4000000000 -1 1099511627776 200 9");
    EXPECT_EQ(VarArgs("%X %X %x", -1, -2LL, -(1LL << 40)).format(), "FFFFFFFF FFFFFFFE ffffff0000000000");
    EXPECT_EQ(VarArgs("%d %d", 18446744073709551615ULL, true).format(), "18446744073709551615 1");
}

TEST(VarArgs, TextAndFloatingPoint)
{
    EXPECT_EQ(VarArgs("[%8s|%-8s|%.3s|%5.1s]", "Voice", QString("Mix"), "Performance", "Song").format(),
              "[   Voice|Mix     |Per|    S]");
    const char field[4] = {'A', 'B', 'C', 'D'};
    EXPECT_EQ(VarArgs("%s", field).format(), "ABCD");
    EXPECT_EQ(
        VarArgs("%s%s%s", static_cast<const char*>(nullptr), QChar(0x263A), QLatin1String("L1")).format(),
        QString::fromUtf8("\xE2\x98\xBAL1"));
    EXPECT_EQ(VarArgs("%s", QString::fromUtf8("Gr\xC3\xBC\xC3\x9F")).format(),
              QString::fromUtf8("Gr\xC3\xBC\xC3\x9F"));
    EXPECT_EQ(VarArgs("%.2f|%8.3f|%-8.1f|%+.0f|%e|%g", 3.14159, -2.5, 1.25, 2.0, 1500.0, 0.0001).format(),
              "3.14|  -2.500|1.2     |+2|1.500000e+03|0.0001");
    EXPECT_EQ(VarArgs("%010.2f", -1.5f).format(), "-000001.50");
}

TEST(VarArgs, MismatchesAndMissingArgumentsStaySafe)
{
    EXPECT_EQ(VarArgs("%s %s %s", 42, -3LL, 0.5).format(), "42 -3 0.5");
    EXPECT_EQ(VarArgs("%d|%x|%f", QString("12"), "text", "x").format(), "0|0|0.000000");
    EXPECT_EQ(VarArgs("%d %X", 2.9, -1.0).format(), "2 FFFFFFFF");
    EXPECT_EQ(VarArgs("%c|%c|%c", "Xyz", 0, -5).format(), "X||");
    EXPECT_EQ(VarArgs("a%db%sc%5dd", 1).format(), "a1bcd");
    EXPECT_EQ(VarArgs("%y %q 50%", 1).format(), "%y %q 50%");
    EXPECT_EQ(VarArgs("%", 1).format(), "%");
    EXPECT_EQ(VarArgs(nullptr, 1).format(), "");
    EXPECT_EQ(VarArgs("%99999999999d", 1).format().size(), 4096);
    EXPECT_EQ(VarArgs("%.99999999999f", 1.0).format().size(), 4098);
}
