#pragma once

#include "zaltor/Patch.h"

#include <QStringList>
#include <QTreeWidget>

// The instrument's banks and their patches. A patch item carries its location as text
// ("USER1:5"), which is what it gives a drag; it takes .syx files dropped onto a patch.
class BankTree : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int BankRole = Qt::UserRole;
    static constexpr int ProgramRole = Qt::UserRole + 1;
    static constexpr int LocationRole = Qt::UserRole + 2;
    // The drag format of instrument locations, one per line.
    static QString locationMime() { return QStringLiteral("application/x-motif-es-location"); }

    explicit BankTree(QWidget* parent = nullptr);
    // How a patch item names its location: "USER1:005", the program in three digits as the
    // instrument's display shows it.
    static QString locationText(const QString& bankName, int program);
    // The patch item of a location, null when the tree has none.
    QTreeWidgetItem* patchItem(unsigned short bank, int program) const;
    QTreeWidgetItem* bankItem(unsigned short bank) const;
    // The bank of the selected bank or patch item; 0xFFFF for none.
    unsigned short selectedBank() const;

signals:
    void filesDropped(const QStringList& paths, QTreeWidgetItem* target);

protected:
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
