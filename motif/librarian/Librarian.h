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
    static constexpr int MaxRequests = 8;
    static constexpr int WaitMs = 3000;
    // Well under the 2 s in which a wrong or silent instrument is refused.
    static constexpr int IdentifyWaitMs = 1000;

    explicit Librarian(Motif& device) : device_(device) {}

    // Asks who is connected before anything is fetched or sent. Answers empty for a Motif ES6,
    // ES7 or ES8; otherwise what answered (or that nothing did) and what to check.
    QString identify();
    // "in 'X' / out 'Y', device number N: check ...": what the user checks when nothing answers.
    QString connectionAdvice() const;

    // Fetches a patch framed as the instrument sends it (header, blocks in order, footer),
    // keeping from every reply the blocks whose checksum holds and whose address and size the
    // location's type has, until it holds them all. The instrument sends the whole bulk again for
    // each request, so the fetch asks again while replies bring blocks it did not hold, at most
    // MaxRequests times, and gives up after Retries replies (or silences) that brought nothing
    // new; one that lost its header does not count. A location costs at most MaxRequests bulks,
    // each ended by its footer or MidiDevice::BulkQuietMs of quiet, and Retries waits of WaitMs.
    // An attempt met with silence is tried again only when the attempt before it, here or for the
    // previous location, brought a whole bulk: an instrument that stopped answering costs two
    // waits at the first silent location and one at each after it. Answers the error, empty on
    // success.
    QString fetch(const PatchLocation& location, BulkDump& bulk);
    // Whether the last attempt of the last fetch got no message at all from the instrument.
    bool lastFetchSilent() const { return lastAttempt_ == Attempt::Silent; }
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
    enum class Attempt { Whole, Partial, Silent };

    Motif& device_;
    Attempt lastAttempt_ = Attempt::Whole;
};
