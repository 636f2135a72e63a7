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

TEST(VarArgs, FlagsWidthPrecisionAndTypes)
{
    EXPECT_EQ(VarArgs("[%5d|%-5d|%05d|%+d|%.3d|%#06x|%#o|%08b]", 42, 42, -42, 7, 5, 10, 8, 5).format(),
              "[   42|42   |-0042|+7|005|0x000a|010|00000101]");
    EXPECT_EQ(VarArgs("%u %lld %X %x", 4000000000u, 1LL << 40, -1, -(1LL << 40)).format(),
              "4000000000 1099511627776 FFFFFFFF ffffff0000000000");
    EXPECT_EQ(VarArgs("[%8s|%-8s|%.3s]", "Voice", QString("Mix"), "Performance").format(),
              "[   Voice|Mix     |Per]");
    const char field[4] = {'A', 'B', 'C', 'D'};
    EXPECT_EQ(VarArgs("%s%s", field, QChar(0x263A)).format(), QString::fromUtf8("ABCD\xE2\x98\xBA"));
    EXPECT_EQ(VarArgs("%.2f|%8.3f|%e|%g", 3.14159, -2.5, 1500.0, 0.0001).format(),
              "3.14|  -2.500|1.500000e+03|0.0001");
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
