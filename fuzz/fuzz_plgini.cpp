// Board definitions are files the user picks, and bank lists are files on disk that anything may
// have touched. Whatever their bytes, turning a definition into a slot's bank list must stay
// inside the text and give a list that reads back with the slot's header and an entry for every
// bank; reading names out of either kind of file must answer only programs below the section's
// count, each with a name.
#include "FuzzCheck.h"
#include "core/IniFile.h"
#include "core/VarArgs.h"
#include "motif/Motif.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {
class Device : public Motif {
public:
    using Motif::plgBankList;
};

// The device lends the translation of bank entries; building it once keeps runs fast.
Device& plgDevice()
{
    static Device motif;
    return motif;
}

void checkNames(const IniFile& ini)
{
    for (const IniSection& section : ini.sections()) {
        const int total = section.intValue(QStringLiteral("Total"), 0);
        const QMap<int, QString> names = Motif::plgProgramNames(section);
        for (auto it = names.cbegin(); it != names.cend(); ++it)
            check(it.key() >= 0 && it.key() < total && !it.value().isEmpty() &&
                  section.numValue(it.key()) == it.value());
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    IniFile board;
    board.loadText(QByteArrayView(data, static_cast<qsizetype>(size)));
    checkNames(board);
    const IniSection* plg = board.section(QStringLiteral("PLG"));
    const int total = plg ? std::max(0, plg->intValue(QStringLiteral("Total"), 0)) : 0;
    // More banks only add lines of the same kind, and the cap on them is tested apart; a list of
    // thousands of lines would slow the search a hundredfold.
    if (total > 1024) return 0;

    const int slot = int(size % 3);
    const QString header = VarArgs("PLG%d", slot + 1).format();
    const QString text = plgDevice().plgBankList(slot, board);
    check(text.startsWith(QLatin1Char('[') + header + QStringLiteral("]\n")));

    IniFile list;
    check(list.loadText(text.toLatin1()));
    checkNames(list);
    const IniSection* banks = list.section(header);
    check(banks != nullptr);
    if (!plg) {
        check(text.size() == header.size() + 3);
        return 0;
    }
    check(banks->intValue(QStringLiteral("Total"), -1) == total);
    for (int i = 0; i < total; ++i) check(banks->contains(QString::number(i)));
    return 0;
}
