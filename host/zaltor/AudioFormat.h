#pragma once

#include <QString>

// How the samples of an audio wave are laid out: the rate in hertz (not always an integer, a
// sampler's rates such as 22050.5 survive), the bits of one sample and the number of channels.
// Samples of 9 to 16 bits sit in two bytes, 17 to 24 in three, 25 to 32 in four, each left-aligned
// in its bytes as WAV files keep them, so a 12-bit sample is read like a 16-bit one.
class AudioFormat {
public:
    AudioFormat() = default;
    AudioFormat(double sampleRate, int bitsPerSample, int channels);

    double sampleRate() const { return sampleRate_; }
    void setSampleRate(double rate) { sampleRate_ = rate; }
    int bitsPerSample() const { return bits_; }
    void setBitsPerSample(int bits) { bits_ = bits; }
    int channels() const { return channels_; }
    void setChannels(int channels) { channels_ = channels; }
    bool isStereo() const { return channels_ > 1; }

    // Bytes that one sample of one channel takes (1 to 4); 0 for a width outside 1 to 32 bits.
    int bytesPerSample() const;
    // A rate above 0, 1 to 32 bits, one or two channels.
    bool isValid() const;
    // "Mono" or "Stereo".
    QString printMonoStereo() const;

    bool operator==(const AudioFormat&) const = default;

private:
    double sampleRate_ = 44100.0;
    int bits_ = 16;
    int channels_ = 1;
};
