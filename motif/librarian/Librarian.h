#pragma once

#include "motif/MotifExport.h"
#include "motif/librarian/PatchNotation.h"

#include <QJsonObject>
#include <QString>
#include <memory>
#include <vector>

class BulkDump;
class Motif;
class PatchDump;

// The librarian's work with the instrument, beyond what the device itself offers: fetching with
// checks and retries, and the list of user locations a backup covers.
class MOTIF_EXPORT Librarian {
public:
    static constexpr int Retries = 2;
    static constexpr int WaitMs = 3000;

    explicit Librarian(Motif& device) : device_(device) {}

    // Fetches a patch framed as received (header, blocks, footer), checking every checksum;
    // tries again up to Retries times. Answers the error, empty on success.
    QString fetch(const PatchLocation& location, BulkDump& bulk);
    // Sends a patch's blocks to a location or edit buffer.
    QString send(const PatchLocation& location, PatchDump& dump);
    // Sends, then reads back and compares the blocks; tries again up to Retries times.
    QString sendVerified(const PatchLocation& location, PatchDump& dump);

    // The blocks of a received bulk as a dump of the type its name block says; null if none.
    std::unique_ptr<PatchDump> toDump(const BulkDump& bulk);
    // "type", "name", "category" of a dump.
    QJsonObject describe(const PatchDump& dump);

    // Every user location a backup covers: USER1, USER2, DR:USR, PERF, MASTER, and the PLG user
    // banks of the given slots (1-3).
    std::vector<PatchLocation> userLocations(const std::vector<int>& plgSlots) const;
    // The slots (1-3) with a board installed, whose PLG user banks a backup saves by default.
    std::vector<int> installedPlgSlots() const;

private:
    Motif& device_;
};
