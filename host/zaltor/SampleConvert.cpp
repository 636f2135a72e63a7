#include "zaltor/SampleConvert.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// SplitMix64: a few lines of integer arithmetic give the same numbers on every compiler, which
// the standard library's distributions do not promise.
class Dither {
public:
    explicit Dither(std::uint64_t seed) : state_(seed) {}
    // A triangular value from -1 to 1: the sum of two uniform ones.
    double next() { return uniform() - uniform(); }

private:
    double uniform()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
        return double((z ^ (z >> 31)) >> 11) * 0x1.0p-53;
    }
    std::uint64_t state_;
};

} // namespace

void SampleConvert::toPcm16(AudioWave& wave, std::uint64_t seed)
{
    const int bytes = wave.format().bytesPerSample();
    // 16-bit samples are what the instrument stores already.
    if (bytes == 2) return;
    const int frames = wave.sampleLength();
    Dither dither(seed);
    std::vector<std::vector<std::int32_t>> narrowed;
    for (int c = 0; c < (wave.right().isEmpty() ? 1 : 2); ++c) {
        std::vector<std::int32_t>& out = narrowed.emplace_back(std::size_t(frames));
        for (int f = 0; f < frames; ++f) {
            const std::int32_t value = wave.sampleAt(c, f);
            if (bytes <= 2) {
                out[std::size_t(f)] = value * (1 << (16 - 8 * bytes));
                continue;
            }
            // The sample in 16-bit steps; a full-scale value plus dither may pass the last step,
            // which is the only place the result is held.
            const double steps = std::ldexp(double(value), 16 - 8 * bytes);
            out[std::size_t(f)] =
                std::int32_t(std::clamp(std::floor(steps + dither.next() + 0.5), -32768.0, 32767.0));
        }
    }
    wave.format().setBitsPerSample(16);
    for (std::size_t c = 0; c < narrowed.size(); ++c) wave.setSamples(int(c), narrowed[c]);
}
