#include "FileList.h"

#include "BankTree.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QUrl>

FileList::FileList(QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(5);
    setHeaderLabels({tr("File"), tr("Name"), tr("Type"), tr("Category"), tr("Location")});
    setRootIsDecorated(false);
    setSortingEnabled(true);
    sortByColumn(0, Qt::AscendingOrder);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setAccessibleName(tr("Patch files of the folder"));
}

QStringList FileList::mimeTypes() const
{
    return {BankTree::locationMime(), QStringLiteral("text/uri-list")};
}

QMimeData* FileList::mimeData(const QList<QTreeWidgetItem*>& items) const
{
    QList<QUrl> urls;
    for (const QTreeWidgetItem* item : items) urls << QUrl::fromLocalFile(item->data(0, PathRole).toString());
    auto* mime = new QMimeData();
    mime->setUrls(urls);
    return mime;
}

void FileList::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

void FileList::dragMoveEvent(QDragMoveEvent* event)
{
    // Its own files dropped back onto it are where they are already.
    const bool files = event->mimeData()->hasUrls() && event->source() != this;
    if (event->mimeData()->hasFormat(BankTree::locationMime()) || files)
        event->acceptProposedAction();
    else
        event->ignore();
}

void FileList::dropEvent(QDropEvent* event)
{
    const QString text = QString::fromUtf8(event->mimeData()->data(BankTree::locationMime()));
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    if (text.isEmpty() && (paths.isEmpty() || event->source() == this)) return event->ignore();
    event->acceptProposedAction();
    if (!text.isEmpty())
        emit locationsDropped(text.split('\n', Qt::SkipEmptyParts));
    else
        emit filesDropped(paths);
}
