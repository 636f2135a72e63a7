#include "zaltor/DeviceTable.h"

#include "core/IniFile.h"

#include <algorithm>

std::unique_ptr<DeviceTable> DeviceTable::fromSection(const IniSection& section)
{
    auto table = std::make_unique<DeviceTable>();
    table->name_ = section.name();
    table->total_ = std::max(0, section.intValue("Total", 0));
    const int size = std::max(0, section.intValue("Size", 0));
    const int base = section.intValue("Hex", 0) == 1 ? 16 : 10;
    // Items are numbered; commented-out items leave gaps, so the numbers are gathered from the
    // keys present rather than counted up to Total, which a damaged file may make enormous.
    std::vector<int> numbers;
    for (int k = 0; k < section.count(); ++k) {
        bool ok = false;
        const QString key = section.key(k);
        const int i = key.toInt(&ok, 10);
        if (ok && i >= 0 && i < table->total_ && key == QString::number(i)) numbers.push_back(i);
    }
    std::sort(numbers.begin(), numbers.end());
    for (int i : numbers) {
        const QString item = section.numValue(i);
        TableData row;
        QStringList parts = item.split(',');
        for (int f = 0; f < size && f < parts.size() - 1; ++f) {
            bool ok = false;
            const int field = parts[f].trimmed().toInt(&ok, base);
            row.fields << (ok ? field : 0);
            // Unsigned, so that a row of more fields than an int holds wraps instead of overflowing.
            row.data = int(unsigned(row.data) * 128u + unsigned(ok ? field : 0));
        }
        row.text = parts.mid(row.fields.size()).join(',');
        const QStringList forms = row.text.split('|');
        row.shortName = forms.first();
        row.name = forms.last();
        table->rows_.push_back(std::move(row));
    }
    return table;
}

const TableData* DeviceTable::row(int i) const
{
    return i >= 0 && i < count() ? &rows_[std::size_t(i)] : nullptr;
}

int DeviceTable::indexOf(int data) const
{
    for (int i = 0; i < count(); ++i)
        if (rows_[std::size_t(i)].data == data) return i;
    return -1;
}

int DeviceTable::indexOf(const QString& name) const
{
    for (int i = 0; i < count(); ++i) {
        const TableData& row = rows_[std::size_t(i)];
        if (row.name == name || row.shortName == name || row.text == name) return i;
    }
    return -1;
}

BankSet::BankSet(const DeviceTable* table)
{
    if (!table) return;
    for (int i = 0; i < table->count(); ++i) {
        const TableData* row = table->row(i);
        if (row->fields.size() < 2) continue;
        banks_.emplace_back(Bank((row->fields[0] & 0x7F) << 8 | (row->fields[1] & 0x7F)), row->name);
    }
}

Bank BankSet::bank(int i) const { return i >= 0 && i < count() ? banks_[std::size_t(i)].first : 0; }

QString BankSet::name(int i) const
{
    return i >= 0 && i < count() ? banks_[std::size_t(i)].second : QString();
}

Patch BankSet::firstPatch() const { return banks_.empty() ? Patch() : Patch(banks_.front().first, 0); }
