#include "NameCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStandardPaths>

NameCache::NameCache(const QString& instrument)
{
    // A hash keeps port names with slashes and colons out of the file name.
    const QByteArray key =
        QCryptographicHash::hash(instrument.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    path_ = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/names/") +
            QString::fromLatin1(key) + QStringLiteral(".json");
    QFile file(path_);
    if (file.open(QIODevice::ReadOnly)) names_ = QJsonDocument::fromJson(file.readAll()).object();
}

void NameCache::set(const QString& location, const QString& name, const QString& category)
{
    names_.insert(location, QJsonObject{{"name", name}, {"category", category}});
}

QString NameCache::save() const
{
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(names_).toJson()) < 0 || !file.commit())
        return QStringLiteral("cannot write the name cache '%1': %2; check that the folder is writable")
            .arg(path_, file.errorString());
    return QString();
}
