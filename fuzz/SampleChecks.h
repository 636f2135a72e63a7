// What every sample read from a user's file must satisfy, whichever reader took it: loops and
// start inside the frames it holds, and settings inside their MIDI ranges.
#pragma once

#include "zaltor/Sample.h"
#include "zaltor/SampleFile.h"

#include <QString>
#include <cstdint>

namespace samplefuzz {

inline bool inMidiRange(int value) { return value >= 0 && value <= 127; }

inline void check(const Sample& sample)
{
    const auto frames = std::uint32_t(sample.sampleLength());
    if (!sample.isValid() || sample.sampleStart > frames || sample.loopStart > frames ||
        sample.loopEnd > frames)
        __builtin_trap();
    if (sample.loopMode != Sample::LoopNone && sample.loopEnd <= sample.loopStart) __builtin_trap();
    for (int value : {sample.rootKey, sample.keyLow, sample.keyHigh, sample.velocityLow, sample.velocityHigh,
                      sample.volume, sample.pan, sample.coarseTune, sample.fineTune})
        if (!inMidiRange(value)) __builtin_trap();
}

// A read that failed has a reason and no instruments; one that succeeded holds only good samples.
inline void check(bool loaded, const Instruments& instruments, const QString& error)
{
    if (!loaded && (!instruments.isEmpty() || error.isEmpty())) __builtin_trap();
    for (const auto& instrument : instruments)
        for (const auto& sample : instrument->samples) check(*sample);
}

} // namespace samplefuzz
