#pragma once

#include "motif/MotifExport.h"
#include "zaltor/Patch.h"

#include <QString>
#include <QStringList>

class X0V_Document;
class XS_Voice;

// Writing into the slots of a library without overwriting what a slot holds unless the user
// asked for it: waveform imports, voices made from a waveform, names.
namespace X0vSlots {

// "USER1:0 \"Lead\"": the voice's bank, program and name as the librarian shows it.
MOTIF_EXPORT QString voiceLabel(const X0V_Document& library, Bank bank, int program, const XS_Voice& voice);
// The voices with data that play the waveform, as voiceLabel names them.
MOTIF_EXPORT QStringList voicesPlaying(const X0V_Document& library, int waveId);

struct Import {
    int added = 0;
    // Empty when the import went in; otherwise why the library is as it was.
    QString error;
    // One line per waveform replaced: its id and name and the voices that now play the new one.
    QStringList replaced;
};
// Imports an audio or multi-sample file into the slots from `number` on. When a slot it fills
// held a waveform, the library is left as it was and the answer names the slots, unless
// `replace` is set.
MOTIF_EXPORT Import importWave(X0V_Document& library, int bank, int number, const QString& path,
                               bool replace);

// Fills the voice slot with the normal voice (or, with `drum`, the drum kit) template, its first
// element playing the waveform and every other element off, named `name` or else after the
// waveform. The empty text on success, otherwise why nothing changed.
MOTIF_EXPORT QString newVoice(X0V_Document& library, Bank bank, int program, int waveId, bool drum,
                              const QString& name, bool replace);

// Renames the voice at "BANK:PROGRAM" (the bank name may hold a colon itself, as DR:USER does),
// blank-padded as the instrument pads; the empty text on success, with `label` naming the voice
// as it was, otherwise why nothing changed.
MOTIF_EXPORT QString renameVoice(X0V_Document& library, const QString& where, const QString& name,
                                 QString& label);
// Renames the waveform with the id; the same answers.
MOTIF_EXPORT QString renameWaveform(X0V_Document& library, int id, const QString& name, QString& label);

// A voice name fits the instrument's 20 Latin-1 characters; the empty text when it does.
MOTIF_EXPORT QString checkVoiceName(const QString& name);

} // namespace X0vSlots
