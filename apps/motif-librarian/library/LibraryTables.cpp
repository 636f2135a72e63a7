#include "LibraryTables.h"

#include "motif/documents/X0V_Document.h"
#include "motif/librarian/X0vNames.h"
#include "motif/librarian/X0vWalk.h"

#include <QBrush>
#include <QMimeData>
#include <QPalette>
#include <QUrl>

namespace {
const QString UriList = QStringLiteral("text/uri-list");

// The tables that exist: a drag names its table by address, and a drop believes only an address
// of a table that is still there.
std::vector<const SlotTable*>& tables()
{
    static std::vector<const SlotTable*> list;
    return list;
}
} // namespace

SlotTable::SlotTable(const X0V_Document& library, QObject* parent)
    : QAbstractTableModel(parent), library_(library)
{
    tables().push_back(this);
}

SlotTable::~SlotTable() { std::erase(tables(), this); }

void SlotTable::refresh()
{
    beginResetModel();
    rows_ = allSlots();
    endResetModel();
}

int SlotTable::rowOf(int bank, int position) const
{
    for (std::size_t row = 0; row < rows_.size(); ++row)
        if (rows_[row].bank == bank && rows_[row].position == position) return int(row);
    return -1;
}

int SlotTable::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

int SlotTable::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(titles().size());
}

QVariant SlotTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    return titles().value(section);
}

QVariant SlotTable::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Slot& at = slot(index.row());
    if (role == Qt::DisplayRole) return text(at, index.column());
    // Empty slots stay in the list as places to drop on, drawn faintly.
    if (role == Qt::ForegroundRole && !holdsData(at))
        return QBrush(QPalette().color(QPalette::PlaceholderText));
    return {};
}

Qt::ItemFlags SlotTable::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::ItemIsDropEnabled;
    return QAbstractTableModel::flags(index) | Qt::ItemIsDropEnabled |
           (holdsData(slot(index.row())) ? Qt::ItemIsDragEnabled : Qt::NoItemFlags);
}

Qt::DropActions SlotTable::supportedDropActions() const { return Qt::MoveAction | Qt::CopyAction; }

QStringList SlotTable::mimeTypes() const { return {mimeType(), UriList}; }

QMimeData* SlotTable::mimeData(const QModelIndexList& indexes) const
{
    std::vector<int> rows;
    for (const QModelIndex& index : indexes)
        if (std::find(rows.begin(), rows.end(), index.row()) == rows.end()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    if (rows.empty()) return nullptr;
    // A drag moves rows of one bank: that of the first row.
    const int bank = slot(rows.front()).bank;
    QStringList words{QString::number(quintptr(this)), QString::number(bank)};
    for (int row : rows)
        if (slot(row).bank == bank && holdsData(slot(row))) words << QString::number(slot(row).position);
    auto* data = new QMimeData;
    data->setData(mimeType(), words.join(QLatin1Char(' ')).toLatin1());
    return data;
}

bool SlotTable::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                             const QModelIndex& parent)
{
    if (action == Qt::IgnoreAction) return true;
    const int at = row >= 0 ? row : parent.row();
    if (at < 0 || at >= rowCount()) return false;
    const Slot target = slot(at);
    if (data->hasFormat(mimeType())) {
        const QStringList words = QString::fromLatin1(data->data(mimeType())).split(QLatin1Char(' '));
        const auto from = std::find_if(tables().begin(), tables().end(), [&](const SlotTable* table) {
            return quintptr(table) == words.front().toULongLong();
        });
        std::vector<int> positions;
        for (qsizetype i = 2; i < words.size(); ++i) positions.push_back(words[i].toInt());
        if (from == tables().end() || positions.empty() || !onMove) return false;
        onMove(**from, target.bank, target.position, words[1].toInt(), positions);
        // The editor has rebuilt the rows; the view must not remove the dragged ones itself.
        return false;
    }
    if (data->hasUrls() && onFiles) {
        QStringList paths;
        for (const QUrl& url : data->urls())
            if (url.isLocalFile()) paths << url.toLocalFile();
        if (paths.isEmpty()) return false;
        onFiles(target.bank, target.position, paths);
        return true;
    }
    return false;
}

std::vector<SlotTable::Slot> VoiceTable::allSlots() const
{
    std::vector<Slot> rows;
    X0vWalk::voices(library_, [&](const XS_VoiceBank& bank, int p, const XS_Voice&) {
        rows.push_back({bank.id(), p});
    });
    return rows;
}

QStringList VoiceTable::titles() const
{
    return {tr("Bank"), tr("Program"), tr("Name"), tr("Category"), tr("Element waveforms")};
}

bool VoiceTable::holdsData(const Slot& slot) const
{
    return library_.voices().getBank(Bank(slot.bank))->voices().at(slot.position)->hasData();
}

QString VoiceTable::text(const Slot& slot, int column) const
{
    const XS_Voice& voice = *library_.voices().getBank(Bank(slot.bank))->voices().at(slot.position);
    switch (column) {
    case 0:
        return XS_Voice::BankName(library_.model(), Bank(slot.bank));
    case 1:
        return QString::number(slot.position);
    }
    if (!voice.hasData()) return QString();
    if (column == 2) return voice.name().trimmed();
    // The main and sub category numbers as the instrument stores them.
    if (column == 3) return QStringLiteral("%1/%2").arg(voice.getCategory1()).arg(voice.getCategory2());
    QStringList elements;
    const int count = voice.elementsInData(library_.model());
    for (int i = 0; i < count; ++i)
        if (voice.isElementUsed(i))
            elements << QStringLiteral("%1 %2").arg(i + 1).arg(X0vNames::elementWave(library_, voice, i));
    return elements.join(QStringLiteral(", "));
}

QString VoiceTable::mimeType() const { return QStringLiteral("application/x-motif-library-voices"); }

std::vector<SlotTable::Slot> WaveTable::allSlots() const
{
    std::vector<Slot> rows;
    X0vWalk::waveforms(library_, [&](const XS_WaveBank& bank, int p, const XS_Waveform&) {
        rows.push_back({bank.id(), p});
    });
    return rows;
}

QStringList WaveTable::titles() const
{
    return {tr("Bank"), tr("Position"), tr("Id"), tr("Name"), tr("Key banks"), tr("Size")};
}

bool WaveTable::holdsData(const Slot& slot) const
{
    return library_.waves().getBank(slot.bank)->waveforms().at(slot.position)->hasData();
}

QString WaveTable::text(const Slot& slot, int column) const
{
    const XS_Waveform& wave = *library_.waves().getBank(slot.bank)->waveforms().at(slot.position);
    switch (column) {
    case 0:
        return XS_Waveform::BankName(slot.bank, library_.model());
    case 1:
        return QString::number(slot.position);
    case 2:
        return QString::number(wave.id());
    }
    if (!wave.hasData()) return QString();
    if (column == 3) return wave.name();
    if (column == 4) return QString::number(wave.keybanks().count());
    return QLocale().formattedDataSize(wave.totalSize(), 1, QLocale::DataSizeTraditionalFormat);
}

QString WaveTable::mimeType() const { return QStringLiteral("application/x-motif-library-waveforms"); }
