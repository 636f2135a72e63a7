#include "zaltor/SampleFile.h"
#include "audio/AudioFiles.h"
#include "audio/SampleText.h"
#include "zaltor/SampleFileMessage.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace audiofiles;

namespace {

std::vector<std::int16_t> ramp(int frames, int step)
{
    std::vector<std::int16_t> values(std::size_t(frames), 0);
    for (int i = 0; i < frames; ++i) values[std::size_t(i)] = std::int16_t(i * step);
    return values;
}

// Generators by their SoundFont numbers.
enum : std::uint16_t {
    StartOffset = 0,
    LoopStartOffset = 2,
    Pan = 17,
    Attenuation = 48,
    Coarse = 51,
    Fine = 52,
    Modes = 54,
    RootKey = 58
};

Bytes bank()
{
    const std::vector<Sf2Sample> samples = {
        {"Low", ramp(100, 100), 22050, 48, 5, 10, 90},
        {"High", ramp(50, -7), 44100, 72, 0, 0, 40},
        {"Bass", ramp(30, 1000), 11025, 36, -3, 5, 25},
    };
    const std::vector<Sf2Instrument> instruments = {
        {"Piano",
         {{0, 0, 59, 1, 127, {{Pan, 250}, {Attenuation, 60}, {Fine, -10}, {Modes, 1}}},
          {1, 60, 127, 64, 127, {{Coarse, 2}, {RootKey, 70}}}}},
        {"Bass", {{2, 20, 50, 0, 127, {{Modes, 3}, {LoopStartOffset, 3}, {StartOffset, 4}}}}},
    };
    return sf2(samples, instruments);
}

} // namespace

TEST(SampleFile, SoundFontAndDlsInstrumentsBecomeNamedListsOfSamples)
{
    QTemporaryDir dir;
    const auto read = [&](const QString& name, const Bytes& bytes) {
        QStringList out;
        SampleFile file;
        QString error;
        EXPECT_TRUE(writeFile(dir.filePath(name), bytes));
        EXPECT_TRUE(file.fromFile(dir.filePath(name), &error)) << error.toStdString();
        for (const auto& instrument : file.instruments) {
            out << "[" + instrument->name + "]";
            for (const auto& sample : instrument->samples) {
                EXPECT_TRUE(sample->isValid());
                out << QString::fromStdString(settingsOf(*sample)) +
                           QString::asprintf(" | %g Hz %d-bit %s, last %d", sample->format().sampleRate(),
                                             sample->format().bitsPerSample(),
                                             qPrintable(sample->format().printMonoStereo()),
                                             sample->sampleAt(0, sample->sampleLength() - 1));
            }
        }
        return out.join('\n').toStdString();
    };
    // Pan 250 is a quarter right, attenuation 60 is 6 dB down, the zone's -10 cents add to the
    // sample's +5; the zone's offsets move the loop and the start.
    EXPECT_EQ(
        read("bank.sf2", bank()),
        "[Piano]\n"
        "\"\": 100 frames, root 48, keys 0-59, vel 1-127, vol 90, pan 96, tune 64/59, loop 1 10-90, start 0 "
        "| "
        "22050 Hz 16-bit Mono, last 9900\n"
        "\"\": 50 frames, root 70, keys 60-127, vel 64-127, vol 127, pan 64, tune 66/64, loop 0 0-40, start "
        "0 | "
        "44100 Hz 16-bit Mono, last -343\n"
        "[Bass]\n"
        "\"\": 30 frames, root 36, keys 20-50, vel 0-127, vol 127, pan 64, tune 64/61, loop 1 8-25, start 4 "
        "| "
        "11025 Hz 16-bit Mono, last 29000");
    EXPECT_EQ(
        read("bank.dls", dls({ramp(40, 10), ramp(20, -20)}, 32000,
                             {{"Strings", {{1, 0, 63, 0, 127, 55, 0, 0}, {0, 64, 127, 0, 127, 67, 4, 30}}},
                              {"Flute", {{0, 10, 20, 30, 40, 72, 0, 0}}}})),
        "[Strings]\n"
        "\"\": 20 frames, root 55, keys 0-63, vel 0-127, vol 127, pan 64, tune 64/64, loop 0 0-0, start 0 "
        "| "
        "32000 Hz 16-bit Mono, last -380\n"
        "\"\": 40 frames, root 67, keys 64-127, vel 0-127, vol 127, pan 64, tune 64/64, loop 1 4-34, "
        "start 0 | "
        "32000 Hz 16-bit Mono, last 390\n"
        "[Flute]\n"
        "\"\": 40 frames, root 72, keys 10-20, vel 30-40, vol 127, pan 64, tune 64/64, loop 0 0-0, start 0 "
        "| "
        "32000 Hz 16-bit Mono, last 390");
}

TEST(SampleFile, OtherAndDamagedFilesGiveErrors)
{
    QTemporaryDir dir;
    SampleFile file;
    QString error;
    EXPECT_FALSE(file.fromFile(dir.filePath("missing.sf2"), &error));
    EXPECT_TRUE(error.startsWith("Cannot read")) << error.toStdString();

    ASSERT_TRUE(writeFile(dir.filePath("noise.sf2"), Bytes(300, 0x5A)));
    EXPECT_FALSE(file.fromFile(dir.filePath("noise.sf2"), &error));
    qputenv("MOTIF_SAMPLEFILE_READER", QFile::encodeName(dir.filePath("nowhere")));
    EXPECT_FALSE(file.fromFile(dir.filePath("noise.sf2"), &error));
    qunsetenv("MOTIF_SAMPLEFILE_READER");
    EXPECT_TRUE(error.startsWith("Cannot read " + dir.filePath("noise.sf2") + ": its reader program " +
                                 dir.filePath("nowhere") + " is missing"))
        << error.toStdString();
    ASSERT_TRUE(writeFile(dir.filePath("one.wav"), wav(1, 16, 44100, {1, 0, 2, 0})));
    EXPECT_FALSE(file.fromFile(dir.filePath("one.wav"), &error));
    ASSERT_TRUE(writeFile(dir.filePath("empty.sf2"), sf2({}, {})));
    EXPECT_FALSE(file.fromFile(dir.filePath("empty.sf2"), &error));
    EXPECT_TRUE(error.endsWith("has no instruments")) << error.toStdString();

    // Every cut of a good bank fails or gives what it holds, never more.
    const Bytes good = bank();
    for (std::size_t size = 0; size < good.size(); size += 29) {
        ASSERT_TRUE(
            writeFile(dir.filePath("cut.sf2"), Bytes(good.begin(), good.begin() + std::ptrdiff_t(size))));
        if (file.fromFile(dir.filePath("cut.sf2"))) {
            EXPECT_LE(file.instruments.count(), 2) << size;
            for (const auto& instrument : file.instruments)
                for (const auto& sample : instrument->samples) EXPECT_LE(sample->sampleLength(), 100) << size;
        } else {
            EXPECT_TRUE(file.instruments.isEmpty()) << size;
        }
    }
    file.deleteAll();
}

TEST(SampleFile, AReaderThatCrashesOnAFileIsAnError)
{
    // The SoundFont library indexes its generator table with a zone's generator number unchecked;
    // number 32768 reads far outside it. The reader process takes the fall, or, where that memory
    // happens to be mapped, gives a sample that must still be sane.
    QTemporaryDir dir;
    const QString path = dir.filePath("hostile.sf2");
    ASSERT_TRUE(writeFile(path, sf2({{"Low", ramp(100, 100), 22050, 48, 5, 10, 90}},
                                    {{"Piano", {{0, 0, 127, 0, 127, {{32768, -2}}}}}})));
    SampleFile file;
    QString error;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!file.fromFile(path, &error)) {
            EXPECT_EQ(error, "Cannot read " + path + ": the file is damaged (its reader crashed)");
            EXPECT_TRUE(file.instruments.isEmpty());
            continue;
        }
        ASSERT_EQ(file.instruments.count(), 1);
        for (const auto& sample : file.instruments.at(0)->samples) {
            EXPECT_TRUE(sample->isValid());
            EXPECT_LE(sample->loopEnd, 100u);
        }
    }
}

TEST(SampleFileMessage, CarriesInstrumentsOrAReasonAndRefusesDamage)
{
    Instruments sent;
    auto keys = std::make_unique<Instrument>();
    keys->name = "Keys";
    auto sample = std::make_unique<Sample>();
    sample->format() = AudioFormat(22050.5, 24, 2);
    sample->setSamples(0, std::vector<std::int32_t>{1, -2, 3});
    sample->setSamples(1, std::vector<std::int32_t>{-4, 5, -6});
    sample->name = "C3";
    sample->rootKey = 61;
    sample->keyLow = 3;
    sample->velocityHigh = 99;
    sample->fineTune = 10;
    sample->loopMode = Sample::LoopReverse;
    sample->loopStart = 1;
    sample->loopEnd = 3;
    sample->sampleStart = 2;
    keys->samples.append(std::move(sample));
    sent.append(std::move(keys));
    auto empty = std::make_unique<Instrument>();
    empty->name = "Empty";
    sent.append(std::move(empty));

    const std::vector<std::uint8_t> message = SampleFileMessage::encode(sent);
    Instruments received;
    QString error;
    ASSERT_TRUE(SampleFileMessage::decode(message, received, error));
    ASSERT_EQ(received.count(), 2);
    EXPECT_EQ(received.at(0)->name, "Keys");
    EXPECT_EQ(received.at(1)->name, "Empty");
    EXPECT_TRUE(received.at(1)->samples.isEmpty());
    const Sample& a = *sent.at(0)->samples.at(0);
    const Sample& b = *received.at(0)->samples.at(0);
    EXPECT_EQ(b, a);
    EXPECT_EQ(settingsOf(b), settingsOf(a));

    EXPECT_FALSE(
        SampleFileMessage::decode(SampleFileMessage::encodeError("Cannot read x: bad"), received, error));
    EXPECT_EQ(error, "Cannot read x: bad");

    // Every cut, and a byte too many, is damage; nothing half-read is kept.
    for (std::size_t size = 0; size < message.size(); ++size) {
        EXPECT_FALSE(SampleFileMessage::decode({message.data(), size}, received, error)) << size;
        EXPECT_EQ(error, "damaged answer");
        EXPECT_TRUE(received.isEmpty());
    }
    std::vector<std::uint8_t> longer = message;
    longer.push_back(0);
    EXPECT_FALSE(SampleFileMessage::decode(longer, received, error));

    // Settings out of range are brought into it; audio that does not fit its format is damage.
    std::vector<std::uint8_t> wild = message;
    const std::size_t settings = 1 + 4 + 8 + 4 + 8 + 2; // kind, count, name, samples, rate, format
    wild[settings] = 200;                               // root key
    wild[settings + 10 + 8] = 0xFF;                     // loop end beyond the audio
    ASSERT_TRUE(SampleFileMessage::decode(wild, received, error));
    EXPECT_EQ(received.at(0)->samples.at(0)->rootKey, 127);
    EXPECT_EQ(received.at(0)->samples.at(0)->loopEnd, 3u);
    wild = message;
    wild[settings - 1] = 1; // mono with a right channel
    EXPECT_FALSE(SampleFileMessage::decode(wild, received, error));
}
