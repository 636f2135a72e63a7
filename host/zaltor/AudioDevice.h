#pragma once

#include "zaltor/AudioWave.h"
#include "zaltor/Sample.h"

#include <QString>
#include <atomic>
#include <memory>
#include <vector>

class RtAudio;

// Plays one wave at a time on an audio output, converting its rate to the output's. Playing
// runs on the audio system's own thread; the calls here come from the host thread.
class AudioOutPort {
public:
    ~AudioOutPort();
    AudioOutPort(const AudioOutPort&) = delete;
    AudioOutPort& operator=(const AudioOutPort&) = delete;

    // Plays the wave from frame `start`; with 0 <= loopStart < loopEnd <= its length the frames
    // from loopStart to loopEnd repeat until stop(), otherwise it plays to its end once. Replaces
    // what is playing. Answers false, with a reason in error(), when there is no output or the
    // wave is not playable.
    bool play(const AudioWave& wave, int start = 0, int loopStart = -1, int loopEnd = -1);
    // Plays a sample from its start, looping forward when it has a loop.
    bool play(const Sample& sample);
    void stop();
    bool isPlaying() const;
    // The rate the output runs at, 0 before the first play.
    unsigned outputRate() const { return outputRate_; }
    QString error() const { return error_; }

private:
    friend class AudioDevice;
    explicit AudioOutPort(RtAudio* audio) : audio_(audio) {}
    bool open();
    static int callback(void* out, void* in, unsigned frames, double time, unsigned status, void* self);
    void render(float* out, unsigned frames);

    RtAudio* audio_;
    unsigned outputRate_ = 0;
    QString error_;
    // The voice: written on the host thread only while the stream is stopped, read by render().
    std::vector<float> left_;
    std::vector<float> right_;
    double position_ = 0;
    double step_ = 1;
    double loopStart_ = -1;
    double loopEnd_ = -1;
    std::atomic<bool> playing_ = false;
};

// An audio output of the machine through RtAudio: JACK when a server runs, otherwise ALSA or
// PulseAudio, whichever has an output device; or one system asked for by name.
class AudioDevice {
public:
    // `api` is "jack", "alsa", "pulse" or empty for the first system with an output.
    explicit AudioDevice(const QString& api = QString());
    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // Whether the system has an output device to play on.
    bool isAvailable() const;
    AudioOutPort& out() { return *out_; }

private:
    std::unique_ptr<RtAudio> audio_;
    std::unique_ptr<AudioOutPort> out_;
};
