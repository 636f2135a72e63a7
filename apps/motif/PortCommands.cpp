#include "CliContext.h"
#include "Commands.h"

#include "core/Clock.h"
#include "emulator/InstrumentSettings.h"
#include "emulator/VirtualInstrument.h"
#include "zaltor/RtMidiTransport.h"

#include <QJsonArray>
#include <csignal>
#include <iostream>
#include <map>

namespace {
volatile std::sig_atomic_t stopEmulator = 0;

struct EmuArgs {
    std::string name = "motif-es virtual instrument";
    double seconds = 0;
    // The instrument's settings as given, by key; read by the one parser of them all.
    std::map<std::string, std::string> settings;
};

// After it stops answering, the instrument keeps its ports this long before it goes, as a
// switched-off instrument's USB ports linger a moment.
constexpr std::int64_t lingerMs = 2000;

int listPorts(CliContext& context)
{
    const auto ports = RtMidiTransport::listPorts();
    if (context.json) {
        QJsonArray inputs, outputs;
        for (const auto& port : ports) {
            const QJsonObject entry{{"api", RtMidiTransport::apiName(port.api)}, {"name", port.name}};
            (port.input ? inputs : outputs).append(entry);
        }
        context.printJson(QJsonObject{{"inputs", inputs}, {"outputs", outputs}});
        return 0;
    }
    if (ports.empty())
        context.print(QStringLiteral("no MIDI ports (is an ALSA sequencer or a JACK server running?)"));
    for (const auto& port : ports)
        context.print(QStringLiteral("%1 %2  %3")
                          .arg(port.input ? "in " : "out",
                               RtMidiTransport::apiName(port.api).leftJustified(4), port.name));
    return 0;
}

QString faultSummary(const FaultPlan::Counts& counts)
{
    return QStringLiteral("; faults: %1 dropped, %2 corrupted, %3 duplicated, %4 truncated")
        .arg(counts.dropped)
        .arg(counts.corrupted)
        .arg(counts.duplicated)
        .arg(counts.truncated);
}

int emulate(CliContext& context, const EmuArgs& args)
{
    InstrumentSettings settings;
    for (const auto& [key, value] : args.settings) {
        if (value.empty()) continue; // not given
        const QString error = settings.set(QString::fromStdString(key), QString::fromStdString(value));
        if (!error.isEmpty()) return context.fail(error);
    }
    QString error;
    const bool named = !context.session.inPort.isEmpty() || !context.session.outPort.isEmpty();
    auto transport = named ? RtMidiTransport::open(context.session.inPort, context.session.outPort, &error)
                           : RtMidiTransport::openVirtual(QString::fromStdString(args.name), &error);
    if (!transport) return context.fail(error + QStringLiteral(" (list the ports with 'motif ports')"));
    auto instrument = std::make_unique<VirtualInstrument>(settings);
    instrument->setErrorSink([](const QString& text) {
        std::cerr << "virtual instrument: error: " << text.toStdString() << '\n';
    });
    instrument->attach(*transport);
    context.err << "virtual " << VirtualInstrument::modelName(settings.model).toStdString() << " on '"
                << transport->name().toStdString() << "'; press Ctrl-C to stop\n";
    stopEmulator = 0;
    auto previous = std::signal(SIGINT, [](int) { stopEmulator = 1; });
    auto previousTerm = std::signal(SIGTERM, [](int) { stopEmulator = 1; });
    Clock& clock = Clock::current();
    const std::int64_t end = args.seconds > 0 ? clock.nowMs() + std::int64_t(args.seconds * 1000) : -1;
    std::int64_t stoppedAt = -1;
    while (!stopEmulator && (end < 0 || clock.nowMs() < end)) {
        if (stoppedAt < 0 && instrument->stoppedAnswering()) stoppedAt = clock.nowMs();
        if (stoppedAt >= 0 && clock.nowMs() - stoppedAt >= lingerMs) break;
        clock.idleMs(20);
    }
    std::signal(SIGINT, previous);
    std::signal(SIGTERM, previousTerm);
    transport->setReceiver(nullptr);
    const int received = int(instrument->log().size());
    const int errors = instrument->errorCount();
    const FaultPlan::Counts faults = instrument->faultCounts();
    // The ports go before the last word, so that whoever reads it finds them gone.
    instrument.reset();
    transport.reset();
    if (stoppedAt >= 0)
        context.err << "virtual instrument: stopped answering after " << settings.dieAfter
                    << " messages as told (--die-after); its ports are closed\n";
    const FaultSettings& f = settings.faults;
    const bool faulty = f.drop > 0 || f.corrupt > 0 || f.duplicate > 0 || f.truncate > 0;
    context.print(QStringLiteral("virtual instrument: %1 messages received, %2 errors%3")
                      .arg(received)
                      .arg(errors)
                      .arg(faulty ? faultSummary(faults) : QString()));
    return errors == 0 ? 0 : 1;
}
} // namespace

void addPortCommands(CLI::App& app, CliContext& context, CommandAction& action)
{
    app.add_subcommand("ports", "List the MIDI ports (ALSA and JACK)")->callback([&context, &action] {
        action = [&context] { return listPorts(context); };
    });
    auto args = std::make_shared<EmuArgs>();
    auto* emu =
        app.add_subcommand("emu", "Run the virtual instrument on real MIDI ports (--in, --out; without "
                                  "them it offers ports of its own)");
    for (const InstrumentSettings::Key& key : InstrumentSettings::keys())
        emu->add_option(std::string("--") + key.name, args->settings[key.name], key.help);
    emu->add_option("--seconds", args->seconds, "Stop after this many seconds (default: at Ctrl-C)");
    emu->add_option("--name", args->name, "Client name of the ports it offers when no port is named")
        ->capture_default_str();
    emu->callback(
        [&context, &action, args] { action = [&context, args] { return emulate(context, *args); }; });
}
