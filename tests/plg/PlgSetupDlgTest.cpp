#include "PlgTestSupport.h"

#include "ScriptedInterface.h"
#include "core/Application.h"
#include "dumps/DumpTestSupport.h"
#include "motif/PlgSetupDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
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
    static QString nameShown(const PlgSetupDlg& dialog, int slot)
    {
        QList<QLabel*> names;
        for (QLabel* label : dialog.findChildren<QLabel*>())
            if (label->maximumSize() == QSize(100, 21)) names << label;
        return slot < names.size() ? names[slot]->text() : QStringLiteral("(no label)");
    }
    QStringList deviceFiles() const { return QDir(folder()).entryList(QDir::Files); }

    // Answers the file prompts; anything else the dialog asks shows in its calls.
    ScriptedInterface ui_;
};

// Closes the modal dialog once it runs, accepting or rejecting it.
void whenModal(bool accept, int tries = 200)
{
    QTimer::singleShot(5, [accept, tries] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            accept ? dialog->accept() : dialog->reject();
        else if (tries > 0)
            whenModal(accept, tries - 1);
    });
}
} // namespace

TEST_F(PlgSetup, ShowsTheBoardsOnDiskWithTheirAccessibleTexts)
{
    Motif device;
    // Written after the device loaded its tables: the dialog must read the files again.
    device.createPLGFile(2, VlBoard);
    PlgSetupDlg dialog(&device, nullptr);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("PLG Setup"));
    auto* group = dialog.findChild<QGroupBox*>();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), QStringLiteral("Installed PLG Boards"));
    QStringList slotTexts;
    for (QLabel* label : group->findChildren<QLabel*>())
        if (label->text().startsWith(QLatin1String("Slot"))) slotTexts << label->text();
    EXPECT_EQ(slotTexts, (QStringList{"Slot 1:", "Slot 2:", "Slot 3:"}));

    // The buttons carry icons only: their accessible names say what they do.
    QStringList shown;
    for (int slot = 0; slot < 3; ++slot) {
        QPushButton* load = button(dialog, "Load", slot);
        QPushButton* remove = button(dialog, "Delete", slot);
        ASSERT_TRUE(load && remove);
        shown << nameShown(dialog, slot) + " " + load->accessibleName() + " " + remove->accessibleName();
        EXPECT_FALSE(load->icon().pixmap(16, 16).isNull() || remove->icon().pixmap(16, 16).isNull());
    }
    EXPECT_EQ(shown,
              (QStringList{"<b>(none)</b> Load PLG1 Delete PLG1", "<b>(none)</b> Load PLG2 Delete PLG2",
                           "<b>PLG150-VL</b> Load PLG3 Delete PLG150-VL"}));
    EXPECT_EQ(dialog.findChild<QDialogButtonBox*>()->standardButtons(),
              QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
}

TEST_F(PlgSetup, CancellingWritesNothingAndAcceptingUntouchedRewritesNothingButReloads)
{
    Motif device;
    device.createPLGFile(2, VlBoard);
    const std::string before = read(slotFile(3));
    ui_.answer = VlBoard;
    {
        PlgSetupDlg dialog(&device, nullptr);
        button(dialog, "Load", 0)->click();
        button(dialog, "Delete", 2)->click();
        EXPECT_EQ(nameShown(dialog, 0), QStringLiteral("<b>PLG150-VL</b>"));
        dialog.reject();
    }
    EXPECT_EQ(deviceFiles(), QStringList{QStringLiteral("plg3.ini")});
    EXPECT_EQ(read(slotFile(3)), before);

    PlgSetupDlg dialog(&device, nullptr);
    // Changed behind the dialog's back: accepting keeps this file and loads it.
    PlgDevice().createPLGFile(2, AnBoard);
    const std::string changed = read(slotFile(3));
    EXPECT_EQ(device.plgName(2), QStringLiteral("PLG150-VL"));
    dialog.accept();
    EXPECT_EQ(deviceFiles(), QStringList{QStringLiteral("plg3.ini")});
    EXPECT_EQ(read(slotFile(3)), changed);
    EXPECT_EQ(device.plgName(2), QStringLiteral("PLG150-AN"));
}

TEST_F(PlgSetup, DeletingThenAcceptingWritesTheEmptySlot)
{
    Motif device;
    device.createPLGFile(2, VlBoard);
    ui_.answer = VlBoard;
    PlgSetupDlg dialog(&device, nullptr);
    button(dialog, "Delete", 2)->click();
    button(dialog, "Delete", 1)->click();
    // A board loaded and deleted again leaves the slot empty too.
    button(dialog, "Load", 0)->click();
    button(dialog, "Delete", 0)->click();
    EXPECT_EQ(nameShown(dialog, 2), QStringLiteral("<b>(none)</b>"));
    EXPECT_EQ(nameShown(dialog, 0), QStringLiteral("<b>(none)</b>"));
    EXPECT_EQ(button(dialog, "Delete", 2)->accessibleName(), QStringLiteral("Delete PLG3"));
    EXPECT_EQ(startOf(read(slotFile(3)), "[PLG3]\nName=PLG150-VL\n"), "[PLG3]\nName=PLG150-VL\n");
    dialog.accept();
    EXPECT_EQ(read(slotFile(3)), "[PLG3]\nName=\nTotal=0\n");
    EXPECT_EQ(read(slotFile(2)), "[PLG2]\nName=\nTotal=0\n");
    EXPECT_EQ(read(slotFile(1)), "[PLG1]\nName=\nTotal=0\n");
    EXPECT_EQ(device.plgName(2), QString());
}

TEST_F(PlgSetup, LoadingAsksForADefinitionAndWritesItOnAccept)
{
    const QString vl = writeFile(QStringLiteral("vl.ini"), QByteArray::fromStdString(read(VlBoard)));
    Motif device;
    PlgSetupDlg dialog(&device, nullptr);
    const auto load = [&](int slot, const QString& answer) {
        ui_.answer = answer;
        button(dialog, "Load", slot)->click();
        return nameShown(dialog, slot) + " " + button(dialog, "Delete", slot)->accessibleName();
    };
    EXPECT_EQ(load(0, vl), QStringLiteral("<b>PLG150-VL</b> Delete PLG150-VL"));
    // A board without a name shows as an empty slot.
    EXPECT_EQ(load(1, writeFile(QStringLiteral("unnamed.ini"), "[PLG]\nTotal=1\n0=USER\n")),
              QStringLiteral("<b>(none)</b> Delete PLG2"));
    // Cancelling the prompt changes nothing; a file without a board keeps the label but is used.
    EXPECT_EQ(load(2, QString()), QStringLiteral("<b>(none)</b> Delete PLG3"));
    EXPECT_EQ(load(2, writeFile(QStringLiteral("names.ini"), "[USER]\nTotal=64\n")),
              QStringLiteral("<b>(none)</b> Delete PLG3"));
    EXPECT_EQ(ui_.calls, QStringList(4, "open Ini Files (*.ini)|Load PLG Board Definition|" +
                                            Application::startPath() + "|PLG"));
    EXPECT_EQ(deviceFiles(), QStringList());

    dialog.accept();
    const std::string loaded = "[PLG1]\nName=PLG150-VL\nTotal=8\n0=63,24,P1-USER\n1=63,70,P1-PRE1\n";
    EXPECT_EQ(startOf(read(slotFile(1)), loaded), loaded);
    EXPECT_EQ(read(slotFile(2)), "[PLG2]\nName=\nTotal=1\n0=63,25,P2-USER\n\n");
    EXPECT_EQ(read(slotFile(3)), "[PLG3]\n");
    EXPECT_EQ(device.plgName(0), QStringLiteral("PLG150-VL"));
}

TEST_F(PlgSetup, SetupRunsModallyAndSaysWhetherItWasAccepted)
{
    Motif device;
    whenModal(true);
    EXPECT_TRUE(device.plgSetup(nullptr));
    whenModal(false);
    EXPECT_FALSE(device.plgSetup(nullptr));
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
