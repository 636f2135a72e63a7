#include "core/IniFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList keysOf(const IniSection& section)
{
    QStringList keys;
    for (int i = 0; i < section.count(); ++i) keys << section.key(i);
    return keys;
}

} // namespace

TEST(IniFile, ParsesSectionsKeysAndValues)
{
    IniFile ini;
    ASSERT_TRUE(ini.loadText(";MOTIF ES\r\n"
                             "stray=before any section\r\n"
                             "[MODES]\r\n"
                             "Total=4\r\n"
                             "  0 = Voice \r\n"
                             "  ; 1=commented out\r\n"
                             "no equals sign here\r\n"
                             "1=01,01,Ap|Ap:A.PIANO\r\n"
                             "2=a=b\r\n"
                             "=no key\r\n"
                             "0=duplicate\r\n"
                             "[DR:USR]\n"
                             "Total=32\nHex=0x10\nNeg=-7\nAll=0xFFFFFFFF\nBad=12abc\n"
                             "[ TABLE_1 ]\n"
                             "last=Gr\xC3\xBC\xC3\x9F"));
    ASSERT_EQ(ini.sections().size(), 3U);
    EXPECT_EQ(ini.sections()[1].name(), "DR:USR");
    EXPECT_EQ(ini.sections()[2].name(), "TABLE_1");

    const IniSection* modes = ini.section("MODES");
    ASSERT_NE(modes, nullptr);
    EXPECT_EQ(keysOf(*modes), QStringList({"Total", "0", "1", "2"}));
    EXPECT_EQ(modes->value("0"), "Voice");
    EXPECT_EQ(modes->numValue(1), "01,01,Ap|Ap:A.PIANO");
    EXPECT_EQ(modes->numValue(2), "a=b");
    EXPECT_EQ(modes->numValue(3), "");
    EXPECT_EQ(modes->key(-1), "");
    EXPECT_EQ(modes->key(4), "");

    const IniSection* drums = ini.section("DR:USR");
    EXPECT_EQ(drums->intValue("Total", -1), 32);
    EXPECT_EQ(drums->intValue("Hex"), 16);
    EXPECT_EQ(drums->intValue("Neg"), -7);
    EXPECT_EQ(drums->intValue("All"), -1);
    EXPECT_EQ(drums->intValue("Bad", 99), 99);
    EXPECT_EQ(drums->intValue("Missing", 5), 5);

    EXPECT_EQ(ini.section("TABLE_1")->value("last"), QString::fromUtf8("Gr\xC3\xBC\xC3\x9F"));
    EXPECT_EQ(ini.section("dr:usr"), nullptr);

    // Not UTF-8: read as Latin-1.
    ASSERT_TRUE(ini.loadText("[L]\nl=Gr\xFC\xDF\n"));
    EXPECT_EQ(ini.section("L")->value("l"), QString::fromUtf8("Gr\xC3\xBC\xC3\x9F"));
}

TEST(IniFile, RepeatedSectionsReopenWithinATextAndAreReplacedByALaterLoad)
{
    IniFile ini;
    ASSERT_TRUE(ini.loadText("[TABLE]\n0=x\n[PLG1]\nk=first\nName=old\n[TABLE]\n1=y\n[PLG1]\nk=second\n"));
    ASSERT_EQ(ini.sections().size(), 2U);
    EXPECT_EQ(keysOf(*ini.section("PLG1")), QStringList({"k", "Name"}));
    EXPECT_EQ(ini.section("PLG1")->value("k"), "first");
    EXPECT_EQ(ini.section("TABLE")->numValue(1), "y");

    ASSERT_TRUE(ini.loadText("[PLG1]\nName=new\n[PLG2]\nName=two\n"));
    ASSERT_EQ(ini.sections().size(), 3U);
    EXPECT_EQ(ini.sections()[1].name(), "PLG1");
    EXPECT_EQ(keysOf(*ini.section("PLG1")), QStringList({"Name"}));
    EXPECT_EQ(ini.section("PLG1")->value("Name"), "new");
    EXPECT_EQ(ini.sections()[2].name(), "PLG2");
}

TEST(IniFile, HostileTextsAndMissingFiles)
{
    IniFile ini;
    // Carriage returns alone do not end lines: the whole text is one line outside any section.
    ASSERT_TRUE(ini.loadText("[A]\rk=v\r\r\r"));
    EXPECT_TRUE(ini.sections().empty());

    ASSERT_TRUE(ini.loadText("[\n]\n[unclosed\nk=v\n[]\nk=empty name\n"));
    ASSERT_EQ(ini.sections().size(), 1U);
    EXPECT_EQ(ini.sections()[0].value("k"), "empty name");

    EXPECT_FALSE(ini.loadText(QByteArrayView("[B]\nk=v\0w\n", 10)));
    EXPECT_EQ(ini.errorText(), "not an INI text (zero byte at offset 7)");

    QTemporaryDir dir;
    const QString missing = dir.filePath("plg2.ini");
    EXPECT_FALSE(ini.loadFile(missing));
    EXPECT_TRUE(ini.errorText().startsWith("Cannot open " + missing)) << ini.errorText().toStdString();
    EXPECT_EQ(ini.sections().size(), 1U);

    const QString path = dir.filePath("plg1.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[PLG1]\r\nTotal=1\r\n0=63,24,P1-USER\r\n");
    file.close();
    ASSERT_TRUE(ini.loadFile(path)) << ini.errorText().toStdString();
    EXPECT_EQ(ini.section("PLG1")->numValue(0), "63,24,P1-USER");
}
