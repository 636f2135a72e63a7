#include "CliContext.h"
#include "Commands.h"
#include "Numbers.h"
#include "WireFormatter.h"
#include "motif/librarian/Librarian.h"
#include "motif/librarian/PatchNotation.h"

#include "core/Clock.h"

#include <csignal>

namespace {
constexpr int ModeWaitMs = 1000;

volatile std::sig_atomic_t interrupted = 0;

struct DeviceArgs {
    std::string mode;
    std::string patch;
    std::string part;
    std::string volume;
    double seconds = 0;
};

int identify(CliContext& context)
{
    auto session = context.openSession();
    if (!session) return 1;
    WireLog log(context, *session);
    if (const QString error = Librarian(session->device()).identify(); !error.isEmpty())
        return context.fail(error);
    log.finish(QJsonObject{{"model", session->device().modelName()}}, session->device().modelName());
    return 0;
}

int mode(CliContext& context, const DeviceArgs& args)
{
    auto session = context.openSession();
    if (!session) return 1;
    Motif& device = session->device();
    WireLog log(context, *session);
    int mode = -1;
    if (args.mode.empty()) {
        mode = device.syncGetMode(ModeWaitMs);
        if (mode < 0)
            return context.fail(
                QStringLiteral("the instrument did not report its mode within %1 ms").arg(ModeWaitMs));
    } else {
        const auto value = parseNumber(args.mode);
        if (!value || *value < 0 || *value > 4)
            return context.fail(
                QStringLiteral("mode '%1' must be 0 Voice, 1 Performance, 2 Pattern, 3 Song or 4 Master")
                    .arg(QString::fromStdString(args.mode)));
        mode = int(*value);
        device.setMode(mode);
    }
    log.finish(QJsonObject{{"mode", mode}, {"name", Motif::modeName(mode)}},
               QStringLiteral("mode %1 (%2)").arg(mode).arg(Motif::modeName(mode)));
    return 0;
}

int select(CliContext& context, const DeviceArgs& args)
{
    auto session = context.openSession();
    if (!session) return 1;
    Motif& device = session->device();
    QString error;
    const auto patch = PatchNotation::parse(QString::fromStdString(args.patch), device, &error);
    if (!patch) return context.fail(error);
    WireLog log(context, *session);
    // Masters are selected by SysEx and mixes by Song Select; everything else by bank select and
    // program change, which the instrument takes only on its receive channel.
    const bool onChannel = patch->bank() != Motif::MasterBank && patch->bank() != Motif::MixBank;
    if (onChannel && !context.useReceiveChannel(*session)) return 1;
    // The instrument selects a patch only in the mode that plays it.
    device.setModeByBank(patch->bank());
    device.patchChange(*patch);
    const QString bank = PatchNotation::bankName(patch->bank(), device);
    QJsonObject result{{"bank", bank},
                       {"msb", patch->msb()},
                       {"lsb", patch->lsb()},
                       {"program", patch->program()},
                       {"mode", device.currentMode()}};
    if (onChannel) result.insert("channel", device.receiveChannel() + 1);
    log.finish(result, QStringLiteral("selected %1:%2 in %3 mode%4")
                           .arg(bank)
                           .arg(patch->program())
                           .arg(Motif::modeName(device.currentMode()),
                                onChannel ? QStringLiteral(" on channel %1").arg(device.receiveChannel() + 1)
                                          : QString()));
    return 0;
}

int volume(CliContext& context, const DeviceArgs& args)
{
    const auto part = parseNumber(args.part);
    const auto value = parseNumber(args.volume);
    if (!part || *part < 0 || *part > 18)
        return context.fail(
            QStringLiteral("part '%1' must be 0-15 (mix parts) or 16-18 (plug-in board parts)")
                .arg(QString::fromStdString(args.part)));
    if (!value || *value < 0 || *value > 127)
        return context.fail(
            QStringLiteral("volume '%1' must be 0-127").arg(QString::fromStdString(args.volume)));
    auto session = context.openSession();
    if (!session) return 1;
    WireLog log(context, *session);
    session->device().setPartVolume(int(*part), int(*value));
    log.finish(QJsonObject{{"part", int(*part)}, {"volume", int(*value)}},
               QStringLiteral("part %1 volume %2").arg(*part).arg(*value));
    return 0;
}

int monitor(CliContext& context, const DeviceArgs& args)
{
    auto session = context.openSession();
    if (!session) return 1;
    Motif& device = session->device();
    const WireFormatter formatter(device);
    device.setMonitor([&](bool outgoing, const MidiBytes& message) {
        if (context.json)
            context.printJson(QJsonObject{{"dir", outgoing ? "out" : "in"},
                                          {"bytes", formatter.hex(message)},
                                          {"analysis", formatter.describe(message)}});
        else
            context.print(formatter.line(outgoing, message, true));
    });
    if (!context.json) context.err << "monitoring; press Ctrl-C to stop\n";
    interrupted = 0;
    auto previous = std::signal(SIGINT, [](int) { interrupted = 1; });
    Clock& clock = Clock::current();
    const std::int64_t end = args.seconds > 0 ? clock.nowMs() + std::int64_t(args.seconds * 1000) : -1;
    while (!interrupted && (end < 0 || clock.nowMs() < end)) {
        if (device.poll() == 0) clock.idleMs(5);
    }
    std::signal(SIGINT, previous);
    device.setMonitor(nullptr);
    return 0;
}
} // namespace

int runDemo(CliContext& context);

void addDeviceCommands(CLI::App& app, CliContext& context, CommandAction& action)
{
    auto args = std::make_shared<DeviceArgs>();
    auto bind = [&context, &action, args](CLI::App* cmd, int (*run)(CliContext&, const DeviceArgs&)) {
        cmd->callback([&context, &action, args, run] {
            action = [&context, args, run] { return run(context, *args); };
        });
    };

    app.add_subcommand("identify", "Ask the instrument who it is")->callback([&context, &action] {
        action = [&context] { return identify(context); };
    });

    auto* modeCmd = app.add_subcommand("mode", "Show the instrument's mode, or switch it to mode N");
    modeCmd->add_option("N", args->mode, "0 Voice, 1 Performance, 2 Pattern, 3 Song, 4 Master");
    bind(modeCmd, mode);

    auto* selectCmd = app.add_subcommand("select", "Select a patch: BANK:PROGRAM");
    selectCmd
        ->add_option(
            "PATCH", args->patch,
            "BANK:PROGRAM. BANK is a bank name of the device's tables (USER1, PRE1, GM, DR:USR, PERF, MIX, "
            "MASTER; the last colon separates the program) or MSB/LSB in decimal; PROGRAM is 0-127 as on "
            "the wire")
        ->required();
    bind(selectCmd, select);

    auto* volumeCmd = app.add_subcommand("volume", "Set the volume of a mix part: PART VALUE");
    volumeCmd->add_option("PART", args->part, "0-15 mix parts, 16-18 plug-in board parts")->required();
    volumeCmd->add_option("VALUE", args->volume, "0-127")->required();
    bind(volumeCmd, volume);

    auto* monitorCmd =
        app.add_subcommand("monitor", "Show MIDI from the instrument as it arrives, in colour");
    monitorCmd->add_option("--seconds", args->seconds, "Stop after this many seconds (default: at Ctrl-C)");
    bind(monitorCmd, monitor);

    app.add_subcommand("demo", "Identify, switch modes, select patches in every mode and set a part volume, "
                               "printing every message on the wire")
        ->callback([&context, &action] { action = [&context] { return runDemo(context); }; });
}
