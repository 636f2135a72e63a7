#pragma once

#include "zaltor/MidiTransport.h"

#include <QString>

class Motif;

// Words for the bytes on the wire: the device's own analysis for its SysEx messages, MIDI names
// for short messages, and the device's colours turned into terminal colours.
class WireFormatter {
public:
    explicit WireFormatter(Motif& device) : device_(device) {}

    QString hex(const MidiBytes& message) const;
    QString describe(const MidiBytes& message) const;
    // "-> F0 43 ...  PARAM CHANGE: ..." ("<-" for received messages).
    QString line(bool outgoing, const MidiBytes& message, bool colour) const;
    // The device's HTML rendering of a message in ANSI colours; empty when the device has none.
    QString colouredHex(const MidiBytes& message) const;
    static QString htmlToAnsi(const QString& html);

private:
    Motif& device_;
};
