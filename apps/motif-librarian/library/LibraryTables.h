#pragma once

#include "zaltor/Patch.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <functional>
#include <vector>

class X0V_Document;

// The slots of a library as table rows, empty slots included, so that a drop on a row names the
// slot it goes to. A row is a bank (a voice bank's select value or a waveform bank 1-3) and a
// position in it. Dragged rows travel as "table bank position position ..." of one bank, the table
// telling a drag within the library from one out of another open library; what a drop does is
// the editor's, through the callbacks.
class SlotTable : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Slot {
        int bank;
        int position;
    };
    // Rows of the table `from` (this one or another library's) dropped on the slot at (bank,
    // target): the first voice or waveform goes there.
    std::function<void(const SlotTable& from, int bank, int target, int fromBank,
                       const std::vector<int>& positions)>
        onMove;
    // Files from the file manager dropped on the slot.
    std::function<void(int bank, int position, const QStringList& paths)> onFiles;

    explicit SlotTable(const X0V_Document& library, QObject* parent = nullptr);
    ~SlotTable() override;

    // Rebuilds the rows after the library changed.
    void refresh();
    const Slot& slot(int row) const { return rows_.at(std::size_t(row)); }
    // The row of the slot, -1 when there is none.
    int rowOf(int bank, int position) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

protected:
    // The slots in bank order, the column titles, and a cell's text.
    virtual std::vector<Slot> allSlots() const = 0;
    virtual QStringList titles() const = 0;
    virtual QString text(const Slot& slot, int column) const = 0;
    virtual bool holdsData(const Slot& slot) const = 0;
    virtual QString mimeType() const = 0;

    const X0V_Document& library_;

private:
    std::vector<Slot> rows_;
};

// Bank, program, name, categories and what the elements play.
class VoiceTable : public SlotTable {
    Q_OBJECT
public:
    using SlotTable::SlotTable;

protected:
    std::vector<Slot> allSlots() const override;
    QStringList titles() const override;
    QString text(const Slot& slot, int column) const override;
    bool holdsData(const Slot& slot) const override;
    QString mimeType() const override;
};

// Bank, position, id, name, key banks and sample size.
class WaveTable : public SlotTable {
    Q_OBJECT
public:
    using SlotTable::SlotTable;

protected:
    std::vector<Slot> allSlots() const override;
    QStringList titles() const override;
    QString text(const Slot& slot, int column) const override;
    bool holdsData(const Slot& slot) const override;
    QString mimeType() const override;
};
