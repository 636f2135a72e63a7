// The instrument's data tables are compiled in as text that the framework's INI reader takes
// apart; what the reader relies on is checked here, not what the rows say.
#include "core/IniFile.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QStringList items(const IniSection& table)
{
    QStringList result;
    for (int i = 0; table.contains(QString::number(i)); ++i) result << table.numValue(i);
    return result;
}

} // namespace

// CRLF lines of printable ASCII, the first naming the model; every Total matches its numbered items
// (or stands alone for banks the instrument names), and nothing but Total and Size is unnumbered.
TEST(DeviceTables, TextAndTotalsAreWhatTheReaderExpects)
{
    for (const auto& [path, firstLine] : {std::pair{":/motif/data/data_ES.ini", ";MOTIF ES"},
                                          std::pair{":/motif/data/data_RackES.ini", ";MOTIF RACK ES"}}) {
        QFile file(QString::fromLatin1(path));
        const QByteArray text = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        EXPECT_TRUE(text.startsWith(QByteArray(firstLine) + "\r\n")) << path;
        EXPECT_EQ(text.count('\n'), text.count("\r\n")) << path;
        EXPECT_FALSE(QString::fromLatin1(text).contains(QRegularExpression("[^\\x20-\\x7E\\r\\n]|[ \\t]\\r")))
            << path;
        IniFile ini;
        ASSERT_TRUE(ini.loadFile(QLatin1String(path)));
        for (const IniSection& table : ini.sections()) {
            const qsizetype listed = items(table).size(), total = table.intValue(QStringLiteral("Total"), -1);
            EXPECT_TRUE(total >= 0 && (listed == 0 || listed == total)) << table.name().toStdString();
            EXPECT_EQ(table.count(), listed + table.contains("Total") + table.contains("Size"))
                << table.name().toStdString();
        }
    }
}

// Preset names carry a category prefix the category table knows (drum kits: Dr); the Rack ES
// carries the ES's preset banks unchanged.
TEST(DeviceTables, PresetNamesCarryACategoryAndTheRackSharesThem)
{
    IniFile es, rack;
    ASSERT_TRUE(es.loadFile(":/motif/data/data_ES.ini") && rack.loadFile(":/motif/data/data_RackES.ini"));
    const QRegularExpression voice("^(" + items(*es.section("CATEGORIES")).mid(1).join('|') + "):\\S.{0,9}$");
    const QRegularExpression drum("^Dr:\\S.{0,9}$");
    for (const char* bank : {"GM", "PRE1", "PRE2", "PRE3", "PRE4", "PRE5", "PRE6", "DR:PRE", "DR:GM"}) {
        const QStringList names = items(*es.section(bank));
        EXPECT_EQ(names.size(), (bank[0] == 'D') ? (bank[3] == 'G' ? 1 : 64) : 128) << bank;
        EXPECT_EQ(names.filter(bank[0] == 'D' ? drum : voice), names) << bank;
        EXPECT_TRUE(rack.section(bank) && items(*rack.section(bank)) == names) << bank;
    }
}
