#pragma once

#include "zaltor/AudioWave.h"

#include <cstdint>

// Narrows audio of any width to the 16-bit samples that the instruments' wave memories hold.
// Widths up to 16 bits move exactly (an 8-bit sample becomes its value times 256, a 12-bit one
// already sits in 16 bits); wider samples are rounded with triangular (TPDF) dither of one 16-bit
// step, so that what lies below that step survives as noise instead of as distortion.
class SampleConvert {
public:
    // The dither comes from a generator of its own started at this value, so the same audio
    // always gives the same samples on every machine.
    static constexpr std::uint64_t DitherSeed = 0x4D6F746966455331;

    // Same rate, channels and frames, 16 bits per sample.
    static void toPcm16(AudioWave& wave, std::uint64_t seed = DitherSeed);
};
