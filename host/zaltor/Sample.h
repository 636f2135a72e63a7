#pragma once

#include "zaltor/AudioWave.h"

#include <QString>
#include <cstdint>

// One sample of an instrument: sound plus where it sits on the keyboard and how it plays. Levels,
// pan and tuning use the MIDI convention of the instruments (0 to 127, 64 = centre or no change),
// so that an instrument's own values pass through unchanged. Frame positions count from the
// first frame; loopEnd is the frame after the last one of the loop.
class Sample : public AudioWave {
public:
    enum LoopMode : int { LoopNone = 0, LoopForward = 1, LoopReverse = 2, LoopAlternate = 3 };

    Sample() = default;

    void reset() override;
    // Holds audio that can be played: a valid format and at least one frame, with a right channel
    // exactly when the format is stereo and both channels of the same length.
    bool isValid() const;

    // Brings every setting into its range: keys, velocities, levels and tuning from 0 to 127,
    // frame positions within the audio, and a loop only over at least one frame.
    void limitSettings();

    // Reads a WAV, AIFF or FLAC file (and whatever else libsndfile reads) with the instrument
    // chunks of WAV and AIFF, at the file's own width (floating point as 32 bits). A float file
    // louder than full scale is scaled down to it, and gainDb says by how much. Answers false
    // with a reason in `error` and the sample reset when the file cannot be read.
    bool fromFile(const QString& path, QString* error = nullptr);
    // Writes the file type its extension names (.wav, .aif/.aiff, .flac; anything else is WAV)
    // through a temporary file renamed over the target. Answers false with a reason in `error`.
    bool toFile(const QString& path, QString* error = nullptr) const;

    QString name;
    int rootKey = 60;
    int keyLow = 0;
    int keyHigh = 127;
    int velocityLow = 1;
    int velocityHigh = 127;
    int volume = 127;
    int pan = 64;
    // Semitones and cents, 64 = no change.
    int coarseTune = 64;
    int fineTune = 64;
    int loopMode = LoopNone;
    std::uint32_t sampleStart = 0;
    std::uint32_t loopStart = 0;
    std::uint32_t loopEnd = 0;
    // The level change made while reading so that no sample passes full scale: 0 or below, in dB.
    double gainDb = 0;
};
