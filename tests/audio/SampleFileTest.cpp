#include "zaltor/SampleFile.h"
#include "audio/AudioFiles.h"
#include "zaltor/SampleFileMessage.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace audiofiles;

namespace {

std::vector<std::int16_t> ramp(int frames, int step)
{
    std::vector<std::int16_t> values(std::size_t(frames), 0);
    for (int i = 0; i < frames; ++i)
        values[std::size_t(i)] = std::int16_t(i * step);
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

TEST(SampleFile, SoundFontInstrumentsBecomeNamedListsOfSamples)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("bank.sf2");
    ASSERT_TRUE(writeFile(path, bank()));
    SampleFile file;
    QString error;
    ASSERT_TRUE(file.fromFile(path, &error)) << error.toStdString();
    ASSERT_EQ(file.instruments.count(), 2);

    const Instrument* piano = file.instruments.at(0);
    EXPECT_EQ(piano->name, "Piano");
    ASSERT_EQ(piano->samples.count(), 2);
    const Sample* low = piano->samples.at(0);
    EXPECT_TRUE(low->isValid());
    EXPECT_EQ(low->format(), AudioFormat(22050, 16, 1));
    EXPECT_EQ(low->sampleLength(), 100);
    EXPECT_EQ(low->sampleAt(0, 3), 300);
    EXPECT_EQ(low->sampleAt(0, 99), 9900);
    EXPECT_EQ(low->rootKey, 48);
    EXPECT_EQ(low->keyLow, 0);
    EXPECT_EQ(low->keyHigh, 59);
    EXPECT_EQ(low->velocityLow, 1);
    EXPECT_EQ(low->velocityHigh, 127);
    EXPECT_EQ(low->pan, 96);
    EXPECT_EQ(low->volume, 90); // 6 dB down
    EXPECT_EQ(low->coarseTune, 64);
    EXPECT_EQ(low->fineTune, 59); // the zone's -10 cents and the sample's +5
    EXPECT_EQ(low->loopMode, Sample::LoopForward);
    EXPECT_EQ(low->loopStart, 10u);
    EXPECT_EQ(low->loopEnd, 90u);
    EXPECT_EQ(low->sampleStart, 0u);

    const Sample* high = piano->samples.at(1);
    EXPECT_EQ(high->format().sampleRate(), 44100);
    EXPECT_EQ(high->sampleAt(0, 49), -343);
    EXPECT_EQ(high->rootKey, 70);
    EXPECT_EQ(high->coarseTune, 66);
    EXPECT_EQ(high->keyLow, 60);
    EXPECT_EQ(high->velocityLow, 64);
    EXPECT_EQ(high->volume, 127);
    EXPECT_EQ(high->pan, 64);
    EXPECT_EQ(high->loopMode, Sample::LoopNone);

    const Instrument* bass = file.instruments.at(1);
    EXPECT_EQ(bass->name, "Bass");
    ASSERT_EQ(bass->samples.count(), 1);
    const Sample* b = bass->samples.at(0);
    EXPECT_EQ(b->sampleLength(), 30);
    EXPECT_EQ(b->rootKey, 36);
    EXPECT_EQ(b->fineTune, 61);
    EXPECT_EQ(b->keyLow, 20);
    EXPECT_EQ(b->keyHigh, 50);
    EXPECT_EQ(b->velocityLow, 0);
    EXPECT_EQ(b->loopMode, Sample::LoopForward);
    EXPECT_EQ(b->loopStart, 8u);
    EXPECT_EQ(b->loopEnd, 25u);
    EXPECT_EQ(b->sampleStart, 4u);

    file.deleteAll();
    EXPECT_TRUE(file.instruments.isEmpty());
}

TEST(SampleFile, DlsInstrumentsBecomeNamedListsOfSamples)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("bank.dls");
    ASSERT_TRUE(
        writeFile(path, dls({ramp(40, 10), ramp(20, -20)}, 32000,
                            {{"Strings", {{1, 0, 63, 0, 127, 55, 0, 0}, {0, 64, 127, 0, 127, 67, 4, 30}}},
                             {"Flute", {{0, 10, 20, 30, 40, 72, 0, 0}}}})));
    SampleFile file;
    QString error;
    ASSERT_TRUE(file.fromFile(path, &error)) << error.toStdString();
    ASSERT_EQ(file.instruments.count(), 2);
    const Instrument* strings = file.instruments.at(0);
    EXPECT_EQ(strings->name, "Strings");
    ASSERT_EQ(strings->samples.count(), 2);
    const Sample* low = strings->samples.at(0);
    EXPECT_EQ(low->format(), AudioFormat(32000, 16, 1));
    EXPECT_EQ(low->sampleLength(), 20);
    EXPECT_EQ(low->sampleAt(0, 19), -380);
    EXPECT_EQ(low->rootKey, 55);
    EXPECT_EQ(low->keyHigh, 63);
    EXPECT_EQ(low->loopMode, Sample::LoopNone);
    const Sample* high = strings->samples.at(1);
    EXPECT_EQ(high->sampleLength(), 40);
    EXPECT_EQ(high->rootKey, 67);
    EXPECT_EQ(high->keyLow, 64);
    EXPECT_EQ(high->loopMode, Sample::LoopForward);
    EXPECT_EQ(high->loopStart, 4u);
    EXPECT_EQ(high->loopEnd, 34u);
    const Instrument* flute = file.instruments.at(1);
    EXPECT_EQ(flute->name, "Flute");
    ASSERT_EQ(flute->samples.count(), 1);
    EXPECT_EQ(flute->samples.at(0)->keyLow, 10);
    EXPECT_EQ(flute->samples.at(0)->keyHigh, 20);
    EXPECT_EQ(flute->samples.at(0)->velocityLow, 30);
    EXPECT_EQ(flute->samples.at(0)->velocityHigh, 40);
    EXPECT_EQ(flute->samples.at(0)->rootKey, 72);
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
                for (const auto& sample : instrument->samples)
                    EXPECT_LE(sample->sampleLength(), 100) << size;
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
    EXPECT_EQ(b.name, "C3");
    EXPECT_EQ(b.format().sampleRate(), 22050.5);
    EXPECT_EQ(b.rootKey, 61);
    EXPECT_EQ(b.keyLow, 3);
    EXPECT_EQ(b.velocityHigh, 99);
    EXPECT_EQ(b.fineTune, 10);
    EXPECT_EQ(b.loopMode, Sample::LoopReverse);
    EXPECT_EQ(b.loopStart, 1u);
    EXPECT_EQ(b.loopEnd, 3u);
    EXPECT_EQ(b.sampleStart, 2u);

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
