#include "CliContext.h"
#include "motif/librarian/PatchNotation.h"

namespace {
constexpr int WaitMs = 1000;

struct DemoStep {
    const char* title;
    const char* patch; // selected after switching to its mode; null for none
};

// One patch in every mode, each selected the way the instrument wants it: bank select and
// program change for voices and performances, SysEx for masters, Song Select for mixes.
constexpr DemoStep Selections[] = {
    {"Voice mode: user voice USER1:0 (bank select and program change)", "USER1:0"},
    {"Voice mode: preset drum kit DR:PRE:2", "DR:PRE:2"},
    {"Performance mode: PERF:5", "PERF:5"},
    {"Master mode: MASTER:3 (selected by SysEx)", "MASTER:3"},
    {"Song mode: mix MIX:2 (selected by Song Select)", "MIX:2"},
};
} // namespace

int runDemo(CliContext& context)
{
    auto session = context.openSession();
    if (!session) return 1;
    Motif& device = session->device();
    WireLog log(context, *session);
    auto heading = [&](const QString& title) {
        if (!context.json) context.print(QStringLiteral("\n== %1 ==").arg(title));
    };

    heading(QStringLiteral("Identify"));
    if (!device.identify(WaitMs))
        return context.fail(
            QStringLiteral("no Motif ES answered the identity request: check the MIDI cables and ports"));
    if (!context.json) context.print(QStringLiteral("instrument: %1").arg(device.modelName()));

    heading(QStringLiteral("Receive channel"));
    device.updateRcvChannel();
    if (!context.json) context.print(QStringLiteral("receive channel: %1").arg(device.receiveChannel() + 1));

    for (const DemoStep& step : Selections) {
        heading(QString::fromLatin1(step.title));
        QString error;
        const auto patch = PatchNotation::parse(QString::fromLatin1(step.patch), device, &error);
        if (!patch) return context.fail(error);
        device.setModeByBank(patch->bank());
        device.patchChange(*patch);
    }

    heading(QStringLiteral("Mix part 3 volume 100"));
    device.setPartVolume(3, 100);

    if (VirtualInstrument* instrument = session->instrument()) {
        heading(QStringLiteral("The instrument's panel: the player presses VOICE"));
        instrument->pressMode(Motif::VoiceMode);
        device.poll();
        if (!context.json)
            context.print(
                QStringLiteral("the device follows: %1 mode").arg(Motif::modeName(device.currentMode())));
    }

    heading(QStringLiteral("Mode read back"));
    const int mode = device.syncGetMode(WaitMs);
    if (mode < 0) return context.fail(QStringLiteral("the instrument did not report its mode"));
    if (!context.json)
        context.print(QStringLiteral("the instrument is in %1 mode").arg(Motif::modeName(mode)));

    int errors = 0;
    if (VirtualInstrument* instrument = session->instrument()) {
        errors = instrument->errorCount();
        if (!context.json)
            context.print(QStringLiteral("\nvirtual instrument: %1 messages received, %2 errors")
                              .arg(instrument->log().size())
                              .arg(errors));
    }
    log.finish(QJsonObject{{"model", device.modelName()}, {"mode", mode}, {"errors", errors}}, QString());
    return errors == 0
               ? 0
               : context.fail(QStringLiteral("the virtual instrument rejected %1 messages").arg(errors));
}
