#include "core/IniFile.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

const QString tablePath = QStringLiteral(":/motif/data/data_ES.ini");

const IniFile& tables()
{
    static const IniFile ini = [] {
        IniFile loaded;
        EXPECT_TRUE(loaded.loadFile(tablePath)) << loaded.errorText().toStdString();
        return loaded;
    }();
    return ini;
}

const IniSection& section(const char* name)
{
    static const IniSection missing;
    const IniSection* found = tables().section(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found ? *found : missing;
}

// The numbered items of a section, in item order.
QStringList items(const IniSection& table)
{
    QStringList result;
    for (int i = 0; table.contains(QString::number(i)); ++i)
        result << table.numValue(i);
    return result;
}

void expectBankList(const char* name, const QStringList& expected)
{
    const IniSection& table = section(name);
    EXPECT_EQ(table.intValue(QStringLiteral("Total"), -1), expected.size()) << name;
    EXPECT_EQ(table.intValue(QStringLiteral("Size"), -1), 2) << name;
    EXPECT_EQ(items(table), expected) << name;
}

void expectCountOnly(const char* name, int total)
{
    const IniSection& table = section(name);
    EXPECT_EQ(table.intValue(QStringLiteral("Total"), -1), total) << name;
    EXPECT_FALSE(table.contains(QStringLiteral("0"))) << name;
}

QStringList words(const char* text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '));
}

const QStringList categories = words("-- Ap Kb Or Gt Ba St Br Rp Ld Pd Sc Cp Dr Se Me Co");

} // namespace

TEST(DeviceTables, TextIsCrLfAsciiWithTheModelComment)
{
    QFile file(tablePath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    ASSERT_TRUE(text.startsWith(";MOTIF ES\r\n"));
    ASSERT_TRUE(text.endsWith("\r\n"));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
        } else if (c == '\r') {
            ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at " << i;
            ASSERT_TRUE(i == 0 || (text[i - 1] != ' ' && text[i - 1] != '\t')) << "trailing blank at " << i;
        } else {
            ASSERT_TRUE(c >= 0x20 && c < 0x7F) << "byte " << int(c) << " at " << i;
        }
    }
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
    QStringList names;
    for (const IniSection& table : tables().sections())
        names << table.name();
    EXPECT_EQ(names, expected);
}

TEST(DeviceTables, EveryTotalMatchesItsItemsOrStandsAlone)
{
    for (const IniSection& table : tables().sections()) {
        const int total = table.intValue(QStringLiteral("Total"), -1);
        ASSERT_GE(total, 0) << table.name().toStdString();
        const qsizetype listed = items(table).size();
        EXPECT_TRUE(listed == 0 || listed == total) << table.name().toStdString();
        for (int i = 0; i < table.count(); ++i) {
            const QString key = table.key(i);
            bool numbered = false;
            const int index = key.toInt(&numbered);
            if (numbered)
                EXPECT_LT(index, listed) << table.name().toStdString() << " item " << index;
            else
                EXPECT_TRUE(key == "Total" || key == "Size")
                    << table.name().toStdString() << " " << key.toStdString();
        }
    }
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
