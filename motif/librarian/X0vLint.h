#pragma once

#include "motif/MotifExport.h"

#include <QString>
#include <vector>

class X0V_Document;

// What a look over a library finds as it was read, before validation switches anything off or a
// store rewrites the entries: voices that play waveforms the library lacks, waveforms no voice
// plays, more entries than the model's user slots take, and entry sizes the data contradicts.
class MOTIF_EXPORT X0vLint {
public:
    enum Kind { Dangling, Unused, Slots, Sizes };
    struct Finding {
        Kind kind;
        QString text;
    };

    // The slot limits are checked against the counts of the EVCE and EWFM chunks as read.
    static std::vector<Finding> check(const X0V_Document& library);
    // "dangling", "unused", "slots", "sizes".
    static QString kindName(Kind kind);
};
