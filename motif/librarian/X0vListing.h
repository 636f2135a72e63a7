#pragma once

#include "motif/MotifExport.h"
#include "motif/documents/Damage.h"
#include "motif/documents/X0V_Document.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <string>
#include <utility>
#include <vector>

// Everything a listing of a library shows, gathered once: the command line prints it as text or
// JSON, the window fills its tables from it. Gathering reads no sample data.
namespace X0vListing {

struct Element {
    // From 1.
    int number = 0;
    // "USR:3 \"Piano C3\"", a preset waveform by name, or the numbers where nothing is known.
    QString plays;
};

struct VoiceRow {
    QString bank;
    int program = 0;
    // Without the instrument's padding.
    QString name;
    int category1 = 0;
    int category2 = 0;
    std::vector<int> waveforms;
    std::vector<Element> elements;
    QStringList arpeggios;
};

struct WaveRow {
    QString bank;
    int number = 0;
    int id = 0;
    QString name;
    int keybanks = 0;
    qint64 size = 0;
};

struct Listing {
    QString model;
    QString version;
    int voiceSlots = 0;
    int waveformSlots = 0;
    double estimatedSizeMB = 0;
    std::vector<std::pair<QString, int>> chunks;
    // Only the slots with data.
    std::vector<VoiceRow> voices;
    std::vector<WaveRow> waveforms;
    DamageList damage;
};

MOTIF_EXPORT Listing list(const X0V_Document& library);
MOTIF_EXPORT QJsonObject toJson(const Listing& listing);
// One line per voice (with lines for its elements and arpeggios) and per waveform, in UTF-8,
// without a line break after the last: thousands of lines, built in one piece.
MOTIF_EXPORT std::string rowsText(const Listing& listing);

} // namespace X0vListing
