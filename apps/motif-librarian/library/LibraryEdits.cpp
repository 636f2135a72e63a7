// The edits of the library editor: each checks what the user would lose, asks where the command
// line would need a flag, and runs the library layer's operation as one undo step.
#include "LibraryEditor.h"

#include "core/UserInterface.h"
#include "motif/librarian/X0vSlots.h"

#include <QFileInfo>
#include <set>

namespace {

Vector<int> toVector(const std::vector<int>& positions)
{
    return Vector<int>(positions.begin(), positions.end());
}

QString joined(const QStringList& lines) { return lines.join(QStringLiteral(", ")); }

} // namespace

QString LibraryEditor::deleteVoices(Bank bank, const std::vector<int>& positions)
{
    return edit(tr("Delete %1").arg(X0V_Document::strVoices(int(positions.size()), true)),
                [&](X0V_Document& library) {
                    library.deleteVoices(bank, toVector(positions));
                    return QString();
                });
}

QString LibraryEditor::deleteWaves(int bank, const std::vector<int>& positions)
{
    return edit(tr("Delete %1").arg(X0V_Document::strWaveforms(int(positions.size()), true)),
                [&](X0V_Document& library) {
                    // Voices that played a deleted waveform without a twin in the library would play
                    // nothing: the user hears of them before.
                    std::set<int> ids;
                    if (const XS_WaveBank* waves = library.waves().getBank(bank))
                        for (int p : positions)
                            if (const XS_Waveform* wave = waves->waveforms().at(p); wave && wave->hasData())
                                ids.insert(wave->id());
                    library.deleteWaves(bank, toVector(positions));
                    QStringList silenced;
                    for (int id : ids) silenced << X0vSlots::voicesPlaying(library, id);
                    silenced.removeDuplicates();
                    if (!silenced.isEmpty() && question(tr("Delete waveforms"),
                                                        tr("These voices play the waveforms, and the library "
                                                           "holds no other copy of them: %1. Delete anyway?")
                                                            .arg(joined(silenced)),
                                                        false) != Answer::Yes)
                        return cancelled();
                    return QString();
                });
}

QString LibraryEditor::removeUnused()
{
    return edit(tr("Remove unused waveforms"), [](X0V_Document& library) {
        return library.removeUnusedWaveforms() > 0 ? QString() : cancelled();
    });
}

QString LibraryEditor::moveVoices(Bank bank, int target, const std::vector<int>& positions)
{
    const QString result = edit(
        tr("Move %1").arg(X0V_Document::strVoices(int(positions.size()), true)), [&](X0V_Document& library) {
            return library.reorganizeVoices(bank, target, toVector(positions)) ? QString() : cancelled();
        });
    if (result.isEmpty()) selectSlots(*voiceView_, bank, target, int(positions.size()));
    return result;
}

QString LibraryEditor::moveWaves(int toBank, int target, int fromBank, const std::vector<int>& positions)
{
    const QString result = edit(
        tr("Move %1").arg(X0V_Document::strWaveforms(int(positions.size()), true)),
        [&](X0V_Document& library) {
            if (toBank == fromBank)
                return library.reorganizeWaves(toBank, target, toVector(positions)) ? QString() : cancelled();
            // Into the slots after the last one used; the library has said why when there is no room.
            target = library.waves().getBank(toBank) ? library.waves().getBank(toBank)->lastIndex() + 1 : 0;
            return library.moveWaves(toVector(positions), fromBank, toBank) ? QString() : cancelled();
        });
    if (result.isEmpty()) selectSlots(*waveView_, toBank, target, int(positions.size()));
    return result;
}

QString LibraryEditor::newVoiceFromWave(int waveId, bool drum)
{
    Bank made = 0;
    int program = -1;
    const QString result = edit(drum ? tr("New drum kit") : tr("New voice"), [&](X0V_Document& library) {
        if (library.voices().banks().count() == 0)
            return tr(
                "this library holds waveforms only, no voices; make the voice in a library with voice banks");
        for (const auto& bank : library.voices().banks()) {
            if ((XS_Voice::BankType(bank->id()) == XS_Voice::DrumBankType) != drum) continue;
            for (int p = 0; p < bank->voices().count(); ++p)
                if (!bank->voices().at(p)->hasData()) {
                    made = bank->id();
                    program = p;
                    return X0vSlots::newVoice(library, made, p, waveId, drum, QString(), false);
                }
        }
        return drum ? tr("DR:USER has no free slot for a drum kit; delete one first")
                    : tr("every user voice slot holds a voice; delete one first");
    });
    if (result.isEmpty()) selectSlots(*voiceView_, made, program, 1);
    return result;
}

QString LibraryEditor::renameVoice(Bank bank, int program, const QString& name)
{
    return edit(tr("Rename voice"), [&](X0V_Document& library) {
        QString label;
        return X0vSlots::renameVoice(
            library, XS_Voice::BankName(library.model(), bank) + QLatin1Char(':') + QString::number(program),
            name, label);
    });
}

QString LibraryEditor::renameWave(int id, const QString& name)
{
    return edit(tr("Rename waveform"), [&](X0V_Document& library) {
        QString label;
        return X0vSlots::renameWaveform(library, id, name, label);
    });
}

QString LibraryEditor::importFiles(int bank, int position, const QStringList& paths)
{
    QStringList notes;
    const QString result = edit(
        tr("Import %1")
            .arg(paths.size() == 1 ? QFileInfo(paths.front()).fileName() : tr("%1 files").arg(paths.size())),
        [&](X0V_Document& library) {
            // Everything goes in with overwriting allowed, and the user says whether the overwriting
            // stays; a "no" takes the whole import back.
            QStringList replaced;
            int number = position;
            for (const QString& path : paths) {
                const X0vSlots::Import import = X0vSlots::importWave(library, bank, number, path, true);
                if (!import.error.isEmpty()) return import.error;
                if (import.added == 0)
                    return tr("nothing imported from '%1': it is no readable audio or multi-sample file, or "
                              "%2 has no "
                              "slot %3")
                        .arg(path, XS_Waveform::BankName(bank, library.model()))
                        .arg(number);
                replaced << import.replaced;
                notes << library.importNotes();
                number += import.added;
            }
            if (!replaced.isEmpty() &&
                question(tr("Import audio"), tr("The import overwrites %1. Overwrite?").arg(joined(replaced)),
                         false) != Answer::Yes)
                return cancelled();
            return QString();
        });
    if (result.isEmpty() && !notes.isEmpty())
        warning(this, notes.join(QLatin1Char('\n')), tr("Import audio"));
    return result;
}

QString LibraryEditor::pasteVoices(const LibraryEditor& source, Bank sourceBank,
                                   const std::vector<int>& positions, Bank bank, int start)
{
    // Pasting within one library reads from a copy, since the paste overwrites what it reads.
    X0V_Document copy;
    const X0V_Document* from = &source.library_;
    if (&source == this) {
        current_->restore(copy);
        from = &copy;
    }
    const QString model = from->model();
    Vector<const XS_Voice*> voices;
    Vector<const XS_Waveform*> waves;
    std::set<int> taken;
    if (const XS_VoiceBank* voiceBank = from->voices().getBank(sourceBank))
        for (int p : positions) {
            const XS_Voice* voice = voiceBank->voices().at(p);
            if (!voice || !voice->hasData()) continue;
            voices.push_back(voice);
            for (int id : voice->waveforms(model))
                if (const XS_Waveform* wave = from->waves().lookupWave(id);
                    wave && wave->hasData() && taken.insert(id).second)
                    waves.push_back(wave);
        }
    const QString title = tr("Paste %1").arg(X0V_Document::strVoices(int(voices.size()), true));
    QString why;
    if (voices.empty())
        why = tr("the copied slots hold no voices any more");
    else if (model != library_.model())
        why =
            tr("the voices come from a %1 library and go only into another %1 library, not into this %2 one")
                .arg(model, library_.model());
    else if (XS_Voice::BankType(sourceBank) != XS_Voice::BankType(bank))
        why = tr("drum kits go into DR:USER and normal voices into the USER banks");
    if (!why.isEmpty()) {
        error(this, why, title);
        return why;
    }
    return edit(title, [&](X0V_Document& library) {
        QStringList held;
        const XS_VoiceBank* target = library.voices().getBank(bank);
        for (int k = 0; target && k < int(voices.size()); ++k)
            if (const XS_Voice* voice = target->voices().at(start + k); voice && voice->hasData())
                held << X0vSlots::voiceLabel(library, bank, start + k, *voice);
        if (!held.isEmpty() && question(title, tr("The paste overwrites %1. Overwrite?").arg(joined(held)),
                                        false) != Answer::Yes)
            return cancelled();
        return library.pasteVoices(bank, start, voices, waves) > 0
                   ? QString()
                   : tr("no voice was pasted; the library is unchanged");
    });
}
