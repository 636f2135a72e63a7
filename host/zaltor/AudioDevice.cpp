#include "zaltor/AudioDevice.h"

#include <RtAudio.h>

#include <cmath>

namespace {

constexpr unsigned BufferFrames = 512;
constexpr unsigned OutputChannels = 2;

} // namespace

AudioOutPort::~AudioOutPort()
{
    if (!audio_ || !audio_->isStreamOpen()) return;
    try {
        if (audio_->isStreamRunning()) audio_->abortStream();
        audio_->closeStream();
    } catch (const RtAudioError&) {
        // Nothing is left to release when the audio system refuses to close.
    }
}

bool AudioOutPort::open()
{
    if (!audio_) {
        error_ = "No audio system";
        return false;
    }
    if (audio_->isStreamOpen()) return true;
    try {
        const unsigned device = audio_->getDefaultOutputDevice();
        const RtAudio::DeviceInfo info = audio_->getDeviceInfo(device);
        if (info.outputChannels == 0) {
            error_ = "No audio output";
            return false;
        }
        RtAudio::StreamParameters parameters;
        parameters.deviceId = device;
        parameters.nChannels = OutputChannels;
        // JACK runs at its server's rate; other systems convert from their preferred rate.
        outputRate_ = info.preferredSampleRate ? info.preferredSampleRate : 48000;
        unsigned frames = BufferFrames;
        RtAudio::StreamOptions options;
        options.streamName = "motif-es audio";
        audio_->openStream(&parameters, nullptr, RTAUDIO_FLOAT32, outputRate_, &frames,
                           &AudioOutPort::callback, this, &options);
        return true;
    } catch (const RtAudioError& e) {
        outputRate_ = 0;
        error_ = QString::fromStdString(e.getMessage());
        return false;
    }
}

bool AudioOutPort::play(const AudioWave& wave, int start, int loopStart, int loopEnd)
{
    const int length = wave.sampleLength();
    if (!wave.format().isValid() || length == 0 || start >= length) {
        error_ = "Nothing to play";
        return false;
    }
    stop();
    if (!open()) return false;
    left_.resize(std::size_t(length));
    right_.resize(std::size_t(length));
    for (int i = 0; i < length; ++i) {
        left_[std::size_t(i)] = wave.valueAt(0, i);
        right_[std::size_t(i)] = wave.valueAt(1, i);
    }
    const bool loops = loopStart >= 0 && loopStart < loopEnd && loopEnd <= length;
    loopStart_ = loops ? loopStart : -1;
    loopEnd_ = loops ? loopEnd : -1;
    position_ = std::max(start, 0);
    step_ = wave.format().sampleRate() / outputRate_;
    playing_ = true;
    try {
        audio_->startStream();
    } catch (const RtAudioError& e) {
        playing_ = false;
        error_ = QString::fromStdString(e.getMessage());
        return false;
    }
    return true;
}

bool AudioOutPort::play(const Sample& sample)
{
    const bool loops = sample.loopMode != Sample::LoopNone;
    return play(sample, int(sample.sampleStart), loops ? int(sample.loopStart) : -1,
                loops ? int(sample.loopEnd) : -1);
}

void AudioOutPort::stop()
{
    playing_ = false;
    if (!audio_ || !audio_->isStreamRunning()) return;
    try {
        audio_->stopStream();
    } catch (const RtAudioError& e) {
        error_ = QString::fromStdString(e.getMessage());
    }
}

bool AudioOutPort::isPlaying() const { return playing_; }

int AudioOutPort::callback(void* out, void*, unsigned frames, double, unsigned, void* self)
{
    static_cast<AudioOutPort*>(self)->render(static_cast<float*>(out), frames);
    return 0;
}

void AudioOutPort::render(float* out, unsigned frames)
{
    const double length = double(left_.size());
    const bool loops = loopEnd_ > 0;
    for (unsigned f = 0; f < frames; ++f, out += OutputChannels) {
        if (!playing_) {
            out[0] = out[1] = 0.0f;
            continue;
        }
        // Linear interpolation towards the next frame, which inside a loop is its first frame.
        const auto i = std::size_t(position_);
        std::size_t next = i + 1;
        if (loops && double(next) >= loopEnd_) next = std::size_t(loopStart_);
        const float t = float(position_ - double(i));
        const float nextLeft = next < left_.size() ? left_[next] : 0.0f;
        const float nextRight = next < right_.size() ? right_[next] : 0.0f;
        out[0] = left_[i] + t * (nextLeft - left_[i]);
        out[1] = right_[i] + t * (nextRight - right_[i]);
        position_ += step_;
        if (loops && position_ >= loopEnd_)
            position_ -= loopEnd_ - loopStart_;
        else if (position_ >= length)
            playing_ = false;
    }
}

AudioDevice::AudioDevice(const QString& api)
{
    const RtAudio::Api wanted =
        api.isEmpty() ? RtAudio::UNSPECIFIED : RtAudio::getCompiledApiByName(api.toStdString());
    if (api.isEmpty() || wanted != RtAudio::UNSPECIFIED) {
        try {
            audio_ = std::make_unique<RtAudio>(wanted);
            audio_->showWarnings(false);
        } catch (const RtAudioError&) {
            audio_.reset();
        }
    }
    out_.reset(new AudioOutPort(audio_.get()));
}

AudioDevice::~AudioDevice() = default;

bool AudioDevice::isAvailable() const
{
    if (!audio_) return false;
    try {
        const unsigned count = audio_->getDeviceCount();
        for (unsigned i = 0; i < count; ++i)
            if (audio_->getDeviceInfo(i).outputChannels > 0) return true;
    } catch (const RtAudioError&) {
    }
    return false;
}
