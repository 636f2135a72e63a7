#include "CliContext.h"
#include "Commands.h"
#include "ProgressBar.h"
#include "motif/librarian/Backup.h"
#include "motif/librarian/Librarian.h"
#include "motif/librarian/PatchFile.h"
#include "motif/librarian/PresetCapture.h"

#include "zaltor/BulkDump.h"
#include "zaltor/PatchDump.h"

#include <QDir>
#include <QJsonArray>
#include <unistd.h>

#include <optional>

namespace {
struct TransferArgs {
    std::string patch;
    std::string file;
    std::string output;
    std::string dir;
    std::string resume;
    std::string type;
    // Absent: the slots with a board installed.
    std::optional<std::string> plg;
    bool verify = false;
};

std::optional<std::vector<int>> plgSlots(CliContext& context, const std::string& text)
{
    std::vector<int> boardSlots;
    for (const QString& part : QString::fromStdString(text).split(',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int slot = part.trimmed().toInt(&ok);
        if (!ok || slot < 1 || slot > 3) {
            context.fail(QStringLiteral("--plg takes the slots of installed boards, 1 to 3, e.g. --plg 1,3"));
            return std::nullopt;
        }
        boardSlots.push_back(slot);
    }
    return boardSlots;
}

// What a backup saved, bank by bank: how many patches and the names of the first few.
void printListing(CliContext& context, const QJsonArray& patches)
{
    if (context.json) {
        context.printJson(QJsonObject{{"patches", patches}});
        return;
    }
    constexpr int Shown = 4;
    struct Group {
        QString bank;
        QString type;
        QStringList names;
        int count = 0;
    };
    std::vector<Group> groups;
    for (const auto& value : patches) {
        const QJsonObject entry = value.toObject();
        const QString location = entry["location"].toString();
        const QString bank = location.left(location.lastIndexOf(':'));
        if (groups.empty() || groups.back().bank != bank)
            groups.push_back({bank, entry["type"].toString(), {}, 0});
        Group& group = groups.back();
        if (group.names.size() < Shown)
            group.names << QStringLiteral("\"%1\"").arg(entry["name"].toString().trimmed());
        ++group.count;
    }
    for (const Group& group : groups)
        context.print(QStringLiteral("%1 %2 %3s: %4%5")
                          .arg(group.bank.leftJustified(8))
                          .arg(group.count, 3)
                          .arg(group.type, group.names.join(", "), group.count > Shown ? ", ..." : ""));
}

// Opens the instrument and makes sure it is one we can talk to; null after saying what is wrong.
std::unique_ptr<Session> openIdentified(CliContext& context)
{
    auto session = context.openSession();
    if (!session) return nullptr;
    const QString error = Librarian(session->device()).identify();
    if (error.isEmpty()) return session;
    context.fail(error);
    return nullptr;
}

// Opens the instrument and reads the location a command names; null after saying what is wrong.
std::unique_ptr<Session> openAt(CliContext& context, const std::string& text, PatchLocation* location)
{
    auto session = openIdentified(context);
    if (!session) return nullptr;
    QString error;
    const auto parsed = PatchNotation::parseLocation(QString::fromStdString(text), session->device(), &error);
    if (!parsed) {
        context.fail(error);
        return nullptr;
    }
    *location = *parsed;
    return session;
}

int get(CliContext& context, const TransferArgs& args)
{
    PatchLocation target;
    auto session = openAt(context, args.patch, &target);
    if (!session) return 1;
    Motif& device = session->device();
    QString error;
    Librarian librarian(device);
    BulkDump bulk;
    PresetCapture preset(device);
    const bool captured = preset.covers(target);
    if (captured && !context.useReceiveChannel(*session)) return 1;
    error = captured ? preset.capture(target, bulk) : librarian.fetch(target, bulk);
    if (!error.isEmpty()) return context.fail(error);
    const QString path = QString::fromStdString(args.output);
    const QString note = captured ? preset.note(target) : QString();
    if (!PatchFile::write(path, bulk, &error, note)) return context.fail(error);
    auto dump = librarian.toDump(bulk);
    QJsonObject result = dump ? librarian.describe(*dump) : QJsonObject();
    result.insert("location", PatchNotation::print(target, device));
    result.insert("file", path);
    result.insert("messages", bulk.count());
    if (captured) result.insert("note", note);
    if (context.json)
        context.printJson(result);
    else
        context.print(
            QStringLiteral("%1 -> %2: %3 messages, %4 \"%5\" %6")
                .arg(result["location"].toString(), path)
                .arg(bulk.count())
                .arg(result["type"].toString(), result["name"].toString(), result["category"].toString()));
    return 0;
}

int put(CliContext& context, const TransferArgs& args)
{
    PatchLocation target;
    auto session = openAt(context, args.patch, &target);
    if (!session) return 1;
    Motif& device = session->device();
    QString error;
    LoadedPatch loaded = PatchFile::read(QString::fromStdString(args.file), device, &error);
    if (!loaded.dump) return context.fail(error);
    Librarian librarian(device);
    error = args.verify ? librarian.sendVerified(target, *loaded.dump) : librarian.send(target, *loaded.dump);
    if (!error.isEmpty()) return context.fail(error);
    // The instrument never acknowledges a bulk: only a read-back proves that it arrived.
    context.print(QStringLiteral("%1 -> %2: %3")
                      .arg(QString::fromStdString(args.file), PatchNotation::print(target, device),
                           args.verify ? "verified" : "sent (not verified)"));
    return 0;
}

int backup(CliContext& context, const TransferArgs& args)
{
    if (args.dir.empty() == args.resume.empty())
        return context.fail(QStringLiteral("backup takes a folder: DIR for a new backup, or --resume DIR to "
                                           "fetch what a stopped one is missing"));
    const auto givenSlots = args.plg ? plgSlots(context, *args.plg) : std::optional<std::vector<int>>();
    if (args.plg && !givenSlots) return 1;
    const bool resume = !args.resume.empty();
    const QString dir = QString::fromStdString(resume ? args.resume : args.dir);
    QString error;
    if (resume && Backup::readIndex(dir, &error).isEmpty()) return context.fail(error);
    if (!QDir().mkpath(dir)) return context.fail(QStringLiteral("cannot create the folder '%1'").arg(dir));
    auto session = openIdentified(context);
    if (!session) return 1;
    Motif& device = session->device();
    const auto boardSlots = givenSlots ? *givenSlots : Librarian(device).installedPlgSlots();
    const auto locations = Librarian(device).userLocations(boardSlots);
    std::unique_ptr<ProgressBar> progress;
    const auto step = [&](const QString& name, int, int total) {
        if (!progress) progress = std::make_unique<ProgressBar>(context.err, total, isatty(STDERR_FILENO));
        progress->step(name);
        return true;
    };
    const Backup::Result result =
        resume ? Backup(device).resume(dir, step) : Backup(device).save(dir, locations, step);
    if (!progress) progress = std::make_unique<ProgressBar>(context.err, 0, isatty(STDERR_FILENO));
    progress->finish(QStringLiteral("backup of %1: %2 patches saved in %3, %4 failed")
                         .arg(device.modelName())
                         .arg(result.entries.size())
                         .arg(dir)
                         .arg(result.failures.size()));
    for (const QString& failure : result.failures) context.err << "motif: " << failure.toStdString() << '\n';
    if (!result.stopped.isEmpty())
        context.err << "motif: backup stopped: " << result.stopped.toStdString() << '\n';
    if (!result.failures.isEmpty() || !result.stopped.isEmpty())
        context.err << "motif: index.json marks what is missing; 'motif backup --resume " << dir.toStdString()
                    << "' fetches it\n";
    printListing(context, result.entries);
    return result.failures.isEmpty() && result.stopped.isEmpty() ? 0 : 1;
}

int restore(CliContext& context, const TransferArgs& args)
{
    const QString dir = QString::fromStdString(args.dir);
    QString error;
    const QJsonArray patches = Backup::readIndex(dir, &error);
    if (patches.isEmpty()) return context.fail(error);
    auto session = openIdentified(context);
    if (!session) return 1;
    ProgressBar progress(context.err, int(patches.size()), isatty(STDERR_FILENO));
    const Backup::Result result =
        Backup(session->device())
            .restore(dir, patches, args.verify, [&progress](const QString& name, int, int) {
                progress.step(name);
                return true;
            });
    progress.finish(QStringLiteral("restore: %1 patches %2, %3 failed")
                        .arg(result.entries.size())
                        .arg(args.verify ? "verified" : "sent (not verified)")
                        .arg(result.failures.size()));
    for (const QString& failure : result.failures) context.err << "motif: " << failure.toStdString() << '\n';
    if (!result.stopped.isEmpty())
        context.err << "motif: restore stopped: " << result.stopped.toStdString() << '\n';
    return result.failures.isEmpty() && result.stopped.isEmpty() ? 0 : 1;
}

int initPatch(CliContext& context, const TransferArgs& args)
{
    const int type = PatchFile::typeFromName(QString::fromStdString(args.type));
    if (type < 0)
        return context.fail(QStringLiteral("type '%1' is not voice, drum, plg, performance, mix or master")
                                .arg(QString::fromStdString(args.type)));
    auto session = context.openSession();
    if (!session) return 1;
    Motif& device = session->device();
    PatchLocation location{Patch(), type};
    QString error;
    if (!args.patch.empty()) {
        const auto parsed = PatchNotation::parseLocation(QString::fromStdString(args.patch), device, &error);
        if (!parsed) return context.fail(error);
        location = *parsed;
    }
    WireLog log(context, *session);
    std::unique_ptr<PatchDump> dump(device.createPatchDump(type));
    dump->init();
    error = Librarian(device).send(location, *dump);
    if (!error.isEmpty()) return context.fail(error);
    log.finish(QJsonObject{{"type", PatchFile::typeName(type)},
                           {"location", PatchNotation::print(location, device)}},
               QStringLiteral("initialised %1 at %2")
                   .arg(PatchFile::typeName(type), PatchNotation::print(location, device)));
    return 0;
}

int store(CliContext& context)
{
    auto session = context.openSession();
    if (!session) return 1;
    WireLog log(context, *session);
    session->device().storeAllPatches();
    log.finish(QJsonObject{{"stored", true}}, QStringLiteral("stored"));
    return 0;
}
} // namespace

void addTransferCommands(CLI::App& app, CliContext& context, CommandAction& action)
{
    auto args = std::make_shared<TransferArgs>();
    auto bind = [&context, &action, args](CLI::App* cmd, int (*run)(CliContext&, const TransferArgs&)) {
        cmd->callback([&context, &action, args, run] {
            action = [&context, args, run] { return run(context, *args); };
        });
    };
    const std::string patchHelp =
        "BANK:PROGRAM (e.g. USER1:5, DR:USR:0, PERF:12, MASTER:3) or edit:TYPE "
        "(edit:voice, edit:drum, edit:plg, edit:performance, edit:mix, edit:master)";

    auto* getCmd =
        app.add_subcommand("get", "Fetch a patch into a .syx file, framed as the instrument sends it");
    getCmd->add_option("PATCH", args->patch, patchHelp)->required();
    getCmd->add_option("-o,--output", args->output, "The .syx file to write")->required();
    bind(getCmd, get);

    auto* putCmd = app.add_subcommand("put", "Send a patch from a .syx file to a location or an edit buffer");
    putCmd->add_option("FILE", args->file, "A .syx file of one Motif ES patch")->required();
    putCmd->add_option("PATCH", args->patch, patchHelp)->required();
    putCmd->add_flag("--verify", args->verify, "Read the patch back and compare");
    bind(putCmd, put);

    auto* backupCmd =
        app.add_subcommand("backup", "Save the whole user memory to a folder of .syx files and index.json");
    backupCmd->add_option("DIR", args->dir, "The folder (created if missing)");
    backupCmd->add_option(
        "--resume", args->resume,
        "A folder of a stopped backup: fetch only the patches its index.json marks missing");
    backupCmd->add_option(
        "--plg", args->plg,
        "Slots whose PLG150 user banks to save too, e.g. 1,3 (default: the slots with a board "
        "installed, see 'motif plg list'; --plg '' for none)");
    bind(backupCmd, backup);

    auto* restoreCmd = app.add_subcommand("restore", "Send a backup folder back to the instrument");
    restoreCmd->add_option("DIR", args->dir, "A folder written by 'motif backup'")->required();
    restoreCmd->add_flag("--verify", args->verify,
                         "Read every patch back and compare; retry a slot that differs");
    bind(restoreCmd, restore);

    auto* initCmd =
        app.add_subcommand("init", "Send the initial patch of a type to its edit buffer or a location");
    initCmd->add_option("TYPE", args->type, "voice, drum, plg, performance, mix or master")->required();
    initCmd->add_option("PATCH", args->patch, "A user location of that type (default: the edit buffer)");
    bind(initCmd, initPatch);

    app.add_subcommand("store", "Tell the instrument to store its edit buffers")
        ->callback([&context, &action] { action = [&context] { return store(context); }; });
}
