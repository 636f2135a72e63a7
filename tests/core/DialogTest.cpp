#include "core/Dialog.h"
#include "OffscreenApplication.h"
#include "ScriptedInterface.h"
#include "core/Strings.h"
#include "core/UserInterface.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

TEST(Strings, StringToIntAndAllDigits)
{
    EXPECT_EQ((std::vector<int>{StringToInt(" 12 ", false, -1), StringToInt("7F", true, 0),
                                StringToInt("7F", false, -1), StringToInt(QString(), false, 5),
                                StringToInt("1x", false, 9)}),
              (std::vector<int>{12, 127, -1, 5, 9}));
    EXPECT_TRUE(AllDigits("0123456789"));
    for (const QString& text : {QString(), QStringLiteral("12a"), QStringLiteral("-1"), QStringLiteral(" 1")})
        EXPECT_FALSE(AllDigits(text)) << text.toStdString();
}

TEST(Dialog, ButtonsCloseTheDialogAndTheCoreIconsAreRegistered)
{
    ensureApplication();
    Dialog dialog;
    DialogForm form(QStringLiteral("Settings"), QStringLiteral(":/core/images/open.png"), 11,
                    dialog.addHLayout(4));
    EXPECT_FALSE(form.picture()->pixmap().isNull());
    auto* buttons = dialog.addHButtons(1, false);
    QTimer::singleShot(0, [buttons] { buttons->button(QDialogButtonBox::Cancel)->click(); });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    // The dialog registers the core icons under their search prefix.
    EXPECT_FALSE(QIcon(QStringLiteral("core:open.png")).isNull());
}

// The import and edit tests see each call on its own; here the scoped helpers nest.
TEST(UserInterface, ScopedHelpersReachTheInstalledInterfaceInOrder)
{
    ScriptedInterface script;
    script.answer = QStringLiteral("FL1");
    {
        WaitCursor busy;
        ProgressDlg progress(nullptr, QStringLiteral("Import Waveforms"), 2);
        progress.message(QStringLiteral("Importing 'a.wav'..."));
        progress.step();
        EXPECT_EQ(PromptFileOpen(nullptr, QStringLiteral("Ini Files (*.ini)"), QStringLiteral("Load"),
                                 QStringLiteral("/tmp"), QStringLiteral("PLG")),
                  QStringLiteral("FL1"));
    }
    EXPECT_EQ(script.calls, QStringList({"busy 1", "begin Import Waveforms 2", "message Importing 'a.wav'...",
                                         "step", "open Ini Files (*.ini)|Load|/tmp|PLG", "end", "busy 0"}));
}
