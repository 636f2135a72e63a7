#pragma once

#include "motif/MotifExport.h"

#include <QJsonArray>
#include <QString>
#include <QtGlobal>
#include <vector>

// What a reader had to leave out of a file that is cut short or broken, and where: every reader
// (all-data files, library files, .syx files) records its losses in this form, so that the
// programs print them alike and a user sees what a damaged file did not give.
struct MOTIF_EXPORT Damage {
    // The chunk's identifier; empty for the file header, the catalogue or a file without chunks.
    QString chunk;
    // The first item lost, counted from 1; 0 when the loss is not one of a chunk's items (the
    // header, the catalogue or a chunk as a whole).
    int item = 0;
    // Where in the file the lost part begins.
    qint64 offset = 0;
    QString reason;

    bool operator==(const Damage&) const = default;

    // "chunk DWIM, item 2, offset 1234: reason", leaving out what is empty or 0.
    QString toString() const;
};

using DamageList = std::vector<Damage>;

// [{"chunk":..,"item":..,"offset":..,"reason":..}, ...]
MOTIF_EXPORT QJsonArray damageJson(const DamageList& damage);
