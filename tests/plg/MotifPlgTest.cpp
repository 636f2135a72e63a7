// The slots' bank list files: what the device writes and reads back. What a board definition becomes
// in each slot is the plg transcript's; hostile definitions are the fuzz corpus's (fuzz_plgini).
#include "PlgTestSupport.h"

#include <QDir>

using MotifPlg = PlgFolderTest;

TEST_F(MotifPlg, OnlyTheThreeSlotsHaveFilesAndAFailedWriteKeepsTheOldOne)
{
    Motif device;
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
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList{"plg1.ini"});
}

TEST_F(MotifPlg, LoadingForgetsEachSlotsBankSetBeforeReadingItsFile)
{
    Motif device;
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
