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
// A restore sends the files the index lists back to their locations.
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
    };

    explicit Backup(Motif& device) : device_(device) {}

    // Asks the instrument who it is, fetches every location into `dir` and writes index.json of
    // what was saved, also when cancelled, so that the folder always restores.
    Result save(const QString& dir, const std::vector<PatchLocation>& locations,
                const Progress& progress = {});
    // The patches index.json of `dir` lists; empty with *error set when there are none.
    static QJsonArray readIndex(const QString& dir, QString* error);
    // Sends each patch of `entries` (from readIndex) to its location, with verify read back and
    // compared, retrying a location that differs.
    Result restore(const QString& dir, const QJsonArray& entries, bool verify, const Progress& progress = {});

    // "USER1:5" becomes "USER1-005.syx"; a colon inside a bank name ("DR:USR") becomes "_".
    static QString fileNameOf(const QString& location);

private:
    Motif& device_;
};
