#include "WindowFixture.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
QStringList rows(const QTreeWidget& list)
{
    QStringList texts;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        QStringList columns;
        for (int c = 0; c < list.columnCount(); ++c) columns << list.topLevelItem(i)->text(c);
        texts << columns.join('|');
    }
    return texts;
}

// How many patches index.json holds and how many it marks missing.
QString indexCounts(const QString& dir)
{
    QFile file(dir + "/index.json");
    if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("no index");
    QJsonArray patches = QJsonDocument::fromJson(file.readAll()).object()["patches"].toArray();
    int missing = 0;
    for (const auto& entry : patches) missing += entry.toObject()["missing"].toBool();
    return QStringLiteral("%1 patches, %2 missing").arg(patches.size()).arg(missing);
}
} // namespace

class TransferTest : public WindowTest {
protected:
    QModelIndex patchIndex(unsigned short bank, int program)
    {
        return pane().tree()->indexFromItem(pane().tree()->patchItem(bank, program));
    }
    // Drags patches from the tree onto the file list.
    void dragToFiles(const QList<QModelIndex>& patches)
    {
        drop(files().list(), pane().tree()->model()->mimeData(patches), QModelIndex());
        ASSERT_TRUE(settle());
    }
    // Drags the file of `row` in the list onto a patch of the tree.
    void dragToInstrument(int row, unsigned short bank, int program)
    {
        const QModelIndex file = files().list()->model()->index(row, 0);
        drop(pane().tree(), files().list()->model()->mimeData({file}), patchIndex(bank, program));
        ASSERT_TRUE(settle());
    }
};

TEST_F(TransferTest, PatchesGoFromTheInstrumentToFilesAndBack)
{
    ASSERT_TRUE(connectVirtual());
    files().openFolder(dir.path());
    dragToFiles({patchIndex(User1, 3), patchIndex(0x3F28, 1)});
    EXPECT_EQ(rows(*files().list()),
              QStringList({"DR_USR-001.syx|DR:USR:001|drum|Dr|", "USER1-003.syx|USER1:003|voice|--|"}));
    yes = false;
    dragToFiles({patchIndex(User1, 3)});
    EXPECT_EQ(ui.calls, QStringList{"confirm Fetch into the folder|Replace these files?\nUSER1-003.syx"});

    // The file goes to another location, verified, and the instrument's memory holds it there.
    yes = true;
    ui.calls.clear();
    dragToInstrument(1, User2, 7);
    EXPECT_EQ(
        ui.calls,
        QStringList{
            "confirm Send to the instrument|Replace on the instrument:\nUSER2:007 \"\" by USER1-003.syx"});
    EXPECT_EQ(name(User2, 7), "USER1:003");
    ASSERT_TRUE(finish([&](auto done) { pane().readNames(User2, done); }));
    EXPECT_EQ(name(User2, 6) + '|' + name(User2, 7) + '|' + name(User2, 8), "USER2:006|USER1:003|USER2:008");

    // A preset bank and a bank of another type refuse the drop with the reason.
    ui.calls.clear();
    dragToInstrument(1, 0x3F00, 0);
    dragToInstrument(0, User1, 9);
    ASSERT_EQ(ui.calls.size(), 3);
    EXPECT_EQ(ui.calls[0],
              "error Send to the instrument|PRE1 is a preset bank: the instrument cannot store into "
              "it. Drop onto a user bank (USER1, USER2, DR:USR, PERF, MASTER).");
    EXPECT_EQ(ui.calls[2],
              QStringLiteral("error Send to the instrument|%1/DR_USR-001.syx holds a drum and USER1 "
                             "holds voices: drop it onto a bank of its type")
                  .arg(dir.path()));
    EXPECT_EQ(name(User1, 9), "");

    // Files from a file manager are copied into the folder; what is no patch is refused.
    QFile junk(dir.filePath("junk.syx"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly) && junk.write("hello") == 5);
    junk.close();
    ASSERT_TRUE(QDir(dir.path()).mkdir("other"));
    files().openFolder(dir.filePath("other"));
    ui.calls.clear();
    auto* mime = new QMimeData();
    mime->setUrls({QUrl::fromLocalFile(dir.filePath("USER1-003.syx")), QUrl::fromLocalFile(junk.fileName())});
    drop(files().list(), mime, QModelIndex());
    EXPECT_EQ(rows(*files().list()), QStringList{"USER1-003.syx|USER1:003|voice|--|"});
    EXPECT_EQ(
        ui.calls,
        QStringList{QStringLiteral("error Copy into the folder|'%1': Byte 68 at offset 0 lies outside "
                                   "any SysEx message\nOnly .syx files of Motif ES patches are copied in.")
                        .arg(junk.fileName())});
}

TEST_F(TransferTest, BackupAndRestoreStopWhenCancelledAndResume)
{
    ASSERT_TRUE(connectVirtual());
    const QString folder = dir.path() + "/backup";
    cancelAt(6);
    ASSERT_TRUE(finish([&](auto done) { files().backup(folder, done); }));
    EXPECT_EQ(indexCounts(folder), "544 patches, 538 missing");
    EXPECT_EQ(ui.calls, QStringList{"warning Backup|Backup: 6 patches, 0 failed.\nCancelled before the end.\n"
                                    "Resume backup fetches what is missing."});
    EXPECT_EQ(rows(*files().list()).last(), "USER1-005.syx|USER1:005|voice|--|USER1:5");
    yes = false;
    ui.calls.clear();
    files().backup(folder);
    EXPECT_EQ(ui.calls, QStringList{QStringLiteral(
                                        "confirm Backup|%1 holds 7 files that a backup writes (of an earlier "
                                        "backup or fetch). Replace them?")
                                        .arg(folder)});
    yes = true;
    cancelAt(2);
    ASSERT_TRUE(finish([&](auto done) { files().resume(done); }));
    EXPECT_EQ(indexCounts(folder), "544 patches, 536 missing");
    EXPECT_EQ(files().list()->topLevelItemCount(), 8);

    // USER1:1 changes on the instrument; the restore, cancelled after three patches, puts it back.
    stopCancelling();
    ASSERT_TRUE(finish([&](auto done) { pane().sendFiles({folder + "/USER1-005.syx"}, User1, 1, done); }));
    cancelAt(3);
    ui.calls.clear();
    ASSERT_TRUE(finish([&](auto done) { files().restore(done); }));
    EXPECT_EQ(ui.calls,
              QStringList({QStringLiteral("confirm Restore|Send the 544 patches of %1 to the instrument, "
                                          "replacing what its user memory holds there?")
                               .arg(folder),
                           "warning Restore|Restore (verified): 3 patches, 0 failed.\nCancelled before "
                           "the end."}));
    stopCancelling();
    ASSERT_TRUE(finish([&](auto done) { pane().readNames(User1, done); }));
    EXPECT_EQ(name(User1, 1), "USER1:001");
}
