// Audio of every container, depth and channel count, with and without a loop, written by
// libsndfile, imported as a key bank and exported again: frames, loop and root key survive, and
// the sound comes back as 16-bit PCM, exactly for sources up to 16 bits and within dither above.
#include "X0vTestSupport.h"
#include "zaltor/Sample.h"

#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <sndfile.h>

namespace {

constexpr int Frames = 1000;
constexpr int Root = 50;

// Writes sines of the peak (another pitch on the right) and answers the interleaved frames the
// file holds, in 16-bit steps.
std::vector<double> writeSource(const QString& path, int format, int channels, bool loop, double peak = 0.9)
{
    SF_INFO info{0, 44100, channels, format, 0, 0};
    SNDFILE* file = sf_open(path.toUtf8().constData(), SFM_WRITE, &info);
    if (!file) return {};
    SF_INSTRUMENT instrument{};
    instrument.basenote = Root;
    instrument.loop_count = loop ? 1 : 0;
    instrument.loops[0] = {SF_LOOP_FORWARD, 100, 800, 0};
    sf_command(file, SFC_SET_INSTRUMENT, &instrument, sizeof instrument);
    // libsndfile writes no instrument into AIFF: its chunks go in as bytes (root, keys,
    // velocities, gain, then a forward sustain loop between markers at frames 100 and 800).
    for (const auto& [id, body] :
         {std::pair{"INST", QString("3200007f017f0000 000%1 0001 0002 000000000000").arg(loop)},
          {"MARK", QString("0002 0001 00000064 0000 0002 00000320 0000")}}) {
        QByteArray bytes = QByteArray::fromHex(body.toLatin1());
        SF_CHUNK_INFO chunk{{}, 4, unsigned(bytes.size()), bytes.data()};
        std::memcpy(chunk.id, id, 4);
        if ((format & SF_FORMAT_TYPEMASK) == SF_FORMAT_AIFF) sf_set_chunk(file, &chunk);
    }
    // Bits of each encoding by its number; 0 for floating point.
    constexpr int BitsOf[] = {0, 8, 16, 24, 32, 8, 0, 0};
    const int bits = BitsOf[format & 7];
    std::vector<double> held(std::size_t(Frames * channels)), interleaved(held.size());
    for (std::size_t i = 0; i < held.size(); ++i) {
        const double tone =
            peak * 32768 * std::sin(2 * M_PI * double(i / channels) * (i % channels ? 7 : 5) / Frames);
        // Integer sources hold whole steps of their width.
        held[i] = bits ? std::ldexp(std::round(std::ldexp(tone, bits - 16)), 16 - bits) : tone;
        interleaved[i] = bits ? std::ldexp(held[i], bits - 16) : held[i] / 32768;
    }
    // Normalised doubles would become integers scaled by one less than full scale: integer
    // sources are given as the integers themselves.
    sf_command(file, SFC_SET_NORM_DOUBLE, nullptr, bits == 0);
    const bool written = sf_writef_double(file, interleaved.data(), Frames) == Frames;
    return sf_close(file) == 0 && written ? held : std::vector<double>{};
}

// Signal to noise of the exported audio against the source, in dB (infinite when identical).
double snr(const std::vector<double>& source, const Sample& exported)
{
    double signal = 0, noise = 0;
    for (std::size_t i = 0; i < source.size(); ++i) {
        const int channels = exported.format().channels();
        const double error = source[i] - exported.sampleAt(int(i) % channels, int(i) / channels);
        signal += source[i] * source[i];
        noise += error * error;
    }
    return 10 * std::log10(signal / noise);
}

using Case = std::tuple<int, int, int, bool>;

// Every container with every encoding libsndfile writes into it (8-bit WAV is unsigned; FLAC
// stops at 24-bit integers), mono and stereo, with and without a loop.
std::vector<Case> cases()
{
    std::vector<Case> out;
    for (int container : {SF_FORMAT_WAV, SF_FORMAT_AIFF, SF_FORMAT_FLAC})
        for (int encoding : {SF_FORMAT_PCM_U8, SF_FORMAT_PCM_S8, SF_FORMAT_PCM_16, SF_FORMAT_PCM_24,
                             SF_FORMAT_PCM_32, SF_FORMAT_FLOAT, SF_FORMAT_DOUBLE})
            for (int channels : {1, 2})
                for (bool loop : {false, true}) {
                    SF_INFO info{0, 44100, channels, container | encoding, 0, 0};
                    if (sf_format_check(&info)) out.emplace_back(container, encoding, channels, loop);
                }
    return out;
}

class KeybankRoundTrip : public ::testing::TestWithParam<Case> {};

} // namespace

TEST_P(KeybankRoundTrip, FramesLoopRootAndSoundSurvive)
{
    const auto [container, encoding, channels, loop] = GetParam();
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source.") + (container == SF_FORMAT_AIFF   ? "aiff"
                                                                     : container == SF_FORMAT_FLAC ? "flac"
                                                                                                   : "wav"));
    const std::vector<double> held = writeSource(source, container | encoding, channels, loop);
    ASSERT_FALSE(held.empty()) << sf_strerror(nullptr);
    auto library = ::library(XsType);
    ASSERT_EQ(library->importWaveform(1, 0, source), 1);
    const XS_Keybank* keybank = waveAt(*library, 1, 0)->keybanks().at(0);
    EXPECT_EQ(keybank->printType(), QString("44100 Hz  %1  16bit").arg(channels == 2 ? "Stereo" : "Mono"));
    EXPECT_TRUE(library->importNotes().isEmpty());
    ASSERT_TRUE(keybank->exportKeybank(dir.filePath("back.wav")));
    Sample back;
    ASSERT_TRUE(back.fromFile(dir.filePath("back.wav")));
    // FLAC has no place for a loop or a root key.
    const bool chunks = container != SF_FORMAT_FLAC;
    EXPECT_EQ(QString::asprintf("%d frames, root %d, loop %d %u-%u", back.sampleLength(), back.rootKey,
                                back.loopMode, back.loopStart, back.loopEnd),
              QString::asprintf("1000 frames, root %d, loop %s", chunks ? Root : 60,
                                loop && chunks ? "1 100-800" : "0 0-0"));
    // 8 and 16 bits come back identical (an infinite ratio), deeper sources within dither.
    const int sub = encoding & SF_FORMAT_SUBMASK;
    const bool exact = sub == SF_FORMAT_PCM_U8 || sub == SF_FORMAT_PCM_S8 || sub == SF_FORMAT_PCM_16;
    EXPECT_GE(snr(held, back), exact ? INFINITY : 90);
}

INSTANTIATE_TEST_SUITE_P(Audio, KeybankRoundTrip, ::testing::ValuesIn(cases()));

TEST(KeybankAudio, FloatAboveFullScaleIsScaledDownNotClipped)
{
    QTemporaryDir dir;
    const QString source = dir.filePath("loud.wav");
    std::vector<double> held = writeSource(source, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, false, 1.3);
    for (double& value : held) value /= 1.3;
    auto library = ::library(XsType);
    ASSERT_EQ(library->importWaveform(1, 0, source), 1);
    EXPECT_EQ(library->importNotes(), QStringList{"'loud' scaled by -2.3 dB to avoid clipping"});
    Sample back;
    ASSERT_TRUE(waveAt(*library, 1, 0)->keybanks().at(0)->exportKeybank(dir.filePath("back.wav")));
    ASSERT_TRUE(back.fromFile(dir.filePath("back.wav")));
    EXPECT_GE(snr(held, back), 90);
}
