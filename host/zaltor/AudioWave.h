#pragma once

#include "core/Buffer.h"
#include "zaltor/AudioFormat.h"

#include <cstdint>
#include <span>
#include <vector>

// Sound in memory: a format and one byte buffer per channel (the right one empty for mono). The
// channels are kept apart because the instruments store them apart. Samples are signed
// integers, least significant byte first, each in the bytes its format gives it.
class AudioWave {
public:
    AudioWave() = default;
    virtual ~AudioWave() = default;
    AudioWave(const AudioWave&) = default;
    AudioWave& operator=(const AudioWave&) = default;

    const AudioFormat& format() const { return format_; }
    AudioFormat& format() { return format_; }
    void setFormat(const AudioFormat& format) { format_ = format; }
    const Buffer& left() const { return left_; }
    Buffer& left() { return left_; }
    const Buffer& right() const { return right_; }
    Buffer& right() { return right_; }

    // Empties both buffers and sets the format to 44100 Hz, 16 bits, mono.
    virtual void reset();
    // Bytes in both buffers.
    int totalSize() const { return left_.size() + right_.size(); }
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
    // Up to `count` frames from `first` as interleaved full-scale 32-bit samples.
    std::vector<std::int32_t> framesAt(int first, int count) const;

    bool operator==(const AudioWave&) const = default;

private:
    AudioFormat format_;
    Buffer left_;
    Buffer right_;
};
