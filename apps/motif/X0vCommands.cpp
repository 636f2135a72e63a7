#include "CliContext.h"
#include "Commands.h"
#include "TerminalInterface.h"
#include "motif/librarian/X0vLibrary.h"
#include "motif/librarian/X0vLint.h"
#include "motif/librarian/X0vListing.h"
#include "motif/librarian/X0vNames.h"
#include "motif/librarian/X0vSlots.h"

#include "core/Archive.h"
#include "zaltor/AudioDevice.h"

#include <QJsonArray>
#include <chrono>
#include <set>
#include <thread>
#include <unistd.h>

namespace {

struct X0vArgs {
    std::string library;
    std::string output;
    std::string audio;
    std::string bank;
    std::string from;
    std::string to;
    std::string source;
    std::string sourceBank;
    std::vector<int> positions;
    int number = 0;
    int target = 0;
    int wave = 0;
    int keybank = -1;
    int start = 0;
    int type = -1;
    std::string model;
    std::string out;
    std::string name;
    std::string voice;
    bool repair = false;
    bool replace = false;
    bool drum = false;
};

QString text(const std::string& s) { return QString::fromStdString(s); }

// Opens the library of an editing command, runs the edit and writes the library back (to
// --output when given). The edit answers the exit code and fills the JSON answer.
class LibraryEdit {
public:
    LibraryEdit(CliContext& context, const X0vArgs& args)
        : context_(context), args_(args), ui_(context.err, isatty(STDERR_FILENO))
    {
    }

    template <class Edit>
    int run(Edit edit)
    {
        const QString target = text(args_.output.empty() ? args_.library : args_.output);
        QStringList repaired;
        const QString error =
            X0vLibrary::openForEdit(library_, text(args_.library), target, args_.repair, repaired);
        // A damaged library written over itself is refused: the way on is another file.
        if (!error.isEmpty())
            return context_.fail(X0vLibrary::writeRefusal(library_, text(args_.library), target).isEmpty()
                                     ? error
                                     : error + QStringLiteral(" (--output OUT)"));
        QJsonObject answer;
        QString summary;
        if (const int code = edit(library_, answer, summary)) return code;
        if (!repaired.isEmpty()) {
            answer.insert("repaired", QJsonArray::fromStringList(repaired));
            summary += QStringLiteral("; switched off %1").arg(repaired.join(QStringLiteral(", ")));
        }
        for (const Damage& part : library_.damage())
            context_.err << "motif: warning: not in the copy, the file lost it: "
                         << part.toString().toStdString() << '\n';
        if (library_.isDamaged()) answer.insert("damage", damageJson(library_.damage()));
        const QString saveError = X0vLibrary::save(library_, target);
        if (!saveError.isEmpty()) return context_.fail(saveError);
        answer.insert("written", target);
        if (context_.json)
            context_.printJson(answer);
        else
            context_.print(summary + QStringLiteral(" (written to %1)").arg(target));
        return 0;
    }

    TerminalInterface& ui() { return ui_; }

private:
    CliContext& context_;
    const X0vArgs& args_;
    TerminalInterface ui_;
    X0V_Document library_;
};

// Positions must be distinct slots of the bank; anything else is refused before a change.
bool checkPositions(CliContext& context, const std::vector<int>& positions, int slotCount)
{
    std::set<int> seen;
    for (int p : positions) {
        if (p < 0 || p >= slotCount) {
            context.fail(
                QStringLiteral("position %1 is not a slot of the bank (0 to %2)").arg(p).arg(slotCount - 1));
            return false;
        }
        if (!seen.insert(p).second) {
            context.fail(QStringLiteral("position %1 is given twice").arg(p));
            return false;
        }
    }
    return true;
}

XS_Waveform* findWave(CliContext& context, X0V_Document& library, int id)
{
    XS_Waveform* wave = library.waves().lookupWave(id);
    if (!wave) context.fail(QStringLiteral("the library has no waveform slot with id %1").arg(id));
    return wave;
}

XS_Keybank* findKeybank(CliContext& context, XS_Waveform& wave, int index)
{
    XS_Keybank* keybank = wave.keybanks().at(index);
    if (!keybank)
        context.fail(QStringLiteral("waveform %1 \"%2\" has no key bank %3 (it has %4, counted from 0)")
                         .arg(wave.id())
                         .arg(wave.name())
                         .arg(index)
                         .arg(wave.keybanks().count()));
    return keybank;
}

int newLibrary(CliContext& context, const X0vArgs& args)
{
    int type = args.type;
    if (!args.model.empty()) {
        const QString model = text(args.model);
        if (model.compare(QStringLiteral("Motif Rack XS"), Qt::CaseInsensitive) == 0)
            return context.fail(
                QStringLiteral("the Motif Rack XS has no library document type; make its library as "
                               "a \"Motif XS\" one (--model \"Motif XS\")"));
        type = X0V_Document::TypeOfModel(model);
        if (type < 0)
            return context.fail(
                QStringLiteral("unknown model '%1' (use \"Motif XS\", \"Motif XF\" or \"S90 XS\")")
                    .arg(model));
    }
    if (type < 0 || type > 8) return context.fail(QStringLiteral("give --type 0-8 or --model"));
    X0V_Document library;
    library.newDocument(type);
    library.initSlots(type);
    const QString error = X0vLibrary::save(library, text(args.out));
    if (!error.isEmpty()) return context.fail(error);
    context.print(QStringLiteral("%1 library written to %2").arg(library.model(), text(args.out)));
    return 0;
}

// A damaged file's losses, one line each, before what could be read of it.
void printDamage(CliContext& context, const XS_Document& document)
{
    for (const Damage& part : document.damage()) context.print(QStringLiteral("damage: ") + part.toString());
}

// Shows the file as it is: an element playing a waveform the library lacks is listed as it is.
int info(CliContext& context, const X0vArgs& args)
{
    TerminalInterface ui(context.err, false);
    X0V_Document library;
    const QString error = X0vLibrary::read(library, text(args.library));
    if (!error.isEmpty()) return context.fail(error);
    const X0vListing::Listing listing = X0vListing::list(library);
    if (context.json) {
        context.printJson(X0vListing::toJson(listing));
        return 0;
    }
    context.print(
        QStringLiteral("%1 library (version %2): %3 of %4 slots, %5 of %6 slots, about %7 MB of samples")
            .arg(listing.model, listing.version, X0V_Document::strVoices(int(listing.voices.size()), true))
            .arg(listing.voiceSlots)
            .arg(X0V_Document::strWaveforms(int(listing.waveforms.size()), true))
            .arg(listing.waveformSlots)
            .arg(listing.estimatedSizeMB));
    printDamage(context, library);
    // Thousands of lines go out in one write.
    if (const std::string rows = X0vListing::rowsText(listing); !rows.empty())
        context.out << rows << '\n' << std::flush;
    return 0;
}

int lint(CliContext& context, const X0vArgs& args)
{
    TerminalInterface ui(context.err, false);
    Archive archive(text(args.library));
    X0V_Document library;
    if (archive.failed() || !library.loadLibrary(archive))
        return context.fail(
            QStringLiteral("cannot open library '%1': %2")
                .arg(text(args.library), archive.failed() ? archive.errorText() : library.errorText()));
    const auto problems = X0vLint::check(library);
    if (!context.json) printDamage(context, library);
    QJsonArray list;
    for (const auto& problem : problems) {
        const QString kind = X0vLint::kindName(problem.kind);
        list.append(QJsonObject{{"kind", kind}, {"message", problem.text}});
        if (!context.json) context.print(QStringLiteral("%1: %2").arg(kind, problem.text));
    }
    const bool clean = problems.empty() && !library.isDamaged();
    if (context.json)
        context.printJson(QJsonObject{
            {"file", text(args.library)}, {"problems", list}, {"damage", damageJson(library.damage())}});
    else if (clean)
        context.print(QStringLiteral("%1: no problems found").arg(text(args.library)));
    return clean ? 0 : 1;
}

int play(CliContext& context, const X0vArgs& args)
{
    TerminalInterface ui(context.err, false);
    X0V_Document library;
    const QString error = X0vLibrary::open(library, text(args.library));
    if (!error.isEmpty()) return context.fail(error);
    XS_Waveform* wave = findWave(context, library, args.wave);
    if (!wave) return 1;
    std::vector<const XS_Keybank*> keybanks;
    if (args.keybank >= 0) {
        const XS_Keybank* keybank = findKeybank(context, *wave, args.keybank);
        if (!keybank) return 1;
        keybanks.push_back(keybank);
    } else {
        for (int i = 0; i < wave->keybanks().count(); ++i) keybanks.push_back(wave->keybanks().at(i));
    }
    if (keybanks.empty())
        return context.fail(QStringLiteral("waveform %1 has no key banks to play").arg(args.wave));
    AudioDevice device;
    if (!device.isAvailable())
        return context.fail(
            QStringLiteral("no audio output is available (start JACK, PipeWire or PulseAudio)"));
    for (const XS_Keybank* keybank : keybanks) {
        if (!keybank->play(&device))
            return context.fail(QStringLiteral("cannot play the key bank: %1")
                                    .arg(device.out().error().isEmpty()
                                             ? QStringLiteral("compressed sample data")
                                             : device.out().error()));
        // A one-shot ends by itself; a loop is heard for a few seconds.
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (device.out().isPlaying() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        device.out().stop();
    }
    context.print(QStringLiteral("played %1 of waveform %2 \"%3\"")
                      .arg(X0V_Document::strKeybanks(int(keybanks.size()), true))
                      .arg(wave->id())
                      .arg(wave->name()));
    return 0;
}

int exportKeybank(CliContext& context, const X0vArgs& args)
{
    TerminalInterface ui(context.err, false);
    X0V_Document library;
    const QString error = X0vLibrary::open(library, text(args.library));
    if (!error.isEmpty()) return context.fail(error);
    XS_Waveform* wave = findWave(context, library, args.wave);
    if (!wave) return 1;
    XS_Keybank* keybank = findKeybank(context, *wave, args.keybank);
    if (!keybank) return 1;
    QString exportError;
    if (!keybank->exportKeybank(text(args.out), &exportError))
        return context.fail(QStringLiteral("cannot export to '%1': %2").arg(text(args.out), exportError));
    context.print(QStringLiteral("key bank %1 of waveform %2 \"%3\" written to %4")
                      .arg(args.keybank)
                      .arg(wave->id())
                      .arg(wave->name(), text(args.out)));
    return 0;
}

// What an import changed in the audio goes to stderr, or into the JSON answer.
void reportImportNotes(CliContext& context, const X0V_Document& library, QJsonObject& answer)
{
    for (const QString& note : library.importNotes())
        if (!context.json) context.err << "motif: warning: " << note.toStdString() << '\n';
    if (!library.importNotes().isEmpty())
        answer.insert("notes", QJsonArray::fromStringList(library.importNotes()));
}

Vector<int> positionsOf(const X0vArgs& args)
{
    return Vector<int>(args.positions.begin(), args.positions.end());
}

// Moving voices or waveforms to --to within their bank: the check, the move and what is said of it.
int reorder(CliContext& context, const X0vArgs& args, int slotCount, const char* kind, const QString& counted,
            const QString& consequence, const std::function<bool(int&)>& reorganize, QJsonObject& answer,
            QString& summary)
{
    int target = args.target;
    if (target < 0 || target > slotCount - int(args.positions.size()))
        return context.fail(QStringLiteral("--to %1 is beyond the bank once the %2 are taken out")
                                .arg(target)
                                .arg(QLatin1String(kind)));
    const bool changed = reorganize(target);
    summary = changed ? QStringLiteral("moved %1 to %2%3").arg(counted).arg(target).arg(consequence)
                      : QStringLiteral("nothing moved");
    answer.insert("changed", changed);
    answer.insert("target", target);
    return 0;
}

int editVoices(CliContext& context, const X0vArgs& args, bool move)
{
    LibraryEdit edit(context, args);
    return edit.run([&](X0V_Document& library, QJsonObject& answer, QString& summary) {
        const auto bank = X0vLibrary::voiceBank(library, text(args.bank));
        if (!bank)
            return context.fail(QStringLiteral("the library has no voice bank '%1'").arg(text(args.bank)));
        if (!checkPositions(context, args.positions, library.voices().getBank(*bank)->voices().count()))
            return 1;
        if (!move) {
            library.deleteVoices(*bank, positionsOf(args));
            summary =
                QStringLiteral("deleted %1").arg(X0V_Document::strVoices(int(args.positions.size()), true));
            answer.insert("deleted", int(args.positions.size()));
            return 0;
        }
        return reorder(
            context, args, library.voices().getBank(*bank)->voices().count(), "voices",
            X0V_Document::strVoices(int(args.positions.size()), true), QString(),
            [&](int& target) { return library.reorganizeVoices(*bank, target, positionsOf(args)); }, answer,
            summary);
    });
}

int pasteVoices(CliContext& context, const X0vArgs& args)
{
    X0V_Document source;
    {
        TerminalInterface ui(context.err, false);
        const QString error = X0vLibrary::open(source, text(args.source));
        if (!error.isEmpty()) return context.fail(error);
    }
    const auto sourceBank = X0vLibrary::voiceBank(source, text(args.sourceBank));
    if (!sourceBank)
        return context.fail(
            QStringLiteral("'%1' has no voice bank '%2'").arg(text(args.source), text(args.sourceBank)));
    const XS_VoiceBank* from = source.voices().getBank(*sourceBank);
    if (!checkPositions(context, args.positions, from->voices().count())) return 1;
    Vector<const XS_Voice*> voices;
    Vector<const XS_Waveform*> waves;
    std::set<int> taken;
    for (int p : args.positions) {
        const XS_Voice* voice = from->voices().at(p);
        if (!voice->hasData()) continue;
        voices.push_back(voice);
        for (int id : voice->waveforms(source.model())) {
            const XS_Waveform* wave = source.waves().lookupWave(id);
            if (wave && wave->hasData() && taken.insert(id).second) waves.push_back(wave);
        }
    }
    if (voices.empty()) return context.fail(QStringLiteral("the chosen positions hold no voices"));
    LibraryEdit edit(context, args);
    return edit.run([&](X0V_Document& library, QJsonObject& answer, QString& summary) {
        const auto bank = X0vLibrary::voiceBank(library, text(args.bank));
        if (!bank)
            return context.fail(QStringLiteral("the library has no voice bank '%1'").arg(text(args.bank)));
        const int pasted = library.pasteVoices(*bank, args.start, voices, waves);
        if (pasted == 0) return context.fail(QStringLiteral("no voice was pasted; the library is unchanged"));
        summary = QStringLiteral("pasted %1 with the waveforms they play")
                      .arg(X0V_Document::strVoices(pasted, true));
        answer.insert("pasted", pasted);
        return 0;
    });
}

int editWaves(CliContext& context, const X0vArgs& args, bool move)
{
    LibraryEdit edit(context, args);
    return edit.run([&](X0V_Document& library, QJsonObject& answer, QString& summary) {
        const auto bank = X0vLibrary::waveBank(text(args.bank));
        XS_WaveBank* waves = bank ? library.waves().getBank(*bank) : nullptr;
        if (!waves)
            return context.fail(QStringLiteral("the library has no waveform bank '%1'").arg(text(args.bank)));
        if (!checkPositions(context, args.positions, waves->waveforms().count())) return 1;
        if (!move) {
            library.deleteWaves(*bank, positionsOf(args));
            summary = QStringLiteral("deleted %1")
                          .arg(X0V_Document::strWaveforms(int(args.positions.size()), true));
            answer.insert("deleted", int(args.positions.size()));
            return 0;
        }
        return reorder(
            context, args, waves->waveforms().count(), "waveforms",
            X0V_Document::strWaveforms(int(args.positions.size()), true),
            QStringLiteral(", voices follow them"),
            [&](int& target) { return library.reorganizeWaves(*bank, target, positionsOf(args)); }, answer,
            summary);
    });
}

int moveWavesBank(CliContext& context, const X0vArgs& args)
{
    LibraryEdit edit(context, args);
    return edit.run([&](X0V_Document& library, QJsonObject& answer, QString& summary) {
        const auto from = X0vLibrary::waveBank(text(args.from)), to = X0vLibrary::waveBank(text(args.to));
        if (!from || !to || !library.waves().getBank(*from) || !library.waves().getBank(*to))
            return context.fail(QStringLiteral("give two waveform banks of the library (USR, FL1, FL2)"));
        if (!checkPositions(context, args.positions, library.waves().getBank(*from)->waveforms().count()))
            return 1;
        if (!library.moveWaves(positionsOf(args), *from, *to))
            return context.fail(QStringLiteral("nothing moved; the library is unchanged"));
        summary = QStringLiteral("moved %1 from %2 to %3, voices follow them")
                      .arg(X0V_Document::strWaveforms(int(args.positions.size()), true), text(args.from),
                           text(args.to));
        answer.insert("moved", int(args.positions.size()));
        return 0;
    });
}

int importWave(CliContext& context, const X0vArgs& args)
{
    LibraryEdit edit(context, args);
    return edit.run([&](X0V_Document& library, QJsonObject& answer, QString& summary) {
        const auto bank = X0vLibrary::waveBank(text(args.bank));
        if (!bank) return context.fail(QStringLiteral("--bank must be USR, FL1 or FL2"));
        const X0vSlots::Import import =
            X0vSlots::importWave(library, *bank, args.number, text(args.audio), args.replace);
        if (!import.error.isEmpty()) return context.fail(import.error);
        if (import.added == 0)
            return context.fail(
                QStringLiteral("nothing imported from '%1': it is no readable audio or multi-sample "
                               "file, or %2 has no slot %3 in a %4 library")
                    .arg(text(args.audio), text(args.bank))
                    .arg(args.number)
                    .arg(library.model()));
        QJsonArray ids;
        for (int i = 0; i < import.added; ++i)
            ids.append(XS_Waveform::MakeId(*bank, args.number + i + 1, library.model()));
        reportImportNotes(context, library, answer);
        summary = QStringLiteral("imported %1").arg(X0V_Document::strWaveforms(import.added, true));
        if (!import.replaced.isEmpty())
            summary += QStringLiteral("; ") + import.replaced.join(QStringLiteral("; "));
        answer.insert("imported", import.added);
        answer.insert("ids", ids);
        answer.insert("replaced", QJsonArray::fromStringList(import.replaced));
        return 0;
    });
}

int newVoice(CliContext& context, const X0vArgs& args)
{
    LibraryEdit edit(context, args);
    return edit.run([&](X0V_Document& library, QJsonObject& answer, QString& summary) {
        const auto bank = X0vLibrary::voiceBank(library, text(args.bank));
        if (!bank)
            return context.fail(QStringLiteral("the library has no voice bank '%1'").arg(text(args.bank)));
        const QString error =
            X0vSlots::newVoice(library, *bank, args.number, args.wave, args.drum,
                               args.name.empty() ? QString() : text(args.name), args.replace);
        if (!error.isEmpty()) return context.fail(error);
        const XS_Voice& voice = *library.voices().getBank(*bank)->voices().at(args.number);
        const QString label = X0vSlots::voiceLabel(library, *bank, args.number, voice);
        summary = QStringLiteral("%1 made from the %2 template, element 1 plays %3")
                      .arg(label, args.drum ? QStringLiteral("drum kit") : QStringLiteral("normal voice"),
                           X0vNames::elementWave(library, voice, 0));
        answer.insert("voice", label);
        answer.insert("waveform", args.wave);
        return 0;
    });
}

int renameSlot(CliContext& context, const X0vArgs& args)
{
    LibraryEdit edit(context, args);
    return edit.run([&](X0V_Document& library, QJsonObject& answer, QString& summary) {
        const QString name = text(args.name);
        if (args.voice.empty() && args.wave <= 0)
            return context.fail(QStringLiteral("give --voice BANK:PROGRAM or --wave ID"));
        const QString where = text(args.voice);
        const QString error = args.voice.empty() ? X0vSlots::renameWaveform(library, args.wave, name, summary)
                                                 : X0vSlots::renameVoice(library, where, name, summary);
        if (!error.isEmpty()) return context.fail(error);
        summary += QStringLiteral(" renamed \"%1\"").arg(name);
        if (args.voice.empty())
            answer.insert("waveform", args.wave);
        else
            answer.insert("voice", where);
        return 0;
    });
}

int importKeybank(CliContext& context, const X0vArgs& args)
{
    LibraryEdit edit(context, args);
    return edit.run([&](X0V_Document& library, QJsonObject& answer, QString& summary) {
        XS_Waveform* wave = findWave(context, library, args.wave);
        if (!wave) return 1;
        if (!library.importKeybank(*wave, text(args.audio)))
            return context.fail(QStringLiteral("'%1' is no readable audio file").arg(text(args.audio)));
        reportImportNotes(context, library, answer);
        summary = QStringLiteral("waveform %1 \"%2\" now has %3")
                      .arg(wave->id())
                      .arg(wave->name(), X0V_Document::strKeybanks(wave->keybanks().count(), true));
        answer.insert("keybanks", wave->keybanks().count());
        return 0;
    });
}

int removeUnused(CliContext& context, const X0vArgs& args)
{
    LibraryEdit edit(context, args);
    return edit.run([&](X0V_Document& library, QJsonObject& answer, QString& summary) {
        const int removed = library.removeUnusedWaveforms();
        summary =
            QStringLiteral("removed %1 that no voice plays").arg(X0V_Document::strWaveforms(removed, true));
        answer.insert("removed", removed);
        return 0;
    });
}

} // namespace

void addX0vCommands(CLI::App& app, CliContext& context, CommandAction& action)
{
    auto* x0v =
        app.add_subcommand("x0v", "Voice-and-waveform libraries of the Motif XS/XF (.X0V and relatives). "
                                  "Positions and programs are counted from 0; a position is a slot: "
                                  "USR position p holds waveform id p + 1.");
    x0v->require_subcommand(1);
    auto args = std::make_shared<X0vArgs>();
    auto command = [&](const char* name, const char* help, std::function<int()> run) {
        auto* sub = x0v->add_subcommand(name, help);
        sub->callback([&action, run] { action = run; });
        return sub;
    };
    auto library = [&args](CLI::App* sub) {
        sub->add_option("LIB", args->library, "Library file")->required();
    };
    auto output = [&args](CLI::App* sub) {
        sub->add_option("--output", args->output, "Write the edited library here instead of over LIB");
        sub->add_flag("--repair", args->repair,
                      "Switch off voice elements that play waveforms the library does not hold "
                      "(without it such a library is not edited)");
    };
    auto positions = [&args](CLI::App* sub) {
        sub->add_option("POSITIONS", args->positions, "Positions in the bank, counted from 0")->required();
    };
    CliContext* ctx = &context;

    auto* make = command("new", "Create an empty user library with every slot of its model",
                         [ctx, args] { return newLibrary(*ctx, *args); });
    auto* typeOption = make->add_option("--type", args->type, "Document type 0-8");
    make->add_option("--model", args->model,
                     "\"Motif XS\" (type 0), \"Motif XF\" (type 6) or \"S90 XS\" (type 3)")
        ->excludes(typeOption);
    make->add_option("OUT", args->out, "Library file to write")->required();

    auto* show = command("info", "List voices and waveforms", [ctx, args] { return info(*ctx, *args); });
    show->add_option("FILE", args->library, "Library file")->required();
    auto* check =
        command("lint", "Report dangling references, unused waveforms, slot limits and size mismatches",
                [ctx, args] { return lint(*ctx, *args); });
    check->add_option("FILE", args->library, "Library file")->required();

    auto* importW =
        command("import-wave", "Import an audio or multi-sample file (SF2, DLS, GIG) as waveforms",
                [ctx, args] { return importWave(*ctx, *args); });
    library(importW);
    importW->add_option("AUDIO", args->audio, "Audio file")->required();
    importW->add_option("--bank", args->bank, "USR, FL1 or FL2")->required();
    importW->add_option("--number", args->number, "First position in the bank, from 0")->required();
    importW->add_flag("--replace", args->replace, "Overwrite waveforms in the slots the import fills");
    output(importW);

    auto* importK = command("import-keybank", "Add an audio file as one more key bank of a waveform",
                            [ctx, args] { return importKeybank(*ctx, *args); });
    library(importK);
    importK->add_option("--wave", args->wave, "Waveform id")->required();
    importK->add_option("AUDIO", args->audio, "Audio file")->required();
    output(importK);

    auto* exportK =
        command("export-keybank", "Write a key bank as an audio file (WAV, AIFF or FLAC by extension)",
                [ctx, args] { return exportKeybank(*ctx, *args); });
    library(exportK);
    exportK->add_option("--wave", args->wave, "Waveform id")->required();
    exportK->add_option("--keybank", args->keybank, "Key bank, from 0")->required();
    exportK->add_option("OUT", args->out, "Audio file to write")->required();

    auto* listen =
        command("play", "Audition a waveform's key banks", [ctx, args] { return play(*ctx, *args); });
    library(listen);
    listen->add_option("--wave", args->wave, "Waveform id")->required();
    listen->add_option("--keybank", args->keybank, "Only this key bank, from 0");

    // Deleting and reordering within one bank take the same options, the reorder a target too.
    const auto withinBank = [&](const char* name, const char* help, const char* bankHelp, bool move,
                                std::function<int()> run) {
        auto* cmd = command(name, help, std::move(run));
        library(cmd);
        cmd->add_option("--bank", args->bank, bankHelp)->required();
        if (move) cmd->add_option("--to", args->target, "Target position, from 0")->required();
        positions(cmd);
        output(cmd);
    };
    const char* voiceBank = "Voice bank: USER1-USER4, DR:USER or MSB/LSB";
    withinBank("delete-voices", "Empty voice slots", voiceBank, false,
               [ctx, args] { return editVoices(*ctx, *args, false); });
    withinBank("move-voices", "Reorder voices within their bank", voiceBank, true,
               [ctx, args] { return editVoices(*ctx, *args, true); });

    auto* paste = command("paste-voices", "Copy voices with the waveforms they play from another library",
                          [ctx, args] { return pasteVoices(*ctx, *args); });
    library(paste);
    paste->add_option("--from", args->source, "Source library")->required();
    paste->add_option("--source-bank", args->sourceBank, "Voice bank of the source")->required();
    paste->add_option("--positions", args->positions, "Positions in the source bank, from 0")->required();
    paste->add_option("--bank", args->bank, "Destination voice bank")->required();
    paste->add_option("--start", args->start, "First destination position, from 0")->required();
    output(paste);

    withinBank("delete-waves", "Empty waveform slots; voices move to an identical twin where there is one",
               "USR, FL1 or FL2", false, [ctx, args] { return editWaves(*ctx, *args, false); });
    withinBank("move-waves", "Reorder waveforms within their bank; voices follow them", "USR, FL1 or FL2",
               true, [ctx, args] { return editWaves(*ctx, *args, true); });

    auto* movB = command("move-waves-bank", "Move waveforms to another bank; voices follow them",
                         [ctx, args] { return moveWavesBank(*ctx, *args); });
    library(movB);
    movB->add_option("--from", args->from, "Source bank: USR, FL1 or FL2")->required();
    movB->add_option("--to", args->to, "Destination bank")->required();
    positions(movB);
    output(movB);

    auto* make1 = command("new-voice", "Make a voice from a template whose first element plays a waveform",
                          [ctx, args] { return newVoice(*ctx, *args); });
    library(make1);
    make1->add_option("--wave", args->wave, "Waveform id")->required();
    make1->add_option("--bank", args->bank, voiceBank)->required();
    make1->add_option("--number", args->number, "Program in the bank, from 0")->required();
    make1->add_option("--name", args->name, "Voice name (at most 20 characters; the waveform's by default)");
    make1->add_flag("--drum", args->drum, "A drum kit (into DR:USER) instead of a normal voice");
    make1->add_flag("--replace", args->replace, "Overwrite a voice already in the slot");
    output(make1);

    auto* ren = command("rename", "Rename a voice (20 characters, blank-padded) or a waveform",
                        [ctx, args] { return renameSlot(*ctx, *args); });
    library(ren);
    auto* renVoice = ren->add_option("--voice", args->voice, "Voice as BANK:PROGRAM, such as USER1:0");
    ren->add_option("--wave", args->wave, "Waveform id")->excludes(renVoice);
    ren->add_option("TEXT", args->name, "The new name")->required();
    output(ren);

    auto* unused = command("remove-unused", "Empty every waveform that no voice plays",
                           [ctx, args] { return removeUnused(*ctx, *args); });
    library(unused);
    output(unused);
}
