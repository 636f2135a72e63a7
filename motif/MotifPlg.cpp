#include "motif/Motif.h"

#include "core/VarArgs.h"
#include "motif/MotifResources.h"
#include "motif/PlgSetupDlg.h"

#include <QDir>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>
#include <algorithm>

namespace {
constexpr int PlgSlots = 3;
// Bank select tells no more banks apart; a larger count is a damaged file, and writing one line
// per announced bank would otherwise let it fill the disk.
constexpr int MaxBoardBanks = 128 * 128;
// The instrument's plug-in banks all sit at bank select MSB 63.
constexpr int PlgBankMsb = 63;
constexpr int FirstUserLsb = 24;
constexpr int FirstPresetLsb = 70;

bool validSlot(int slot) { return slot >= 0 && slot < PlgSlots; }

// The section of the device's tables that a slot's bank list file brings, and its bank set.
QString listSection(int slot) { return VarArgs("PLG%d", slot + 1).format(); }

// A native bank entry ("36,00,036/000") names its section after the bank select in its first six
// characters; a word ("USER") is its own section.
QString sectionOf(const QString& entry)
{
    return entry.indexOf(QLatin1Char(','), 1) > 0 ? entry.mid(6) : entry;
}
} // namespace

QString Motif::deviceFolder() const
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/motif-es/") + name();
}

QString Motif::plgFileName(int slot) const
{
    return VarArgs("%s/plg%d.ini", deviceFolder(), slot + 1).format();
}

QString Motif::plgName(int slot) const
{
    const IniSection* list = ini().section(listSection(slot));
    return list ? list->value(QStringLiteral("Name")) : QString();
}

void Motif::loadPLG()
{
    for (int slot = 0; slot < PlgSlots; ++slot) {
        deleteBankSet(listSection(slot));
        // loadIni also drops the cached name tables, whose sections the file may replace.
        loadIni(plgFileName(slot));
    }
}

QString Motif::translatePLGBankName(const QString& entry, int slot) const
{
    const int n = slot + 1;
    if (entry == QLatin1String("USER"))
        return VarArgs("%d,%d,P%d-USER", PlgBankMsb, FirstUserLsb + slot, n).format();
    static const char* const presets[] = {"PRE1", "PRE2", "PRE3"};
    for (int k = 0; k < 3; ++k)
        if (entry == QLatin1String(presets[k]))
            return VarArgs("%d,%d,P%d-%s", PlgBankMsb, FirstPresetLsb + 3 * slot + k, n, presets[k]).format();
    return entry;
}

QMap<int, QString> Motif::plgProgramNames(const IniSection& names)
{
    // Gathered from the keys present rather than counted up to Total, which a damaged file may
    // make enormous; a key counts only in its plain decimal form, as the instrument numbers it.
    const int total = names.intValue(QStringLiteral("Total"), 0);
    QMap<int, QString> out;
    for (int k = 0; k < names.count(); ++k) {
        const QString key = names.key(k);
        bool ok = false;
        const int program = key.toInt(&ok, 10);
        if (!ok || program < 0 || program >= total || key != QString::number(program)) continue;
        const QString name = names.value(key);
        if (!name.isEmpty()) out.insert(program, name);
    }
    return out;
}

QString Motif::plgBankList(int slot, const IniFile& board) const
{
    QString text = VarArgs("[PLG%d]\n", slot + 1).format();
    const IniSection* plg = board.section(QStringLiteral("PLG"));
    if (!plg) return text;
    const int total = std::clamp(plg->intValue(QStringLiteral("Total"), 0), 0, MaxBoardBanks);
    text += VarArgs("Name=%s\nTotal=%d\n", plg->value(QStringLiteral("Name")), total).format();
    // "%d=%s" lines, put together directly: a list may hold thousands of them.
    const auto item = [&text](int key, const QString& value) {
        text += QString::number(key) + QLatin1Char('=') + value + QLatin1Char('\n');
    };
    for (int i = 0; i < total; ++i) item(i, translatePLGBankName(plg->numValue(i), slot));
    text += QLatin1Char('\n');
    // A definition lists its sections under the words it uses ("[USER]"); the bank list files of
    // all slots share the device's tables, so each slot writes them under its own bank names.
    QSet<QString> written;
    for (int i = 0; i < total; ++i) {
        const QString entry = plg->numValue(i);
        const QString source = sectionOf(entry);
        const IniSection* names = source.isEmpty() ? nullptr : board.section(source);
        if (!names) continue;
        const QString section = sectionOf(translatePLGBankName(entry, slot));
        // A bank listed twice reopens the same section when read: writing it again adds nothing.
        if (written.contains(section)) continue;
        written.insert(section);
        text += VarArgs("[%s]\nTotal=%d\n", section, names->intValue(QStringLiteral("Total"), 0)).format();
        const QMap<int, QString> programs = plgProgramNames(*names);
        for (auto it = programs.cbegin(); it != programs.cend(); ++it) item(it.key(), it.value());
        text += QLatin1Char('\n');
    }
    return text;
}

QString Motif::createPLGFile(int slot, const QString& boardFile)
{
    if (boardFile.isEmpty() || !validSlot(slot)) return QString();
    QString text;
    if (boardFile == QLatin1String(PlgEmptySlot)) {
        text = VarArgs("[PLG%d]\nName=\nTotal=0\n", slot + 1).format();
    } else {
        IniFile board;
        board.loadFile(boardFile);
        text = plgBankList(slot, board);
    }
    QDir().mkpath(deviceFolder());
    // Text mode gives the platform's line ends; the saved file replaces the old one only once it
    // is complete, so a full disk leaves the slot as it was.
    QSaveFile file(plgFileName(slot));
    if (file.open(QIODevice::WriteOnly | QIODevice::Text) && file.write(text.toLatin1()) == text.size() &&
        file.commit())
        return QString();
    return QStringLiteral("cannot write %1: check the permissions of the file and its folder")
        .arg(plgFileName(slot));
}

bool Motif::plgSetup(QWidget* parent)
{
    PlgSetupDlg dialog(this, parent);
    return dialog.exec() == QDialog::Accepted;
}

BankSet Motif::plgBanks(int slot) const
{
    const IniSection* list = validSlot(slot) ? ini().section(listSection(slot)) : nullptr;
    if (!list) return BankSet(nullptr);
    // A bank list names each bank by MSB and LSB in two leading fields.
    IniSection banks(list->name());
    banks.add(QStringLiteral("Size"), QStringLiteral("2"));
    for (int k = 0; k < list->count(); ++k) banks.add(list->key(k), list->value(list->key(k)));
    return BankSet(DeviceTable::fromSection(banks).get());
}

QStringList Motif::plgBoardFiles()
{
    registerMotifResources();
    const QString folder = QStringLiteral(":/motif/data/");
    QStringList files = QDir(folder).entryList({QStringLiteral("PLG150-*.ini")}, QDir::Files, QDir::Name);
    for (QString& file : files) file.prepend(folder);
    return files;
}
