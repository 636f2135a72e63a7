#pragma once

#include "motif/MotifExport.h"
#include "zaltor/Patch.h"

// What the voice copier copies: which stored voice or drum kit, into which part of the
// performance or mix being edited, and which groups of its settings go along. The settings
// persist in the application profile, section "VoiceCopier".
class MOTIF_EXPORT VoiceCopierInfo {
public:
    VoiceCopierInfo() = default;

    // Writes all seven settings; the flags as 0 or 1, the voice as the patch's packed value.
    void toRegistry() const;
    // Reads them back; a missing key gives defaultVoice, part 0 or a set flag.
    void fromRegistry(Patch defaultVoice);

    Patch voice;
    bool copyvoice = true;
    bool copyname = true;
    bool copyfx = true;
    bool copyarp = true;
    bool copyinsfx = true;
    // Counted from 0: 0-3 in a performance, 0-15 in a mix.
    int part = 0;
};
