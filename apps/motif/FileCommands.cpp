#include "CliContext.h"
#include "Commands.h"
#include "motif/librarian/PatchFile.h"
#include "motif/librarian/PatchNotation.h"

#include "motif/Motif.h"
#include "motif/MotifSysex.h"
#include "zaltor/BulkDump.h"
#include "zaltor/PatchDump.h"

#include <QJsonArray>

namespace {
struct FileArgs {
    std::string file;
    std::string value;
    std::string from;
    std::string to;
};

// Reads a patch file without an instrument: the device only lends its tables.
struct OpenedFile {
    Motif device;
    LoadedPatch patch;
    QString error;
    explicit OpenedFile(const std::string& path)
    {
        patch = PatchFile::read(QString::fromStdString(path), device, &error);
    }
};

QJsonArray references(OpenedFile& file)
{
    UserPatchList list;
    file.patch.dump->getUserPatches(&list);
    QJsonArray out;
    for (int i = 0; i < list.count(); ++i) {
        const Patch p = list.patch(i);
        out.append(
            QStringLiteral("%1:%2").arg(PatchNotation::bankName(p.bank(), file.device)).arg(p.program()));
    }
    return out;
}

bool rewrite(CliContext& context, const FileArgs& args, OpenedFile& file)
{
    QString error;
    if (PatchFile::write(QString::fromStdString(args.file), *file.patch.framed(), &error)) return true;
    context.fail(error);
    return false;
}

int show(CliContext& context, const FileArgs& args)
{
    OpenedFile file(args.file);
    if (!file.patch.dump) return context.fail(file.error);
    const PatchDump& dump = *file.patch.dump;
    QJsonArray blocks;
    QStringList blockText;
    for (int i = 0; i < dump.count(); ++i) {
        const QString address = QString::asprintf("%06X", dump.at(i)->getAddress());
        blocks.append(QJsonObject{{"address", address}, {"size", dump.at(i)->dataSize()}});
        blockText << QStringLiteral("%1 (%2)").arg(address).arg(dump.at(i)->dataSize());
    }
    const QJsonArray refs = references(file);
    QJsonObject out{{"type", PatchFile::typeName(dump.type())},
                    {"name", dump.name(false)},
                    {"blocks", blocks},
                    {"references", refs}};
    if (dump.hasCategory()) {
        out.insert("category", dump.printCategory(true));
        out.insert("categoryData", dump.getCategoryData());
    }
    if (file.patch.header)
        out.insert("location", QString::asprintf("%04X", file.patch.header->getAddress() & 0xFFFF));
    if (!file.patch.note.isEmpty()) out.insert("note", file.patch.note);
    if (context.json) {
        context.printJson(out);
        return 0;
    }
    context.print(QStringLiteral("%1 \"%2\"").arg(out["type"].toString(), out["name"].toString()));
    if (!file.patch.note.isEmpty()) context.print(file.patch.note);
    if (dump.hasCategory()) context.print(QStringLiteral("category: %1").arg(out["category"].toString()));
    context.print(QStringLiteral("%1 blocks: %2").arg(dump.count()).arg(blockText.join(", ")));
    if (!refs.isEmpty()) {
        QStringList names;
        for (const auto& r : refs) names << r.toString();
        context.print(QStringLiteral("references: %1").arg(names.join(", ")));
    }
    return 0;
}

int category(CliContext& context, const FileArgs& args)
{
    OpenedFile file(args.file);
    if (!file.patch.dump) return context.fail(file.error);
    PatchDump& dump = *file.patch.dump;
    if (!dump.hasCategory())
        return context.fail(QStringLiteral("a %1 has no category").arg(PatchFile::typeName(dump.type())));
    if (!args.value.empty()) {
        if (!dump.setCategory(QString::fromStdString(args.value)))
            return context.fail(
                QStringLiteral("'%1' is not a category: use a name such as Ap:A.PIANO or Ba:E.BASS")
                    .arg(QString::fromStdString(args.value)));
        if (!rewrite(context, args, file)) return 1;
    }
    if (context.json)
        context.printJson(
            QJsonObject{{"category", dump.printCategory(true)}, {"categoryData", dump.getCategoryData()}});
    else
        context.print(dump.printCategory(true));
    return 0;
}

int refs(CliContext& context, const FileArgs& args)
{
    OpenedFile file(args.file);
    if (!file.patch.dump) return context.fail(file.error);
    const QJsonArray list = references(file);
    if (context.json) {
        context.printJson(QJsonObject{{"references", list}});
    } else {
        for (const auto& r : list) context.print(r.toString());
    }
    return 0;
}

int reindex(CliContext& context, const FileArgs& args)
{
    OpenedFile file(args.file);
    if (!file.patch.dump) return context.fail(file.error);
    QString error;
    const auto from = PatchNotation::parse(QString::fromStdString(args.from), file.device, &error);
    if (!from) return context.fail(error);
    const auto to = PatchNotation::parse(QString::fromStdString(args.to), file.device, &error);
    if (!to) return context.fail(error);
    const QJsonArray before = references(file);
    file.patch.dump->reindexPatch(*from, *to);
    const QJsonArray after = references(file);
    int changed = 0;
    for (int i = 0; i < before.size() && i < after.size(); ++i) changed += before[i] != after[i];
    if (changed > 0 && !rewrite(context, args, file)) return 1;
    if (context.json)
        context.printJson(QJsonObject{{"changed", changed}, {"references", after}});
    else
        context.print(QStringLiteral("%1 references rewritten").arg(changed));
    return 0;
}
} // namespace

void addFileCommands(CLI::App& app, CliContext& context, CommandAction& action)
{
    auto args = std::make_shared<FileArgs>();
    auto bind = [&context, &action, args](CLI::App* cmd, int (*run)(CliContext&, const FileArgs&)) {
        cmd->callback([&context, &action, args, run] {
            action = [&context, args, run] { return run(context, *args); };
        });
    };
    auto* showCmd = app.add_subcommand("show", "Type, name, category, blocks and references of a .syx patch");
    showCmd->add_option("FILE", args->file, "A .syx file of one Motif ES patch")->required();
    bind(showCmd, show);

    auto* categoryCmd = app.add_subcommand("category", "Show a patch file's category, or set it to NEW");
    categoryCmd->add_option("FILE", args->file, "A .syx file of a voice, drum kit, PLG voice or performance")
        ->required();
    categoryCmd->add_option("NEW", args->value, "A category name, e.g. Ap:A.PIANO");
    bind(categoryCmd, category);

    auto* refsCmd = app.add_subcommand("refs", "The patches a performance, mix or master refers to");
    refsCmd->add_option("FILE", args->file, "A .syx file of a performance, mix or master")->required();
    bind(refsCmd, refs);

    auto* reindexCmd = app.add_subcommand("reindex", "Rewrite the references to OLD as NEW in a patch file");
    reindexCmd->add_option("FILE", args->file, "A .syx file of a performance, mix or master")->required();
    reindexCmd->add_option("OLD", args->from, "BANK:PROGRAM referred to now")->required();
    reindexCmd->add_option("NEW", args->to, "BANK:PROGRAM to refer to instead")->required();
    bind(reindexCmd, reindex);
}
