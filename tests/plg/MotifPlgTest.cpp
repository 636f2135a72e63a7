#include "PlgTestSupport.h"

#include "core/IniFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>
#include <map>

namespace {
QStringList linesOf(const std::string& text) { return QString::fromStdString(text).split(QLatin1Char('\n')); }
} // namespace

using MotifPlg = PlgFolderTest;

TEST_F(MotifPlg, VlInSlotThreeListsTranslatedBanksThenTheirNameSections)
{
    PlgDevice device;
    EXPECT_FALSE(QFileInfo::exists(folder()));
    device.createPLGFile(2, VlBoard);
    EXPECT_EQ(device.plgFileName(2), slotFile(3));
    const QStringList lines = linesOf(read(slotFile(3)));
    EXPECT_EQ(lines.mid(0, 13),
              (QStringList{"[PLG3]", "Name=PLG150-VL", "Total=8", "0=63,26,P3-USER", "1=63,76,P3-PRE1",
                           "2=63,77,P3-PRE2", "3=63,78,P3-PRE3", "4=33,00,033/000", "5=33,01,033/001",
                           "6=33,02,033/002", "7=33,03,033/003", "", "[P3-USER]"}));
    EXPECT_EQ(lines.filter(QRegularExpression("^\\[")),
              (QStringList{"[PLG3]", "[P3-USER]", "[P3-PRE1]", "[P3-PRE2]", "[P3-PRE3]", "[033/000]",
                           "[033/001]", "[033/002]", "[033/003]"}));
    // A user bank lists no names: its header, its count and the empty line.
    const auto after = [&](const char* header) { return lines.mid(lines.indexOf(header) + 1, 2); };
    EXPECT_EQ(after("[P3-USER]"), (QStringList{"Total=64", ""}));
    EXPECT_EQ(after("[033/000]"), (QStringList{"Total=128", "0=Mad Tube"}));
    EXPECT_EQ(after("[033/003]"), (QStringList{"Total=0", ""}));
    EXPECT_EQ(lines.size(), 12 + 4 * 3 + 2 * (2 + 128 + 1) + 2 * 3 + 1);

    // Every slot has its own bank numbers; other entries pass unchanged, compared whole and by case.
    const std::map<std::string, std::vector<std::string>> translations = {
        {"USER", {"63,24,P1-USER", "63,25,P2-USER", "63,26,P3-USER"}},
        {"PRE1", {"63,70,P1-PRE1", "63,73,P2-PRE1", "63,76,P3-PRE1"}},
        {"PRE2", {"63,71,P1-PRE2", "63,74,P2-PRE2", "63,77,P3-PRE2"}},
        {"PRE3", {"63,72,P1-PRE3", "63,75,P2-PRE3", "63,78,P3-PRE3"}},
        {"PRE4", {"PRE4", "PRE4", "PRE4"}},
        {"user", {"user", "user", "user"}},
        {"USER1", {"USER1", "USER1", "USER1"}},
        {"36,00,036/000", {"36,00,036/000", "36,00,036/000", "36,00,036/000"}},
    };
    for (const auto& [entry, expected] : translations)
        for (int slot = 0; slot < 3; ++slot)
            EXPECT_EQ(device.translatePLGBankName(QString::fromStdString(entry), slot).toStdString(),
                      expected[slot])
                << entry << " in slot " << slot;
}

TEST_F(MotifPlg, EmptySlotIsThreeLinesAndTheEmptyTextWritesNothing)
{
    PlgDevice device;
    EXPECT_EQ(device.createPLGFile(0, QStringLiteral("(none)")), QString());
    EXPECT_EQ(read(slotFile(1)), "[PLG1]\nName=\nTotal=0\n");
    // A write that cannot happen says so and leaves what was there.
    ASSERT_TRUE(QDir().mkpath(slotFile(3)));
    EXPECT_EQ(device.createPLGFile(2, VlBoard),
              "cannot write " + slotFile(3) + ": check the permissions of the file and its folder");
    EXPECT_TRUE(QFileInfo(slotFile(3)).isDir());
    ASSERT_TRUE(QDir().rmdir(slotFile(3)));

    writeFile(QStringLiteral("motif-es/Motif ES/plg1.ini"), "kept as it is");
    device.createPLGFile(0, QString());
    EXPECT_EQ(read(slotFile(1)), "kept as it is");
    device.createPLGFile(1, QString());
    EXPECT_EQ(read(slotFile(2)), "(missing)");
    // Only three slots have files.
    device.createPLGFile(3, VlBoard);
    device.createPLGFile(-1, VlBoard);
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList{QStringLiteral("plg1.ini")});
}

TEST_F(MotifPlg, NamesKeepTheirOwnIndexesAndGoOutInLatin1)
{
    const QString board = writeFile(QStringLiteral("board.ini"), "; a board with gaps\n"
                                                                 "[PLG]\n"
                                                                 "Name=Test Board\n"
                                                                 "Total=5\n"
                                                                 "0=USER\n"
                                                                 "1=36,00,036/000\n"
                                                                 "2=36,01,036/001\n"
                                                                 "4=USER\n"
                                                                 "[USER]\n"
                                                                 "Total=64\n"
                                                                 "[036/000]\n"
                                                                 "Total=20\n"
                                                                 "0=Co:Killer\n"
                                                                 "1=\n"
                                                                 "2=Fl\xC3\xBBte\n"
                                                                 "007=Padded\n"
                                                                 "18=Dr:LiveRm A\n"
                                                                 "29=Stray\n");
    PlgDevice device;
    device.createPLGFile(1, board);
    // Entry 3 is announced but absent; entry 2 has no name section; the user bank listed twice
    // has one section; 19 is missing and 29 lies past the count, so neither is written and
    // nothing moves up.
    EXPECT_EQ(read(slotFile(2)), "[PLG2]\n"
                                 "Name=Test Board\n"
                                 "Total=5\n"
                                 "0=63,25,P2-USER\n"
                                 "1=36,00,036/000\n"
                                 "2=36,01,036/001\n"
                                 "3=\n"
                                 "4=63,25,P2-USER\n"
                                 "\n"
                                 "[P2-USER]\n"
                                 "Total=64\n"
                                 "\n"
                                 "[036/000]\n"
                                 "Total=20\n"
                                 "0=Co:Killer\n"
                                 "2=Fl\xFBte\n"
                                 "18=Dr:LiveRm A\n"
                                 "\n");
}

TEST_F(MotifPlg, DefinitionsWithoutBoardGiveTheHeaderAlone)
{
    PlgDevice device;
    device.createPLGFile(0, writeFile(QStringLiteral("names.ini"), "[USER]\nTotal=64\n"));
    EXPECT_EQ(read(slotFile(1)), "[PLG1]\n");
    device.createPLGFile(1, home_.path() + QStringLiteral("/absent.ini"));
    EXPECT_EQ(read(slotFile(2)), "[PLG2]\n");
    device.createPLGFile(2,
                         writeFile(QStringLiteral("binary.ini"), QByteArray("[PLG]\nName=X\0Total=1\n", 21)));
    EXPECT_EQ(read(slotFile(3)), "[PLG3]\n");

    // A count beyond what bank select can tell apart is cut to that; a negative one lists nothing.
    device.createPLGFile(
        0, writeFile(QStringLiteral("huge.ini"), "[PLG]\nName=Huge\nTotal=2000000000\n0=USER\n"));
    const QStringList lines = linesOf(read(slotFile(1)));
    ASSERT_EQ(lines.size(), 3 + 16384 + 2);
    EXPECT_EQ(lines[2], "Total=16384");
    EXPECT_EQ(lines[3], "0=63,24,P1-USER");
    EXPECT_EQ(lines[3 + 16383], "16383=");
    device.createPLGFile(0, writeFile(QStringLiteral("negative.ini"),
                                      "[PLG]\nName=Neg\nTotal=-3\n0=USER\n[USER]\nTotal=64\n"));
    EXPECT_EQ(read(slotFile(1)), "[PLG1]\nName=Neg\nTotal=0\n\n");
}

TEST_F(MotifPlg, LoadingForgetsEachSlotsBankSetBeforeReadingItsFile)
{
    PlgDevice device;
    const auto banksOf = [&](int slot) {
        QStringList out;
        const BankSet banks = device.plgBanks(slot);
        for (int i = 0; i < banks.count(); ++i)
            out << QString::asprintf("%04X %s", banks.bank(i), qPrintable(banks.name(i)));
        return out;
    };
    device.loadPLG();
    EXPECT_EQ(device.plgName(2), QString());
    EXPECT_EQ(device.createTable(QStringLiteral("PLG3")), nullptr);
    EXPECT_EQ(banksOf(2), QStringList());

    device.createPLGFile(2, VlBoard);
    EXPECT_EQ(device.plgName(2), QString());
    device.loadPLG();
    EXPECT_EQ(device.plgName(2), QStringLiteral("PLG150-VL"));
    EXPECT_EQ(device.plgName(0), QString());
    EXPECT_EQ(banksOf(2), (QStringList{"3F1A P3-USER", "3F4C P3-PRE1", "3F4D P3-PRE2", "3F4E P3-PRE3",
                                       "2100 033/000", "2101 033/001", "2102 033/002", "2103 033/003"}));
    EXPECT_EQ(device.createTable(QStringLiteral("033/001"))->row(0)->name, QStringLiteral("Vento"));

    // Another board in the same slot: the bank set read before must not survive the reload.
    device.createPLGFile(2, AnBoard);
    device.loadPLG();
    EXPECT_EQ(device.plgName(2), QStringLiteral("PLG150-AN"));
    EXPECT_EQ(banksOf(2),
              (QStringList{"3F1A P3-USER", "3F4C P3-PRE1", "2400 036/000", "2401 036/001", "2402 036/002"}));
    device.createPLGFile(2, QStringLiteral("(none)"));
    device.loadPLG();
    EXPECT_EQ(device.plgName(2), QString());
    EXPECT_EQ(banksOf(2), QStringList());
    EXPECT_EQ(device.createTable(QStringLiteral("PLG3"))->total(), 0);

    // The files are the record: a new device finds the boards again.
    device.createPLGFile(0, AnBoard);
    Motif later;
    later.loadPLG();
    EXPECT_EQ(later.plgName(0), QStringLiteral("PLG150-AN"));
    EXPECT_EQ(later.plgName(2), QString());
}

// Every bank a definition lists has its name section; the instrument's own plug-in banks hold
// 64 voices each.
TEST(MotifPlgBoards, EveryListedBankHasItsSection)
{
    ASSERT_EQ(Motif::plgBoardFiles().size(), 7);
    for (const QString& file : Motif::plgBoardFiles()) {
        IniFile board;
        ASSERT_TRUE(board.loadFile(file)) << file.toStdString();
        const IniSection* plg = board.section(QStringLiteral("PLG"));
        ASSERT_NE(plg, nullptr) << file.toStdString();
        EXPECT_EQ(QStringLiteral(":/motif/data/%1.ini").arg(plg->value(QStringLiteral("Name"))), file);
        for (int i = 0; i < plg->intValue(QStringLiteral("Total")); ++i) {
            const QString entry = plg->numValue(i);
            const bool own = !entry.contains(QLatin1Char(','));
            const IniSection* names = board.section(own ? entry : entry.mid(6));
            ASSERT_NE(names, nullptr) << file.toStdString() << " " << entry.toStdString();
            if (own) {
                EXPECT_EQ(names->intValue(QStringLiteral("Total")), 64) << file.toStdString();
            }
        }
    }
}

// The source lists file a board's own banks under LSB 5 and up; every name of a definition must
// be the source's name of that program, and banks without a source stay without names.
TEST(MotifPlgBoards, NamesAreTheSourceListsNames)
{
    const QString names = QStringLiteral(MOTIF_REALDATA_DIR "/names");
    if (!QFileInfo::exists(names)) GTEST_SKIP() << "no real data folder";
    struct Mapping {
        const char* board;
        const char* section;
        const char* list;
        int msb;
        int lsb;
    };
    const Mapping mappings[] = {
        {"PLG150-AN", "036/000", "an", 36, 5}, {"PLG150-AN", "036/001", "an", 36, 6},
        {"PLG150-AN", "036/002", "an", 36, 7}, {"PLG150-DX", "035/000", "dx", 35, 5},
        {"PLG150-DX", "035/001", "dx", 35, 6}, {"PLG150-DX", "035/002", "dx", 35, 7},
        {"PLG150-AP", "032/001", "pf", 32, 5}, {"PLG150-VL", "033/000", "vl", 33, 5},
        {"PLG150-VL", "033/001", "vl", 33, 6},
    };
    std::map<std::string, int> named;
    for (const Mapping& m : mappings) {
        QFile list(names + QStringLiteral("/mididb_plg-%1.tsv").arg(QLatin1String(m.list)));
        ASSERT_TRUE(list.open(QIODevice::ReadOnly | QIODevice::Text));
        QTextStream in(&list);
        const QStringList columns = in.readLine().split(QLatin1Char('\t'));
        const auto column = [&](const char* name) { return int(columns.indexOf(QLatin1String(name))); };
        std::map<int, QString> expected;
        while (!in.atEnd()) {
            const QStringList row = in.readLine().split(QLatin1Char('\t'));
            if (row.size() < columns.size()) continue;
            if (row[column("MSB")].toInt() == m.msb && row[column("LSB")].toInt() == m.lsb)
                expected[row[column("PRG")].toInt()] = row[column("NME")];
        }
        IniFile board;
        ASSERT_TRUE(board.loadFile(QStringLiteral(":/motif/data/%1.ini").arg(QLatin1String(m.board))));
        const IniSection* section = board.section(QLatin1String(m.section));
        ASSERT_NE(section, nullptr) << m.board << " " << m.section;
        ASSERT_FALSE(expected.empty()) << m.list;
        EXPECT_EQ(section->intValue(QStringLiteral("Total")), int(expected.size()))
            << m.board << " " << m.section;
        const QMap<int, QString> actual = Motif::plgProgramNames(*section);
        EXPECT_EQ(actual.size(), qsizetype(expected.size())) << m.board << " " << m.section;
        for (const auto& [program, name] : expected)
            EXPECT_EQ(actual.value(program), name) << m.board << " " << m.section << " " << program;
        named[std::string(m.board) + " " + m.section] = 1;
    }
    for (const QString& file : Motif::plgBoardFiles()) {
        IniFile board;
        board.loadFile(file);
        const std::string name =
            board.section(QStringLiteral("PLG"))->value(QStringLiteral("Name")).toStdString();
        for (const IniSection& section : board.sections()) {
            if (section.name() == QLatin1String("PLG") ||
                named.count(name + " " + section.name().toStdString()))
                continue;
            EXPECT_EQ(section.count(), 1)
                << name << " [" << section.name().toStdString() << "] has names without a source";
        }
    }
}
