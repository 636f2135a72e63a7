#pragma once

#include <QStringList>
#include <QTreeWidget>

// The .syx files of a folder. A file item drags as its path, as a file manager's would; the list
// takes instrument locations and files from elsewhere dropped onto it.
class FileList : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int PathRole = Qt::UserRole;

    explicit FileList(QWidget* parent = nullptr);

signals:
    void locationsDropped(const QStringList& locations);
    void filesDropped(const QStringList& paths);

protected:
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
