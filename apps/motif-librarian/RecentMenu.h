#pragma once

#include <QMenu>
#include <functional>

// The paths last opened of one kind (libraries, folders), newest first, kept in the settings
// under a key; choosing one opens it again.
class RecentMenu : public QMenu {
    Q_OBJECT
public:
    static constexpr int Count = 8;

    RecentMenu(const QString& title, const QString& key, std::function<void(const QString&)> open,
               QWidget* parent = nullptr);
    void remember(const QString& path);
    QStringList paths() const;

private:
    void fill();

    QString key_;
    std::function<void(const QString&)> open_;
};
