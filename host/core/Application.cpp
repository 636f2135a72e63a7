#include "core/Application.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <memory>

namespace {

QString& profilePath()
{
    static QString path;
    return path;
}

std::unique_ptr<QSettings> openProfile()
{
    if (!profilePath().isEmpty()) return std::make_unique<QSettings>(profilePath(), QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("motif-es"),
                                       QStringLiteral("motif"));
}

QString profileKey(const QString& section, const QString& key) { return section + QLatin1Char('/') + key; }

} // namespace

QString Application::startPath()
{
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    // Without an application object (tools, tests) the running program is found through the system.
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    if (self.exists()) return QFileInfo(self.symLinkTarget()).absolutePath();
    return QDir::currentPath();
}

int Application::readProfileInt(const QString& section, const QString& key, int def)
{
    bool ok = false;
    const int value = openProfile()->value(profileKey(section, key)).toInt(&ok);
    return ok ? value : def;
}

void Application::writeProfileInt(const QString& section, const QString& key, int value)
{
    const auto settings = openProfile();
    settings->setValue(profileKey(section, key), value);
    settings->sync();
}

QString Application::readProfileText(const QString& section, const QString& key, const QString& def)
{
    return openProfile()->value(profileKey(section, key), def).toString();
}

void Application::writeProfileText(const QString& section, const QString& key, const QString& value)
{
    const auto settings = openProfile();
    settings->setValue(profileKey(section, key), value);
    settings->sync();
}

void Application::setProfilePath(const QString& file) { profilePath() = file; }
