// What the window keeps besides patches: the demo library of its pictures, the built-in board
// definitions offered to the PLG Setup dialog's file prompt, and the recent paths.
#include "BuiltInBoards.h"
#include "DemoLibrary.h"
#include "OffscreenApplication.h"
#include "RecentMenu.h"
#include "TestSupport.h"
#include "WindowFixture.h"
#include "core/Application.h"
#include "motif/librarian/X0vLibrary.h"

#include <QDir>
#include <QJsonArray>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(DemoLibrary, HoldsThreeImportedTonesEachPlayedByAVoice)
{
    QTemporaryDir dir;
    QString error;
    const QString path = DemoLibrary::write(dir.path(), &error);
    ASSERT_EQ(error, "");
    X0V_Document library;
    ASSERT_EQ(X0vLibrary::open(library, path), "");
    const QJsonObject described = X0vLibrary::describe(library);
    QStringList seen;
    for (const auto& value : described["voices"].toArray()) {
        const QJsonObject voice = value.toObject();
        seen << QStringLiteral("%1:%2 %3 plays %4")
                    .arg(voice["bank"].toString())
                    .arg(voice["program"].toInt())
                    .arg(voice["name"].toString(),
                         voice["elements"].toArray()[0].toObject()["plays"].toString());
    }
    for (const auto& value : described["waveforms"].toArray())
        seen << QStringLiteral("%1 %2 bytes")
                    .arg(value.toObject()["name"].toString())
                    .arg(value.toObject()["size"].toInt());
    // Half a second of 16-bit mono at 44.1 kHz is 44100 bytes.
    EXPECT_EQ(seen,
              QStringList({"USER1:0 Pure Sine plays USR:1 \"Pure Sine\"",
                           "USER1:1 Warm Tone plays USR:2 \"Warm Tone\"",
                           "USER1:2 Hollow Square plays USR:3 \"Hollow Square\"", "Pure Sine 44100 bytes",
                           "Warm Tone 44100 bytes", "Hollow Square 44100 bytes"}));
}

TEST(BuiltInBoards, AreWrittenOnceAndThePromptStartsAmongThem)
{
    QTemporaryDir dir;
    Application::setProfilePath(dir.filePath("profile.ini"));
    QString error;
    const QString folder = BuiltInBoards::offer(dir.path(), &error);
    ASSERT_EQ(folder, dir.path() + "/boards") << error.toStdString();
    EXPECT_EQ(
        QDir(folder).entryList(QDir::Files).join(','),
        "PLG150-AN.ini,PLG150-AP.ini,PLG150-DR.ini,PLG150-DX.ini,PLG150-PC.ini,PLG150-PF.ini,PLG150-VL.ini");
    EXPECT_EQ(Application::readProfileText("Folders", "PLG", QString()), folder);
    // The user's own edit of a definition and a folder they chose later are kept.
    QFile edited(folder + "/PLG150-AN.ini");
    ASSERT_TRUE(edited.open(QIODevice::WriteOnly) && edited.write("[PLG]\nName=Mine\n") > 0);
    edited.close();
    Application::writeProfileText("Folders", "PLG", "/elsewhere");
    EXPECT_EQ(BuiltInBoards::offer(dir.path(), &error), folder);
    EXPECT_EQ(Application::readProfileText("Folders", "PLG", QString()), "/elsewhere");
    QFile again(folder + "/PLG150-AN.ini");
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), "[PLG]\nName=Mine\n");
    Application::setProfilePath(QString());
}

TEST(RecentMenu, KeepsTheLastEightNewestFirstAndOpensTheChosenOne)
{
    isolateUserFolders();
    ensureApplication();
    QSettings().remove("recentTest");
    QStringList opened;
    RecentMenu menu("Recent", "recentTest", [&](const QString& path) { opened << path; });
    EXPECT_FALSE(menu.isEnabled());
    for (int i = 0; i < 10; ++i) menu.remember(QStringLiteral("/f/%1").arg(i));
    menu.remember("/f/5");
    EXPECT_EQ(menu.paths().join(','), "/f/5,/f/9,/f/8,/f/7,/f/6,/f/4,/f/3,/f/2");
    menu.actions().at(1)->trigger();
    EXPECT_EQ(opened, QStringList{"/f/9"});
    QSettings().remove("recentTest");
}
