#pragma once

#include "motif/MotifExport.h"
#include "motif/librarian/PatchNotation.h"

#include <QString>

class BulkDump;
class Motif;

// Fetches any patch as 'motif get' does: a user patch as a bulk with the librarian's checks, a
// preset through the edit buffer (PresetCapture), on the receive channel the instrument reports.
namespace PatchFetch {

// The receive channel is asked for this long.
inline constexpr int ChannelWaitMs = 500;

// Answers what failed, empty on success; *note gets the note a captured preset's file carries
// (empty for a user patch).
MOTIF_EXPORT QString fetch(Motif& device, const PatchLocation& location, BulkDump& bulk,
                           QString* note = nullptr);

} // namespace PatchFetch
