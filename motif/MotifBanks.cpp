#include "motif/MotifBanks.h"

namespace MotifBanks {

QString longTypeName(int type)
{
    const TypeRow* row = findType(type);
    return row ? QString::fromLatin1(row->longName) : QString();
}

QString shortTypeName(int type)
{
    const TypeRow* row = findType(type);
    return row ? QString::fromLatin1(row->shortName) : QString();
}

int typeFromName(const QString& name)
{
    for (int type = 0; type < int(std::size(Types)); ++type)
        if (name.compare(QLatin1String(Types[type].shortName), Qt::CaseInsensitive) == 0 ||
            name == QString::number(type))
            return type;
    return NoType;
}

std::vector<BankRow> backupBanks(std::span<const int> plgSlots)
{
    std::vector<BankRow> out;
    std::vector<BankRow> plgUser;
    for (const BankRow& row : Banks) {
        if (!row.user || row.bulkBase == NoControl) continue;
        (row.type == PlgVoice ? plgUser : out).push_back(row);
    }
    for (int slot : plgSlots)
        if (slot >= 1 && slot <= int(plgUser.size())) out.push_back(plgUser[std::size_t(slot - 1)]);
    return out;
}

} // namespace MotifBanks
