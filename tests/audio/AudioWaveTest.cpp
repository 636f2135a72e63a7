#include "zaltor/AudioWave.h"
#include "zaltor/Note.h"
#include "zaltor/SampleConvert.h"

#include <gtest/gtest.h>

TEST(AudioFormat, WidthsTakeWholeBytes)
{
    const std::pair<int, int> widths[] = {{8, 1}, {12, 2}, {16, 2}, {24, 3}, {32, 4}, {0, 0}, {33, 0}};
    for (const auto& [bits, bytes] : widths)
        EXPECT_EQ(AudioFormat(44100, bits, 1).bytesPerSample(), bytes) << bits;
    EXPECT_TRUE(AudioFormat(22050.5, 16, 2).isValid());
    for (const AudioFormat& bad :
         {AudioFormat(0, 16, 1), AudioFormat(44100, 16, 3), AudioFormat(44100, 40, 1)})
        EXPECT_FALSE(bad.isValid());
}

TEST(AudioWave, SamplesAreSignedLittleEndianPerChannel)
{
    AudioWave wave;
    wave.setFormat(AudioFormat(48000, 16, 2));
    const std::vector<std::int32_t> left = {0, 1, -1, 32767, -32768};
    const std::vector<std::int32_t> right = {256, -256, 0, 0, 0};
    wave.setSamples(0, left);
    wave.setSamples(1, right);
    EXPECT_EQ(wave.left().toString(), "00 00 01 00 FF FF FF 7F 00 80");
    EXPECT_EQ(wave.right().toString(), "00 01 00 FF 00 00 00 00 00 00");
    EXPECT_EQ((std::vector<int>{wave.totalSize(), wave.sampleLength(), wave.sampleAt(0, 4),
                                wave.sampleAt(1, 1), wave.sampleAt(0, 5), wave.sampleAt(0, -1)}),
              (std::vector<int>{20, 5, -32768, -256, 0, 0}));
    EXPECT_FLOAT_EQ(wave.valueAt(0, 4), -1.0f);
    EXPECT_FLOAT_EQ(wave.valueAt(1, 0), 256.0f / 32768.0f);

    // Full-scale frames interleave the channels and keep the top bits of each sample.
    EXPECT_EQ(wave.framesAt(3, 9), (std::vector<std::int32_t>{32767 << 16, 0, INT32_MIN, 0}));
    AudioWave copy;
    copy.setFormat(wave.format());
    ASSERT_TRUE(copy.appendFrames(wave.framesAt(0, 2)));
    ASSERT_TRUE(copy.appendFrames(wave.framesAt(2, 3)));
    EXPECT_EQ(copy, wave);
}

TEST(AudioWave, OddWidthsSitInTheirBytes)
{
    AudioWave wave;
    wave.setFormat(AudioFormat(44100, 24, 1));
    ASSERT_TRUE(wave.appendFrames(std::vector<std::int32_t>{0x12345678, -0x100}));
    EXPECT_EQ(wave.left().toString(), "56 34 12 FF FF FF");
    EXPECT_EQ(wave.sampleAt(0, 1), -1);

    // 12-bit samples are held left-aligned in two bytes, like 16-bit ones.
    wave.setFormat(AudioFormat(44100, 12, 1));
    wave.left().reset();
    ASSERT_TRUE(wave.appendFrames(std::vector<std::int32_t>{0x7FF00000, int(0x80000000)}));
    EXPECT_EQ(wave.left().toString(), "F0 7F 00 80");
    EXPECT_EQ(wave.sampleLength(), 2);

    wave.setFormat(AudioFormat(44100, 8, 1));
    wave.setSamples(0, std::vector<std::int32_t>{-128, 127, -1});
    EXPECT_EQ(wave.left().toString(), "80 7F FF");
    EXPECT_EQ(wave.framesAt(0, 3), (std::vector<std::int32_t>{INT32_MIN, 127 << 24, -(1 << 24)}));
    // Mono answers its one channel on both sides.
    EXPECT_EQ(wave.sampleAt(1, 1), 127);

    // 16-bit values, as a 16-bit file holds them, are the top of full scale for any width.
    wave.setFormat(AudioFormat(44100, 24, 2));
    wave.left().reset();
    ASSERT_TRUE(wave.appendFrames(std::vector<std::int16_t>{0x1234, -2, INT16_MIN, 0x7F00, 5}));
    EXPECT_EQ(wave.left().toString(), "00 34 12 00 00 80");
    EXPECT_EQ(wave.right().toString(), "00 FE FF 00 00 7F");
}

TEST(Note, NamesKeysFromCMinusTwo)
{
    const std::pair<int, const char*> names[] = {{60, "C3"},   {0, "C-2"}, {11, "B-2"},
                                                 {13, "C#-1"}, {69, "A3"}, {70, "A#3"},
                                                 {127, "G8"},  {-1, ""},   {128, ""}};
    for (const auto& [key, name] : names) EXPECT_EQ(Note::name(key), name) << key;
}

TEST(SampleConvert, DitherKeepsWhatLiesBelowTheLastStep)
{
    // A quarter of a 16-bit step: plain rounding gives silence, dither a quarter on average,
    // and never more than one step away. The same audio always dithers the same way.
    AudioWave wave, again;
    wave.setFormat(AudioFormat(44100, 24, 1));
    wave.setSamples(0, std::vector<std::int32_t>(1000, 0x40));
    again = wave;
    SampleConvert::toPcm16(wave);
    SampleConvert::toPcm16(again);
    EXPECT_EQ(wave, again);
    EXPECT_EQ(wave.format(), AudioFormat(44100, 16, 1));
    double sum = 0;
    for (int f = 0; f < wave.sampleLength(); ++f) {
        EXPECT_LE(std::abs(wave.sampleAt(0, f)), 1) << f;
        sum += wave.sampleAt(0, f);
    }
    EXPECT_NEAR(sum / 1000, 0.25, 0.05);
}
