#include "motif/librarian/PatchNotation.h"

#include "motif/librarian/PatchFile.h"
#include "zaltor/MidiDevice.h"

namespace {
// The bank list tables of the device's data file, where bank names are looked up.
const char* const BankTables[] = {"VOICES",       "VOICES_USER_ALL", "DRUMS",  "PLG_USER",
                                  "PERFORMANCES", "MULTIS",          "MASTERS"};

std::optional<unsigned short> bankByName(const QString& name, MidiDevice& device)
{
    for (const char* table : BankTables) {
        const BankSet banks = device.bankSet(QString::fromLatin1(table));
        for (int i = 0; i < banks.count(); ++i)
            if (banks.name(i).compare(name, Qt::CaseInsensitive) == 0) return banks.bank(i);
    }
    return std::nullopt;
}

std::optional<int> dataByte(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok || value < 0 || value > 127) return std::nullopt;
    return value;
}
} // namespace

std::optional<Patch> PatchNotation::parse(const QString& text, MidiDevice& device, QString* error)
{
    const int colon = text.lastIndexOf(':');
    if (colon <= 0) {
        *error = QStringLiteral("'%1' is not a patch: write BANK:PROGRAM, e.g. USER1:0 or 63/8:0").arg(text);
        return std::nullopt;
    }
    const QString bankText = text.left(colon);
    const auto program = dataByte(text.mid(colon + 1));
    if (!program) {
        *error = QStringLiteral("program '%1' is not 0-127").arg(text.mid(colon + 1));
        return std::nullopt;
    }
    const QStringList pair = bankText.split('/');
    if (pair.size() == 2) {
        const auto msb = dataByte(pair[0]);
        const auto lsb = dataByte(pair[1]);
        if (!msb || !lsb) {
            *error = QStringLiteral("bank '%1' is not MSB/LSB with both 0-127").arg(bankText);
            return std::nullopt;
        }
        return Patch(*msb, *lsb, *program);
    }
    const auto bank = bankByName(bankText, device);
    if (!bank) {
        *error = QStringLiteral("unknown bank '%1': use a bank name such as USER1, PRE1, DR:USR, PERF, MIX, "
                                "MASTER, or MSB/LSB in decimal")
                     .arg(bankText);
        return std::nullopt;
    }
    return Patch(*bank, *program);
}

QString PatchNotation::bankName(unsigned short bank, MidiDevice& device)
{
    for (const char* table : BankTables) {
        const BankSet banks = device.bankSet(QString::fromLatin1(table));
        for (int i = 0; i < banks.count(); ++i)
            if (banks.bank(i) == bank) return banks.name(i);
    }
    return QString::asprintf("%d/%d", bank >> 8, bank & 0xFF);
}

std::optional<PatchLocation> PatchNotation::parseLocation(const QString& text, MidiDevice& device,
                                                          QString* error)
{
    if (text.startsWith(QLatin1String("edit:"), Qt::CaseInsensitive)) {
        const int type = PatchFile::typeFromName(text.mid(5));
        if (type < 0) {
            *error =
                QStringLiteral("'%1': the edit buffer is edit:voice, edit:drum, edit:plg, edit:performance, "
                               "edit:mix or edit:master")
                    .arg(text);
            return std::nullopt;
        }
        return PatchLocation{Patch(), type};
    }
    const auto patch = parse(text, device, error);
    if (!patch) return std::nullopt;
    return PatchLocation{*patch, -1};
}

QString PatchNotation::print(const PatchLocation& location, MidiDevice& device)
{
    if (location.isEditBuffer()) return QStringLiteral("edit:") + PatchFile::typeName(location.editType);
    return QStringLiteral("%1:%2").arg(bankName(location.patch.bank(), device)).arg(location.patch.program());
}
