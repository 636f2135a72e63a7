// The slots' bank list files: what a board definition becomes in each slot, and what the device
// reads back from them. Hostile definitions are the fuzz corpus's (fuzz_plgini).
#include "PlgTestSupport.h"

#include <QDir>

using MotifPlg = PlgFolderTest;

TEST_F(MotifPlg, EverySlotHasItsOwnBankNumbers)
{
    // Other entries pass unchanged, compared whole and by case.
    PlgDevice device;
    QStringList lists;
    for (int slot : {0, 2})
        for (const char* entry : {"USER", "PRE1", "PRE3", "PRE4", "user", "USER1", "36,00,036/000"})
            lists << device.translatePLGBankName(QLatin1String(entry), slot);
    EXPECT_EQ(lists.join(' '), "63,24,P1-USER 63,70,P1-PRE1 63,72,P1-PRE3 PRE4 user USER1 36,00,036/000 "
                               "63,26,P3-USER 63,76,P3-PRE1 63,78,P3-PRE3 PRE4 user USER1 36,00,036/000");
}

TEST_F(MotifPlg, NamesKeepTheirOwnIndexesAndGoOutInLatin1)
{
    PlgDevice device;
    device.createPLGFile(
        1, writeFile(QStringLiteral("board.ini"),
                     "[PLG]\nName=Test Board\nTotal=5\n0=USER\n1=36,00,036/000\n2=36,01,036/001\n"
                     "4=USER\n[USER]\nTotal=64\n[036/000]\nTotal=20\n0=Co:Killer\n1=\n"
                     "2=Fl\xC3\xBBte\n007=Padded\n18=Dr:LiveRm A\n20=Edge\n29=Stray\n"));
    // Entry 3 is announced but absent; entry 2 has no name section; the user bank listed twice
    // has one section; 19 is missing and 20 and 29 lie past the count, so none is written and
    // nothing moves up.
    EXPECT_EQ(read(slotFile(2)), "[PLG2]\nName=Test Board\nTotal=5\n0=63,25,P2-USER\n1=36,00,036/000\n"
                                 "2=36,01,036/001\n3=\n4=63,25,P2-USER\n\n[P2-USER]\nTotal=64\n\n"
                                 "[036/000]\nTotal=20\n0=Co:Killer\n2=Fl\xFBte\n18=Dr:LiveRm A\n\n");
    // A count beyond what bank select can tell apart is cut to that; a negative one lists nothing.
    device.createPLGFile(
        0, writeFile(QStringLiteral("huge.ini"), "[PLG]\nName=Huge\nTotal=2000000000\n0=USER\n"));
    const QStringList lines = QString::fromStdString(read(slotFile(1))).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 3 + 16384 + 2);
    EXPECT_EQ(lines[2] + lines[3] + lines[3 + 16383], "Total=163840=63,24,P1-USER16383=");
    device.createPLGFile(0, writeFile(QStringLiteral("negative.ini"), "[PLG]\nName=Neg\nTotal=-3\n0=USER\n"));
    EXPECT_EQ(read(slotFile(1)), "[PLG1]\nName=Neg\nTotal=0\n\n");
}

TEST_F(MotifPlg, OnlyTheThreeSlotsHaveFilesAndTheEmptyTextWritesNothing)
{
    PlgDevice device;
    EXPECT_EQ(device.createPLGFile(2, QStringLiteral("(none)")), QString());
    EXPECT_EQ(read(slotFile(3)), "[PLG3]\nName=\nTotal=0\n");
    // A write that cannot happen says so and leaves what was there.
    ASSERT_TRUE(QDir().mkpath(slotFile(2)));
    EXPECT_EQ(device.createPLGFile(1, VlBoard),
              "cannot write " + slotFile(2) + ": check the permissions of the file and its folder");
    ASSERT_TRUE(QDir().rmdir(slotFile(2)));
    writeFile(QStringLiteral("motif-es/Motif ES/plg1.ini"), "kept as it is");
    device.createPLGFile(0, QString());
    device.createPLGFile(3, VlBoard);
    device.createPLGFile(-1, VlBoard);
    EXPECT_EQ(read(slotFile(1)), "kept as it is");
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList({"plg1.ini", "plg3.ini"}));
}

TEST_F(MotifPlg, LoadingForgetsEachSlotsBankSetBeforeReadingItsFile)
{
    PlgDevice device;
    const auto banksOf = [&](int slot) {
        QStringList out{device.plgName(slot)};
        for (int i = 0; i < device.plgBanks(slot).count(); ++i)
            out << QString::asprintf("%04X %s", device.plgBanks(slot).bank(i),
                                     qPrintable(device.plgBanks(slot).name(i)));
        return out.join(' ');
    };
    device.createPLGFile(2, VlBoard);
    EXPECT_EQ(banksOf(2), "");
    device.loadPLG();
    EXPECT_EQ(banksOf(2),
              "PLG150-VL 3F1A P3-USER 3F4C P3-PRE1 3F4D P3-PRE2 3F4E P3-PRE3 2100 033/000 2101 033/001 "
              "2102 033/002 2103 033/003");
    EXPECT_EQ(device.createTable(QStringLiteral("033/001"))->row(0)->name, QStringLiteral("Vento"));
    // Another board in the same slot: the bank set read before must not survive the reload.
    device.createPLGFile(2, AnBoard);
    device.loadPLG();
    EXPECT_EQ(banksOf(2), "PLG150-AN 3F1A P3-USER 3F4C P3-PRE1 2400 036/000 2401 036/001 2402 036/002");
    device.createPLGFile(2, QStringLiteral("(none)"));
    device.loadPLG();
    EXPECT_EQ(banksOf(2) + banksOf(0), "");
    // The files are the record: a new device finds the boards again.
    device.createPLGFile(0, AnBoard);
    Motif later;
    later.loadPLG();
    EXPECT_EQ(later.plgName(0), QStringLiteral("PLG150-AN"));
}
