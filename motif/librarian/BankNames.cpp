#include "motif/librarian/BankNames.h"

#include "core/IniFile.h"
#include "motif/Motif.h"
#include "motif/librarian/Backup.h"
#include "motif/librarian/Librarian.h"
#include "zaltor/BulkDump.h"
#include "zaltor/DeviceTable.h"
#include "zaltor/PatchDump.h"

namespace {
// A table row reads "Ap:Full Grand": the category before the colon, the name after it.
BankNames::Entry tableEntry(const TableData& row, int program)
{
    const int colon = row.name.indexOf(':');
    if (colon < 0) return {program, row.name, QString(), QString()};
    return {program, row.name.mid(colon + 1), row.name.left(colon), QString()};
}
} // namespace

std::vector<BankNames::Listing> BankNames::banks(Motif& device)
{
    std::vector<Listing> out;
    const std::vector<int> boards = Librarian(device).installedPlgSlots();
    for (const auto& row : MotifBanks::backupBanks(boards))
        out.push_back({row.bank, PatchNotation::bankName(row.bank, device), row.programs, true, {}});
    for (const auto& row : MotifBanks::Banks)
        if (!row.user && row.type != MotifBanks::NoType && fromTables(device, row.bank))
            out.push_back({row.bank, PatchNotation::bankName(row.bank, device), row.programs, false,
                           read(device, row.bank)});
    // A board's definition lists its banks with the names of their programs; its user bank is
    // among the user banks already.
    for (const int slot : boards) {
        const BankSet set = device.plgBanks(slot - 1);
        for (int i = 0; i < set.count(); ++i) {
            const unsigned short bank = set.bank(i);
            const IniSection* section = device.ini().section(set.name(i));
            if (MotifBanks::isUserBank(bank) || !section) continue;
            Listing listed{bank, set.name(i), section->intValue(QStringLiteral("Total"), 0), false, {}};
            const QMap<int, QString> names = Motif::plgProgramNames(*section);
            for (int program = 0; program < listed.programs; ++program)
                listed.names.push_back({program, names.value(program), QString(), QString()});
            out.push_back(listed);
        }
    }
    return out;
}

bool BankNames::fromTables(Motif& device, unsigned short bank)
{
    if (MotifBanks::isUserBank(bank)) return false;
    const DeviceTable* table = device.createTable(PatchNotation::bankName(bank, device));
    return table && table->count() > 0;
}

std::vector<BankNames::Entry> BankNames::read(Motif& device, unsigned short bank, const Progress& progress)
{
    std::vector<Entry> out;
    const MotifBanks::BankRow* row = MotifBanks::findBank(bank);
    if (!row) return out;
    const QString bankName = PatchNotation::bankName(bank, device);
    if (fromTables(device, bank)) {
        const DeviceTable* table = device.createTable(bankName);
        for (int program = 0; program < row->programs; ++program) {
            const TableData* data = table->row(program);
            out.push_back(data ? tableEntry(*data, program) : Entry{program, {}, {}, {}});
        }
        return out;
    }
    Librarian librarian(device);
    int silent = 0;
    for (int program = 0; program < row->programs; ++program) {
        const PatchLocation location{Patch(bank, program), -1};
        const QString name = PatchNotation::print(location, device);
        if (progress && !progress(name, program, row->programs)) break;
        Entry entry{program, {}, {}, {}};
        if (silent >= Backup::SilentLocations) {
            entry.error = QStringLiteral("%1 not read: the instrument stopped answering").arg(name);
            out.push_back(entry);
            continue;
        }
        BulkDump bulk;
        entry.error = librarian.fetch(location, bulk);
        silent = librarian.lastFetchSilent() ? silent + 1 : 0;
        if (entry.error.isEmpty()) {
            if (auto dump = librarian.toDump(bulk)) {
                const QJsonObject described = librarian.describe(*dump);
                entry.name = described["name"].toString().trimmed();
                entry.category = described["category"].toString();
            }
        }
        out.push_back(entry);
    }
    return out;
}
