#pragma once

#include "zaltor/Containers.h"
#include "zaltor/Sample.h"

#include <QString>

// One instrument of a multi-sample file: its name and its samples in the file's order.
struct Instrument {
    QString name;
    VectorEx<Sample> samples;
};
using Instruments = VectorEx<Instrument>;

// A file of several instruments (SoundFont 2, DLS, GigaSampler), each sample flattened to what
// plays: the instrument's and the sample's settings combined into one key and velocity range,
// root key, tuning, level, pan and loop.
class SampleFile {
public:
    // Replaces the instruments by those of the file. Answers false with a reason in `error` and
    // no instruments when the file is none of the formats or is damaged.
    bool fromFile(const QString& path, QString* error = nullptr);
    // Deletes the instruments and their samples.
    void deleteAll() { instruments.clear(); }

    Instruments instruments;
};
