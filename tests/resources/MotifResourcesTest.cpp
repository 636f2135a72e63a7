#include "motif/MotifResources.h"

#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

namespace {

// Taken while the program starts, before any test runs: the module's libraries are initialised
// ahead of this program's statics, so the tree must already be there without a call into the module.
const bool registeredAtLoad = QFile::exists(QStringLiteral(":/motif/data/data_ES.ini"));

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(MotifResources, RegisteredAtLoadUnregisteredAndRegisteredAgain)
{
    EXPECT_TRUE(registeredAtLoad);
    registerMotifResources();
    const QString table = QStringLiteral(":/motif/data/data_ES.ini");
    unregisterMotifResources();
    const bool gone = !QFile::exists(table) && !QFile::exists(":/motif/images/v2p.png");
    unregisterMotifResources();
    registerMotifResources();
    EXPECT_TRUE(gone);
    EXPECT_TRUE(QFile::exists(table));
}

// Every resource reads as the source file it was compiled from, whether stored plain or compressed.
TEST(MotifResources, EveryResourceIsItsSourceFile)
{
    int count = 0;
    for (QDirIterator it(":/motif", QDir::Files, QDirIterator::Subdirectories); it.hasNext(); ++count) {
        const QString path = it.next();
        EXPECT_EQ(readAll(path), readAll(QStringLiteral(MOTIF_SOURCE_DIR "/motif/") + path.mid(8)))
            << path.toStdString();
    }
    EXPECT_EQ(count, 18);
}
