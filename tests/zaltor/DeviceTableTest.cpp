#include "zaltor/DeviceTable.h"
#include "zaltor/MidiDevice.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const char* const tablesText = R"([BANKS]
Total=6
Size=2
0=63,00,PRE1
1=63,08,USER1
;2=63,09,USER2
3=127,00,DR:GM
6=63,40,PERF
[CATEGORIES]
Total=3
Size=2
Hex=1
0=00,00,--|--:No Assign
1=01,0A,Ap|Ap:A.PIANO
2=02,7F,Kb|Kb:KEYBOARD
[NAMED]
Total=128
[DAMAGED]
Total=2147483647
Size=9
5=127,127,127,127,127,127,127,127,127,X
)";

// Every row as "data=fields:short|name", and the total.
QString rowsOf(const IniFile& ini, const char* section)
{
    const auto table = DeviceTable::fromSection(*ini.section(section));
    QStringList rows = {QString::number(table->total())};
    for (int i = 0; table->row(i); ++i) {
        QStringList fields;
        for (const int field : table->row(i)->fields) fields << QString::number(field);
        rows << QString::number(table->row(i)->data) + "=" + fields.join(',') + ":" +
                    table->row(i)->shortName + "|" + table->row(i)->name;
    }
    return rows.join(' ');
}

} // namespace

// Item 6 lies beyond Total; a bank whose names come from the instrument announces a count and
// lists nothing; an absurd Total and more fields than an int holds read what is there, at once.
TEST(DeviceTable, ReadsNumberedItemsAcrossGapsUpToTotalAndSplitsTheirFields)
{
    IniFile ini;
    ASSERT_TRUE(ini.loadText(tablesText));
    EXPECT_EQ(rowsOf(ini, "BANKS"), "6 8064=63,0:PRE1|PRE1 8072=63,8:USER1|USER1 16256=127,0:DR:GM|DR:GM");
    EXPECT_EQ(rowsOf(ini, "CATEGORIES"),
              "3 0=0,0:--|--:No Assign 138=1,10:Ap|Ap:A.PIANO 383=2,127:Kb|Kb:KEYBOARD");
    EXPECT_EQ(rowsOf(ini, "NAMED"), "128");
    EXPECT_EQ(rowsOf(ini, "DAMAGED"), "2147483647 -1=127,127,127,127,127,127,127,127,127:X|X");
    const auto banks = DeviceTable::fromSection(*ini.section("BANKS"));
    EXPECT_EQ(banks->indexOf(63 * 128 + 8), 1);
    EXPECT_EQ(banks->indexOf(63 * 128 + 9) + banks->indexOf("USER2"), -2);
    const auto categories = DeviceTable::fromSection(*ini.section("CATEGORIES"));
    EXPECT_EQ(categories->indexOf("Kb") + categories->indexOf("Ap:A.PIANO"), 3);

    const BankSet set(banks.get());
    EXPECT_EQ(QString::asprintf("%d %x %x", set.count(), set.bank(1), set.bank(3)), "3 3f08 0");
    EXPECT_EQ(set.firstPatch(), Patch(Bank(0x3F00), 0));
    EXPECT_FALSE(BankSet(nullptr).firstPatch().isValid());
    EXPECT_FALSE(BankSet(DeviceTable::fromSection(*ini.section("NAMED")).get()).firstPatch().isValid());
}

TEST(DeviceTable, DeviceKeepsTablesUntilItsDataFileIsLoadedAgain)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("data.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(tablesText) > 0 && file.flush());
    MidiDevice device("Test", 10);
    ASSERT_TRUE(device.loadIni(path));
    DeviceTable* banks = device.createTable("BANKS");
    EXPECT_TRUE(banks && device.createTable("BANKS") == banks && !device.createTable("MISSING"));
    EXPECT_EQ(device.bankSet("BANKS").firstPatch(), Patch(Bank(0x3F00), 0));

    ASSERT_TRUE(file.resize(0) && file.write("[BANKS]\nTotal=1\nSize=2\n0=63,09,USER2\n") > 0 &&
                file.flush());
    ASSERT_TRUE(device.loadIni(path));
    EXPECT_EQ(device.bankSet("BANKS").firstPatch(), Patch(Bank(0x3F09), 0));
    device.deleteBankSet("BANKS");
    EXPECT_EQ(device.createTable("BANKS")->row(0)->name, "USER2");
    EXPECT_EQ(device.createTable("CATEGORIES")->count(), 3); // kept from the first load
}
