// The user memory as a folder and back: every location saved with its index, restored into a
// fresh instrument and saved again byte for byte; a cancelled backup keeps a folder that restores.
#include "TamperingTransport.h"
#include "TestSupport.h"

#include "core/Clock.h"
#include "motif/librarian/Backup.h"
#include "motif/librarian/Librarian.h"
#include "zaltor/BulkDump.h"
#include "zaltor/PatchDump.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

namespace {
class LibrarianBackup : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    ManualClock clock;
    ScopedClock scoped{clock};
    QTemporaryDir dir;
};
} // namespace

TEST_F(LibrarianBackup, BackupRestoredIntoAFreshInstrumentBacksUpIdentically)
{
    InstrumentRig a;
    // Locations that differ from the factory's, so that the restore has something to write.
    Librarian librarianA(a.device);
    a.device.initVoice(0x0800);
    BulkDump bulk;
    ASSERT_EQ(librarianA.fetch({Patch(0x3F08, 5), -1}, bulk), QString());
    auto renamed = librarianA.toDump(bulk);
    renamed->setName("Renamed");
    ASSERT_EQ(librarianA.send({Patch(0x3F09, 127), -1}, *renamed), QString());

    const QString first = path("a"), second = path("b");
    const auto locations = librarianA.userLocations({});
    // Progress out of order or of another total cancels the backup.
    int told = 0;
    const Backup::Result saved =
        Backup(a.device).save(first, locations, [&told](const QString&, int index, int total) {
            return index == told++ && total == 544;
        });
    EXPECT_TRUE(saved.failures.isEmpty() && !saved.cancelled);
    EXPECT_EQ(saved.entries.size(), 544);
    EXPECT_EQ(
        QJsonDocument(QJsonArray{saved.entries[0], saved.entries[128 + 127], saved.entries[543]})
            .toJson(QJsonDocument::Compact)
            .toStdString(),
        R"([{"category":"--","file":"USER1-000.syx","location":"USER1:0","name":"Init Voice","type":"voice"},)"
        R"({"category":"--","file":"USER2-127.syx","location":"USER2:127","name":"Renamed   ","type":"voice"},)"
        R"({"file":"MASTER-127.syx","location":"MASTER:127","name":"MASTER:127","type":"master"}])");

    InstrumentRig b;
    ASSERT_NE(b.instrument.userMemory(), a.instrument.userMemory());
    QString error;
    const QJsonArray index = Backup::readIndex(first, &error);
    ASSERT_EQ(index, saved.entries) << error.toStdString();
    const Backup::Result restored = Backup(b.device).restore(first, index, false);
    EXPECT_EQ(restored.failures, QStringList());
    EXPECT_EQ(b.instrument.userMemory(), a.instrument.userMemory());
    Backup(b.device).save(second, locations);

    const QStringList files = QDir(first).entryList(QDir::Files);
    EXPECT_EQ(QDir(second).entryList(QDir::Files), files);
    for (const QString& name : files)
        EXPECT_EQ(readAll(first + '/' + name), readAll(second + '/' + name)) << name.toStdString();
    EXPECT_EQ(a.instrument.errors() + b.instrument.errors(), QStringList{});
}

TEST_F(LibrarianBackup, CancelledBackupIndexesWhatItSavedAndRestoreStopsToo)
{
    InstrumentRig rig;
    const auto locations = Librarian(rig.device).userLocations({});
    const Backup::Result saved =
        Backup(rig.device).save(path("part"), locations, [](const QString&, int index, int) {
            return index < 3;
        });
    EXPECT_TRUE(saved.cancelled);
    EXPECT_EQ(QDir(path("part")).entryList(QDir::Files).join(" ").toStdString(),
              "index.json USER1-000.syx USER1-001.syx USER1-002.syx");
    QString error;
    const QJsonArray index = Backup::readIndex(path("part"), &error);
    ASSERT_EQ(index.size(), 544);
    EXPECT_EQ(index[2], saved.entries[2]);
    EXPECT_EQ(QJsonDocument(index[3].toObject()).toJson(QJsonDocument::Compact).toStdString(),
              R"({"error":"not fetched yet","file":"USER1-003.syx","location":"USER1:3","missing":true})");

    const Backup::Result restored =
        Backup(rig.device).restore(path("part"), index, true, [](const QString& name, int, int) {
            return name != "USER1:2";
        });
    EXPECT_TRUE(restored.cancelled && restored.failures.isEmpty());
    EXPECT_EQ(restored.entries.size(), 2);

    EXPECT_TRUE(Backup::readIndex(path("none"), &error).isEmpty());
    EXPECT_EQ(Backup(rig.device).resume(path("none")).failures, QStringList{error});
    EXPECT_EQ(error,
              "'" + path("none") + "' has no index.json: it is not a folder written by 'motif backup'");
}

TEST_F(LibrarianBackup, AnInstrumentThatGoesAwayStopsTheBackupWhichResumesTheMissingOnes)
{
    // From the fourth location on: silence between two bulks, a reply that breaks off after its
    // first block, a lost port. Two waits of 3 s at the first silent location and one at each of
    // the two after it; a reply that broke off ends after a short quiet.
    const std::tuple<const char*, std::int64_t, std::function<void(TamperingTransport&)>> faults[] = {
        {"no answer for USER1:3, USER1:4, USER1:5 in a row on in 'host' / out 'host', device number 1: check",
         12000, [](TamperingTransport& cable) { cable.silence(); }},
        {"no answer for USER1:3, USER1:4, USER1:5 in a row on in 'host' / out 'host', device number 1: check",
         9300,
         [](TamperingTransport& cable) {
             cable.raw = [passed = 0](MidiBytes& message) mutable {
                 if (passed++ > 1) message.clear();
             };
         }},
        {"port 'host' is gone (in 'host' / out 'host', device number 1: check", 0,
         [](TamperingTransport& cable) { cable.gone = true; }},
    };
    for (const auto& [stopped, ms, fault] : faults) {
        TamperedRig tampered;
        Motif& device = tampered.rig.device;
        const auto all = Librarian(device).userLocations({});
        const std::vector<PatchLocation> locations(all.begin(), all.begin() + 8);
        const QString folder = dir.filePath(QString::number(clock.nowMs()));
        std::int64_t since = 0;
        const Backup::Result saved =
            Backup(device).save(folder, locations, [&](const QString&, int index, int) {
                if (index == 3) {
                    since = clock.nowMs();
                    fault(tampered.cable);
                }
                return true;
            });
        EXPECT_TRUE(saved.stopped.startsWith(QLatin1String(stopped))) << saved.stopped.toStdString();
        EXPECT_EQ(clock.nowMs() - since, ms) << stopped;
        QString error;
        const QJsonArray index = Backup::readIndex(folder, &error);
        EXPECT_EQ(index[3].toObject()["missing"], true);
        EXPECT_EQ(QDir(folder).entryList(QDir::Files).join(" ").toStdString(),
                  "index.json USER1-000.syx USER1-001.syx USER1-002.syx");

        tampered.cable.raw = nullptr;
        tampered.cable.gone = false;
        device.connectPorts(&tampered.cable, &tampered.cable);
        QStringList fetched;
        const Backup::Result resumed =
            Backup(device).resume(folder, [&](const QString& name, int, int total) {
                fetched << QStringLiteral("%1/%2").arg(name).arg(total);
                return true;
            });
        EXPECT_EQ(fetched.join(" ").toStdString(), "USER1:3/5 USER1:4/5 USER1:5/5 USER1:6/5 USER1:7/5");
        EXPECT_TRUE(resumed.failures.isEmpty() && resumed.stopped.isEmpty());
        EXPECT_EQ(Backup::readIndex(folder, &error), resumed.entries);
        EXPECT_EQ(resumed.entries.size(), 8);
        EXPECT_EQ(resumed.entries[3].toObject()["file"], "USER1-003.syx");
    }
}
