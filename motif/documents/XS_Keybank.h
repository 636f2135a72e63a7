#pragma once

#include "motif/MotifExport.h"
#include "zaltor/AudioWave.h"

#include <QString>
#include <QStringList>
#include <cstdint>

class Archive;
class AudioDevice;
class Sample;

// One key bank of a user waveform: the sample data of one or two channels and the parameters
// that place it on the keyboard and say how it plays. The library keeps the parameters (the
// 68-byte record inside DWFM) apart from the sample data (inside DWIM); the instrument reads
// the two from different memories.
class MOTIF_EXPORT XS_Keybank : public AudioWave {
public:
    // The sample formats of the instrument's wave memory; files may hold other values, so the
    // format is kept as the number read.
    enum Format : int { Format16bit = 0, Format12bit = 1, Format8bit = 2, FormatLPC = 3, FormatWXC = 4 };
    enum PlayMode : int { PlayLoop = 0, PlayOneShot = 1, PlayReverse = 2 };

    // Bytes of one parameter record.
    static constexpr int RecordSize = 68;
    // The rates the instrument plays a sample at its pitch: its own sampling rates run from
    // 44100 Hz down to an eighth of that.
    static constexpr int LowestRate = 5512;
    static constexpr int HighestRate = 44100;

    XS_Keybank() = default;
    ~XS_Keybank() override = default;
    XS_Keybank(const XS_Keybank&) = default;
    XS_Keybank& operator=(const XS_Keybank&) = default;
    XS_Keybank(XS_Keybank&&) noexcept = default;
    XS_Keybank& operator=(XS_Keybank&&) noexcept = default;

    // Empties the sample data and gives every parameter the value of a new key bank.
    void reset() override;

    // Bits per sample; 16, 12 and 8 also select the matching uncompressed format.
    void setBits(int bits);
    // The format and the bits per sample it implies.
    void setFormat(Format format);
    using AudioWave::setFormat;
    Format getFormat() const { return format_; }
    // Bits per sample of a format: 12 and 8 for those, 8 for LPC, 16 for anything else.
    static int BitsOfFormat(Format format);
    // The instrument takes samples of any width: the wave memory stores whatever it is given.
    static bool SupportedBits(int bits);

    bool isProtected() const { return protect_id != 0; }
    // LPC, WXC and the formats the instrument may add after them.
    bool isCompressed() const { return format_ > Format8bit; }
    int sampleSize() const { return totalSize(); }

    QString printFormat() const;
    QString printPlayMode() const;
    // "44100 Hz  Mono  16bit".
    QString printType() const;

    // The parameter record of DWFM.
    bool loadWFM(Archive& archive);
    void storeWFM(Archive& archive) const;
    // The sample data of DWIM: each channel as a 32-bit length and its bytes. A stereo key bank
    // reads and writes a right channel, whether or not it holds data. A length past
    // the end of the archive fails without allocating.
    bool loadWIM(Archive& archive);
    void storeWIM(Archive& archive) const;
    // The record followed by the sample data: a key bank copied between libraries.
    bool fromArchive(Archive& archive);
    void toArchive(Archive& archive) const;

    // Recomputes the lengths and wave memory addresses after new sample data arrived, and keeps
    // the start and loop points inside the sample.
    void validateKeybank();
    // Takes the sample's settings and audio, the audio as 16-bit PCM (format 0) whatever its
    // width: deeper samples are dithered down, narrower ones widened exactly.
    // The sample is taken by value: a caller that is done with it moves it in, uncopied.
    void fromSample(Sample sample);
    void toSample(Sample& sample) const;
    // What the user should hear about a sample made into a key bank: a level scaled down while
    // reading, a rate the instrument does not play. Each note begins with the sample's name.
    static QStringList NotesOnSample(const Sample& sample);
    // Writes the key bank as an audio file of the type the path's extension names. Compressed and
    // protected sample data is refused: its bytes are no audio that a file could hold.
    bool exportKeybank(const QString& path, QString* error = nullptr) const;
    // Starts the key bank on the device's output, or stops it when something is playing there.
    // False for a compressed key bank, which cannot be auditioned, or without a device.
    bool play(AudioDevice* device) const;

    QString toString() const;
    QString info() const;

    bool operator==(const XS_Keybank&) const = default;

    // The record's fields in its order, each with the value of a new key bank.
    std::uint8_t note_lo = 0;
    std::uint8_t note_hi = 127;
    std::uint8_t velo_lo = 1;
    std::uint8_t velo_hi = 127;
    std::uint8_t volume = 127;
    std::uint8_t pan = 64;
    std::uint8_t protect_id = 0;
    std::uint8_t pitch_fixed = 0;
    std::uint8_t note_center = 60;
    std::uint8_t tune_coarse = 64;
    std::uint8_t tune_fine = 64;
    std::uint8_t loop_tune = 0;
    std::uint8_t loop_fraction = 0;
    std::uint8_t play_mode = PlayOneShot;
    std::uint8_t LPC_coef = 0;
    std::uint8_t pitch_up_limit = 0;
    std::uint8_t WXC_wave_loop = 0;
    std::uint8_t dummy_FF = 0xFF;
    std::uint16_t WXC_z1 = 0;
    std::uint16_t WXC_z2 = 0;
    std::uint16_t WXC_z3 = 0;
    std::uint16_t WXC_coef1 = 0;
    std::uint16_t WXC_coef2 = 0;
    std::uint16_t WXC_coef3 = 0;
    std::uint32_t sample_start = 0;
    std::uint32_t loop_start = 0;
    std::uint32_t loop_end = 0;
    std::uint32_t sample_length = 0;
    std::uint32_t wave_start_L = 0;
    std::uint32_t wave_start_R = 0;
    std::uint32_t reserve_L = 0;
    std::uint32_t reserve_R = 0;

private:
    // Bytes that one sample of one channel takes; the wave memory addresses count in these.
    int frameSize() const { return format().bytesPerSample(); }

    Format format_ = Format16bit;
};
