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

bool AudioWave::appendFrames(std::span<const std::int32_t> interleaved)
{
    const int bytes = format_.bytesPerSample();
    const std::size_t channels = format_.isStereo() ? 2 : 1;
    if (bytes == 0) return false;
    const std::size_t frames = interleaved.size() / channels;
    if (static_cast<std::size_t>(left_.size()) + frames * std::size_t(bytes) > std::size_t(INT_MAX))
        return false;
    const int shift = 32 - 8 * bytes;
    for (std::size_t c = 0; c < channels; ++c) {
        Buffer& buffer = c == 0 ? left() : right();
        std::vector<std::uint8_t> added(frames * std::size_t(bytes));
        for (std::size_t f = 0; f < frames; ++f) {
            auto value = static_cast<std::uint32_t>(interleaved[f * channels + c]) >> shift;
            for (int b = 0; b < bytes; ++b, value >>= 8)
                added[f * std::size_t(bytes) + std::size_t(b)] = std::uint8_t(value);
        }
        buffer.append(added);
    }
    return true;
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
