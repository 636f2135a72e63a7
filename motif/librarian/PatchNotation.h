#pragma once

#include "motif/MotifExport.h"
#include "zaltor/Patch.h"

#include <QString>
#include <optional>

class MidiDevice;

// A patch as typed on the command line: BANK:PROGRAM, where BANK is a bank name of the device's
// bank tables ("USER1", "DR:USR", "MASTER"; the last colon separates the program) or MSB/LSB in
// decimal, and PROGRAM is 0-127 as on the wire.
// Where a patch goes or comes from: a stored location, or the edit buffer of a patch type.
struct PatchLocation {
    Patch patch;
    int editType = -1;
    bool isEditBuffer() const { return editType >= 0; }
};

class MOTIF_EXPORT PatchNotation {
public:
    // BANK:PROGRAM, or edit:TYPE (voice, drum, plg, performance, mix, master).
    static std::optional<PatchLocation> parseLocation(const QString& text, MidiDevice& device,
                                                      QString* error);
    // "USER1:5", or "edit:voice".
    static QString print(const PatchLocation& location, MidiDevice& device);
    // Answers the patch, or nothing with a message in *error that says what is wrong.
    static std::optional<Patch> parse(const QString& text, MidiDevice& device, QString* error);
    // The bank's name in the device's tables, or MSB/LSB when it has none.
    static QString bankName(unsigned short bank, MidiDevice& device);
};
