#include "motif/MotifResources.h"

#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

namespace {

// Taken while the program starts, before any test runs: the module's libraries are initialised
// ahead of this program's statics, so the tree must already be there without a call into the module.
const bool registeredAtLoad = QFile::exists(QStringLiteral(":/motif/data/data_ES.ini"));

} // namespace

TEST(MotifResources, RegisteredAtLoadUnregisteredAndRegisteredAgainEachAsItsSourceFile)
{
    EXPECT_TRUE(registeredAtLoad);
    registerMotifResources();
    unregisterMotifResources();
    const bool gone = !QFile::exists(":/motif/data/data_ES.ini") && !QFile::exists(":/motif/images/v2p.png");
    unregisterMotifResources();
    registerMotifResources();
    EXPECT_TRUE(gone && QFile::exists(":/motif/data/data_ES.ini"));

    // Every resource reads as the source file it was compiled from, whether stored plain or compressed.
    int count = 0;
    for (QDirIterator it(":/motif", QDir::Files, QDirIterator::Subdirectories); it.hasNext(); ++count) {
        QFile resource(it.next()),
            source(QStringLiteral(MOTIF_SOURCE_DIR "/motif/") + resource.fileName().mid(8));
        EXPECT_TRUE(resource.open(QIODevice::ReadOnly) && source.open(QIODevice::ReadOnly));
        EXPECT_EQ(resource.readAll(), source.readAll()) << resource.fileName().toStdString();
    }
    EXPECT_EQ(count, 20);
}
