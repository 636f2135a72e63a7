// A library being written back must survive the process dying at any moment: the old file stays
// whole until the new one is complete. The command runs as its own process, which is killed as
// soon as its temporary file shows up (inside the window between writing and renaming) and again
// at later moments; each time the library must be either the old file or the finished edit.
#include "e2e/CliRunner.h"

#include "zaltor/Sample.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/types.h>

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Seconds of stereo noise, so that writing the library takes long enough to be caught in the act.
bool writeLongWave(const QString& path)
{
    Sample sample;
    sample.setFormat(AudioFormat(44100, 16, 2));
    std::vector<std::int32_t> frames(44100 * 6);
    std::uint32_t seed = 1;
    for (std::int32_t& frame : frames) {
        seed = seed * 1664525u + 1013904223u;
        frame = std::int32_t(seed >> 16) - 32768;
    }
    sample.setSamples(0, frames);
    sample.setSamples(1, frames);
    return sample.toFile(path);
}

} // namespace

TEST(X0vCrash, AKilledStoreLeavesTheOldLibraryOrTheFinishedOne)
{
    QTemporaryDir dir;
    const QString lib = dir.filePath("lib.X0V");
    const QString wav = dir.filePath("noise.wav");
    ASSERT_TRUE(writeLongWave(wav));
    ASSERT_EQ(motif({"x0v", "new", "--model", "Motif XS", lib.toStdString()}).code, 0);
    for (const char* n : {"0", "1", "2"}) {
        const CliRun imported = motif(
            {"x0v", "import-wave", lib.toStdString(), wav.toStdString(), "--bank", "USR", "--number", n});
        ASSERT_EQ(imported.code, 0) << imported.err;
    }
    const QByteArray before = contents(lib);
    ASSERT_GT(before.size(), 3 * 1000 * 1000);
    const QStringList edit = {"x0v", "move-waves", lib, "--bank", "USR", "--to", "5", "0"};
    ASSERT_EQ(motif({"x0v", "move-waves", lib.toStdString(), "--bank", "USR", "--to", "5", "0", "--output",
                     dir.filePath("edited.X0V").toStdString()})
                  .code,
              0);
    const QByteArray after = contents(dir.filePath("edited.X0V"));
    ASSERT_NE(after, before);

    int caughtWriting = 0;
    for (int attempt = 0; attempt < 8; ++attempt) {
        QFile out(lib);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(before);
        out.close();
        QFile::remove(lib + ".tmp");

        QProcess process;
        process.start(QStringLiteral(MOTIF_CLI_PATH), edit);
        ASSERT_TRUE(process.waitForStarted());
        // The first attempt kills at the first sight of the temporary file; later ones wait longer.
        QElapsedTimer sinceSeen;
        bool seen = false;
        // waitForFinished(0) is what notices the end of the process without an event loop.
        while (!process.waitForFinished(0) && process.state() == QProcess::Running) {
            if (!seen && QFile::exists(lib + ".tmp")) {
                seen = true;
                sinceSeen.start();
            }
            if (seen && sinceSeen.nsecsElapsed() >= qint64(attempt) * 2'000'000) {
                ::kill(pid_t(process.processId()), SIGKILL);
                break;
            }
        }
        process.waitForFinished();
        const QByteArray now = contents(lib);
        EXPECT_TRUE(now == before || now == after) << "attempt " << attempt << ": " << now.size() << " bytes";
        if (now == before && process.exitStatus() == QProcess::CrashExit) ++caughtWriting;
        // A library left by a killed store opens as it was.
        const CliRun info = motif({"x0v", "info", lib.toStdString()});
        EXPECT_EQ(info.code, 0) << info.err;
    }
    // Without at least one kill inside the window, the test would have shown nothing.
    EXPECT_GE(caughtWriting, 1);
}
