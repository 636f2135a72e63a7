#pragma once

#include "motif/MotifExport.h"
#include "motif/librarian/PatchNotation.h"

#include <QJsonArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class Motif;

// The user memory as a folder: one .syx file per location, framed as the instrument sent it, and
// index.json naming the instrument and, per patch, its location, file, type, name and category.
// A location that could not be fetched is listed too, with "missing": true and the "error" that
// kept it out, so that a stopped backup can be resumed. A restore sends the files the index lists
// back to their locations.
class MOTIF_EXPORT Backup {
public:
    // Told before each location: its name, its index from 0 and how many there are. Answering
    // false stops the run before that location.
    using Progress = std::function<bool(const QString& location, int index, int total)>;

    struct Result {
        // The index entries of the patches saved, or of those sent by a restore.
        QJsonArray entries;
        // What failed, one text per location.
        QStringList failures;
        bool cancelled = false;
        // Why the run ended before its last location (the instrument fell silent, a port went
        // away); empty when it went to the end or was cancelled.
        QString stopped;
    };

    // Consecutive locations without any answer after which a backup gives up on the instrument.
    // With the librarian's retry rule that is at most 12 s after its last message: 3 s for a reply
    // that broke off, 3 s for its silent retry, 3 s for each of the two locations after it.
    static constexpr int SilentLocations = 3;

    explicit Backup(Motif& device) : device_(device) {}

    // Fetches every location into `dir` and writes index.json, also when cancelled or stopped, so
    // that the folder always restores and resumes. Identify the instrument first (Librarian): the
    // index names the model the device took it for.
    Result save(const QString& dir, const std::vector<PatchLocation>& locations,
                const Progress& progress = {});
    // Fetches the locations the index.json of `dir` marks missing and rewrites it; Result.entries
    // lists every patch the folder then holds.
    Result resume(const QString& dir, const Progress& progress = {});
    // The entries index.json of `dir` lists, missing ones included; empty with *error set when
    // there are none.
    static QJsonArray readIndex(const QString& dir, QString* error);
    // Sends each patch of `entries` (from readIndex) to its location, with verify read back and
    // compared, retrying a location that differs.
    Result restore(const QString& dir, const QJsonArray& entries, bool verify, const Progress& progress = {});

    // "USER1:5" becomes "USER1-005.syx"; a colon inside a bank name ("DR:USR") becomes "_".
    static QString fileNameOf(const QString& location);

private:
    // Fetches the entries of `index` marked missing, updates them and writes index.json.
    Result fetchMissing(const QString& dir, const QString& instrument, QJsonArray& index,
                        const Progress& progress);

    Motif& device_;
};
