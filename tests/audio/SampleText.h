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

// A short mono sound with every instrument setting away from its default.
inline Sample bell()
{
    Sample s;
    s.format() = AudioFormat(22050, 16, 1);
    s.setSamples(0, std::vector<std::int32_t>{0, 1000, -1000, 32767, -32768, 5, 6, 7, 8, 9});
    s.name = "Bell";
    s.rootKey = 62;
    s.keyLow = 10;
    s.keyHigh = 100;
    s.velocityLow = 20;
    s.velocityHigh = 110;
    s.volume = 100;
    s.pan = 30;
    s.coarseTune = 66;
    s.fineTune = 40;
    s.loopMode = Sample::LoopForward;
    s.loopStart = 2;
    s.loopEnd = 8;
    s.sampleStart = 1;
    return s;
}
