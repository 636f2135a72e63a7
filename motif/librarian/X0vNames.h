#pragma once

#include "motif/MotifExport.h"

#include <QString>

class X0V_Document;
class XS_Voice;

// Names instead of numbers for what a voice of an XS/XF library plays: user waveforms by the
// library's own names, the instrument's waveforms and arpeggios by its preset lists. A number a
// list does not hold stays a number.
namespace X0vNames {

// The instrument's preset waveform `number` (as a voice element stores it) on the model: the
// Motif XF's list for "Motif XF", the Motif XS's for the XS models; empty when unknown.
MOTIF_EXPORT QString presetWaveform(const QString& model, int number);
// The preset arpeggio `number` on the model; empty when unknown.
MOTIF_EXPORT QString presetArpeggio(const QString& model, int number);

// What element i plays: "USR:3 \"Piano C3\"" (bank and number as the instrument shows them,
// the name when the library holds the waveform), "PRE:1 \"CF3 Stretch Sw St\"", or "PRE:9999".
MOTIF_EXPORT QString elementWave(const X0V_Document& library, const XS_Voice& voice, int element);

// The number of arpeggio slots a voice has (0 when the model's arpeggio fields are not known),
// and slot n as "off", "PRE:1 \"MA_70s Rock _ES\"", "USR:2" or the bare number.
MOTIF_EXPORT int arpeggioCount(const QString& model, const XS_Voice& voice);
MOTIF_EXPORT QString arpeggio(const QString& model, const XS_Voice& voice, int n);

} // namespace X0vNames
