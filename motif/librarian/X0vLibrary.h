#pragma once

#include "motif/MotifExport.h"
#include "motif/documents/X0V_Document.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>

// A voice-and-waveform library as the librarian sees it: opened into the full slot set of its
// model, so that a position is a slot (position p of USR holds waveform id p + 1, program p of
// USER1 is position p), and written back atomically.
namespace X0vLibrary {

// Loads the file; the empty text on success, otherwise what failed.
MOTIF_EXPORT QString open(X0V_Document& library, const QString& path);
// Loads the file as it is, without validation: what `info` shows.
MOTIF_EXPORT QString read(X0V_Document& library, const QString& path);
// Stores atomically (a temporary file renamed over the target); the empty text on success.
MOTIF_EXPORT QString save(X0V_Document& library, const QString& path);
// Why a document read from `path` may not be written to `target`: the refusal of a damaged file
// written over itself, or the empty text.
MOTIF_EXPORT QString writeRefusal(const XS_Document& document, const QString& path, const QString& target);
// Loads the file for an edit that will be written to `target`; the empty text when the edit may
// go ahead, otherwise what stops it.
// - A damaged library holds only what could be read, so it is opened read-only: writing it over
//   itself would lose the rest for good, while writing it to another file gives a repaired copy.
// - Nothing is switched off behind the user's back: when voices play waveforms the library does
//   not hold, the answer names every such element and says how to go on, unless `repair` is set;
//   then the elements are switched off and `repaired` lists them.
MOTIF_EXPORT QString openForEdit(X0V_Document& library, const QString& path, const QString& target,
                                 bool repair, QStringList& repaired);

// "USR", "FL1", "FL2" (or 1-3) as the waveform bank number; nothing for anything else.
MOTIF_EXPORT std::optional<int> waveBank(const QString& text);
// A voice bank by the name the library gives it ("USER1", "DR:USER") or as "MSB/LSB".
MOTIF_EXPORT std::optional<Bank> voiceBank(const X0V_Document& library, const QString& text);

// Everything `info` shows: slots, voices with data, waveforms with data, the chunk counts and
// what a damaged file lost.
MOTIF_EXPORT QJsonObject describe(const X0V_Document& library);

} // namespace X0vLibrary
