#include "MonitorPane.h"
#include "WindowFixture.h"
#include "motif/Motif.h"

namespace {
QStringList childTexts(const QTreeWidgetItem* item)
{
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i) texts << item->child(i)->text(0);
    return texts;
}
} // namespace

TEST_F(WindowTest, ConnectShowsTheBanksAndReadsNamesUntilCancelled)
{
    ASSERT_TRUE(connectVirtual());
    EXPECT_EQ(pane().identity(), "Motif ES7, device 1");
    const QTreeWidget& tree = *pane().tree();
    ASSERT_EQ(tree.topLevelItemCount(), 2);
    EXPECT_EQ(childTexts(tree.topLevelItem(0)).join(','), "USER1,USER2,DR:USR,PERF,MASTER");
    EXPECT_EQ(childTexts(tree.topLevelItem(1)).join(','), "PRE1,PRE2,PRE3,PRE4,PRE5,PRE6,GM,DR:PRE,DR:GM");
    EXPECT_EQ(childTexts(pane().tree()->bankItem(0x3F28)).last(), "DR:USR:031");
    // Presets are named from the device's tables, without asking the instrument.
    const QTreeWidgetItem* preset = pane().tree()->patchItem(0x3F00, 0);
    EXPECT_EQ(preset->text(1) + '|' + preset->text(2), "Full Grand|Ap");
    EXPECT_EQ(name(User1, 0), "");

    cancelAt(5);
    ASSERT_TRUE(finish([&](auto done) { pane().readNames(User1, done); }));
    EXPECT_EQ(name(User1, 4), "USER1:004");
    EXPECT_EQ(name(User1, 5), "");
    stopCancelling();
    ASSERT_TRUE(finish([&](auto done) { pane().readNames(User1, done); }));
    EXPECT_EQ(name(User1, 127), "USER1:127");
    EXPECT_EQ(ui.calls, QStringList{});

    // The next connection to the same instrument shows the names at once, from the cache.
    ASSERT_TRUE(finish([&](auto done) { pane().connectInstrument([done](bool) { done(); }); }));
    EXPECT_EQ(name(User1, 127), "USER1:127");
    EXPECT_EQ(name(User2, 0), "");
}

TEST_F(WindowTest, AnInstalledBoardAddsItsBanksNamedByItsDefinition)
{
    ASSERT_EQ(Motif().createPLGFile(0, ":/motif/data/PLG150-AN.ini"), "");
    const bool connected = connectVirtual();
    // The slot is emptied again for the tests after this one.
    ASSERT_EQ(Motif().createPLGFile(0, Motif::PlgEmptySlot), "");
    ASSERT_TRUE(connected);
    // As 'motif plg show 1' lists them.
    const QTreeWidget& tree = *pane().tree();
    EXPECT_EQ(childTexts(tree.topLevelItem(0)).join(','), "USER1,USER2,DR:USR,PERF,MASTER,P1-USER");
    EXPECT_EQ(childTexts(tree.topLevelItem(1)).mid(9).join(','), "P1-PRE1,036/000,036/001,036/002");
    EXPECT_EQ(name(0x2400, 0) + '|' + name(0x2400, 127), "Killer|Cool Man");
    EXPECT_EQ(pane().tree()->bankItem(0x2400)->childCount(), 128);
}

TEST_F(WindowTest, MonitorShowsEveryMessageWithItsAnalysis)
{
    ASSERT_TRUE(connectVirtual());
    ASSERT_TRUE(settle());
    const QStringList lines = window->monitorPane()->text().split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], "→ IDENTITY REQUEST   F0 7E 7F 06 01 F7");
    EXPECT_EQ(lines[1].left(30), "← IDENTITY REPLY: manufacturer");
}

TEST_F(WindowTest, FailuresSayWhatToDo)
{
    pane().choosePorts("no-such-port", "no-such-port");
    ASSERT_TRUE(finish([&](auto done) { pane().connectInstrument([done](bool) { done(); }); }));
    ASSERT_EQ(ui.calls.size(), 1);
    // What RtMidi says depends on the ports there are; what to do does not.
    EXPECT_TRUE(ui.calls[0].startsWith("error Connect|Could not connect: ")) << ui.calls[0].toStdString();
    EXPECT_TRUE(
        ui.calls[0].endsWith("\nCheck that the instrument is switched on and its cables or ports are the "
                             "ones chosen, or choose the virtual instrument."));
    pane().readSelected();
    files().backup(dir.path());
    EXPECT_EQ(ui.calls.mid(1), QStringList({"error Read names|Connect to the instrument first.",
                                            "error Backup|Connect to the instrument first (Connect in the "
                                            "instrument pane)."}));
    ASSERT_TRUE(connectVirtual());
    files().openFolder(dir.path());
    files().resume();
    EXPECT_EQ(ui.calls.last(),
              QStringLiteral("error Resume backup|'%1' has no index.json: it is not a folder written "
                             "by 'motif backup'\nOpen the folder of a backup first.")
                  .arg(dir.path()));
}
