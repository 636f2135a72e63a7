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
} // namespace

TEST(XS_Keybank, ParameterRecordHasTheInstrumentsLayout)
{
    const XS_Keybank k = numbered();
    Archive out;
    k.storeWFM(out);
    EXPECT_EQ(fields(k),
              "keys 1-2 velo 3-4 volume 5 pan 6 protect 7 fixed 8 centre 9 tune 10/11 channels 2 loop "
              "tune 12 fraction 13 format 4 play 0 lpc 14 up 15 wxc 16 1112 1314 1516 1718 191A 1B1C "
              "rate 44100 start 21222324 loop 100-200 length 300 L 40000000 R 400003E8 reserve "
              "C00A9A34 C00A9A54");
    EXPECT_EQ(hex(out.bytes()), Numbered);
    // A new key bank: keys 0-127 around 60, velocities 1-127, full level, centre pan, no tuning,
    // one shot.
    Archive fresh;
    XS_Keybank().storeWFM(fresh);
    EXPECT_EQ(
        hex(fresh.bytes()),
        "00 7F 01 7F 7F 40 00 00 3C 40 40 01 00 00 00 01 00 00 00 FF 00 00 00 00 00 00 00 00 00 00 00 00 "
        "44 AC 00 00 " +
            QString("00 ").repeated(31) + "00");
}

TEST(XS_Keybank, ValidationWorksOutLengthsAddressesAndLimits)
{
    // The right channel's address counts the left one's frames: 2000 bytes of 16 bits.
    auto stereo = makeKeybank(1000, true);
    EXPECT_EQ(QString::fromStdString(fields(*stereo)).section(" start ", 1).toStdString(),
              "0 loop 0-3E8 length 3E8 L 40000000 R 400003E8 reserve C00A9A34 C00A9A54");
    stereo->sample_start = 1200;
    stereo->loop_start = 1001;
    stereo->loop_end = 0xFFFFFFF0;
    stereo->validateKeybank();
    EXPECT_EQ(QString::fromStdString(fields(*stereo)).section(" start ", 1).left(25).toStdString(),
              "3E8 loop 3E8-3E8 length 3");
}

TEST(XS_Keybank, SampleConversionMapsEveryField)
{
    XS_Keybank source = numbered();
    source.left() = Buffer({1, 2, 3, 4});
    source.right() = Buffer({5, 6, 7, 8});
    Sample sample;
    source.toSample(sample);
    EXPECT_EQ(
        QString::asprintf("loop mode %d loop %u-%u start %u centre %d keys %d-%d velo %d-%d volume %d pan %d "
                          "tune %d/%d",
                          sample.loopMode, sample.loopStart, sample.loopEnd, sample.sampleStart,
                          sample.rootKey, sample.keyLow, sample.keyHigh, sample.velocityLow,
                          sample.velocityHigh, sample.volume, sample.pan, sample.coarseTune, sample.fineTune)
            .toStdString(),
        "loop mode 1 loop 256-512 start 555885348 centre 9 keys 1-2 velo 3-4 volume 5 pan 6 tune 10/11");
    EXPECT_EQ(sample.right(), source.right());
    // Back: loop cut to the sample, keys to 127, velocities from 1; the rest is reset.
    sample.keyHigh = 200;
    sample.velocityLow = 0;
    XS_Keybank k = numbered();
    k.fromSample(sample);
    EXPECT_EQ(
        fields(k),
        "keys 1-127 velo 1-4 volume 5 pan 6 protect 0 fixed 0 centre 9 tune 10/11 channels 2 loop tune 0 "
        "fraction 0 format 0 play 0 lpc 0 up 0 wxc 0 0 0 0 0 0 0 rate 44100 start 0 loop 2-2 length 2 "
        "L 40000000 R 40000002 reserve C00A9A34 C00A9A54");
    EXPECT_EQ(k.left(), source.left());
    // A play mode of no loop mode leaves the sample's own.
    for (const auto& [mode, loop] :
         {std::pair{1, Sample::LoopNone}, {2, Sample::LoopReverse}, {5, Sample::LoopAlternate}}) {
        source.play_mode = std::uint8_t(mode);
        sample.loopMode = Sample::LoopAlternate;
        source.toSample(sample);
        EXPECT_EQ(sample.loopMode, loop) << mode;
    }
}
