#include "RecentMenu.h"

#include <QFileInfo>
#include <QSettings>

RecentMenu::RecentMenu(const QString& title, const QString& key, std::function<void(const QString&)> open,
                       QWidget* parent)
    : QMenu(title, parent), key_(key), open_(std::move(open))
{
    fill();
}

QStringList RecentMenu::paths() const { return QSettings().value(key_).toStringList(); }

void RecentMenu::remember(const QString& path)
{
    QStringList recent = paths();
    recent.removeAll(path);
    recent.prepend(path);
    QSettings().setValue(key_, recent.mid(0, Count));
    fill();
}

void RecentMenu::fill()
{
    clear();
    const QStringList recent = paths();
    for (const QString& path : recent)
        addAction(QFileInfo(path).fileName(), this, [this, path] { open_(path); })->setToolTip(path);
    setEnabled(!recent.isEmpty());
}
