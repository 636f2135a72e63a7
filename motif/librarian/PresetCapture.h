#pragma once

#include "motif/MotifExport.h"
#include "motif/librarian/PatchNotation.h"

#include <QString>

class BulkDump;
class Motif;

// The instrument sends bulks of its user memory only, never of its presets. What it does send is
// the edit buffer, which holds the patch last selected: a preset is captured by selecting it in
// the mode that plays it, giving the instrument time to load it, and fetching the edit buffer of
// its type.
class MOTIF_EXPORT PresetCapture {
public:
    // After a program change the instrument needs this long to load the patch into the edit
    // buffer, as long as it needs for a mode change.
    static constexpr int LoadWaitMs = 350;

    explicit PresetCapture(Motif& device) : device_(device) {}

    // A location that only a capture can fetch: a patch of a bank outside the user memory whose
    // type has an edit buffer.
    bool covers(const PatchLocation& location) const;
    // Selects the preset on the device's receive channel, waits, and fetches the edit buffer into
    // `bulk`, framed as received (its header names the edit buffer). Answers the error, empty on
    // success.
    QString capture(const PatchLocation& location, BulkDump& bulk);
    // The note a captured patch's file carries: "captured from PRE1:000 through the edit buffer".
    QString note(const PatchLocation& location) const;

private:
    Motif& device_;
};
