#include "CliContext.h"
#include "Commands.h"
#include "motif/librarian/PatchFile.h"
#include "motif/librarian/PatchNotation.h"

#include "motif/Motif.h"
#include "motif/MotifSysex.h"
#include "motif/VoiceCopierInfo.h"
#include "zaltor/BulkDump.h"
#include "zaltor/PatchDump.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <optional>

namespace {
struct CopyVoiceArgs {
    std::string file;
    std::string voice;
    std::string mode;
    int part = 0;
    bool noName = false;
    bool noVoice = false;
    bool noFx = false;
    bool noInsFx = false;
    bool noArp = false;
    bool dryRun = false;
};

// Modes by the edit buffer they write: a performance, or the mix of a song or a pattern. A plain
// "mix" is a song's, the mode in which the instrument edits mixes.
int modeFromName(const std::string& name)
{
    if (name == "performance") return Motif::PerformanceMode;
    if (name == "pattern") return Motif::PatternMode;
    if (name == "mix" || name == "song") return Motif::SongMode;
    return -1;
}

// The source voice: --voice, else the location in the file's bulk header. Nothing after saying
// what is wrong.
std::optional<Patch> sourceVoice(CliContext& context, const CopyVoiceArgs& args, const LoadedPatch& loaded,
                                 Motif& device)
{
    QString error;
    std::optional<Patch> voice;
    if (!args.voice.empty()) {
        voice = PatchNotation::parse(QString::fromStdString(args.voice), device, &error);
        if (!voice) context.fail(error);
    } else {
        voice = loaded.storedVoice(device);
        if (!voice)
            context.fail(
                QStringLiteral("%1 names no stored voice or drum kit in a bulk header: give the source with "
                               "--voice BANK:PROGRAM")
                    .arg(QString::fromStdString(args.file)));
    }
    if (!voice) return std::nullopt;
    const QString name = PatchNotation::print(PatchLocation{*voice, -1}, device);
    const int kind = Motif::isDrumBank(voice->bank())    ? Motif::DrumKit
                     : Motif::isVoiceBank(voice->bank()) ? Motif::NormalVoice
                                                         : -1;
    if (kind < 0) {
        context.fail(
            QStringLiteral(
                "%1 is not a voice or drum kit: the copier takes PRE1-PRE6, GM, USER1, USER2, DR:GM, "
                "DR:PRE or DR:USR")
                .arg(name));
        return std::nullopt;
    }
    if (kind != loaded.dump->type()) {
        context.fail(QStringLiteral("%1 holds a %2, but %3 is a %4 location")
                         .arg(QString::fromStdString(args.file), PatchFile::typeName(loaded.dump->type()),
                              name, PatchFile::typeName(kind)));
        return std::nullopt;
    }
    return voice;
}

QString printBlockAddress(std::uint32_t address)
{
    return QString::asprintf("%02X %02X %02X", address >> 16, (address >> 8) & 0xFF, address & 0xFF);
}

// Every change of the plan: address, size, value, message bytes.
int printDryRun(CliContext& context, const VoiceCopyPlan& plan, const QString& summary)
{
    QJsonArray changes;
    for (const ParamChange& change : plan) {
        const QString bytes = MotifSysex(change.bytes).toString();
        if (context.json)
            changes.append(QJsonObject{{"address", QString::asprintf("%06X", change.address)},
                                       {"size", change.size},
                                       {"value", change.value},
                                       {"bytes", bytes}});
        else
            context.print(QStringLiteral("%1  %2  %3  %4")
                              .arg(printBlockAddress(change.address))
                              .arg(change.size)
                              .arg(QString::asprintf("%X", change.value), -5)
                              .arg(bytes));
    }
    if (context.json)
        context.out << QJsonDocument(changes).toJson(QJsonDocument::Compact).toStdString() << '\n'
                    << std::flush;
    else
        context.print(summary);
    return 0;
}

int copyVoice(CliContext& context, const CopyVoiceArgs& args)
{
    const int mode = modeFromName(args.mode);
    if (mode < 0)
        return context.fail(QStringLiteral("mode '%1' is not performance, mix, song or pattern")
                                .arg(QString::fromStdString(args.mode)));
    const int parts = mode == Motif::PerformanceMode ? 4 : 16;
    if (args.part < 1 || args.part > parts)
        return context.fail(QStringLiteral("part %1: a %2 has parts 1-%3")
                                .arg(args.part)
                                .arg(mode == Motif::PerformanceMode ? "performance" : "mix")
                                .arg(parts));
    VoiceCopierInfo info;
    info.copyname = !args.noName;
    info.copyvoice = !args.noVoice;
    info.copyfx = !args.noFx;
    info.copyinsfx = !args.noInsFx;
    info.copyarp = !args.noArp;
    info.part = args.part - 1;
    if (!info.copyname && !info.copyvoice && !info.copyfx && !info.copyinsfx && !info.copyarp)
        return context.fail(QStringLiteral("nothing to copy: every group is left out"));

    // Reading the file and planning the copy need only the device's tables: a dry run prints the
    // plan, and nothing goes out when the file cannot be copied.
    Motif reader;
    QString error;
    LoadedPatch loaded = PatchFile::read(QString::fromStdString(args.file), reader, &error);
    if (!loaded.dump) return context.fail(error);
    const auto voice = sourceVoice(context, args, loaded, reader);
    if (!voice) return 1;
    info.voice = *voice;
    const VoiceCopyPlan plan = reader.planVoiceCopy(loaded.dump.get(), info, mode);
    if (plan.empty())
        return context.fail(
            QStringLiteral("%1 lacks a block the copier reads (name, common, reverb, chorus, insertion A or "
                           "B), or one is too short: nothing was sent")
                .arg(QString::fromStdString(args.file)));

    const QString source = PatchNotation::print(PatchLocation{info.voice, -1}, reader);
    const QString target = QStringLiteral("part %1 of the %2 edit buffer")
                               .arg(args.part)
                               .arg(mode == Motif::PerformanceMode ? "performance" : "mix");
    if (args.dryRun)
        return printDryRun(
            context, plan,
            QStringLiteral("%1 parameter changes would copy %2 into %3 (dry run: nothing sent)")
                .arg(plan.size())
                .arg(source, target));
    auto session = context.openSession();
    if (!session) return 1;
    WireLog log(context, *session);
    session->device().CopyVoiceES(loaded.dump.get(), &info, mode);
    log.finish(
        QJsonObject{{"voice", source},
                    {"part", args.part},
                    {"mode", QString::fromStdString(args.mode)},
                    {"changes", int(plan.size())}},
        QStringLiteral("copied %1 into %2: %3 parameter changes").arg(source, target).arg(plan.size()));
    return 0;
}
} // namespace

void addCopyVoiceCommand(CLI::App& app, CliContext& context, CommandAction& action)
{
    auto args = std::make_shared<CopyVoiceArgs>();
    auto* cmd = app.add_subcommand("copy-voice",
                                   "Make a part of the performance or mix being edited play a voice or drum "
                                   "kit from a .syx file, by single parameter changes");
    cmd->add_option("SOURCE", args->file, "A .syx file of one Motif ES voice or drum kit")->required();
    cmd->add_option(
        "--voice", args->voice,
        "The stored location the part selects, BANK:PROGRAM (e.g. USER1:5, DR:USR:0); default: the "
        "location in the file's bulk header");
    cmd->add_option(
           "--part", args->part,
           "The destination part, numbered from 1 as on the instrument's panel: 1-4 in a performance, "
           "1-16 in a mix")
        ->required();
    cmd->add_option("--mode", args->mode,
                    "performance, or mix, song or pattern (all three write the mix edit buffer)")
        ->required();
    cmd->add_flag("--no-name", args->noName,
                  "Leave the performance's name and category (mixes never take them)");
    cmd->add_flag("--no-voice", args->noVoice, "Leave the part's voice and part settings");
    cmd->add_flag("--no-fx", args->noFx, "Leave the reverb and chorus");
    cmd->add_flag("--no-insfx", args->noInsFx, "Leave the insertion effects of the A/D input");
    cmd->add_flag("--no-arp", args->noArp, "Leave the arpeggio settings");
    cmd->add_flag(
        "--dry-run", args->dryRun,
        "Print every parameter change (address, size, value, message bytes) instead of sending; with "
        "--json as an array");
    cmd->callback(
        [&context, &action, args] { action = [&context, args] { return copyVoice(context, *args); }; });
}
