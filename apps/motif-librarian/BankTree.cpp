#include "BankTree.h"

#include <QDragEnterEvent>
#include <QMimeData>

BankTree::BankTree(QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(3);
    setHeaderLabels({tr("Location"), tr("Name"), tr("Category")});
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setAccessibleName(tr("Banks of the instrument"));
}

QString BankTree::locationText(const QString& bankName, int program)
{
    return QStringLiteral("%1:%2").arg(bankName).arg(program, 3, 10, QLatin1Char('0'));
}

QTreeWidgetItem* BankTree::bankItem(unsigned short bank) const
{
    for (int group = 0; group < topLevelItemCount(); ++group)
        for (int i = 0; i < topLevelItem(group)->childCount(); ++i) {
            QTreeWidgetItem* item = topLevelItem(group)->child(i);
            if (item->data(0, BankRole).toInt() == bank) return item;
        }
    return nullptr;
}

QTreeWidgetItem* BankTree::patchItem(unsigned short bank, int program) const
{
    QTreeWidgetItem* item = bankItem(bank);
    return item && program >= 0 && program < item->childCount() ? item->child(program) : nullptr;
}

unsigned short BankTree::selectedBank() const
{
    const QTreeWidgetItem* item = currentItem();
    if (!item || !item->data(0, BankRole).isValid()) return 0xFFFF;
    return static_cast<unsigned short>(item->data(0, BankRole).toInt());
}

QStringList BankTree::mimeTypes() const { return {locationMime(), QStringLiteral("text/uri-list")}; }

QMimeData* BankTree::mimeData(const QList<QTreeWidgetItem*>& items) const
{
    QStringList locations;
    for (const QTreeWidgetItem* item : items)
        if (item->data(0, LocationRole).isValid()) locations << item->data(0, LocationRole).toString();
    if (locations.isEmpty()) return nullptr;
    auto* mime = new QMimeData();
    mime->setData(locationMime(), locations.join('\n').toUtf8());
    return mime;
}

void BankTree::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void BankTree::dragMoveEvent(QDragMoveEvent* event)
{
    // The tree says why a drop is refused once it lands, so every patch is a target.
    if (event->mimeData()->hasUrls() && itemAt(event->position().toPoint()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void BankTree::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    QTreeWidgetItem* target = itemAt(event->position().toPoint());
    if (paths.isEmpty() || !target) return event->ignore();
    event->acceptProposedAction();
    emit filesDropped(paths, target);
}
