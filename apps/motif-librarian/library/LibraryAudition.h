#pragma once

#include "motif/documents/XS_Keybank.h"

#include <QObject>
#include <QTimer>
#include <deque>
#include <memory>

class AudioDevice;
class XS_Waveform;

// Plays a waveform's key banks one after another on the machine's audio output, without holding
// up the window: a one-shot ends by itself, a loop is heard for a few seconds. The key banks are
// copied, so that an edit of the library while they play changes nothing that sounds.
class LibraryAudition : public QObject {
    Q_OBJECT
public:
    explicit LibraryAudition(QObject* parent = nullptr);
    ~LibraryAudition() override;

    // Starts the waveform, or stops what plays; the empty text, otherwise why nothing plays.
    QString toggle(const XS_Waveform& wave);
    void stop();
    bool isPlaying() const { return timer_.isActive(); }

private:
    // Starts the next key bank when the one before has ended or had its time.
    void next();

    std::unique_ptr<AudioDevice> device_;
    std::deque<XS_Keybank> queue_;
    QTimer timer_;
    int elapsedMs_ = 0;
};
