#include "zaltor/AudioDevice.h"
#include "TestSupport.h"

#include <QElapsedTimer>
#include <QThread>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// Half a second of a 440 Hz tone.
Sample tone()
{
    Sample s;
    s.format() = AudioFormat(44100, 16, 1);
    std::vector<std::int32_t> values(22050);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = std::int32_t(8000 * std::sin(2 * M_PI * 440 * double(i) / 44100));
    s.setSamples(0, values);
    return s;
}

bool stopsWithin(const AudioOutPort& port, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (port.isPlaying() && timer.elapsed() < ms) QThread::msleep(20);
    return !port.isPlaying();
}

} // namespace

TEST(AudioDevice, NothingPlaysWithoutASystemOrAudio)
{
    AudioDevice none("nonsense");
    EXPECT_FALSE(none.isAvailable());
    EXPECT_FALSE(none.out().play(tone()));
    EXPECT_EQ(none.out().error(), "No audio system");

    AudioDevice device;
    EXPECT_FALSE(device.out().play(AudioWave()));
    EXPECT_EQ(device.out().error(), "Nothing to play");
    EXPECT_FALSE(device.out().play(tone(), 22050));
}

TEST(AudioDevice, PlaysOnceOrLoopsOnJack)
{
    const auto jack = jackClient();
    if (!jack) GTEST_SKIP() << "no JACK server runs";
    AudioDevice device("jack");
    ASSERT_TRUE(device.isAvailable());
    AudioOutPort& out = device.out();

    const Sample sound = tone();
    ASSERT_TRUE(out.play(sound)) << out.error().toStdString();
    EXPECT_EQ(out.outputRate(), jack_get_sample_rate(jack.get()));
    QThread::msleep(100);
    EXPECT_TRUE(out.isPlaying());
    EXPECT_TRUE(stopsWithin(out, 5000));

    // A loop plays on until stopped, also well past the sound's length.
    Sample looped = sound;
    looped.loopMode = Sample::LoopForward;
    looped.loopStart = 100;
    looped.loopEnd = 200;
    ASSERT_TRUE(out.play(looped));
    QThread::msleep(1000);
    EXPECT_TRUE(out.isPlaying());
    out.stop();
    EXPECT_FALSE(out.isPlaying());

    // Playing again replaces the sound, from a later start.
    ASSERT_TRUE(out.play(sound, 11025));
    EXPECT_TRUE(out.isPlaying());
    EXPECT_TRUE(stopsWithin(out, 5000));
}
