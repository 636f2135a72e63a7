#pragma once

#include "motif/MotifExport.h"

#include <QString>
#include <functional>
#include <vector>

class Motif;

// The names of a bank's patches: a user bank's as the instrument holds them, fetched patch by
// patch; a preset bank's from the device's tables, since the instrument never sends its presets.
namespace BankNames {

struct Entry {
    int program = 0;
    // Without the blanks that pad it to its length on the instrument.
    QString name;
    QString category;
    // Why the patch could not be read; empty when it was.
    QString error;
};

// A bank as the librarian lists it.
struct Listing {
    unsigned short bank = 0;
    QString name;
    int programs = 0;
    // Holds the user's own patches, which are read from the instrument.
    bool user = false;
    // The names of a preset bank, known without the instrument; empty for a user bank.
    std::vector<Entry> names;
};

// Told before each patch; answering false stops the reading there.
using Progress = std::function<bool(const QString& location, int index, int total)>;

// The instrument's banks in the order a librarian shows them: the user banks a backup covers (with
// the PLG user banks of installed boards), the preset banks the device's tables name, then the
// banks of each installed PLG board named by its definition.
MOTIF_EXPORT std::vector<Listing> banks(Motif& device);
// Whether the names of `bank` come from the device's tables rather than the instrument.
MOTIF_EXPORT bool fromTables(Motif& device, unsigned short bank);
// One entry per program in order; stops early (fewer entries) when `progress` says so. A user
// bank is fetched with the librarian's checks; after Backup::SilentLocations patches in a row
// without any answer the rest is left out, as the instrument is gone.
MOTIF_EXPORT std::vector<Entry> read(Motif& device, unsigned short bank, const Progress& progress = {});

} // namespace BankNames
