#include "zaltor/Sample.h"
#include "audio/AudioFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace audiofiles;

namespace {

Sample bell()
{
    Sample s;
    s.format() = AudioFormat(22050, 16, 1);
    s.setSamples(0, std::vector<std::int32_t>{0, 1000, -1000, 32767, -32768, 5, 6, 7, 8, 9});
    s.name = "Bell";
    s.rootKey = 62;
    s.keyLow = 10;
    s.keyHigh = 100;
    s.velocityLow = 20;
    s.velocityHigh = 110;
    s.volume = 100;
    s.pan = 30;
    s.coarseTune = 66;
    s.fineTune = 40;
    s.loopMode = Sample::LoopForward;
    s.loopStart = 2;
    s.loopEnd = 8;
    s.sampleStart = 1;
    return s;
}

void expectSameSettings(const Sample& a, const Sample& b)
{
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.format(), b.format());
    EXPECT_EQ(a.left(), b.left());
    EXPECT_EQ(a.right(), b.right());
    EXPECT_EQ(a.rootKey, b.rootKey);
    EXPECT_EQ(a.keyLow, b.keyLow);
    EXPECT_EQ(a.keyHigh, b.keyHigh);
    EXPECT_EQ(a.velocityLow, b.velocityLow);
    EXPECT_EQ(a.velocityHigh, b.velocityHigh);
    EXPECT_EQ(a.volume, b.volume);
    EXPECT_EQ(a.pan, b.pan);
    EXPECT_EQ(a.coarseTune, b.coarseTune);
    EXPECT_EQ(a.fineTune, b.fineTune);
    EXPECT_EQ(a.loopMode, b.loopMode);
    EXPECT_EQ(a.loopStart, b.loopStart);
    EXPECT_EQ(a.loopEnd, b.loopEnd);
    EXPECT_EQ(a.sampleStart, b.sampleStart);
}

class SampleFiles : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(SampleFiles, WavKeepsFramesLoopRangesAndTuning)
{
    const Sample written = bell();
    QString error;
    ASSERT_TRUE(written.toFile(path("bell.wav"), &error)) << error.toStdString();
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

    Sample read;
    ASSERT_TRUE(read.fromFile(path("bell.wav"), &error)) << error.toStdString();
    EXPECT_TRUE(read.isValid());
    expectSameSettings(read, written);

    // The other loop directions.
    Sample reverse = bell();
    reverse.loopMode = Sample::LoopReverse;
    ASSERT_TRUE(reverse.toFile(path("reverse.wav")));
    ASSERT_TRUE(read.fromFile(path("reverse.wav")));
    EXPECT_EQ(read.loopMode, Sample::LoopReverse);
    reverse.loopMode = Sample::LoopAlternate;
    ASSERT_TRUE(reverse.toFile(path("reverse.wav")));
    ASSERT_TRUE(read.fromFile(path("reverse.wav")));
    EXPECT_EQ(read.loopMode, Sample::LoopAlternate);
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
    ASSERT_TRUE(written.toFile(path("pad.aiff")));

    const QByteArray file = readFile(path("pad.aiff"));
    // INST: root, detune +36, keys, velocities, gain, sustain loop forward-backward from marker 1
    // to marker 2, no release loop.
    EXPECT_EQ(chunkBody(file, "INST", 20).toHex(' '),
              "3e 24 0a 64 14 6e 00 00 00 02 00 01 00 02 00 00 00 00 00 00");
    EXPECT_EQ(chunkBody(file, "MARK", 34).toHex(' '), "00 02 00 01 00 00 00 01 08 62 65 67 20 6c 6f 6f 70 00 "
                                                      "00 02 00 00 00 04 08 65 6e 64 20 6c 6f 6f 70 00");

    Sample read;
    ASSERT_TRUE(read.fromFile(path("pad.aiff")));
    expectSameSettings(read, written);

    // AIFF has no backward loop: it plays forward.
    written.loopMode = Sample::LoopReverse;
    ASSERT_TRUE(written.toFile(path("pad.aif")));
    ASSERT_TRUE(read.fromFile(path("pad.aif")));
    EXPECT_EQ(read.loopMode, Sample::LoopForward);
}

TEST_F(SampleFiles, FlacAndNarrowWidthsKeepTheirFrames)
{
    Sample written = bell();
    written.format() = AudioFormat(32000, 16, 2);
    written.setSamples(1, std::vector<std::int32_t>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0});
    ASSERT_TRUE(written.toFile(path("bell.flac")));
    Sample read;
    ASSERT_TRUE(read.fromFile(path("bell.flac")));
    EXPECT_EQ(read.format(), written.format());
    EXPECT_EQ(read.left(), written.left());
    EXPECT_EQ(read.right(), written.right());
    EXPECT_EQ(read.name, "Bell");
    // FLAC carries no instrument settings.
    EXPECT_EQ(read.rootKey, 60);
    EXPECT_EQ(read.loopMode, Sample::LoopNone);

    // 8-bit WAV stores unsigned bytes; the sample keeps signed ones.
    written = bell();
    written.format() = AudioFormat(8000, 8, 1);
    written.setSamples(0, std::vector<std::int32_t>{-128, -1, 0, 1, 127, 0, 0, 0, 0, 0});
    ASSERT_TRUE(written.toFile(path("eight.wav")));
    EXPECT_EQ(chunkBody(readFile(path("eight.wav")), "data", 5).toHex(' '), "00 7f 80 81 ff");
    ASSERT_TRUE(read.fromFile(path("eight.wav")));
    EXPECT_EQ(read.left().toString(), "80 FF 00 01 7F 00 00 00 00 00");

    // 12-bit samples travel in 16-bit words and come back as 16 bits with the same bytes.
    written.format() = AudioFormat(8000, 12, 1);
    written.setSamples(0, std::vector<std::int32_t>{0x7FF0, -0x8000, 0x10, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(written.toFile(path("twelve.wav")));
    ASSERT_TRUE(read.fromFile(path("twelve.wav")));
    EXPECT_EQ(read.format().bitsPerSample(), 16);
    EXPECT_EQ(read.left(), written.left());
}

TEST_F(SampleFiles, ForeignWavWithOnlyASamplerChunk)
{
    ByteWriter smpl;
    for (std::uint32_t v : {0u, 0u, 22676u, 50u, 0x80000000u, 0u, 0u, 1u, 0u, 7u, 1u, 3u, 5u, 0u, 0u})
        smpl.u32le(v);
    const Bytes data = {1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0};
    ASSERT_TRUE(writeFile(path("Foreign Piano.wav"), wav(1, 16, 44100, data, {{"smpl", smpl.data()}})));
    Sample read;
    ASSERT_TRUE(read.fromFile(path("Foreign Piano.wav")));
    EXPECT_EQ(read.name, "Foreign Piano");
    EXPECT_EQ(read.sampleLength(), 8);
    EXPECT_EQ(read.rootKey, 50);
    EXPECT_EQ(read.fineTune, 114); // half a semitone up
    EXPECT_EQ(read.loopMode, Sample::LoopAlternate);
    EXPECT_EQ(read.loopStart, 3u);
    EXPECT_EQ(read.loopEnd, 6u); // the file names the loop's last frame
    EXPECT_EQ(read.keyLow, 0);
    EXPECT_EQ(read.keyHigh, 127);
    EXPECT_EQ(read.velocityLow, 1);
    EXPECT_EQ(read.volume, 127);
}

TEST_F(SampleFiles, DamagedFilesGiveErrorsOrSaneSettings)
{
    Sample read;
    QString error;
    EXPECT_FALSE(read.fromFile(path("missing.wav"), &error));
    EXPECT_TRUE(error.startsWith("Cannot read")) << error.toStdString();

    const Bytes data = {1, 0, 2, 0, 3, 0, 4, 0};
    const Bytes good = wav(1, 16, 44100, data);
    ASSERT_TRUE(writeFile(path("cut.wav"), Bytes(good.begin(), good.begin() + 30)));
    EXPECT_FALSE(read.fromFile(path("cut.wav"), &error));
    ASSERT_TRUE(writeFile(path("noise.wav"), Bytes(200, 0xA5)));
    EXPECT_FALSE(read.fromFile(path("noise.wav"), &error));
    ASSERT_TRUE(writeFile(path("empty.wav"), wav(1, 16, 44100, {})));
    EXPECT_FALSE(read.fromFile(path("empty.wav"), &error));
    EXPECT_TRUE(error.endsWith("no audio")) << error.toStdString();
    ASSERT_TRUE(writeFile(path("three.wav"), wav(3, 16, 44100, Bytes(18, 0))));
    EXPECT_FALSE(read.fromFile(path("three.wav"), &error));
    EXPECT_TRUE(error.contains("3 channels")) << error.toStdString();
    EXPECT_FALSE(read.isValid());
    EXPECT_EQ(read.name, "");

    // A sampler chunk cut inside its loop record keeps its root key and has no loop; loop points
    // past the audio are cut to it.
    ByteWriter cut;
    for (std::uint32_t v : {0u, 0u, 0u, 70u, 0u, 0u, 0u, 1u, 0u, 0u})
        cut.u32le(v);
    ASSERT_TRUE(writeFile(path("cutloop.wav"), wav(1, 16, 44100, data, {{"smpl", cut.data()}})));
    ASSERT_TRUE(read.fromFile(path("cutloop.wav")));
    EXPECT_EQ(read.rootKey, 70);
    EXPECT_EQ(read.loopMode, Sample::LoopNone);
    ByteWriter far;
    for (std::uint32_t v : {0u, 0u, 0u, 300u, 0u, 0u, 0u, 1u, 0u, 0u, 0u, 1u, 1000u, 0u, 0u})
        far.u32le(v);
    const Bytes inst = {200, 0x80, 0, 130, 255, 0, 255};
    ASSERT_TRUE(writeFile(path("far.wav"), wav(1, 16, 44100, data, {{"smpl", far.data()}, {"inst", inst}})));
    ASSERT_TRUE(read.fromFile(path("far.wav")));
    EXPECT_EQ(read.loopStart, 1u);
    EXPECT_EQ(read.loopEnd, 4u);
    EXPECT_EQ(read.rootKey, 127);
    EXPECT_EQ(read.fineTune, 0);
    EXPECT_EQ(read.keyHigh, 127);

    // An AIFF loop whose markers are missing is no loop.
    Sample aiff = bell();
    ASSERT_TRUE(aiff.toFile(path("loop.aiff")));
    QByteArray bytes = readFile(path("loop.aiff"));
    const int mark = bytes.indexOf("MARK");
    ASSERT_GT(mark, 0);
    bytes[mark + 8 + 1] = 7;     // seven markers announced
    bytes[mark + 8 + 2 + 1] = 9; // the loop start marker renamed
    ASSERT_TRUE(writeFile(path("loop.aiff"), Bytes(bytes.begin(), bytes.end())));
    ASSERT_TRUE(read.fromFile(path("loop.aiff")));
    EXPECT_EQ(read.loopMode, Sample::LoopNone);
    EXPECT_EQ(read.rootKey, 62);

    EXPECT_FALSE(Sample().toFile(path("nothing.wav"), &error));
    EXPECT_TRUE(error.startsWith("No audio")) << error.toStdString();
    EXPECT_FALSE(bell().toFile(path("no/such/folder/bell.wav"), &error));
    EXPECT_TRUE(error.startsWith("Cannot write")) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("nothing.wav")));
}
