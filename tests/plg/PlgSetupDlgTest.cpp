// The PLG setup dialog offscreen: what each slot shows, and that only accepting writes the slots.
#include "PlgTestSupport.h"

#include "ScriptedInterface.h"
#include "core/Application.h"
#include "dumps/DumpTestSupport.h"
#include "motif/PlgSetupDlg.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
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

    // The slot's load or delete button: both carry the slot as their object name.
    static QPushButton* button(const PlgSetupDlg& dialog, const char* kind, int slot)
    {
        for (QPushButton* b : dialog.findChildren<QPushButton*>(QString::number(slot)))
            if (b->accessibleName().startsWith(QLatin1String(kind))) return b;
        return nullptr;
    }
    // Each slot's name label and what its delete button says.
    static std::string shown(const PlgSetupDlg& dialog)
    {
        QStringList out;
        int slot = 0;
        for (QLabel* label : dialog.findChildren<QLabel*>())
            if (label->maximumSize() == QSize(100, 21))
                out << label->text() + " " + button(dialog, "Delete", slot++)->accessibleName();
        return out.join(", ").toStdString();
    }
    QStringList deviceFiles() const { return QDir(folder()).entryList(QDir::Files); }

    ScriptedInterface ui_;
};
} // namespace

TEST_F(PlgSetup, CancellingWritesNothingAndAcceptingWritesWhatWasLoadedOrDeleted)
{
    Motif device;
    // Written after the device loaded its tables: the dialog must read the files again.
    device.createPLGFile(2, VlBoard);
    const std::string before = read(slotFile(3));
    ui_.answer = VlBoard;
    {
        PlgSetupDlg dialog(&device, nullptr);
        EXPECT_EQ(shown(dialog), "<b>(none)</b> Delete PLG1, <b>(none)</b> Delete PLG2, "
                                 "<b>PLG150-VL</b> Delete PLG150-VL");
        button(dialog, "Load", 0)->click();
        button(dialog, "Delete", 2)->click();
        EXPECT_EQ(shown(dialog), "<b>PLG150-VL</b> Delete PLG150-VL, <b>(none)</b> Delete PLG2, "
                                 "<b>(none)</b> Delete PLG3");
        dialog.reject();
    }
    EXPECT_EQ(deviceFiles(), QStringList{QStringLiteral("plg3.ini")});
    EXPECT_EQ(read(slotFile(3)), before);

    const QString unnamed = writeFile(QStringLiteral("unnamed.ini"), "[PLG]\nTotal=1\n0=USER\n");
    PlgSetupDlg dialog(&device, nullptr);
    ui_.calls.clear();
    button(dialog, "Load", 0)->click();
    // A board without a name shows as an empty slot; cancelling the prompt changes nothing.
    ui_.answer = unnamed;
    button(dialog, "Load", 1)->click();
    ui_.answer = QString();
    button(dialog, "Load", 1)->click();
    button(dialog, "Delete", 2)->click();
    EXPECT_EQ(shown(dialog),
              "<b>PLG150-VL</b> Delete PLG150-VL, <b>(none)</b> Delete PLG2, <b>(none)</b> Delete PLG3");
    EXPECT_EQ(ui_.calls, QStringList(3, "open Ini Files (*.ini)|Load PLG Board Definition|" +
                                            Application::startPath() + "|PLG"));
    EXPECT_EQ(read(slotFile(3)), before);
    dialog.accept();
    EXPECT_EQ(read(slotFile(1)).substr(0, 30), "[PLG1]\nName=PLG150-VL\nTotal=8\n");
    EXPECT_EQ(read(slotFile(2)), "[PLG2]\nName=\nTotal=1\n0=63,25,P2-USER\n\n");
    EXPECT_EQ(read(slotFile(3)), "[PLG3]\nName=\nTotal=0\n");
    EXPECT_EQ(device.plgName(0), QStringLiteral("PLG150-VL"));
    EXPECT_EQ(device.plgName(2), QString());
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
    EXPECT_EQ(deviceFiles(), QStringList());
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
