#pragma once

#include <QJsonObject>
#include <QString>

// The patch names read from one instrument, kept between runs so that the tree shows them at
// once; "Read names" refreshes them. One JSON file per instrument in the user's cache folder,
// mapping "USER1:5" to {"name", "category"}.
class NameCache {
public:
    // `instrument` names the instrument: its identity and the ports it was reached through.
    explicit NameCache(const QString& instrument);

    QJsonObject entry(const QString& location) const { return names_.value(location).toObject(); }
    void set(const QString& location, const QString& name, const QString& category);
    // Writes the file through a temporary file renamed into place; the empty text on success.
    QString save() const;
    QString path() const { return path_; }

private:
    QString path_;
    QJsonObject names_;
};
