// The instrument's data tables are compiled in as text that the framework's INI reader takes
// apart; what the reader relies on is checked here, not what the rows say.
#include "core/IniFile.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <map>

namespace {

const IniFile& load(const char* path)
{
    static std::map<std::string, IniFile> loaded;
    IniFile& ini = loaded[path];
    if (ini.sections().empty()) {
        EXPECT_TRUE(ini.loadFile(QLatin1String(path))) << path;
    }
    return ini;
}

QStringList items(const IniSection& table)
{
    QStringList result;
    for (int i = 0; table.contains(QString::number(i)); ++i) result << table.numValue(i);
    return result;
}

const char* const Es = ":/motif/data/data_ES.ini";
const char* const Rack = ":/motif/data/data_RackES.ini";

} // namespace

// CRLF lines of printable ASCII, the first naming the model; every Total matches its numbered items
// (or stands alone for banks the instrument names), and nothing but Total and Size is unnumbered.
TEST(DeviceTables, TextAndTotalsAreWhatTheReaderExpects)
{
    for (const auto& [path, firstLine] : {std::pair{Es, ";MOTIF ES"}, std::pair{Rack, ";MOTIF RACK ES"}}) {
        QFile file(QString::fromLatin1(path));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path;
        const QByteArray text = file.readAll();
        EXPECT_TRUE(text.startsWith(QByteArray(firstLine) + "\r\n")) << path;
        EXPECT_EQ(text.count('\n'), text.count("\r\n")) << path;
        EXPECT_FALSE(QString::fromLatin1(text).contains(QRegularExpression("[^\\x20-\\x7E\\r\\n]|[ \\t]\\r")))
            << path;
        for (const IniSection& table : load(path).sections()) {
            const int total = table.intValue(QStringLiteral("Total"), -1);
            const qsizetype listed = items(table).size();
            EXPECT_TRUE(total >= 0 && (listed == 0 || listed == total)) << table.name().toStdString();
            for (int i = 0; i < table.count(); ++i) {
                bool numbered = false;
                const int index = table.key(i).toInt(&numbered);
                EXPECT_TRUE(numbered ? index < listed : table.key(i) == "Total" || table.key(i) == "Size")
                    << table.name().toStdString() << " " << table.key(i).toStdString();
            }
        }
    }
}

// Preset names carry a category prefix the category table knows (drum kits: Dr); the Rack ES
// carries the ES's preset banks unchanged.
TEST(DeviceTables, PresetNamesCarryACategoryAndTheRackSharesThem)
{
    const IniFile& es = load(Es);
    const QStringList categories = items(*es.section("CATEGORIES"));
    const QRegularExpression form(QStringLiteral("^([A-Z][a-z]):\\S.{0,9}$"));
    for (const char* bank : {"GM", "PRE1", "PRE2", "PRE3", "PRE4", "PRE5", "PRE6", "DR:PRE", "DR:GM"}) {
        const QStringList names = items(*es.section(bank));
        EXPECT_EQ(names.size(), (bank[0] == 'D') ? (bank[3] == 'G' ? 1 : 64) : 128) << bank;
        for (const QString& name : names) {
            const QString prefix = form.match(name).captured(1);
            EXPECT_TRUE((bank[0] == 'D') ? prefix == "Dr" : categories.mid(1).contains(prefix))
                << bank << " " << name.toStdString();
        }
        ASSERT_NE(load(Rack).section(bank), nullptr) << bank;
        EXPECT_EQ(items(*load(Rack).section(bank)), names) << bank;
    }
}
