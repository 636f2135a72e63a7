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
    Result result;
    QDir().mkpath(dir);
    // The index names the instrument the patches came from.
    device_.identify(1000);
    Librarian librarian(device_);
    const int total = int(locations.size());
    for (int i = 0; i < total; ++i) {
        const QString name = PatchNotation::print(locations[std::size_t(i)], device_);
        if (!proceed(progress, name, i, total)) {
            result.cancelled = true;
            break;
        }
        BulkDump bulk;
        QString error = librarian.fetch(locations[std::size_t(i)], bulk);
        // A reply whose first block names no patch type is not saved as a patch.
        const auto dump = error.isEmpty() ? librarian.toDump(bulk) : nullptr;
        if (error.isEmpty() && !dump)
            error = QStringLiteral("%1: the reply begins with no patch's name block").arg(name);
        const QString file = fileNameOf(name);
        if (error.isEmpty()) PatchFile::write(dir + '/' + file, bulk, &error);
        if (!error.isEmpty()) {
            result.failures << error;
            continue;
        }
        QJsonObject entry = librarian.describe(*dump);
        entry.insert("location", name);
        entry.insert("file", file);
        result.entries.append(entry);
    }
    Archive index;
    const QByteArray json =
        QJsonDocument(QJsonObject{{"instrument", device_.modelName()}, {"patches", result.entries}})
            .toJson(QJsonDocument::Indented);
    index.write(std::span(reinterpret_cast<const std::uint8_t*>(json.constData()), std::size_t(json.size())));
    if (!index.commit(dir + '/' + IndexName))
        result.failures << QStringLiteral("cannot write %1/index.json").arg(dir);
    return result;
}

QJsonArray Backup::readIndex(const QString& dir, QString* error)
{
    QFile file(dir + '/' + IndexName);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("'%1' has no index.json: restore takes a folder written by 'motif backup'")
                     .arg(dir);
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
    const int total = int(entries.size());
    for (int i = 0; i < total; ++i) {
        const QJsonObject entry = entries[i].toObject();
        const QString name = entry["location"].toString();
        if (!proceed(progress, name, i, total)) {
            result.cancelled = true;
            break;
        }
        QString error;
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
        if (error.isEmpty())
            result.entries.append(entry);
        else
            result.failures << error;
    }
    return result;
}
