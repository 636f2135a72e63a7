#include "core/IniFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Every section as "[name] key=value ..." in order, so that one comparison sees all of a parse.
QString dump(const IniFile& ini)
{
    QStringList out;
    for (const IniSection& section : ini.sections()) {
        out << "[" + section.name() + "]";
        for (int i = 0; i < section.count(); ++i) out << section.key(i) + "=" + section.value(section.key(i));
    }
    return out.join(' ');
}

} // namespace

TEST(IniFile, ParsesSectionsKeysAndValues)
{
    IniFile ini;
    ASSERT_TRUE(
        ini.loadText(";MOTIF ES\r\nstray=before any section\r\n[MODES]\r\nTotal=4\r\n  0 = Voice \r\n"
                     "  ; 1=commented out\r\nno equals sign here\r\n1=01,01,Ap|Ap:A.PIANO\r\n2=a=b\r\n"
                     "=no key\r\n0=duplicate\r\n[DR:USR]\nTotal=32\nHex=0x10\nNeg=-7\nAll=0xFFFFFFFF\n"
                     "Bad=12abc\n[ TABLE_1 ]\nlast=Gr\xC3\xBC\xC3\x9F"));
    EXPECT_EQ(dump(ini), QString::fromUtf8(
                             "[MODES] Total=4 0=Voice 1=01,01,Ap|Ap:A.PIANO 2=a=b [DR:USR] Total=32 "
                             "Hex=0x10 Neg=-7 All=0xFFFFFFFF Bad=12abc [TABLE_1] last=Gr\xC3\xBC\xC3\x9F"));
    const IniSection* modes = ini.section("MODES");
    EXPECT_EQ(modes->numValue(1) + modes->numValue(3) + modes->key(-1) + modes->key(4),
              "01,01,Ap|Ap:A.PIANO");
    const IniSection* drums = ini.section("DR:USR");
    EXPECT_EQ(
        (std::vector<int>{drums->intValue("Total", -1), drums->intValue("Hex"), drums->intValue("Neg"),
                          drums->intValue("All"), drums->intValue("Bad", 99), drums->intValue("Missing", 5)}),
        (std::vector<int>{32, 16, -7, -1, 99, 5}));
    EXPECT_EQ(ini.section("dr:usr"), nullptr);

    // Not UTF-8: read as Latin-1. Carriage returns alone do not end lines.
    IniFile latin, odd;
    ASSERT_TRUE(latin.loadText("[A]\rk=v\r\r\r\n[L]\nl=Gr\xFC\xDF\n"));
    EXPECT_EQ(dump(latin), QString::fromUtf8("[L] l=Gr\xC3\xBC\xC3\x9F"));
    ASSERT_TRUE(odd.loadText("[\n]\n[unclosed\nk=v\n[]\nk=empty name\n"));
    EXPECT_EQ(dump(odd), "[] k=empty name");
    EXPECT_FALSE(ini.loadText(QByteArrayView("[B]\nk=v\0w\n", 10)));
    EXPECT_EQ(ini.errorText(), "not an INI text (zero byte at offset 7)");
}

TEST(IniFile, RepeatedSectionsReopenWithinATextAndAreReplacedByALaterLoad)
{
    IniFile ini;
    ASSERT_TRUE(ini.loadText("[TABLE]\n0=x\n[PLG1]\nk=first\nName=old\n[TABLE]\n1=y\n[PLG1]\nk=second\n"));
    EXPECT_EQ(dump(ini), "[TABLE] 0=x 1=y [PLG1] k=first Name=old");
    ASSERT_TRUE(ini.loadText("[PLG1]\nName=new\n[PLG2]\nName=two\n"));
    EXPECT_EQ(dump(ini), "[TABLE] 0=x 1=y [PLG1] Name=new [PLG2] Name=two");

    QTemporaryDir dir;
    const QString missing = dir.filePath("plg2.ini"), path = dir.filePath("plg1.ini");
    EXPECT_FALSE(ini.loadFile(missing));
    EXPECT_TRUE(ini.errorText().startsWith("Cannot open " + missing)) << ini.errorText().toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) &&
                file.write("[PLG1]\r\nTotal=1\r\n0=63,24,P1-USER\r\n") > 0);
    file.close();
    ASSERT_TRUE(ini.loadFile(path)) << ini.errorText().toStdString();
    EXPECT_EQ(dump(ini), "[TABLE] 0=x 1=y [PLG1] Total=1 0=63,24,P1-USER [PLG2] Name=two");
}
