// A key bank: its parameter record field by field, the limits validation sets, and its conversion
// to and from audio samples (the CLI's export test reads one back from a file). Hostile records
// are fuzz_dwfim's.
#include "WaveTestSupport.h"

#include "zaltor/Sample.h"

#include <gtest/gtest.h>

namespace {
// A parameter record whose every field has a different value, so that a field read from or
// written to the wrong place shows: bytes, channels, loop, format, play bytes, six big-endian
// words, the whole hertz and eight little-endian frame positions and addresses.
const char* const Numbered = "01 02 03 04 05 06 07 08 09 0A 0B 02 0C 0D 04 00 0E 0F 10 FF "
                             "11 12 13 14 15 16 17 18 19 1A 1B 1C 44 AC 00 00 24 23 22 21 "
                             "00 01 00 00 00 02 00 00 00 03 00 00 00 00 00 40 E8 03 00 40 "
                             "34 9A 0A C0 54 9A 0A C0";

XS_Keybank numbered()
{
    Archive in(hexBytes(Numbered));
    XS_Keybank k;
    EXPECT_TRUE(k.loadWFM(in) && in.eof());
    return k;
}

// Every field of a key bank by name.
std::string fields(const XS_Keybank& k)
{
    return QString::asprintf(
               "keys %d-%d velo %d-%d volume %d pan %d protect %d fixed %d centre %d tune %d/%d "
               "channels %d loop tune %d fraction %d format %d play %d lpc %d up %d wxc %d %X %X %X "
               "%X %X %X rate %g start %X loop %X-%X length %X L %X R %X reserve %X %X",
               k.note_lo, k.note_hi, k.velo_lo, k.velo_hi, k.volume, k.pan, k.protect_id, k.pitch_fixed,
               k.note_center, k.tune_coarse, k.tune_fine, k.format().channels(), k.loop_tune, k.loop_fraction,
               k.getFormat(), k.play_mode, k.LPC_coef, k.pitch_up_limit, k.WXC_wave_loop, k.WXC_z1, k.WXC_z2,
               k.WXC_z3, k.WXC_coef1, k.WXC_coef2, k.WXC_coef3, k.format().sampleRate(), k.sample_start,
               k.loop_start, k.loop_end, k.sample_length, k.wave_start_L, k.wave_start_R, k.reserve_L,
               k.reserve_R)
        .toStdString();
}

std::vector<std::uint8_t> archived(const XS_Keybank& keybank, void (XS_Keybank::*store)(Archive&) const)
{
    Archive out;
    (keybank.*store)(out);
    return out.bytes();
}
} // namespace

TEST(XS_Keybank, ParameterRecordHasTheInstrumentsLayout)
{
    const XS_Keybank k = numbered();
    EXPECT_EQ(fields(k),
              "keys 1-2 velo 3-4 volume 5 pan 6 protect 7 fixed 8 centre 9 tune 10/11 channels 2 loop "
              "tune 12 fraction 13 format 4 play 0 lpc 14 up 15 wxc 16 1112 1314 1516 1718 191A 1B1C "
              "rate 44100 start 21222324 loop 100-200 length 300 L 40000000 R 400003E8 reserve "
              "C00A9A34 C00A9A54");
    EXPECT_EQ(hex(archived(k, &XS_Keybank::storeWFM)), Numbered);
    // The format byte brings its width with it; a record cut short is refused.
    auto lpc = hexBytes(Numbered);
    lpc[14] = 3;
    Archive lpcIn(lpc);
    XS_Keybank read;
    ASSERT_TRUE(read.loadWFM(lpcIn));
    EXPECT_EQ(read.format().bitsPerSample(), 8);
    Archive shortIn(std::vector<std::uint8_t>(lpc.begin(), lpc.end() - 1));
    EXPECT_FALSE(read.loadWFM(shortIn));

    // A new key bank: keys 0-127 around 60, velocities 1-127, full level, centre pan, no tuning,
    // one shot; reset brings any key bank back to it, sample data and format included.
    EXPECT_EQ(
        hex(archived(XS_Keybank(), &XS_Keybank::storeWFM)),
        "00 7F 01 7F 7F 40 00 00 3C 40 40 01 00 00 00 01 00 00 00 FF 00 00 00 00 00 00 00 00 00 00 00 00 "
        "44 AC 00 00 " +
            QString("00 ").repeated(31) + "00");
    XS_Keybank changed = numbered();
    changed.left().allocate(10);
    changed.reset();
    EXPECT_EQ(changed, XS_Keybank());
}

TEST(XS_Keybank, ValidationWorksOutLengthsAddressesAndLimits)
{
    // The right channel's address counts the left one's frames: 2000 bytes of 16 bits.
    auto stereo = makeKeybank(1000, true);
    EXPECT_EQ(QString::fromStdString(fields(*stereo)).section(" start ", 1).toStdString(),
              "0 loop 0-3E8 length 3E8 L 40000000 R 400003E8 reserve C00A9A34 C00A9A54");
    EXPECT_EQ(makeKeybank(1000)->wave_start_R, 0u);
    stereo->sample_start = 1200;
    stereo->loop_start = 1001;
    stereo->loop_end = 0xFFFFFFF0;
    stereo->validateKeybank();
    EXPECT_EQ(QString::fromStdString(fields(*stereo)).section(" start ", 1).left(25).toStdString(),
              "3E8 loop 3E8-3E8 length 3");
    // An 8-bit left channel of 500 bytes is 500 frames; a loop inside stays.
    stereo->loop_end = 300;
    stereo->left().allocate(500);
    stereo->setFormat(XS_Keybank::Format8bit);
    stereo->validateKeybank();
    EXPECT_EQ(QString::fromStdString(fields(*stereo)).section(" length ", 1).left(32).toStdString(),
              "1F4 L 40000000 R 400001F4 reserv");
    EXPECT_EQ(stereo->loop_end, 300u);

    // Widths other than 16, 12 and 8 leave the format as it was.
    stereo->setFormat(XS_Keybank::Format(7));
    stereo->setBits(24);
    EXPECT_EQ(stereo->getFormat() * 100 + stereo->format().bitsPerSample(), 724);
    EXPECT_TRUE(stereo->isCompressed());
    stereo->setBits(12);
    EXPECT_FALSE(stereo->isCompressed());
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
    XS_Keybank k = numbered();
    k.fromSample(sample);
    EXPECT_EQ(fields(k),
              "keys 40-127 velo 1-100 volume 90 pan 30 protect 0 fixed 0 centre 48 tune 66/60 channels 1 "
              "loop tune 0 fraction 0 format 2 play 0 lpc 0 up 0 wxc 0 0 0 0 0 0 0 rate 22050 start 0 "
              "loop 64-3E8 length 3E8 L 40000000 R 0 reserve C00A9A34 FFFFFFFF");
    EXPECT_EQ(k.left(), sample.left());
    sample.loopMode = Sample::LoopNone;
    sample.format().setBitsPerSample(24);
    k.fromSample(sample);
    EXPECT_EQ(k.play_mode * 100 + k.loop_start * 10 + k.getFormat(), 100);
    EXPECT_EQ(k.format().bitsPerSample(), 24);

    XS_Keybank source = numbered();
    source.left() = Buffer({1, 2, 3, 4});
    source.right() = Buffer({5, 6, 7, 8});
    Sample out;
    source.toSample(out);
    EXPECT_EQ(
        QString::asprintf("loop mode %d loop %u-%u start %u centre %d keys %d-%d velo %d-%d volume %d pan %d "
                          "tune %d/%d",
                          out.loopMode, out.loopStart, out.loopEnd, out.sampleStart, out.rootKey, out.keyLow,
                          out.keyHigh, out.velocityLow, out.velocityHigh, out.volume, out.pan, out.coarseTune,
                          out.fineTune)
            .toStdString(),
        "loop mode 1 loop 256-512 start 555885348 centre 9 keys 1-2 velo 3-4 volume 5 pan 6 tune 10/11");
    EXPECT_EQ(out.format(), source.format());
    EXPECT_EQ(out.right(), source.right());
    // A play mode of no loop mode leaves the sample's own.
    QString loops;
    for (const int mode : {1, 2, 5}) {
        source.play_mode = std::uint8_t(mode);
        out.loopMode = Sample::LoopAlternate;
        source.toSample(out);
        loops += QString::number(out.loopMode);
    }
    EXPECT_EQ(loops, QString::number(Sample::LoopNone) + QString::number(Sample::LoopReverse) +
                         QString::number(Sample::LoopAlternate));
}
