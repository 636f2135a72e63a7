#pragma once

#include "core/Buffer.h"
#include "core/LazyBuffer.h"
#include "zaltor/AudioFormat.h"

#include <cstdint>
#include <span>
#include <vector>

// Sound: a format and one byte buffer per channel (the right one empty for mono). The channels
// are kept apart because the instruments store them apart. Samples are signed integers, least
// significant byte first, each in the bytes its format gives it. A channel may still lie in the
// file it was read from (LazyBuffer): sizes and lengths never read it; the first look at its
// samples does.
class AudioWave {
public:
    AudioWave() = default;
    virtual ~AudioWave() = default;
    AudioWave(const AudioWave&) = default;
    AudioWave& operator=(const AudioWave&) = default;
    // Sound of a few hundred megabytes changes hands without being copied.
    AudioWave(AudioWave&&) noexcept = default;
    AudioWave& operator=(AudioWave&&) noexcept = default;

    const AudioFormat& format() const { return format_; }
    AudioFormat& format() { return format_; }
    void setFormat(const AudioFormat& format) { format_ = format; }
    // The samples; the non-const forms are for changing them.
    const Buffer& left() const { return left_.buffer(); }
    Buffer& left() { return left_.edit(); }
    const Buffer& right() const { return right_.buffer(); }
    Buffer& right() { return right_.edit(); }
    // A channel (0 left, 1 right) as it is held, read or not.
    const LazyBuffer& channel(int c) const { return c == 1 ? right_ : left_; }
    LazyBuffer& channel(int c) { return c == 1 ? right_ : left_; }
    // Reads both channels now; false, with the reason, when they cannot be read.
    bool loadSamples(QString* error = nullptr) const;

    // Empties both buffers and sets the format to 44100 Hz, 16 bits, mono.
    virtual void reset();
    // Bytes in both buffers.
    int totalSize() const { return left_.size() + right_.size(); }
    int channelSize(int c) const { return channel(c).size(); }
    // Frames: the left buffer's size in samples of the format (0 for a format without a width).
    int sampleLength() const;
    // The sample of a channel (0 left, 1 right) at a frame as a value from -1 to just under 1;
    // 0 outside the buffer. Mono answers the left channel for both.
    float valueAt(int channel, int frame) const;
    // The signed integer that a sample's bytes hold (for 12 bits the 16-bit value they sit in);
    // 0 outside the buffer.
    std::int32_t sampleAt(int channel, int frame) const;
    // Replaces a channel's samples (0 left, 1 right) by signed integers of the format's bytes.
    void setSamples(int channel, std::span<const std::int32_t> values);

    // Appends frames of interleaved full-scale 32-bit samples (as audio libraries deliver them,
    // one per channel of the format), each cut to the format's width. Answers false, appending
    // nothing, when the buffers would outgrow what a Buffer can count.
    bool appendFrames(std::span<const std::int32_t> interleaved);
    // The same from 16-bit samples, as a 16-bit file holds them.
    bool appendFrames(std::span<const std::int16_t> interleaved);
    // Room for this many frames of the format in each channel, before appending them.
    void reserveFrames(std::int64_t frames);
    // Up to `count` frames from `first` as interleaved full-scale 32-bit samples.
    std::vector<std::int32_t> framesAt(int first, int count) const;

    bool operator==(const AudioWave&) const = default;

private:
    template <class Value>
    bool appendInterleaved(std::span<const Value> interleaved);

    AudioFormat format_;
    LazyBuffer left_;
    LazyBuffer right_;
};
