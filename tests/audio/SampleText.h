#pragma once

#include "zaltor/Sample.h"

#include <string>

// A sample's name, length and instrument settings in one line, so that a test compares all of
// them at once and a failure shows every difference.
inline std::string settingsOf(const Sample& s)
{
    return QString::asprintf("\"%s\": %d frames, root %d, keys %d-%d, vel %d-%d, vol %d, pan %d, tune %d/%d, "
                             "loop %d %u-%u, start %u",
                             qPrintable(s.name), s.sampleLength(), s.rootKey, s.keyLow, s.keyHigh,
                             s.velocityLow, s.velocityHigh, s.volume, s.pan, s.coarseTune, s.fineTune,
                             s.loopMode, s.loopStart, s.loopEnd, s.sampleStart)
        .toStdString();
}
