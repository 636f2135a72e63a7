#include "core/Application.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Application, ProfileIntegersPersistInTheProfileFileAndStartPathIsTheProgramFolder)
{
    QTemporaryDir dir;
    const QString profile = dir.filePath("motif.ini");
    Application::setProfilePath(profile);
    EXPECT_EQ(Application::readProfileInt("VoiceCopier", "part", 7), 7);
    Application::writeProfileInt("VoiceCopier", "part", 12);
    Application::writeProfileInt("VoiceCopier", "voice", -3);
    EXPECT_EQ(Application::readProfileInt("VoiceCopier", "part", 7), 12);
    EXPECT_EQ(Application::readProfileInt("VoiceCopier", "voice", 0), -3);
    EXPECT_EQ(Application::readProfileInt("Other", "part", 5), 5);
    QFile file(profile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("[VoiceCopier]") && text.contains("part=12")) << text.constData();
    Application::setProfilePath({});

    EXPECT_TRUE(QFileInfo::exists(Application::startPath() + "/test_core"));
}
