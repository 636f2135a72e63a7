#include "zaltor/AudioWave.h"

#include <algorithm>
#include <climits>

void AudioWave::reset()
{
    format_ = AudioFormat();
    left_.reset();
    right_.reset();
}

bool AudioWave::loadSamples(QString* error) const { return left_.load(error) && right_.load(error); }

int AudioWave::sampleLength() const
{
    const int bytes = format_.bytesPerSample();
    return bytes ? left_.size() / bytes : 0;
}

std::int32_t AudioWave::sampleAt(int channel, int frame) const
{
    const int bytes = format_.bytesPerSample();
    const Buffer& buffer = channel == 1 && !right_.isEmpty() ? right() : left();
    if (bytes == 0 || frame < 0 || frame >= buffer.size() / bytes) return 0;
    const std::uint32_t raw = buffer.readValueR(frame * bytes, bytes);
    // Sign-extend from the top bit of the sample's bytes.
    const int unused = 32 - 8 * bytes;
    return static_cast<std::int32_t>(raw << unused) >> unused;
}

float AudioWave::valueAt(int channel, int frame) const
{
    const int bytes = format_.bytesPerSample();
    return bytes ? static_cast<float>(sampleAt(channel, frame)) / static_cast<float>(1u << (8 * bytes - 1))
                 : 0.0f;
}

void AudioWave::setSamples(int channel, std::span<const std::int32_t> values)
{
    const int bytes = format_.bytesPerSample();
    Buffer& buffer = channel == 1 ? right() : left();
    buffer.reset();
    if (bytes == 0) return;
    buffer.allocate(static_cast<int>(values.size()) * bytes);
    int pos = 0;
    for (std::int32_t value : values) {
        buffer.writeValueR(pos, bytes, static_cast<std::uint32_t>(value));
        pos += bytes;
    }
}

namespace {

// Writes one channel of interleaved values as samples of `Bytes` bytes, lowest first: each value
// is made full scale in 32 bits and keeps its top bytes. The width is known when compiling, so
// that the loop is unrolled and vectorised: a few hundred megabytes of sound go through it.
template <int Bytes, class Value>
void deinterleave(std::span<const Value> interleaved, std::size_t channels, std::size_t c, std::uint8_t* out)
{
    constexpr int widen = 32 - 8 * int(sizeof(Value));
    const std::size_t frames = interleaved.size() / channels;
    for (std::size_t f = 0; f < frames; ++f) {
        auto value = (static_cast<std::uint32_t>(std::int32_t(interleaved[f * channels + c])) << widen) >>
                     (32 - 8 * Bytes);
        for (int b = 0; b < Bytes; ++b, value >>= 8) out[f * Bytes + std::size_t(b)] = std::uint8_t(value);
    }
}

} // namespace

template <class Value>
bool AudioWave::appendInterleaved(std::span<const Value> interleaved)
{
    const int bytes = format_.bytesPerSample();
    const std::size_t channels = format_.isStereo() ? 2 : 1;
    if (bytes < 1 || bytes > 4) return false;
    const std::size_t frames = interleaved.size() / channels;
    if (static_cast<std::size_t>(left_.size()) + frames * std::size_t(bytes) > std::size_t(INT_MAX))
        return false;
    const auto samples = interleaved.first(frames * channels);
    for (std::size_t c = 0; c < channels; ++c) {
        std::uint8_t* out = (c == 0 ? left() : right()).extend(int(frames) * bytes);
        switch (bytes) {
        case 1:
            deinterleave<1>(samples, channels, c, out);
            break;
        case 2:
            deinterleave<2>(samples, channels, c, out);
            break;
        case 3:
            deinterleave<3>(samples, channels, c, out);
            break;
        default:
            deinterleave<4>(samples, channels, c, out);
        }
    }
    return true;
}

bool AudioWave::appendFrames(std::span<const std::int32_t> interleaved)
{
    return appendInterleaved(interleaved);
}

bool AudioWave::appendFrames(std::span<const std::int16_t> interleaved)
{
    return appendInterleaved(interleaved);
}

void AudioWave::reserveFrames(std::int64_t frames)
{
    const std::int64_t bytes = std::clamp<std::int64_t>(frames * format_.bytesPerSample(), 0, INT_MAX);
    left().reserve(int(bytes));
    if (format_.isStereo()) right().reserve(int(bytes));
}

std::vector<std::int32_t> AudioWave::framesAt(int first, int count) const
{
    const int bytes = format_.bytesPerSample();
    const int channels = format_.isStereo() ? 2 : 1;
    first = std::clamp(first, 0, sampleLength());
    count = std::clamp(count, 0, sampleLength() - first);
    std::vector<std::int32_t> frames(std::size_t(count) * std::size_t(channels));
    for (int f = 0; f < count; ++f)
        for (int c = 0; c < channels; ++c)
            frames[std::size_t(f * channels + c)] = static_cast<std::int32_t>(
                static_cast<std::uint32_t>(sampleAt(c, first + f)) << (32 - 8 * bytes));
    return frames;
}
