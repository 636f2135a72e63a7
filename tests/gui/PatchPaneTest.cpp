#include "PatchPane.h"
#include "PatchCompare.h"
#include "WindowFixture.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

TEST_F(WindowTest, PatchPaneShowsReferencesAndRewritesTheFile)
{
    ASSERT_TRUE(connectVirtual());
    files().openFolder(dir.path());
    ASSERT_TRUE(finish([&](auto done) { files().fetch({"PERF:0", "USER1:3", "USER1:4"}, done); }));
    PatchPane& patch = *window->patchPane();
    ASSERT_TRUE(patch.showFile(dir.filePath("PERF-000.syx")));
    EXPECT_EQ(patch.summary(), "performance \"PERF:000\" --, 20 blocks");
    EXPECT_EQ(patch.findChild<QLineEdit*>()->text(), "PERF:000");
    ASSERT_EQ(patch.references()->count(), 1);
    // A reference jumps to its patch in the tree.
    emit patch.references()->itemDoubleClicked(patch.references()->item(0));
    EXPECT_EQ(pane().tree()->currentItem()->text(0) + ' ' + pane().tree()->currentItem()->text(1),
              "PRE1:000 Full Grand");

    const QString voice = dir.filePath("USER1-003.syx");
    ASSERT_TRUE(patch.showFile(voice));
    EXPECT_EQ(patch.rename("Warm Pad"), "");
    EXPECT_EQ(patch.setCategory("Ba:E.BASS"), "");
    EXPECT_EQ(patch.setCategory("Xx:NOTHING"),
              "'Xx:NOTHING' is not a category: use a name such as Ap:A.PIANO or Ba:E.BASS");
    ASSERT_TRUE(patch.showFile(voice));
    EXPECT_EQ(patch.summary(), "voice \"Warm Pad\" Ba:E.BASS, 37 blocks");
    QString failure;
    EXPECT_NE(PatchFile::read(voice, *std::make_unique<Motif>(), &failure).dump, nullptr)
        << failure.toStdString();

    const PatchCompare compare(
        *PatchFile::read(dir.filePath("USER1-004.syx"), *std::make_unique<Motif>(), &failure).dump, "a",
        *PatchFile::read(voice, *std::make_unique<Motif>(), &failure).dump, "b");
    EXPECT_EQ(compare.verdict(), "1 of 37 blocks differ in 11 bytes");
}

TEST_F(WindowTest, VoiceCopierAndInitialiseFromTheContextMenuReachTheInstrument)
{
    ASSERT_TRUE(connectVirtual());
    // The dialog is modal: it is accepted as it stands once it shows.
    QTimer::singleShot(0, [] { qobject_cast<QDialog*>(QApplication::activeModalWidget())->accept(); });
    ASSERT_TRUE(finish([&](auto done) { pane().copyIntoPerformance(User1, 5, done); }));
    std::vector<std::uint8_t> part;
    link().run(
        [&](Session& session, const InstrumentLink::Progress&) -> InstrumentLink::Continuation {
            part = session.instrument()->block(0x4F00, 0x310000);
            return {};
        },
        window.get());
    ASSERT_TRUE(settle());
    ASSERT_GE(part.size(), 3u);
    EXPECT_EQ(hex(std::span<const std::uint8_t>(part).first(3)), "3F 08 05");
    EXPECT_EQ(ui.calls, QStringList{});

    // Initialise asks, sends the initial voice verified, and the instrument holds it.
    ASSERT_TRUE(finish([&](auto done) { pane().initialise(User2, 4, done); }));
    EXPECT_EQ(
        ui.calls,
        QStringList{
            "confirm Initialise|Replace USER2:004 \"\" on the instrument by the initial patch of its type?"});
    ASSERT_TRUE(finish([&](auto done) { pane().readNames(User2, done); }));
    EXPECT_EQ(name(User2, 3) + '|' + name(User2, 4), "USER2:003|Init Voice");
}
