#include "CliContext.h"
#include "Commands.h"

#include "core/Clock.h"
#include "emulator/VirtualInstrument.h"
#include "zaltor/RtMidiTransport.h"

#include <QJsonArray>
#include <csignal>
#include <iostream>

namespace {
volatile std::sig_atomic_t stopEmulator = 0;

struct EmuArgs {
    std::string model = "ES7";
    std::string name = "motif-es virtual instrument";
    double seconds = 0;
};

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

int emulate(CliContext& context, const EmuArgs& args)
{
    const auto model = VirtualInstrument::modelFromName(QString::fromStdString(args.model));
    if (!model)
        return context.fail(
            QStringLiteral("model '%1' is not ES6, ES7 or ES8").arg(QString::fromStdString(args.model)));
    QString error;
    const bool named = !context.session.inPort.isEmpty() || !context.session.outPort.isEmpty();
    auto transport = named ? RtMidiTransport::open(context.session.inPort, context.session.outPort, &error)
                           : RtMidiTransport::openVirtual(QString::fromStdString(args.name), &error);
    if (!transport) return context.fail(error + QStringLiteral(" (list the ports with 'motif ports')"));
    VirtualInstrument instrument(*model);
    instrument.setErrorSink([](const QString& text) {
        std::cerr << "virtual instrument: error: " << text.toStdString() << '\n';
    });
    instrument.attach(*transport);
    context.err << "virtual " << VirtualInstrument::modelName(*model).toStdString() << " on '"
                << transport->name().toStdString() << "'; press Ctrl-C to stop\n";
    stopEmulator = 0;
    auto previous = std::signal(SIGINT, [](int) { stopEmulator = 1; });
    auto previousTerm = std::signal(SIGTERM, [](int) { stopEmulator = 1; });
    Clock& clock = Clock::current();
    const std::int64_t end = args.seconds > 0 ? clock.nowMs() + std::int64_t(args.seconds * 1000) : -1;
    while (!stopEmulator && (end < 0 || clock.nowMs() < end)) clock.idleMs(20);
    std::signal(SIGINT, previous);
    std::signal(SIGTERM, previousTerm);
    transport->setReceiver(nullptr);
    context.print(QStringLiteral("virtual instrument: %1 messages received, %2 errors")
                      .arg(instrument.log().size())
                      .arg(instrument.errorCount()));
    return instrument.errorCount() == 0 ? 0 : 1;
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
    emu->add_option("--model", args->model, "ES6, ES7 or ES8")->capture_default_str();
    emu->add_option("--seconds", args->seconds, "Stop after this many seconds (default: at Ctrl-C)");
    emu->add_option("--name", args->name, "Client name of the ports it offers when no port is named")
        ->capture_default_str();
    emu->callback(
        [&context, &action, args] { action = [&context, args] { return emulate(context, *args); }; });
}
