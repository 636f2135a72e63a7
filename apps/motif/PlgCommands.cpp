#include "CliContext.h"
#include "Commands.h"

#include "core/IniFile.h"
#include "motif/Motif.h"

#include <QFileInfo>
#include <QJsonArray>

namespace {
struct PlgArgs {
    int slot = 0;
    std::string board;
};

// The device lends its bank list handling; the slots' files need no instrument.
class BoardSlots : public Motif {
public:
    BoardSlots() { loadPLG(); }
    QString fileOf(int slot) const { return plgFileName(slot); }
};

QString boardOrNone(const QString& name)
{
    return name.isEmpty() ? QString::fromLatin1(Motif::PlgEmptySlot) : name;
}

QString bankText(Bank bank) { return QStringLiteral("%1/%2").arg(bank >> 8).arg(bank & 0xFF); }

// The bank entries of a board definition's [PLG] section, in order.
QStringList boardEntries(const IniSection& plg)
{
    QStringList entries;
    const int total = plg.intValue(QStringLiteral("Total"), 0);
    for (int i = 0; i < total && i < plg.count(); ++i) entries << plg.numValue(i);
    return entries;
}

int list(CliContext& context, const PlgArgs&)
{
    BoardSlots device;
    QJsonArray rows;
    for (int slot = 0; slot < 3; ++slot) {
        const QString name = device.plgName(slot);
        rows.append(QJsonObject{{"slot", slot + 1}, {"board", name}, {"file", device.fileOf(slot)}});
        if (!context.json) context.print(QStringLiteral("slot %1: %2").arg(slot + 1).arg(boardOrNone(name)));
    }
    if (context.json) context.printJson(QJsonObject{{"folder", device.deviceFolder()}, {"slots", rows}});
    return 0;
}

int boards(CliContext& context, const PlgArgs&)
{
    QJsonArray out;
    for (const QString& file : Motif::plgBoardFiles()) {
        IniFile board;
        board.loadFile(file);
        const IniSection* plg = board.section(QStringLiteral("PLG"));
        if (!plg) continue;
        const QString name = plg->value(QStringLiteral("Name"));
        const QStringList entries = boardEntries(*plg);
        out.append(QJsonObject{{"name", name}, {"banks", QJsonArray::fromStringList(entries)}});
        if (!context.json)
            context.print(QStringLiteral("%1  %2").arg(name, entries.join(QStringLiteral("  "))));
    }
    if (context.json) context.printJson(QJsonObject{{"boards", out}});
    return 0;
}

// A built-in board by name, or a board definition file; empty after saying why neither.
QString boardFile(CliContext& context, const QString& board)
{
    for (const QString& file : Motif::plgBoardFiles())
        if (QFileInfo(file).completeBaseName().compare(board, Qt::CaseInsensitive) == 0) return file;
    if (!QFileInfo(board).isFile()) {
        QStringList names;
        for (const QString& file : Motif::plgBoardFiles()) names << QFileInfo(file).completeBaseName();
        context.fail(QStringLiteral("'%1' is neither a built-in board (%2) nor a board definition file")
                         .arg(board, names.join(QStringLiteral(", "))));
        return QString();
    }
    IniFile definition;
    if (!definition.loadFile(board)) {
        context.fail(definition.errorText());
        return QString();
    }
    if (!definition.section(QStringLiteral("PLG"))) {
        context.fail(QStringLiteral(
                         "'%1' has no [PLG] section: a board definition names the board and its banks there")
                         .arg(board));
        return QString();
    }
    return board;
}

int install(CliContext& context, int slot, const QString& file)
{
    BoardSlots device;
    const QFileInfo target(device.fileOf(slot - 1));
    const QString error = device.createPLGFile(slot - 1, file);
    if (!error.isEmpty()) return context.fail(error);
    device.loadPLG();
    const QString name = device.plgName(slot - 1);
    const int banks = device.plgBanks(slot - 1).count();
    if (context.json)
        context.printJson(
            QJsonObject{{"slot", slot}, {"board", name}, {"banks", banks}, {"file", target.filePath()}});
    else
        context.print(QStringLiteral("slot %1: %2, %3 banks -> %4")
                          .arg(slot)
                          .arg(boardOrNone(name))
                          .arg(banks)
                          .arg(target.filePath()));
    return 0;
}

int set(CliContext& context, const PlgArgs& args)
{
    const QString file = boardFile(context, QString::fromStdString(args.board));
    return file.isEmpty() ? 1 : install(context, args.slot, file);
}

int clear(CliContext& context, const PlgArgs& args)
{
    return install(context, args.slot, QString::fromLatin1(Motif::PlgEmptySlot));
}

int show(CliContext& context, const PlgArgs& args)
{
    BoardSlots device;
    const int slot = args.slot - 1;
    const QString name = device.plgName(slot);
    if (!context.json) context.print(QStringLiteral("slot %1: %2").arg(args.slot).arg(boardOrNone(name)));
    const BankSet banks = device.plgBanks(slot);
    QJsonArray out;
    for (int i = 0; i < banks.count(); ++i) {
        const IniSection* section = device.ini().section(banks.name(i));
        const int programs = section ? section->intValue(QStringLiteral("Total"), 0) : 0;
        const QMap<int, QString> names = section ? Motif::plgProgramNames(*section) : QMap<int, QString>();
        QJsonArray named;
        for (auto it = names.cbegin(); it != names.cend(); ++it)
            named.append(QJsonObject{{"program", it.key()}, {"name", it.value()}});
        out.append(QJsonObject{{"bank", bankText(banks.bank(i))},
                               {"section", banks.name(i)},
                               {"programs", programs},
                               {"names", named}});
        if (context.json) continue;
        context.print(QStringLiteral("%1 %2: %3 programs, %4 named")
                          .arg(bankText(banks.bank(i)), banks.name(i))
                          .arg(programs)
                          .arg(names.size()));
        for (auto it = names.cbegin(); it != names.cend(); ++it)
            context.print(QStringLiteral("  %1 %2").arg(it.key(), 3).arg(it.value()));
    }
    if (context.json) context.printJson(QJsonObject{{"slot", args.slot}, {"board", name}, {"banks", out}});
    return 0;
}
} // namespace

void addPlgCommands(CLI::App& app, CliContext& context, CommandAction& action)
{
    auto args = std::make_shared<PlgArgs>();
    auto bind = [&context, &action, args](CLI::App* cmd, int (*run)(CliContext&, const PlgArgs&)) {
        cmd->callback([&context, &action, args, run] {
            action = [&context, args, run] { return run(context, *args); };
        });
    };
    auto* plg =
        app.add_subcommand("plg", "PLG150 plug-in boards: which board sits in each slot, and its banks");
    plg->require_subcommand(1);
    auto slotOption = [args](CLI::App* cmd) {
        cmd->add_option("SLOT", args->slot, "The instrument's plug-in slot, 1 to 3")
            ->required()
            ->check(CLI::Range(1, 3));
    };

    bind(plg->add_subcommand("list", "The board installed in each slot"), list);
    bind(plg->add_subcommand("boards", "The built-in board definitions and their banks"), boards);

    auto* setCmd = plg->add_subcommand("set", "Install a board in a slot: write its bank list file");
    slotOption(setCmd);
    setCmd
        ->add_option("BOARD", args->board,
                     "A built-in board (e.g. PLG150-VL) or a board definition .ini file")
        ->required();
    bind(setCmd, set);

    auto* clearCmd = plg->add_subcommand("clear", "Empty a slot");
    slotOption(clearCmd);
    bind(clearCmd, clear);

    auto* showCmd = plg->add_subcommand("show", "The banks of the board in a slot, with their voice names");
    slotOption(showCmd);
    bind(showCmd, show);
}
