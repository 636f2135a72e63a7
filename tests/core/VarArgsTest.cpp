#include "core/VarArgs.h"

#include <gtest/gtest.h>
#include <string>

TEST(VarArgs, FormatsTheTemplatesOfTheDeviceWithFlagsWidthsAndTypes)
{
    EXPECT_EQ(VarArgs("BULK DUMP: %06X : %s|%s/plg%d.ini|100%% %c%c", 0x407000u, QString("41 42"),
                      std::string("/dev"), 2, 'o', 107)
                  .format(),
              "BULK DUMP: 407000 : 41 42|/dev/plg2.ini|100% ok");
    EXPECT_EQ(VarArgs("[%5d|%-5d|%05d|%+d|%.3d|%#06x|%#o|%08b]", 42, 42, -42, 7, 5, 10, 8, 5).format(),
              "[   42|42   |-0042|+7|005|0x000a|010|00000101]");
    EXPECT_EQ(VarArgs("%u %lld %X %x", 4000000000u, 1LL << 40, -1, -(1LL << 40)).format(),
              "4000000000 1099511627776 FFFFFFFF ffffff0000000000");
    const char field[4] = {'A', 'B', 'C', 'D'};
    EXPECT_EQ(
        VarArgs("[%8s|%-8s|%.3s]%s%s", "Voice", QString("Mix"), "Performance", field, QChar(0x263A)).format(),
        QString::fromUtf8("[   Voice|Mix     |Per]ABCD\xE2\x98\xBA"));
    EXPECT_EQ(VarArgs("%.2f|%8.3f|%e|%g", 3.14159, -2.5, 1500.0, 0.0001).format(),
              "3.14|  -2.500|1.500000e+03|0.0001");
}

TEST(VarArgs, MismatchesAndMissingArgumentsStaySafe)
{
    EXPECT_EQ(
        VarArgs("%s %s %s|%d|%x|%f|%d %X", 42, -3LL, 0.5, QString("12"), "text", "x", 2.9, -1.0).format(),
        "42 -3 0.5|0|0|0.000000|2 FFFFFFFF");
    EXPECT_EQ(VarArgs("%c|%c|%c|a%db%sc%5dd", "Xyz", 0, -5, 1).format(), "X|||a1bcd");
    EXPECT_EQ(VarArgs("%y %q 50%", 1).format() + VarArgs(nullptr, 1).format(), "%y %q 50%");
    EXPECT_EQ(VarArgs("%99999999999d", 1).format().size(), 4096);
    EXPECT_EQ(VarArgs("%.99999999999f", 1.0).format().size(), 4098);
}
