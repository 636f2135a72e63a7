#include "zaltor/Sample.h"
#include "audio/AudioFiles.h"
#include "audio/SampleText.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace audiofiles;

namespace {

class SampleFiles : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    // Writes the sample, reads it back and checks that sound and settings came through.
    Sample roundTrip(const Sample& written, const QString& name)
    {
        Sample read;
        QString error;
        EXPECT_TRUE(written.toFile(path(name), &error)) << error.toStdString();
        EXPECT_TRUE(read.fromFile(path(name), &error)) << error.toStdString();
        EXPECT_EQ(read.format(), written.format());
        EXPECT_EQ(read.left(), written.left());
        EXPECT_EQ(read.right(), written.right());
        return read;
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(SampleFiles, WavKeepsFramesLoopRangesAndTuning)
{
    const Sample written = bell();
    EXPECT_EQ(settingsOf(roundTrip(written, "bell.wav")), settingsOf(written));
    EXPECT_FALSE(QFileInfo::exists(path("bell.wav.tmp")));
    const QByteArray file = readFile(path("bell.wav"));
    // inst: root key, detune -24 cents, gain, keys 10-100, velocities 20-110.
    EXPECT_EQ(chunkBody(file, "inst", 7).toHex(' '), "3e e8 00 0a 64 14 6e");
    // smpl: period 45351 ns, unity note 62, one forward loop over frames 2 to 7.
    EXPECT_EQ(chunkBody(file, "smpl", 60).toHex(' '),
              "00 00 00 00 00 00 00 00 27 b1 00 00 3e 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
              "01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 02 00 00 00 07 00 00 00 00 00 00 00 "
              "00 00 00 00");
    EXPECT_EQ(chunkBody(file, "zltr", 8).toHex(' '), "01 64 1e 42 01 00 00 00");

    Sample other = bell();
    for (const int mode : {Sample::LoopReverse, Sample::LoopAlternate}) {
        other.loopMode = mode;
        EXPECT_EQ(roundTrip(other, "other.wav").loopMode, mode);
    }
}

TEST_F(SampleFiles, AiffKeepsStereoFramesLoopRangesAndTuning)
{
    Sample written = bell();
    written.format() = AudioFormat(44100, 24, 2);
    written.setSamples(0, std::vector<std::int32_t>{0, 0x7FFFFF, -0x800000, 1, 2, 3});
    written.setSamples(1, std::vector<std::int32_t>{-1, -2, -3, 4, 5, 6});
    written.fineTune = 100;
    written.loopMode = Sample::LoopAlternate;
    written.loopStart = 1;
    written.loopEnd = 4;
    EXPECT_EQ(settingsOf(roundTrip(written, "pad.aiff")), settingsOf(written));
    const QByteArray file = readFile(path("pad.aiff"));
    // INST: root, detune +36, keys, velocities, gain, sustain loop forward-backward from marker 1
    // to marker 2, no release loop.
    EXPECT_EQ(chunkBody(file, "INST", 20).toHex(' '),
              "3e 24 0a 64 14 6e 00 00 00 02 00 01 00 02 00 00 00 00 00 00");
    EXPECT_EQ(chunkBody(file, "MARK", 34).toHex(' '), "00 02 00 01 00 00 00 01 08 62 65 67 20 6c 6f 6f 70 00 "
                                                      "00 02 00 00 00 04 08 65 6e 64 20 6c 6f 6f 70 00");
    // AIFF has no backward loop: it plays forward.
    written.loopMode = Sample::LoopReverse;
    EXPECT_EQ(roundTrip(written, "pad.aif").loopMode, Sample::LoopForward);
}

TEST_F(SampleFiles, FlacAndNarrowWidthsKeepTheirFrames)
{
    Sample written = bell();
    written.format() = AudioFormat(32000, 16, 2);
    written.setSamples(1, std::vector<std::int32_t>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0});
    // FLAC carries no instrument settings.
    EXPECT_EQ(settingsOf(roundTrip(written, "bell.flac")),
              "\"Bell\": 10 frames, root 60, keys 0-127, vel 1-127, vol 127, pan 64, tune 64/64, loop 0 0-0, "
              "start 0");

    // 8-bit WAV stores unsigned bytes; the sample keeps signed ones.
    written = bell();
    written.format() = AudioFormat(8000, 8, 1);
    written.setSamples(0, std::vector<std::int32_t>{-128, -1, 0, 1, 127, 0, 0, 0, 0, 0});
    EXPECT_EQ(roundTrip(written, "eight.wav").left().toString(), "80 FF 00 01 7F 00 00 00 00 00");
    EXPECT_EQ(chunkBody(readFile(path("eight.wav")), "data", 5).toHex(' '), "00 7f 80 81 ff");

    // 12-bit samples travel in 16-bit words and come back as 16 bits with the same bytes.
    written.format() = AudioFormat(8000, 12, 1);
    written.setSamples(0, std::vector<std::int32_t>{0x7FF0, -0x8000, 0x10, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(written.toFile(path("twelve.wav")));
    Sample read;
    ASSERT_TRUE(read.fromFile(path("twelve.wav")));
    EXPECT_EQ(read.format().bitsPerSample(), 16);
    EXPECT_EQ(read.left(), written.left());
}

TEST_F(SampleFiles, ForeignAndDamagedFilesGiveErrorsOrSaneSettings)
{
    const QByteArray data = QByteArray::fromHex("01000200030004000500060007000800");
    Sample read;
    // Another program's sampler chunk alone: its loop names its last frame, its tuning a fraction.
    ASSERT_TRUE(writeFile(
        path("Foreign Piano.wav"),
        wav(data, chunk("smpl", le32({0, 0, 22676, 50, 0x80000000, 0, 0, 1, 0, 7, 1, 3, 5, 0, 0})))));
    ASSERT_TRUE(read.fromFile(path("Foreign Piano.wav")));
    EXPECT_EQ(settingsOf(read),
              "\"Foreign Piano\": 8 frames, root 50, keys 0-127, vel 1-127, vol 127, pan 64, "
              "tune 64/114, loop 3 3-6, start 0");

    // A sampler chunk cut inside its loop record keeps its root key and has no loop; loop points
    // past the audio are cut to it and wild instrument values brought into range.
    ASSERT_TRUE(
        writeFile(path("cutloop.wav"), wav(data, chunk("smpl", le32({0, 0, 0, 70, 0, 0, 0, 1, 0, 0})))));
    ASSERT_TRUE(read.fromFile(path("cutloop.wav")));
    EXPECT_EQ(read.rootKey, 70);
    EXPECT_EQ(read.loopMode, Sample::LoopNone);
    ASSERT_TRUE(
        writeFile(path("far.wav"),
                  wav(data.left(8), chunk("smpl", le32({0, 0, 0, 300, 0, 0, 0, 1, 0, 0, 0, 1, 1000, 0, 0})) +
                                        chunk("inst", QByteArray::fromHex("c8800082ff00ff")))));
    ASSERT_TRUE(read.fromFile(path("far.wav")));
    EXPECT_EQ(settingsOf(read), "\"far\": 4 frames, root 127, keys 127-127, vel 0-127, vol 127, pan 64, "
                                "tune 64/0, loop 1 1-4, start 0");

    // An AIFF loop whose markers are missing is no loop.
    ASSERT_TRUE(bell().toFile(path("loop.aiff")));
    QByteArray bytes = readFile(path("loop.aiff"));
    const int mark = bytes.indexOf("MARK");
    ASSERT_GT(mark, 0);
    bytes[mark + 8 + 1] = 7;     // seven markers announced
    bytes[mark + 8 + 2 + 1] = 9; // the loop start marker renamed
    ASSERT_TRUE(writeFile(path("loop.aiff"), bytes));
    ASSERT_TRUE(read.fromFile(path("loop.aiff")));
    EXPECT_EQ(read.loopMode, Sample::LoopNone);
    EXPECT_EQ(read.rootKey, 62);

    QString error;
    EXPECT_FALSE(read.fromFile(path("missing.wav"), &error));
    EXPECT_TRUE(error.startsWith("Cannot read")) << error.toStdString();
    ASSERT_TRUE(writeFile(path("empty.wav"), wav({})));
    EXPECT_FALSE(read.fromFile(path("empty.wav"), &error));
    EXPECT_TRUE(error.endsWith("no audio")) << error.toStdString();
    ASSERT_TRUE(writeFile(path("three.wav"), wav(QByteArray(18, 0), {}, 3)));
    EXPECT_FALSE(read.fromFile(path("three.wav"), &error));
    EXPECT_TRUE(error.contains("3 channels")) << error.toStdString();
    EXPECT_FALSE(read.isValid());
    EXPECT_EQ(read.name, "");

    EXPECT_FALSE(Sample().toFile(path("nothing.wav"), &error));
    EXPECT_TRUE(error.startsWith("No audio")) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("nothing.wav")));
    EXPECT_FALSE(bell().toFile(path("no/such/folder/bell.wav"), &error));
    EXPECT_TRUE(error.startsWith("Cannot write")) << error.toStdString();
}
