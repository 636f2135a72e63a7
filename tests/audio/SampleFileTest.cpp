#include "zaltor/SampleFile.h"
#include "audio/AudioFiles.h"
#include "audio/SampleText.h"
#include "zaltor/SampleFileMessage.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace audiofiles;

namespace {

std::string instrumentsOf(const QString& path)
{
    SampleFile file;
    QString error;
    if (!file.fromFile(path, &error)) return error.toStdString();
    QStringList out;
    // Settings only: the bank library pads a sample shorter than 48 frames with frames it never
    // sets, so the frames of these tiny test banks are not the file's.
    for (const auto& instrument : file.instruments) {
        out << "[" + instrument->name + "]";
        for (const auto& s : instrument->samples)
            out << QString::fromStdString(settingsOf(*s)) +
                       QString::asprintf(" | %g Hz %d-bit %s", s->format().sampleRate(),
                                         s->format().bitsPerSample(),
                                         qPrintable(s->format().printMonoStereo()));
    }
    return out.join('\n').toStdString();
}

} // namespace

// The SoundFont's zones carry pan, attenuation, tuning, loop mode and start and loop offsets.
TEST(SampleFile, SoundFontAndDlsInstrumentsBecomeNamedListsOfSamples)
{
    EXPECT_EQ(
        instrumentsOf(corpus("fuzz_samplebank/bank.sf2")),
        "[Keys]\n"
        "\"\": 8 frames, root 60, keys 0-60, vel 1-127, vol 113, pan 77, tune 64/67, loop 1 2-6, start 0 | "
        "22050 Hz 16-bit Mono\n"
        "\"\": 48 frames, root 50, keys 61-127, vel 1-127, vol 127, pan 64, tune 62/64, loop 0 8-40, start 0 "
        "| "
        "44100 Hz 16-bit Mono\n"
        "[Drum]\n"
        "\"\": 48 frames, root 60, keys 36-36, vel 0-127, vol 127, pan 64, tune 64/64, loop 0 9-40, start 1 "
        "| "
        "44100 Hz 16-bit Mono");
    EXPECT_EQ(
        instrumentsOf(corpus("fuzz_samplebank/bank.dls")),
        "[Pad]\n"
        "\"\": 6 frames, root 60, keys 0-60, vel 0-127, vol 127, pan 64, tune 64/64, loop 1 1-5, start 0 | "
        "22050 Hz 16-bit Mono\n"
        "\"\": 3 frames, root 72, keys 61-127, vel 0-127, vol 127, pan 64, tune 64/64, loop 0 0-0, start 0 | "
        "22050 Hz 16-bit Mono");
}

TEST(SampleFile, OtherDamagedAndCrashingFilesGiveErrors)
{
    QTemporaryDir dir;
    const std::string at = dir.path().toStdString() + "/";
    EXPECT_EQ(instrumentsOf(dir.filePath("noise.sf2")),
              "Cannot read " + at + "noise.sf2: No such file or directory");
    ASSERT_TRUE(writeFile(dir.filePath("noise.sf2"), QByteArray(300, 0x5A)));
    EXPECT_EQ(instrumentsOf(dir.filePath("noise.sf2")), "Cannot read " + at + "noise.sf2: unknown reason");
    qputenv("MOTIF_SAMPLEFILE_READER", QFile::encodeName(dir.filePath("nowhere")));
    EXPECT_EQ(instrumentsOf(dir.filePath("noise.sf2")),
              "Cannot read " + at + "noise.sf2: its reader program " + at +
                  "nowhere is missing (build the target motif-samplefile-reader, or name the program in "
                  "MOTIF_SAMPLEFILE_READER)");
    qunsetenv("MOTIF_SAMPLEFILE_READER");
    ASSERT_TRUE(writeFile(dir.filePath("one.wav"), wav(QByteArray::fromHex("01000200"))));
    EXPECT_EQ(instrumentsOf(dir.filePath("one.wav")),
              "Cannot read " + at + "one.wav: not a SoundFont, DLS or GigaSampler file");
    ASSERT_TRUE(writeFile(dir.filePath("empty.dls"),
                          readFile(corpus("fuzz_samplebank/bank.dls")).replace("lins", "junk")));
    EXPECT_EQ(instrumentsOf(dir.filePath("empty.dls")), at + "empty.dls has no instruments");

    // Generator number 32768 makes the SoundFont library read far outside its table: the reader
    // process takes the fall, or, where that memory happens to be mapped, reads the bank.
    const QString hostile = corpus("fuzz_samplebank/unknown_generator.sf2");
    const std::string read = instrumentsOf(hostile);
    EXPECT_TRUE(read.front() == '[' ||
                read == "Cannot read " + hostile.toStdString() + ": the file is damaged (its reader crashed)")
        << read;
}

TEST(SampleFileMessage, CarriesInstrumentsOrAReasonAndRefusesDamage)
{
    Instruments sent;
    auto keys = std::make_unique<Instrument>();
    keys->name = "Keys";
    auto sample = std::make_unique<Sample>(bell());
    sample->format() = AudioFormat(22050.5, 24, 2);
    sample->setSamples(0, std::vector<std::int32_t>{1, -2, 3});
    sample->setSamples(1, std::vector<std::int32_t>{-4, 5, -6});
    sample->loopMode = Sample::LoopReverse;
    sample->loopEnd = 3;
    keys->samples.append(std::move(sample));
    sent.append(std::move(keys));
    sent.append(std::make_unique<Instrument>());
    sent.at(1)->name = "Empty";

    const std::vector<std::uint8_t> message = SampleFileMessage::encode(sent);
    Instruments received;
    QString error;
    ASSERT_TRUE(SampleFileMessage::decode(message, received, error));
    ASSERT_EQ(received.count(), 2);
    EXPECT_EQ(received.at(0)->name + received.at(1)->name, "KeysEmpty");
    EXPECT_TRUE(received.at(1)->samples.isEmpty());
    EXPECT_EQ(*received.at(0)->samples.at(0), *sent.at(0)->samples.at(0));
    EXPECT_EQ(settingsOf(*received.at(0)->samples.at(0)), settingsOf(*sent.at(0)->samples.at(0)));

    EXPECT_FALSE(
        SampleFileMessage::decode(SampleFileMessage::encodeError("Cannot read x: bad"), received, error));
    EXPECT_EQ(error, "Cannot read x: bad");

    // Every cut, and a byte too many, is damage; nothing half-read is kept.
    std::vector<std::uint8_t> longer = message;
    longer.push_back(0);
    EXPECT_FALSE(SampleFileMessage::decode(longer, received, error));
    for (std::size_t size = 0; size < message.size(); ++size) {
        EXPECT_FALSE(SampleFileMessage::decode({message.data(), size}, received, error)) << size;
        EXPECT_EQ(error, "damaged answer");
        EXPECT_TRUE(received.isEmpty());
    }

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
