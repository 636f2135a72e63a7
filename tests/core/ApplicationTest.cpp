#include "core/Application.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Application, ProfileIntegersPersistInTheProfileFileAndStartPathIsTheProgramFolder)
{
    QTemporaryDir dir;
    Application::setProfilePath(dir.filePath("motif.ini"));
    Application::writeProfileInt("VoiceCopier", "part", -12);
    EXPECT_EQ(Application::readProfileInt("VoiceCopier", "part", 7), -12);
    QFile file(dir.filePath("motif.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("[VoiceCopier]\npart=-12"));
    Application::setProfilePath({});
    EXPECT_TRUE(QFileInfo::exists(Application::startPath() + "/test_core"));
}
