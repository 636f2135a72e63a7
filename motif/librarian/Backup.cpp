#include "motif/librarian/Backup.h"

#include "core/Archive.h"
#include "motif/Motif.h"
#include "motif/librarian/Librarian.h"
#include "motif/librarian/PatchFile.h"
#include "zaltor/BulkDump.h"
#include "zaltor/PatchDump.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
const QString IndexName = QStringLiteral("index.json");

bool proceed(const Backup::Progress& progress, const QString& location, int index, int total)
{
    return !progress || progress(location, index, total);
}

// Why a run ends after a location: a port that disappeared, or SilentLocations in a row (collected
// in `silent`) that got no answer at all. Empty while the run may go on.
QString stopReason(const Motif& device, const Librarian& librarian, QStringList& silent,
                   const QString& location, bool answered)
{
    if (!device.portError().isEmpty())
        return device.portError() + QStringLiteral(" (") + librarian.connectionAdvice() + ')';
    if (answered) {
        silent.clear();
        return QString();
    }
    silent << location;
    return silent.size() < Backup::SilentLocations
               ? QString()
               : QStringLiteral("no answer for %1 in a row on %2")
                     .arg(silent.join(", "), librarian.connectionAdvice());
}

// A location the folder does not hold (yet): where it goes once fetched, and why it is not there.
QJsonObject missingEntry(const QString& location, const QString& error)
{
    return QJsonObject{
        {"location", location}, {"file", Backup::fileNameOf(location)}, {"missing", true}, {"error", error}};
}
} // namespace

QString Backup::fileNameOf(const QString& location)
{
    const int colon = location.lastIndexOf(':');
    QString bank = location.left(colon);
    bank.replace(':', '_').replace('/', '_');
    return QStringLiteral("%1-%2.syx").arg(bank).arg(location.mid(colon + 1).toInt(), 3, 10, QChar('0'));
}

Backup::Result Backup::save(const QString& dir, const std::vector<PatchLocation>& locations,
                            const Progress& progress)
{
    QJsonArray index;
    for (const PatchLocation& location : locations) {
        const QString name = PatchNotation::print(location, device_);
        index.append(missingEntry(name, QStringLiteral("not fetched yet")));
    }
    return fetchMissing(dir, device_.modelName(), index, progress);
}

Backup::Result Backup::resume(const QString& dir, const Progress& progress)
{
    QString error;
    QJsonArray index = readIndex(dir, &error);
    if (index.isEmpty()) {
        Result result;
        result.failures << error;
        return result;
    }
    QFile file(dir + '/' + IndexName);
    const QString instrument = file.open(QIODevice::ReadOnly)
                                   ? QJsonDocument::fromJson(file.readAll()).object()["instrument"].toString()
                                   : QString();
    return fetchMissing(dir, instrument.isEmpty() ? device_.modelName() : instrument, index, progress);
}

Backup::Result Backup::fetchMissing(const QString& dir, const QString& instrument, QJsonArray& index,
                                    const Progress& progress)
{
    Result result;
    QDir().mkpath(dir);
    Librarian librarian(device_);
    std::vector<int> todo;
    for (int i = 0; i < index.size(); ++i)
        if (index[i].toObject()["missing"].toBool()) todo.push_back(i);
    const int total = int(todo.size());
    QStringList silent;
    for (int n = 0; n < total && result.stopped.isEmpty(); ++n) {
        const int i = todo[std::size_t(n)];
        const QString name = index[i].toObject()["location"].toString();
        if (!proceed(progress, name, n, total)) {
            result.cancelled = true;
            break;
        }
        QString error;
        const auto location = PatchNotation::parseLocation(name, device_, &error);
        BulkDump bulk;
        if (location) error = librarian.fetch(*location, bulk);
        // A reply whose first block names no patch type is not saved as a patch.
        const auto dump = error.isEmpty() ? librarian.toDump(bulk) : nullptr;
        if (error.isEmpty() && !dump)
            error = QStringLiteral("%1: the reply begins with no patch's name block").arg(name);
        const QString file = fileNameOf(name);
        if (error.isEmpty()) PatchFile::write(dir + '/' + file, bulk, &error);
        if (!error.isEmpty()) {
            result.failures << error;
            index[i] = missingEntry(name, error);
            result.stopped = stopReason(device_, librarian, silent, name, !librarian.lastFetchSilent());
            continue;
        }
        silent.clear();
        QJsonObject entry = librarian.describe(*dump);
        entry.insert("location", name);
        entry.insert("file", file);
        index[i] = entry;
    }
    for (const auto& value : index)
        if (!value.toObject()["missing"].toBool()) result.entries.append(value);
    Archive out;
    const QByteArray json = QJsonDocument(QJsonObject{{"instrument", instrument}, {"patches", index}})
                                .toJson(QJsonDocument::Indented);
    out.write(std::span(reinterpret_cast<const std::uint8_t*>(json.constData()), std::size_t(json.size())));
    if (!out.commit(dir + '/' + IndexName))
        result.failures << QStringLiteral("cannot write %1/index.json").arg(dir);
    return result;
}

QJsonArray Backup::readIndex(const QString& dir, QString* error)
{
    QFile file(dir + '/' + IndexName);
    if (!file.open(QIODevice::ReadOnly)) {
        *error =
            QStringLiteral("'%1' has no index.json: it is not a folder written by 'motif backup'").arg(dir);
        return QJsonArray();
    }
    const QJsonArray patches = QJsonDocument::fromJson(file.readAll()).object()["patches"].toArray();
    if (patches.isEmpty()) *error = QStringLiteral("%1/index.json lists no patches").arg(dir);
    return patches;
}

Backup::Result Backup::restore(const QString& dir, const QJsonArray& entries, bool verify,
                               const Progress& progress)
{
    Result result;
    Librarian librarian(device_);
    QStringList silent;
    const int total = int(entries.size());
    for (int i = 0; i < total; ++i) {
        const QJsonObject entry = entries[i].toObject();
        const QString name = entry["location"].toString();
        if (!proceed(progress, name, i, total)) {
            result.cancelled = true;
            break;
        }
        QString error;
        if (entry["missing"].toBool()) {
            result.failures << QStringLiteral(
                                   "%1 is not in the backup (%2): 'motif backup --resume %3' fetches it")
                                   .arg(name, entry["error"].toString(), dir);
            continue;
        }
        const auto location = PatchNotation::parseLocation(name, device_, &error);
        // The index names files of its own folder only.
        const QString file = entry["file"].toString();
        if (location && (file.isEmpty() || file.contains('/') || file.startsWith('.')))
            error = QStringLiteral("%1/index.json names '%2' for %3, not a file of the folder")
                        .arg(dir, file, name);
        LoadedPatch loaded;
        if (error.isEmpty() && location) loaded = PatchFile::read(dir + '/' + file, device_, &error);
        if (loaded.dump)
            error = verify ? librarian.sendVerified(*location, *loaded.dump)
                           : librarian.send(*location, *loaded.dump);
        // Only a read-back can tell that the instrument has gone.
        if (loaded.dump && verify) {
            result.stopped =
                stopReason(device_, librarian, silent, name, error.isEmpty() || !librarian.lastFetchSilent());
            if (!result.stopped.isEmpty()) {
                result.failures << error;
                break;
            }
        }
        if (error.isEmpty())
            result.entries.append(entry);
        else
            result.failures << error;
    }
    return result;
}
