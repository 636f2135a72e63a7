#include "zaltor/AudioFormat.h"

AudioFormat::AudioFormat(double sampleRate, int bitsPerSample, int channels)
    : sampleRate_(sampleRate), bits_(bitsPerSample), channels_(channels)
{
}

int AudioFormat::bytesPerSample() const { return bits_ >= 1 && bits_ <= 32 ? (bits_ + 7) / 8 : 0; }

bool AudioFormat::isValid() const
{
    return sampleRate_ > 0 && bytesPerSample() > 0 && (channels_ == 1 || channels_ == 2);
}

QString AudioFormat::printMonoStereo() const
{
    return isStereo() ? QStringLiteral("Stereo") : QStringLiteral("Mono");
}
