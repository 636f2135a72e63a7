#pragma once

#include "motif/Motif.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

inline const QString VlBoard = QStringLiteral(":/motif/data/PLG150-VL.ini");
inline const QString AnBoard = QStringLiteral(":/motif/data/PLG150-AN.ini");

// Each test keeps the device's files in a user data location of its own (the program's tests
// all set one, so none needs the one before).
class PlgFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(home_.path()));
    }

    QString folder() const { return home_.path() + QStringLiteral("/motif-es/Motif ES"); }
    QString slotFile(int n) const { return folder() + QStringLiteral("/plg%1.ini").arg(n); }
    // A file in the test's own folder, outside the device's.
    QString writeFile(const QString& name, const QByteArray& bytes) const
    {
        const QString path = home_.path() + QLatin1Char('/') + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    // The bytes of a file as text, "(missing)" when there is none.
    static std::string read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("(missing)");
    }

    QTemporaryDir home_;
};
