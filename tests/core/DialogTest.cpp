#include "core/Dialog.h"
#include "OffscreenApplication.h"
#include "ScriptedInterface.h"
#include "core/Strings.h"
#include "core/UserInterface.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

TEST(Strings, StringToIntAndAllDigits)
{
    EXPECT_EQ(StringToInt(QStringLiteral("2"), false, 0), 2);
    EXPECT_EQ(StringToInt(QStringLiteral(" 12 "), false, -1), 12);
    EXPECT_EQ(StringToInt(QStringLiteral("7F"), true, 0), 127);
    EXPECT_EQ(StringToInt(QStringLiteral("7F"), false, -1), -1);
    EXPECT_EQ(StringToInt(QString(), false, 5), 5);
    EXPECT_EQ(StringToInt(QStringLiteral("1x"), false, 9), 9);

    EXPECT_TRUE(AllDigits(QStringLiteral("0123456789")));
    EXPECT_FALSE(AllDigits(QString()));
    EXPECT_FALSE(AllDigits(QStringLiteral("12a")));
    EXPECT_FALSE(AllDigits(QStringLiteral("-1")));
    EXPECT_FALSE(AllDigits(QStringLiteral(" 1")));
}

TEST(Dialog, RowsButtonsFormAndIcons)
{
    ensureApplication();
    Dialog dialog;
    auto* row = dialog.addHLayout(4);
    EXPECT_EQ(row->spacing(), 4);
    DialogForm form(QStringLiteral("Settings"), QStringLiteral(":/core/images/open.png"), 11, row);
    auto* field = new QLabel(QStringLiteral("x"));
    form.addRow(QStringLiteral("Source:"), field, 200);
    form.addRow(QString(), new QLabel(QStringLiteral("y")), 200);
    EXPECT_EQ(field->minimumWidth(), 200);
    EXPECT_EQ(form.form()->rowCount(), 2);
    EXPECT_EQ(form.form()->verticalSpacing(), 11);
    EXPECT_FALSE(form.picture()->pixmap().isNull());

    auto* buttons = dialog.addHButtons(1, false);
    EXPECT_NE(buttons->button(QDialogButtonBox::Ok), nullptr);
    EXPECT_NE(buttons->button(QDialogButtonBox::Cancel), nullptr);
    EXPECT_EQ(buttons->button(QDialogButtonBox::Help), nullptr);
    SetFixedWindow(&dialog);
    EXPECT_EQ(dialog.layout()->sizeConstraint(), QLayout::SetFixedSize);

    QTimer::singleShot(0, [buttons] { buttons->button(QDialogButtonBox::Ok)->click(); });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    QTimer::singleShot(0, [buttons] { buttons->button(QDialogButtonBox::Cancel)->click(); });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);

    // The dialog registers the core icons under their search prefix.
    EXPECT_FALSE(QIcon(QStringLiteral("core:open.png")).isNull());
    EXPECT_FALSE(QIcon(QStringLiteral("core:delete.png")).isNull());

    QPushButton button;
    SetAccessibleText(&button, QStringLiteral("Load PLG1"));
    EXPECT_EQ(button.accessibleName(), QStringLiteral("Load PLG1"));
}

TEST(UserInterface, FreeFunctionsReachTheInstalledInterfaceInOrder)
{
    ScriptedInterface script;
    script.answer = QStringLiteral("FL1");
    error(nullptr, QStringLiteral("Cannot read"), QStringLiteral("Import"));
    warning(nullptr, QStringLiteral("Removed invalid waveform indexes!"), QString());
    EXPECT_EQ(ChoseItem(nullptr, QStringLiteral("Paste"), QStringLiteral("Chose destination bank"),
                        {QStringLiteral("USR"), QStringLiteral("FL1")}, 0),
              QStringLiteral("FL1"));
    EXPECT_EQ(PromptFileOpen(nullptr, QStringLiteral("Ini Files (*.ini)"), QStringLiteral("Load"),
                             QStringLiteral("/tmp"), QStringLiteral("PLG")),
              QStringLiteral("FL1"));
    {
        WaitCursor busy;
        ProgressDlg progress(nullptr, QStringLiteral("Import Waveforms"), 2);
        progress.message(QStringLiteral("Importing 'a.wav'..."));
        progress.step();
    }
    EXPECT_EQ(script.calls, QStringList({
                                QStringLiteral("error Import|Cannot read"),
                                QStringLiteral("warning |Removed invalid waveform indexes!"),
                                QStringLiteral("chose Paste|Chose destination bank|USR,FL1|0"),
                                QStringLiteral("open Ini Files (*.ini)|Load|/tmp|PLG"),
                                QStringLiteral("busy 1"),
                                QStringLiteral("begin Import Waveforms 2"),
                                QStringLiteral("message Importing 'a.wav'..."),
                                QStringLiteral("step"),
                                QStringLiteral("end"),
                                QStringLiteral("busy 0"),
                            }));
    UserInterface::install(nullptr);
    EXPECT_NE(&UserInterface::current(), &script);
}
