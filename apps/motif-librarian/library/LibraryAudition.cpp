#include "LibraryAudition.h"

#include "motif/documents/XS_Waveform.h"
#include "zaltor/AudioDevice.h"

namespace {
constexpr int TickMs = 50;
constexpr int LoopMs = 5000;
} // namespace

LibraryAudition::LibraryAudition(QObject* parent) : QObject(parent)
{
    timer_.setInterval(TickMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        elapsedMs_ += TickMs;
        if (!device_->out().isPlaying() || elapsedMs_ >= LoopMs) next();
    });
}

LibraryAudition::~LibraryAudition() { stop(); }

QString LibraryAudition::toggle(const XS_Waveform& wave)
{
    if (isPlaying()) {
        stop();
        return QString();
    }
    if (wave.keybanks().count() == 0) return tr("waveform %1 has no key banks to play").arg(wave.id());
    // The audio system is opened on the first audition only: a library is edited without one.
    if (!device_) device_ = std::make_unique<AudioDevice>();
    if (!device_->isAvailable()) {
        device_.reset();
        return tr("no audio output is available; start JACK, PipeWire or PulseAudio and try again");
    }
    queue_.clear();
    for (int i = 0; i < wave.keybanks().count(); ++i) {
        if (wave.keybanks().at(i)->isCompressed())
            return tr("waveform %1 \"%2\" holds compressed sample data, which cannot be played here")
                .arg(wave.id())
                .arg(wave.name());
        queue_.push_back(*wave.keybanks().at(i));
    }
    next();
    return device_->out().error().isEmpty() ? QString() : tr("cannot play: %1").arg(device_->out().error());
}

void LibraryAudition::next()
{
    device_->out().stop();
    elapsedMs_ = 0;
    if (queue_.empty()) {
        timer_.stop();
        return;
    }
    // The output converts the frames into its own buffers, so the copy may go at once.
    queue_.front().play(device_.get());
    queue_.pop_front();
    timer_.start();
}

void LibraryAudition::stop()
{
    queue_.clear();
    timer_.stop();
    if (device_) device_->out().stop();
}
