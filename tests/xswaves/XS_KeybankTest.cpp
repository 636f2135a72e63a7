#include "WaveTestSupport.h"

#include "zaltor/AudioDevice.h"
#include "zaltor/Sample.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// Every field a different value, so that a field written in the wrong place shows.
XS_Keybank numberedKeybank()
{
    XS_Keybank k;
    k.note_lo = 0x01;
    k.note_hi = 0x02;
    k.velo_lo = 0x03;
    k.velo_hi = 0x04;
    k.volume = 0x05;
    k.pan = 0x06;
    k.protect_id = 0x07;
    k.pitch_fixed = 0x08;
    k.note_center = 0x09;
    k.tune_coarse = 0x0A;
    k.tune_fine = 0x0B;
    k.format().setChannels(2);
    k.loop_tune = 0x0C;
    k.loop_fraction = 0x0D;
    k.setFormat(XS_Keybank::FormatWXC);
    k.play_mode = XS_Keybank::PlayLoop;
    k.LPC_coef = 0x0E;
    k.pitch_up_limit = 0x0F;
    k.WXC_wave_loop = 0x10;
    k.WXC_z1 = 0x1112;
    k.WXC_z2 = 0x1314;
    k.WXC_z3 = 0x1516;
    k.WXC_coef1 = 0x1718;
    k.WXC_coef2 = 0x191A;
    k.WXC_coef3 = 0x1B1C;
    k.format().setSampleRate(44100.75);
    k.sample_start = 0x21222324;
    k.loop_start = 0x100;
    k.loop_end = 0x200;
    k.sample_length = 0x300;
    k.wave_start_L = 0x40000000;
    k.wave_start_R = 0x400003E8;
    k.reserve_L = 0xC00A9A34;
    k.reserve_R = 0xC00A9A54;
    return k;
}

std::vector<std::uint8_t> archived(const XS_Keybank& keybank, void (XS_Keybank::*store)(Archive&) const)
{
    Archive out;
    (keybank.*store)(out);
    return out.bytes();
}

// The settings a key bank shares with a Sample, in one line.
QString settings(const XS_Keybank& k)
{
    return QString::asprintf("play %d loop %u-%u start %u length %u centre %d keys %d-%d velo %d-%d "
                             "volume %d pan %d tune %d/%d",
                             k.play_mode, k.loop_start, k.loop_end, k.sample_start, k.sample_length,
                             k.note_center, k.note_lo, k.note_hi, k.velo_lo, k.velo_hi, k.volume, k.pan,
                             k.tune_coarse, k.tune_fine);
}

QString settings(const Sample& s)
{
    return QString::asprintf("loop mode %d loop %u-%u start %u centre %d keys %d-%d velo %d-%d "
                             "volume %d pan %d tune %d/%d",
                             s.loopMode, s.loopStart, s.loopEnd, s.sampleStart, s.rootKey, s.keyLow,
                             s.keyHigh, s.velocityLow, s.velocityHigh, s.volume, s.pan, s.coarseTune,
                             s.fineTune);
}
} // namespace

TEST(XS_Keybank, NewAndResetKeybankHasTheResetValues)
{
    XS_Keybank k;
    EXPECT_EQ(k.printType(), "44100 Hz  Mono  16bit");
    // Keys 0-127 around 60, velocities 1-127, full level, centre pan, no tuning, one shot.
    EXPECT_EQ(
        hex(archived(k, &XS_Keybank::storeWFM)),
        "00 7F 01 7F 7F 40 00 00 3C 40 40 01 00 00 00 01 00 00 00 FF 00 00 00 00 00 00 00 00 00 00 00 00 "
        "44 AC 00 00 " +
            QString("00 ").repeated(31) + "00");

    // Sample data and format included.
    XS_Keybank changed = numberedKeybank();
    changed.left().allocate(10);
    changed.right().allocate(10);
    changed.reset();
    EXPECT_EQ(changed, XS_Keybank());
}

TEST(XS_Keybank, FormatBitsAndNamesFollowEachOther)
{
    XS_Keybank k;
    // A format the instrument may add later prints as its number and counts as compressed.
    k.setFormat(XS_Keybank::Format(7));
    EXPECT_EQ(k.format().bitsPerSample(), 16);
    EXPECT_EQ(k.printFormat(), "7");
    EXPECT_TRUE(k.isCompressed());
    // Widths other than 16, 12 and 8 leave the format as it was.
    k.setBits(24);
    EXPECT_EQ(k.getFormat(), 7);
    EXPECT_EQ(k.format().bitsPerSample(), 24);
    k.setBits(12);
    EXPECT_EQ(k.printFormat(), "12bit");
    EXPECT_FALSE(k.isCompressed());
    k.play_mode = 9;
    EXPECT_EQ(k.printPlayMode(), "9");
}

TEST(XS_Keybank, ValidationWorksOutLengthsAddressesAndLimits)
{
    auto mono = makeKeybank(1000);
    EXPECT_EQ(mono->sample_length, 1000u);
    EXPECT_EQ(mono->loop_end, 1000u);
    EXPECT_EQ(mono->wave_start_R, 0u);
    EXPECT_EQ(mono->reserve_R, 0xFFFFFFFFu);

    // The right channel's address counts the left one's frames: 2000 bytes of 16 bits.
    auto stereo = makeKeybank(1000, true);
    EXPECT_EQ(stereo->wave_start_R, 0x400003E8u);
    EXPECT_EQ(stereo->reserve_R, 0xC00A9A54u);

    stereo->sample_start = 1200;
    stereo->loop_start = 1001;
    stereo->loop_end = 0xFFFFFFF0;
    stereo->validateKeybank();
    EXPECT_EQ(stereo->sample_start, 1000u);
    EXPECT_EQ(stereo->loop_start, 1000u);
    EXPECT_EQ(stereo->loop_end, 1000u);
    stereo->loop_end = 300;
    stereo->left().allocate(500);
    stereo->setFormat(XS_Keybank::Format8bit);
    stereo->validateKeybank();
    EXPECT_EQ(stereo->sample_length, 500u);
    EXPECT_EQ(stereo->loop_end, 300u);
    EXPECT_EQ(stereo->wave_start_R, 0x400001F4u);
}

TEST(XS_Keybank, ParameterRecordHasTheInstrumentsLayout)
{
    const XS_Keybank k = numberedKeybank();
    const auto bytes = archived(k, &XS_Keybank::storeWFM);
    ASSERT_EQ(bytes.size(), std::size_t(XS_Keybank::RecordSize));
    // Bytes, channels, loop, format, play bytes, six big-endian words, the whole hertz and eight
    // little-endian frame positions and addresses.
    EXPECT_EQ(hex(bytes), "01 02 03 04 05 06 07 08 09 0A 0B 02 0C 0D 04 00 0E 0F 10 FF "
                          "11 12 13 14 15 16 17 18 19 1A 1B 1C 44 AC 00 00 24 23 22 21 "
                          "00 01 00 00 00 02 00 00 00 03 00 00 00 00 00 40 E8 03 00 40 "
                          "34 9A 0A C0 54 9A 0A C0");

    Archive in(bytes);
    XS_Keybank read;
    ASSERT_TRUE(read.loadWFM(in));
    EXPECT_TRUE(in.eof());
    XS_Keybank expected = k;
    expected.format().setSampleRate(44100);
    EXPECT_EQ(read, expected);

    // The format byte brings its width with it.
    auto lpc = bytes;
    lpc[14] = 3;
    Archive lpcIn(lpc);
    ASSERT_TRUE(read.loadWFM(lpcIn));
    EXPECT_EQ(read.format().bitsPerSample(), 8);

    Archive shortIn(std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 1));
    EXPECT_FALSE(read.loadWFM(shortIn));
}

TEST(XS_Keybank, SampleDataIsOneLengthAndBytesPerChannel)
{
    XS_Keybank mono;
    mono.left() = Buffer({0x01, 0x02, 0x03, 0x04});
    EXPECT_EQ(hex(archived(mono, &XS_Keybank::storeWIM)), "00 00 00 04 01 02 03 04");
    XS_Keybank stereo = mono;
    stereo.format().setChannels(2);
    stereo.right() = Buffer({0x05, 0x06});
    const auto bytes = archived(stereo, &XS_Keybank::storeWIM);
    EXPECT_EQ(hex(bytes), "00 00 00 04 01 02 03 04 00 00 00 02 05 06");

    // The channel count of the record decides whether a right channel follows.
    XS_Keybank read;
    read.right().allocate(3);
    Archive monoIn(bytes);
    ASSERT_TRUE(read.loadWIM(monoIn));
    EXPECT_EQ(read.left(), mono.left());
    EXPECT_TRUE(read.right().isEmpty());
    EXPECT_EQ(monoIn.pos(), 8);
    read.format().setChannels(2);
    Archive stereoIn(bytes);
    ASSERT_TRUE(read.loadWIM(stereoIn));
    EXPECT_EQ(read.right(), stereo.right());

    // A length beyond the bytes left is refused without reading or allocating it.
    Archive hostile(hexBytes("7F FF FF FF 01 02"));
    EXPECT_FALSE(read.loadWIM(hostile));
    EXPECT_TRUE(read.left().isEmpty());
    Archive missingRight(hexBytes("00 00 00 01 AA"));
    EXPECT_FALSE(read.loadWIM(missingRight));
}

TEST(XS_Keybank, SampleConversionMapsEveryField)
{
    Sample sample;
    sample.format() = AudioFormat(22050, 8, 1);
    sample.left().allocate(1000, 0x40);
    sample.loopMode = Sample::LoopForward;
    sample.loopStart = 100;
    sample.loopEnd = 1200;
    sample.sampleStart = 7;
    sample.rootKey = 48;
    sample.keyLow = 40;
    sample.keyHigh = 200;
    sample.velocityLow = 0;
    sample.velocityHigh = 100;
    sample.volume = 90;
    sample.pan = 30;
    sample.coarseTune = 66;
    sample.fineTune = 60;

    // Loop end cut to the sample, keys to 127, velocities from 1; the rest is reset.
    XS_Keybank k = numberedKeybank();
    k.fromSample(sample);
    EXPECT_EQ(settings(k), "play 0 loop 100-1000 start 0 length 1000 centre 48 keys 40-127 velo 1-100 "
                           "volume 90 pan 30 tune 66/60");
    EXPECT_EQ(k.getFormat(), XS_Keybank::Format8bit);
    EXPECT_EQ(k.format(), AudioFormat(22050, 8, 1));
    EXPECT_EQ(k.left(), sample.left());
    EXPECT_EQ(k.LPC_coef, 0);
    EXPECT_EQ(k.wave_start_L, 0x40000000u);

    sample.loopMode = Sample::LoopNone;
    sample.format().setBitsPerSample(24);
    k.fromSample(sample);
    EXPECT_EQ(k.play_mode, XS_Keybank::PlayOneShot);
    EXPECT_EQ(k.loop_start, 0u);
    EXPECT_EQ(k.getFormat(), XS_Keybank::Format16bit);
    EXPECT_EQ(k.format().bitsPerSample(), 24);

    XS_Keybank source = numberedKeybank();
    source.left() = Buffer({1, 2, 3, 4});
    source.right() = Buffer({5, 6, 7, 8});
    Sample out;
    out.loopMode = Sample::LoopAlternate;
    source.toSample(out);
    EXPECT_EQ(settings(out), "loop mode 1 loop 256-512 start 555885348 centre 9 keys 1-2 velo 3-4 volume 5 "
                             "pan 6 tune 10/11");
    EXPECT_EQ(out.format(), source.format());
    EXPECT_EQ(out.right(), source.right());
    // A play mode of no loop mode leaves the sample's own.
    for (const auto& [mode, loop] : {std::pair{1, Sample::LoopNone}, std::pair{2, Sample::LoopReverse},
                                     std::pair{5, Sample::LoopAlternate}}) {
        source.play_mode = std::uint8_t(mode);
        out.loopMode = Sample::LoopAlternate;
        source.toSample(out);
        EXPECT_EQ(out.loopMode, loop) << mode;
    }
}

TEST(XS_Keybank, ExportedFileReadsBackAsTheSameKeybank)
{
    XS_Keybank k;
    k.format() = AudioFormat(32000, 16, 2);
    std::vector<std::int32_t> ramp;
    for (int i = 0; i < 400; ++i) ramp.push_back(i * 37 - 7000);
    k.setSamples(0, ramp);
    k.setSamples(1, std::vector<std::int32_t>(ramp.rbegin(), ramp.rend()));
    k.validateKeybank();
    k.play_mode = XS_Keybank::PlayLoop;
    k.loop_start = 50;
    k.loop_end = 350;
    k.note_center = 45;
    k.note_lo = 40;
    k.note_hi = 50;
    k.velo_lo = 20;
    k.velo_hi = 90;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bank.wav"));
    ASSERT_TRUE(k.exportKeybank(path));
    Sample sample;
    ASSERT_TRUE(sample.fromFile(path));
    XS_Keybank read;
    read.fromSample(sample);
    EXPECT_EQ(read, k);
}

TEST(XS_Keybank, PlayStartsTheSoundAndASecondCallStopsIt)
{
    AudioDevice device("jack");
    if (!device.isAvailable()) GTEST_SKIP() << "no JACK server runs";
    auto k = makeKeybank(2000);
    k->setSamples(0, std::vector<std::int32_t>(2000, 3000));
    k->play_mode = XS_Keybank::PlayLoop;
    k->loop_start = 100;
    ASSERT_TRUE(k->play(&device));
    EXPECT_TRUE(device.out().isPlaying()) << device.out().error().toStdString();
    EXPECT_TRUE(k->play(&device));
    EXPECT_FALSE(device.out().isPlaying());

    // The instrument's compressed formats cannot be turned back into sound here.
    k->setFormat(XS_Keybank::FormatWXC);
    EXPECT_FALSE(k->play(&device));
    EXPECT_FALSE(device.out().isPlaying());
}
