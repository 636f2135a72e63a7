#include "CliApp.h"

#include "CliContext.h"
#include "Commands.h"

#include "MotifVersion.h"

#include <functional>

int CliApp::run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    CLI::App app(
        "motif: librarian for the Yamaha Motif ES (ES6, ES7, ES8). Without --in/--out it talks to the "
        "built-in virtual instrument.",
        "motif");
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("motif " MOTIF_VERSION " (commit " MOTIF_COMMIT ")"),
                         "Print the version and the Git commit it was built from");
    CliContext context{out, err, false, SessionOptions{}};
    std::string in, outPort, model = "ES7", faults;
    app.add_option("--in", in, "MIDI input port, matched by substring (JACK or ALSA)");
    app.add_option("--out", outPort, "MIDI output port, matched by substring (JACK or ALSA)");
    app.add_flag("--virtual", context.session.useVirtual,
                 "Use the in-process virtual instrument (the default "
                 "when no port is named)");
    app.add_option("--virtual-model", model,
                   "Model of the in-process virtual instrument: ES6, ES7, ES8, S90ES, RackES or XS")
        ->capture_default_str();
    app.add_option("--virtual-faults", faults,
                   "Settings of the in-process virtual instrument as in 'motif emu', e.g. "
                   "\"drop=0.01,corrupt=0.01,seed=7\" (model, device, channel, drop, corrupt, duplicate, "
                   "truncate, seed, die-after)");
    app.add_flag("--json", context.json, "Answer in JSON");
    app.add_option(
           "--pace", context.session.paceMs,
           "Pause after each message of a bulk, in ms (default 10 on real ports: safe for a DIN cable "
           "and JACK's buffer)")
        ->check(CLI::Range(0, 1000));
    app.add_option("--device", context.session.deviceNumber,
                   "SysEx device number of the instrument, 1-16, as its MIDI settings give it")
        ->check(CLI::Range(1, 16))
        ->capture_default_str();
    app.add_option("--channel", context.session.channel,
                   "Receive channel of the instrument, 1-16, for select and get of a preset (default: "
                   "asked of the instrument)")
        ->check(CLI::Range(1, 16));

    CommandAction action;
    addSysexCommands(app, context, action);
    addDeviceCommands(app, context, action);
    addPortCommands(app, context, action);
    addTransferCommands(app, context, action);
    addFileCommands(app, context, action);
    addPlgCommands(app, context, action);
    addEsFileCommands(app, context, action);
    addYsfcCommands(app, context, action);
    addX0vCommands(app, context, action);
    addCopyVoiceCommand(app, context, action);
    // The options of the whole command line (--json above all) may also follow a command's own.
    const std::function<void(CLI::App*)> passUp = [&passUp](CLI::App* parent) {
        for (CLI::App* command : parent->get_subcommands({})) {
            command->fallthrough();
            passUp(command);
        }
    };
    passUp(&app);

    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        return app.exit(e, out, err);
    }
    context.session.inPort = QString::fromStdString(in);
    context.session.outPort = QString::fromStdString(outPort);
    InstrumentSettings& instrument = context.session.instrument;
    QString error = instrument.set(QStringLiteral("model"), QString::fromStdString(model));
    if (!error.isEmpty()) return context.fail(QStringLiteral("--virtual-model: ") + error);
    // The built-in instrument is set up the way the host is told the instrument is, so that
    // --device and --channel work without ports; --virtual-faults may still set it otherwise.
    instrument.device = context.session.deviceNumber;
    if (context.session.channel > 0) instrument.channel = context.session.channel;
    error = instrument.setAll(QString::fromStdString(faults));
    if (!error.isEmpty()) return context.fail(QStringLiteral("--virtual-faults: ") + error);
    // The in-process cable answers before send() returns and tests run it on a manual clock: a
    // delay would need a clock it does not have.
    if (instrument.faults.delays())
        return context.fail(QStringLiteral("--virtual-faults: latency and jitter need real ports; run "
                                           "'motif emu --latency MS' and connect to it with --in/--out"));
    return action ? action() : 0;
}
