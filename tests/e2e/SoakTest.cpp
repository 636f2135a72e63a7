// A whole user memory through a cable that drops and corrupts one reply message in a hundred:
// the backup still holds every patch byte for byte, and a verified restore leaves the instrument
// holding exactly what a clean cable would have given it. In process, on the manual clock, so
// that the waits for lost replies cost no real time.
#include "CliRunner.h"
#include "TestSupport.h"
#include "core/Clock.h"
#include "emulator/InstrumentSettings.h"
#include "emulator/VirtualInstrument.h"
#include "motif/Motif.h"
#include "motif/librarian/Backup.h"
#include "zaltor/LoopbackTransport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const char* const Faults = "drop=0.01,corrupt=0.01,seed=7";

// Restores a folder with read-back into an instrument of these settings; what it then holds.
PatchMemory::Snapshot restored(const QString& faults, const QString& dir)
{
    InstrumentSettings settings;
    EXPECT_EQ(settings.setAll(faults), QString());
    auto [host, far] = LoopbackTransport::createPair("host", "instrument");
    VirtualInstrument instrument(settings);
    instrument.attach(*far);
    Motif device;
    device.connectPorts(host.get(), host.get());
    device.setTransmitDelay(0);
    QString error;
    const QJsonArray index = Backup::readIndex(dir, &error);
    const Backup::Result result = Backup(device).restore(dir, index, true);
    EXPECT_EQ(result.failures.size(), 0)
        << faults.toStdString() << ": " << result.failures.value(0).toStdString();
    device.connectPorts(nullptr, nullptr);
    return instrument.userMemory();
}
} // namespace

TEST(Soak, BackupAndVerifiedRestoreThroughDropsAndCorruptionsLoseNothing)
{
    ManualClock clock;
    ScopedClock scoped{clock};
    QTemporaryDir dir;
    const QString clean = dir.filePath("clean"), faulty = dir.filePath("faulty");
    ASSERT_EQ(motif({"backup", clean.toStdString(), "--plg", ""}).code, 0);
    const CliRun run = motif({"--virtual-faults", Faults, "backup", faulty.toStdString(), "--plg", ""});
    EXPECT_EQ(run.code, 0);
    const QStringList files = QDir(clean).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 545);
    QStringList differing;
    for (const QString& file : files)
        if (readAll(faulty + '/' + file) != readAll(clean + '/' + file)) differing << file;
    EXPECT_EQ(differing, QStringList());

    // Voices moved one place up, so that the restore has something to change.
    for (int i = 127; i > 0; --i) {
        const QString to = clean + QStringLiteral("/USER1-%1.syx").arg(i, 3, 10, QChar('0'));
        QFile::remove(to);
        QFile::copy(clean + QStringLiteral("/USER1-%1.syx").arg(i - 1, 3, 10, QChar('0')), to);
    }
    const PatchMemory::Snapshot expected = restored(QString(), clean);
    EXPECT_NE(expected, VirtualInstrument(VirtualInstrument::Model::ES7).userMemory());
    EXPECT_EQ(restored(Faults, clean), expected);
}
