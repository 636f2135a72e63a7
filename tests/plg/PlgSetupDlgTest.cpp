// The PLG setup dialog offscreen: only accepting writes the slots, with what was loaded or deleted.
#include "PlgTestSupport.h"

#include "OffscreenApplication.h"
#include "ScriptedInterface.h"
#include "core/Application.h"
#include "motif/PlgSetupDlg.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTimer>

namespace {
class PlgSetup : public PlgFolderTest {
protected:
    void SetUp() override
    {
        PlgFolderTest::SetUp();
        ensureApplication();
    }
    // Clicks the slot's load or delete button: both carry the slot as their object name.
    static void click(const PlgSetupDlg& dialog, const char* kind, int slot)
    {
        for (QPushButton* b : dialog.findChildren<QPushButton*>(QString::number(slot)))
            if (b->accessibleName().startsWith(QLatin1String(kind))) b->click();
    }

    ScriptedInterface ui_;
};
} // namespace

TEST_F(PlgSetup, CancellingWritesNothingAndAcceptingWritesWhatWasLoadedOrDeleted)
{
    Motif device;
    // Written after the device loaded its tables: the dialog must read the files again.
    device.createPLGFile(2, VlBoard);
    const std::string vl = read(slotFile(3));
    ui_.answer = VlBoard;
    {
        PlgSetupDlg dialog(&device, nullptr);
        click(dialog, "Load", 0);
        click(dialog, "Delete", 2);
        dialog.reject();
    }
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList{QStringLiteral("plg3.ini")});
    EXPECT_EQ(read(slotFile(3)), vl);

    PlgSetupDlg dialog(&device, nullptr);
    click(dialog, "Load", 0);
    // A board without a name is still a board; cancelling the prompt changes nothing.
    ui_.answer = writeFile(QStringLiteral("unnamed.ini"), "[PLG]\nTotal=1\n0=USER\n");
    click(dialog, "Load", 1);
    ui_.answer = QString();
    click(dialog, "Load", 1);
    click(dialog, "Delete", 2);
    EXPECT_EQ(ui_.calls, QStringList(4, "open Ini Files (*.ini)|Load PLG Board Definition|" +
                                            Application::startPath() + "|PLG"));
    EXPECT_EQ(read(slotFile(3)), vl);
    dialog.accept();
    EXPECT_EQ(read(slotFile(1)).substr(0, 30), "[PLG1]\nName=PLG150-VL\nTotal=8\n");
    EXPECT_EQ(read(slotFile(2)) + read(slotFile(3)),
              "[PLG2]\nName=\nTotal=1\n0=63,25,P2-USER\n\n[PLG3]\nName=\nTotal=0\n");
    EXPECT_EQ(device.plgName(0) + device.plgName(2), QStringLiteral("PLG150-VL"));
}

TEST_F(PlgSetup, SetupRunsModallyAndSaysWhetherItWasAccepted)
{
    Motif device;
    for (const bool accept : {true, false}) {
        std::function<void()> close = [&] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                accept ? dialog->accept() : dialog->reject();
            else
                QTimer::singleShot(10, close);
        };
        QTimer::singleShot(10, close);
        EXPECT_EQ(device.plgSetup(nullptr), accept);
    }
}

// Not a test: renders the dialog for the README. Run with
//   build/bin/test_plg --gtest_also_run_disabled_tests --gtest_filter='PlgSetupScreenshot.*'
// (MOTIF_SCREENSHOT names another output file).
class PlgSetupScreenshot : public PlgSetup {};

TEST_F(PlgSetupScreenshot, DISABLED_Save)
{
    Motif device;
    device.createPLGFile(0, AnBoard);
    device.createPLGFile(2, VlBoard);
    PlgSetupDlg dialog(&device, nullptr);
    dialog.show();
    QApplication::processEvents();
    const QByteArray target = qgetenv("MOTIF_SCREENSHOT");
    const QString path = target.isEmpty() ? QStringLiteral(MOTIF_SOURCE_DIR "/docs/images/plg-setup.png")
                                          : QString::fromLocal8Bit(target);
    QDir().mkpath(QFileInfo(path).absolutePath());
    EXPECT_TRUE(dialog.grab().save(path));
}
