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

IniFile tables()
{
    IniFile ini;
    EXPECT_TRUE(ini.loadText(tablesText));
    return ini;
}

} // namespace

TEST(DeviceTable, ReadsNumberedItemsAcrossGapsUpToTotalAndSplitsTheirFields)
{
    const IniFile ini = tables();
    const auto banks = DeviceTable::fromSection(*ini.section("BANKS"));
    EXPECT_EQ(banks->total(), 6);
    ASSERT_EQ(banks->count(), 3); // item 6 lies beyond Total
    EXPECT_EQ(banks->row(2)->text, "DR:GM");
    EXPECT_EQ(banks->row(2)->fields, QList<int>({127, 0}));
    EXPECT_EQ(banks->row(2)->data, 127 * 128);
    EXPECT_EQ(banks->row(3), nullptr);
    EXPECT_EQ(banks->indexOf(63 * 128 + 8), 1);
    EXPECT_EQ(banks->indexOf(63 * 128 + 9) + banks->indexOf("USER2"), -2);

    const BankSet set(banks.get());
    ASSERT_EQ(set.count(), 3);
    EXPECT_EQ(set.bank(1), 0x3F08);
    EXPECT_EQ(set.bank(3), 0);
    EXPECT_EQ(set.firstPatch(), Patch(Bank(0x3F00), 0));
    EXPECT_FALSE(BankSet(nullptr).firstPatch().isValid());

    // A bank whose names come from the instrument announces a count and lists nothing.
    const auto named = DeviceTable::fromSection(*ini.section("NAMED"));
    EXPECT_EQ(named->total(), 128);
    EXPECT_EQ(named->count(), 0);
    EXPECT_FALSE(BankSet(named.get()).firstPatch().isValid());

    // An absurd Total and more fields than an int holds: read what is there, at once.
    const auto damaged = DeviceTable::fromSection(*ini.section("DAMAGED"));
    ASSERT_EQ(damaged->count(), 1);
    EXPECT_EQ(damaged->row(0)->fields.size(), 9);
    EXPECT_EQ(damaged->row(0)->text, "X");

    // Hex fields, and a text that holds a short and a long name.
    const auto categories = DeviceTable::fromSection(*ini.section("CATEGORIES"));
    ASSERT_EQ(categories->count(), 3);
    const TableData* piano = categories->row(1);
    EXPECT_EQ(piano->fields, QList<int>({1, 10}));
    EXPECT_EQ(piano->data, 1 * 128 + 10);
    EXPECT_EQ(piano->shortName + "|" + piano->name, "Ap|Ap:A.PIANO");
    EXPECT_EQ(categories->indexOf(2 * 128 + 0x7F), 2);
    EXPECT_EQ(categories->indexOf("Kb"), 2);
    EXPECT_EQ(categories->indexOf("Ap:A.PIANO"), 1);
}

TEST(DeviceTable, DeviceKeepsTablesUntilItsDataFileIsLoadedAgain)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("data.ini");
    const auto write = [&](const QByteArray& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    write(tablesText);
    MidiDevice device("Test", 10);
    ASSERT_TRUE(device.loadIni(path));
    DeviceTable* banks = device.createTable("BANKS");
    ASSERT_NE(banks, nullptr);
    EXPECT_EQ(device.createTable("BANKS"), banks);
    EXPECT_EQ(device.createTable("MISSING"), nullptr);
    EXPECT_EQ(device.bankSet("BANKS").firstPatch(), Patch(Bank(0x3F00), 0));

    write("[BANKS]\nTotal=1\nSize=2\n0=63,09,USER2\n");
    ASSERT_TRUE(device.loadIni(path));
    EXPECT_EQ(device.bankSet("BANKS").firstPatch(), Patch(Bank(0x3F09), 0));
    device.deleteBankSet("BANKS");
    EXPECT_EQ(device.createTable("BANKS")->row(0)->name, "USER2");
    EXPECT_EQ(device.createTable("CATEGORIES")->count(), 3); // kept from the first load
}
