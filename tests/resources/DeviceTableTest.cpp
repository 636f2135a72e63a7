#include "core/IniFile.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

IniFile load(const char* path)
{
    IniFile loaded;
    EXPECT_TRUE(loaded.loadFile(QLatin1String(path))) << path << " " << loaded.errorText().toStdString();
    return loaded;
}

const IniFile& tables()
{
    static const IniFile ini = load(":/motif/data/data_ES.ini");
    return ini;
}

const IniFile& rackTables()
{
    static const IniFile ini = load(":/motif/data/data_RackES.ini");
    return ini;
}

const IniSection& section(const char* name, const IniFile& file = tables())
{
    static const IniSection missing;
    const IniSection* found = file.section(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found ? *found : missing;
}

// The numbered items of a section, in item order.
QStringList items(const IniSection& table)
{
    QStringList result;
    for (int i = 0; table.contains(QString::number(i)); ++i) result << table.numValue(i);
    return result;
}

void expectBankList(const char* name, const QStringList& expected, const IniFile& file = tables())
{
    const IniSection& table = section(name, file);
    EXPECT_EQ(table.intValue(QStringLiteral("Total"), -1), expected.size()) << name;
    EXPECT_EQ(table.intValue(QStringLiteral("Size"), -1), 2) << name;
    EXPECT_EQ(items(table), expected) << name;
}

void expectCountOnly(const char* name, int total, const IniFile& file = tables())
{
    const IniSection& table = section(name, file);
    EXPECT_EQ(table.intValue(QStringLiteral("Total"), -1), total) << name;
    EXPECT_FALSE(table.contains(QStringLiteral("0"))) << name;
}

QStringList words(const char* text) { return QString::fromLatin1(text).split(QLatin1Char(' ')); }

const QStringList categories = words("-- Ap Kb Or Gt Ba St Br Rp Ld Pd Sc Cp Dr Se Me Co");

QStringList sectionNames(const IniFile& file)
{
    QStringList names;
    for (const IniSection& table : file.sections()) names << table.name();
    return names;
}

// CRLF lines of printable ASCII without trailing blanks, the first naming the model.
void expectTableText(const char* path, const char* firstLine)
{
    QFile file(QString::fromLatin1(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    const QByteArray text = file.readAll();
    ASSERT_TRUE(text.startsWith(QByteArray(firstLine) + "\r\n")) << path;
    ASSERT_TRUE(text.endsWith("\r\n")) << path;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << path << ": bare LF at " << i;
        } else if (c == '\r') {
            ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << path << ": bare CR at " << i;
            ASSERT_TRUE(i == 0 || (text[i - 1] != ' ' && text[i - 1] != '\t'))
                << path << ": trailing blank at " << i;
        } else {
            ASSERT_TRUE(c >= 0x20 && c < 0x7F) << path << ": byte " << int(c) << " at " << i;
        }
    }
}

// Every section has a Total; its numbered items, if any, run from 0 to Total - 1 and are the only
// keys besides Total and Size.
void expectTotalsMatchItems(const IniFile& file)
{
    for (const IniSection& table : file.sections()) {
        const std::string name = table.name().toStdString();
        const int total = table.intValue(QStringLiteral("Total"), -1);
        EXPECT_GE(total, 0) << name;
        const qsizetype listed = items(table).size();
        EXPECT_TRUE(listed == 0 || listed == total) << name;
        for (int i = 0; i < table.count(); ++i) {
            const QString key = table.key(i);
            bool numbered = false;
            const int index = key.toInt(&numbered);
            if (numbered)
                EXPECT_LT(index, listed) << name << " item " << index;
            else
                EXPECT_TRUE(key == "Total" || key == "Size") << name << " " << key.toStdString();
        }
    }
}

} // namespace

TEST(DeviceTables, TextIsCrLfAsciiWithTheModelComment)
{
    expectTableText(":/motif/data/data_ES.ini", ";MOTIF ES");
    expectTableText(":/motif/data/data_RackES.ini", ";MOTIF RACK ES");
}

TEST(DeviceTables, SectionsInFileOrder)
{
    QStringList expected = words(
        "MODES CATEGORIES CATEGORIES_FULL VOICES MIX_VOICES MIXING_VOICES VOICES_NODRUM VOICES_USER "
        "VOICES_USER_ALL DRUMS DRUMS_USER DR:USR PLG_USER P1-USER P2-USER P3-USER PERFORMANCES MULTIS MIX "
        "MASTERS USER_BANKS GM PRE1 PRE2 PRE3 PRE4 PRE5 PRE6 DR:PRE DR:GM REVERB_TYPES CHORUS_TYPES "
        "MASTER_FX_TYPES INSFX_TYPES FILTERS DRY_WET ER LowHigh PAN_DIR Detune OUTPUT CHANNELS EQFrequency "
        "ARPType INSERT_CONNECT1 INSERT_CONNECT2 CONTROLLERS FOOT_SWITCH AB_DEST CTRL_SRC CTRL_DEST "
        "WaveTypes WaveTypes2 WaveList DrumWaveList UserWaveList");
    for (int i = 1; i <= 27; ++i)
        if (i != 16) expected << QStringLiteral("TABLE_%1").arg(i);
    EXPECT_EQ(sectionNames(tables()), expected);
}

TEST(DeviceTables, EveryTotalMatchesItsItemsOrStandsAlone)
{
    expectTotalsMatchItems(tables());
    expectTotalsMatchItems(rackTables());
}

TEST(DeviceTables, ModesAndCategories)
{
    EXPECT_EQ(items(section("MODES")), QStringList({"Voice", "Performance", "Pattern", "Song", "Master"}));
    EXPECT_EQ(section("MODES").intValue(QStringLiteral("Total")), 5);
    EXPECT_EQ(items(section("CATEGORIES")), categories);
    EXPECT_EQ(section("CATEGORIES").intValue(QStringLiteral("Total")), 17);

    const IniSection& full = section("CATEGORIES_FULL");
    EXPECT_EQ(full.intValue(QStringLiteral("Total")), 49);
    EXPECT_EQ(full.intValue(QStringLiteral("Size")), 2);
    const QStringList sub =
        words("A.PIANO E.GRAND OTHER E.PIANO CLAVI OTHER ELEC. PIPE OTHER A.GTR E.GTR PLUCK "
              "A.BASS E.BASS SYNTH SOLO ENSEM. SYNTH SOLO SECTION SYNTH SAX PIPE OTHER HARD "
              "SOFT OTHER BRIGHT SOFT CHOIR HARD SOFT OTHER MALLET BELL PERC. DRUMS PERC OTHER "
              "SYNTH NATUR. OTHER MOTION HIT OTHER SPLIT SEQ OTHER");
    QStringList expected = {"00,00,--"};
    for (int i = 0; i < 48; ++i) {
        const QString& code = categories[i / 3 + 1];
        expected << QStringLiteral("%1,%2,%3|%3:%4")
                        .arg(i / 3 + 1, 2, 10, QLatin1Char('0'))
                        .arg(i % 3 + 1, 2, 10, QLatin1Char('0'))
                        .arg(code, sub[i]);
    }
    EXPECT_EQ(items(full), expected);
    EXPECT_EQ(full.numValue(1), "01,01,Ap|Ap:A.PIANO");
    EXPECT_EQ(full.numValue(48), "16,03,Co|Co:OTHER");
}

TEST(DeviceTables, BankLists)
{
    const QStringList voices = {"63,00,PRE1",  "63,01,PRE2",   "63,02,PRE3",   "63,03,PRE4",
                                "63,04,PRE5",  "63,05,PRE6",   "00,00,GM",     "63,08,USER1",
                                "63,09,USER2", "127,00,DR:GM", "63,32,DR:PRE", "63,40,DR:USR"};
    expectBankList("VOICES", voices);
    expectBankList("MIX_VOICES", voices);
    expectBankList("VOICES_NODRUM", voices.mid(0, 9));
    expectBankList("VOICES_USER", {"63,08,USER1", "63,09,USER2"});
    expectBankList("VOICES_USER_ALL", {"63,08,USER1", "63,09,USER2", "63,40,DR:USR", "63,24,P1-USER",
                                       "63,25,P2-USER", "63,26,P3-USER"});
    expectBankList("DRUMS", {"127,00,DR:GM", "63,32,DR:PRE", "63,40,DR:USR"});
    expectBankList("DRUMS_USER", {"63,40,DR:USR"});
    expectBankList("PLG_USER", {"63,24,P1-USER", "63,25,P2-USER", "63,26,P3-USER"});
    expectBankList("PERFORMANCES", {"63,64,PERF"});
    expectBankList("MULTIS", {"127,126,MIX"});
    expectBankList("MASTERS", {"127,127,MASTER"});
    expectBankList("USER_BANKS", {"63,08,USER1", "63,09,USER2", "63,40,DR:USR", "63,24,P1-USER",
                                  "63,25,P2-USER", "63,26,P3-USER", "63,64,PERF", "127,127,MASTER"});

    const IniSection& mixing = section("MIXING_VOICES");
    EXPECT_EQ(mixing.intValue(QStringLiteral("Total"), -1), 0);
    EXPECT_TRUE(items(mixing).isEmpty());
}

TEST(DeviceTables, BanksNamedByTheInstrumentHoldOnlyCounts)
{
    expectCountOnly("DR:USR", 32);
    expectCountOnly("P1-USER", 64);
    expectCountOnly("P2-USER", 64);
    expectCountOnly("P3-USER", 64);
    expectCountOnly("MIX", 128);
    expectCountOnly("ARPType", 2044);
    expectCountOnly("WaveList", 1860);
    expectCountOnly("UserWaveList", 1024);
}

TEST(DeviceTables, PresetNamesCarryACategoryPrefix)
{
    const QRegularExpression form(QStringLiteral("^([A-Z][a-z]):\\S.{0,9}$"));
    const std::pair<const char*, int> banks[] = {{"GM", 128},   {"PRE1", 128},  {"PRE2", 128},
                                                 {"PRE3", 128}, {"PRE4", 128},  {"PRE5", 128},
                                                 {"PRE6", 128}, {"DR:PRE", 64}, {"DR:GM", 1}};
    for (const auto& [name, total] : banks) {
        const QStringList names = items(section(name));
        EXPECT_EQ(section(name).intValue(QStringLiteral("Total")), total) << name;
        ASSERT_EQ(names.size(), total) << name;
        const bool drums = QLatin1String(name).startsWith(QLatin1String("DR:"));
        for (const QString& text : names) {
            const QRegularExpressionMatch match = form.match(text);
            ASSERT_TRUE(match.hasMatch()) << name << " " << text.toStdString();
            if (drums)
                EXPECT_EQ(match.captured(1), "Dr") << name << " " << text.toStdString();
            else
                EXPECT_TRUE(categories.mid(1).contains(match.captured(1)))
                    << name << " " << text.toStdString();
        }
    }
    EXPECT_EQ(section("PRE1").numValue(0), "Ap:Full Grand");
    EXPECT_EQ(section("PRE1").numValue(127), "Or:Flutey");
    EXPECT_EQ(section("PRE2").numValue(127), "St:ContraBass");
    EXPECT_EQ(section("PRE5").numValue(127), "Sc:Sine Comp");
    EXPECT_EQ(section("PRE6").numValue(0), "Co:Aggressor");
    EXPECT_EQ(section("GM").numValue(0), "Ap:ConcertGnd");
    EXPECT_EQ(section("DR:PRE").numValue(63), "Dr:SFXKit");
    EXPECT_EQ(section("DR:GM").numValue(0), "Dr:StereoGM");
}

TEST(DeviceTables, RackEsBanksAndTheEsPresetNames)
{
    const IniFile& rack = rackTables();
    const QStringList presets = words("GM PRE1 PRE2 PRE3 PRE4 PRE5 PRE6 DR:PRE DR:GM");
    EXPECT_EQ(sectionNames(rack),
              words("VOICES VOICES_USER DRUMS DRUMS_USER DR:USR PLG_USER P1-USER P2-USER MULTIS MULTI") +
                  presets);

    const QStringList users = {"63,08,USER1", "63,09,USER2", "63,10,USER3"};
    const QStringList drums = {"127,00,DR:GM", "63,32,DR:PRE", "63,40,DR:USR"};
    expectBankList("VOICES",
                   QStringList({"63,00,PRE1", "63,01,PRE2", "63,02,PRE3", "63,03,PRE4", "63,04,PRE5",
                                "63,05,PRE6", "00,00,GM"}) +
                       users + drums,
                   rack);
    expectBankList("VOICES_USER", users, rack);
    expectBankList("DRUMS", drums, rack);
    expectBankList("DRUMS_USER", {"63,40,DR:USR"}, rack);
    expectBankList("PLG_USER", {"63,24,P1-USER", "63,25,P2-USER"}, rack);
    expectBankList("MULTIS", {"63,65,MULTI"}, rack);
    expectCountOnly("DR:USR", 32, rack);
    expectCountOnly("P1-USER", 64, rack);
    expectCountOnly("P2-USER", 64, rack);
    expectCountOnly("MULTI", 128, rack);

    // The Rack ES carries the Motif ES preset banks unchanged.
    for (const QString& name : presets) {
        const QByteArray key = name.toLatin1();
        EXPECT_EQ(section(key.constData(), rack).intValue(QStringLiteral("Total"), -1),
                  section(key.constData()).intValue(QStringLiteral("Total"), -2))
            << key.constData();
        EXPECT_EQ(items(section(key.constData(), rack)), items(section(key.constData()))) << key.constData();
    }
}
