#include "motif/documents/XS_Keybank.h"

#include "core/Archive.h"
#include "core/ByteReader.h"
#include "core/VarArgs.h"
#include "zaltor/AudioDevice.h"
#include "zaltor/Note.h"
#include "zaltor/Sample.h"
#include "zaltor/SampleConvert.h"

#include <algorithm>
#include <array>
#include <climits>

namespace {
// The record's fields by kind, in the order the record holds them; reading, writing and the
// text form walk the same tables.
template <class T>
struct Field {
    const char* name;
    T XS_Keybank::*member;
};
using ByteField = Field<std::uint8_t>;

constexpr ByteField Placement[] = {
    {"note_lo", &XS_Keybank::note_lo},         {"note_hi", &XS_Keybank::note_hi},
    {"velo_lo", &XS_Keybank::velo_lo},         {"velo_hi", &XS_Keybank::velo_hi},
    {"volume", &XS_Keybank::volume},           {"pan", &XS_Keybank::pan},
    {"protect_id", &XS_Keybank::protect_id},   {"pitch_fixed", &XS_Keybank::pitch_fixed},
    {"note_center", &XS_Keybank::note_center}, {"tune_coarse", &XS_Keybank::tune_coarse},
    {"tune_fine", &XS_Keybank::tune_fine},
};
// After the channel count.
constexpr ByteField Loop[] = {{"loop_tune", &XS_Keybank::loop_tune},
                              {"loop_fraction", &XS_Keybank::loop_fraction}};
// After the format.
constexpr ByteField Playing[] = {
    {"play_mode", &XS_Keybank::play_mode},
    {"LPC_coef", &XS_Keybank::LPC_coef},
    {"pitch_up_limit", &XS_Keybank::pitch_up_limit},
    {"WXC_wave_loop", &XS_Keybank::WXC_wave_loop},
    {"dummy_FF", &XS_Keybank::dummy_FF},
};
constexpr Field<std::uint16_t> Wxc[] = {
    {"WXC_z1", &XS_Keybank::WXC_z1},       {"WXC_z2", &XS_Keybank::WXC_z2},
    {"WXC_z3", &XS_Keybank::WXC_z3},       {"WXC_coef1", &XS_Keybank::WXC_coef1},
    {"WXC_coef2", &XS_Keybank::WXC_coef2}, {"WXC_coef3", &XS_Keybank::WXC_coef3},
};
// After the sample rate.
constexpr Field<std::uint32_t> Frames[] = {
    {"sample_start", &XS_Keybank::sample_start},
    {"loop_start", &XS_Keybank::loop_start},
    {"loop_end", &XS_Keybank::loop_end},
    {"sample_length", &XS_Keybank::sample_length},
};
constexpr Field<std::uint32_t> Addresses[] = {
    {"wave_start_L", &XS_Keybank::wave_start_L},
    {"wave_start_R", &XS_Keybank::wave_start_R},
    {"reserve_L", &XS_Keybank::reserve_L},
    {"reserve_R", &XS_Keybank::reserve_R},
};

// Where the instrument loads user sample data, and the words it keeps beside the addresses of
// a left and a right channel; a mono key bank marks its missing right channel with all ones.
constexpr std::uint32_t WaveMemoryStart = 0x40000000;
constexpr std::uint32_t ReserveLeft = 0xC00A9A34;
constexpr std::uint32_t ReserveStep = 32;
constexpr std::uint32_t NoRightChannel = 0xFFFFFFFF;

// Rates are whole hertz in the record.
std::uint32_t wholeHertz(double rate)
{
    return rate > 0 ? static_cast<std::uint32_t>(std::min(rate, double(UINT32_MAX))) : 0;
}

std::uint8_t midiValue(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 127)); }

int framePosition(std::uint32_t frame) { return static_cast<int>(std::min<std::uint32_t>(frame, INT_MAX)); }

// "name: value" lines of the first `count` fields of a table.
template <class T, std::size_t N>
QString lines(const XS_Keybank& keybank, const Field<T> (&fields)[N], std::size_t count = N)
{
    QString text;
    for (std::size_t i = 0; i < count; ++i)
        text += VarArgs("%s: %d\n", fields[i].name, keybank.*fields[i].member).format();
    return text;
}
} // namespace

void XS_Keybank::reset()
{
    *this = XS_Keybank();
    AudioWave::reset();
}

void XS_Keybank::setBits(int bits)
{
    format().setBitsPerSample(bits);
    for (Format uncompressed : {Format16bit, Format12bit, Format8bit})
        if (bits == BitsOfFormat(uncompressed)) format_ = uncompressed;
}

void XS_Keybank::setFormat(Format format)
{
    format_ = format;
    this->format().setBitsPerSample(BitsOfFormat(format));
}

int XS_Keybank::BitsOfFormat(Format format)
{
    switch (format) {
    case Format12bit:
        return 12;
    case Format8bit:
    case FormatLPC:
        return 8;
    default:
        return 16;
    }
}

bool XS_Keybank::SupportedBits(int) { return true; }

QString XS_Keybank::printFormat() const
{
    switch (format_) {
    case Format16bit:
        return QStringLiteral("16bit");
    case Format12bit:
        return QStringLiteral("12bit");
    case Format8bit:
        return QStringLiteral("8bit");
    case FormatLPC:
        return QStringLiteral("LPC");
    case FormatWXC:
        return QStringLiteral("WXC");
    }
    return VarArgs("%d", int(format_)).format();
}

QString XS_Keybank::printPlayMode() const
{
    switch (play_mode) {
    case PlayLoop:
        return QStringLiteral("loop");
    case PlayOneShot:
        return QStringLiteral("one shot");
    case PlayReverse:
        return QStringLiteral("reverse");
    }
    return VarArgs("%d", play_mode).format();
}

QString XS_Keybank::printType() const
{
    return VarArgs("%d Hz  %s  %s", wholeHertz(format().sampleRate()), format().printMonoStereo(),
                   printFormat())
        .format();
}

bool XS_Keybank::loadWFM(Archive& archive)
{
    // One read for the record: a library lists thousands of them.
    std::array<std::uint8_t, RecordSize> bytes{};
    const bool whole = archive.read(bytes);
    ByteReader record(bytes);
    for (const ByteField& field : Placement) this->*field.member = record.u8();
    format().setChannels(record.u8());
    for (const ByteField& field : Loop) this->*field.member = record.u8();
    setFormat(Format(record.u8()));
    for (const ByteField& field : Playing) this->*field.member = record.u8();
    for (const auto& field : Wxc) this->*field.member = record.u16be();
    format().setSampleRate(record.valueLE(4));
    for (const auto& field : Frames) this->*field.member = record.valueLE(4);
    for (const auto& field : Addresses) this->*field.member = record.valueLE(4);
    return whole && !archive.failed();
}

void XS_Keybank::storeWFM(Archive& archive) const
{
    for (const ByteField& field : Placement) archive.writeBYTE(this->*field.member);
    archive.writeBYTE(static_cast<std::uint8_t>(format().channels()));
    for (const ByteField& field : Loop) archive.writeBYTE(this->*field.member);
    archive.writeBYTE(static_cast<std::uint8_t>(format_));
    for (const ByteField& field : Playing) archive.writeBYTE(this->*field.member);
    for (const auto& field : Wxc) archive.writeWORD(this->*field.member);
    archive.writeValueR(wholeHertz(format().sampleRate()), 4);
    for (const auto& field : Frames) archive.writeValueR(this->*field.member, 4);
    for (const auto& field : Addresses) archive.writeValueR(this->*field.member, 4);
}

bool XS_Keybank::loadWIM(Archive& archive)
{
    // The samples stay in the file until someone listens to, exports or edits them.
    channel(1).reset();
    if (!archive.readBlock(channel(0))) return false;
    return format().channels() <= 1 || archive.readBlock(channel(1));
}

void XS_Keybank::storeWIM(Archive& archive) const
{
    archive.writeBlock(channel(0));
    // The channel count, not the data, tells the reader whether a right channel follows.
    if (format().isStereo()) archive.writeBlock(channel(1));
}

bool XS_Keybank::fromArchive(Archive& archive) { return loadWFM(archive) && loadWIM(archive); }

void XS_Keybank::toArchive(Archive& archive) const
{
    storeWFM(archive);
    storeWIM(archive);
}

void XS_Keybank::validateKeybank()
{
    sample_length = static_cast<std::uint32_t>(sampleLength());
    if (loop_end == 0) loop_end = sample_length;
    wave_start_L = WaveMemoryStart;
    reserve_L = ReserveLeft;
    if (channelSize(1) != 0) {
        // The right channel follows the left one in wave memory.
        const int frames = frameSize() ? channelSize(0) / frameSize() : 0;
        wave_start_R = wave_start_L + static_cast<std::uint32_t>(frames);
        reserve_R = reserve_L + ReserveStep;
    } else {
        wave_start_R = 0;
        reserve_R = NoRightChannel;
    }
    sample_start = std::min(sample_start, sample_length);
    loop_start = std::min(loop_start, sample_length);
    loop_end = std::min(loop_end, sample_length);
}

void XS_Keybank::fromSample(Sample sample)
{
    reset();
    if (sample.loopMode != Sample::LoopNone) {
        play_mode = PlayLoop;
        loop_start = sample.loopStart;
        loop_end = sample.loopEnd;
    }
    note_center = midiValue(sample.rootKey);
    note_hi = midiValue(sample.keyHigh);
    note_lo = midiValue(sample.keyLow);
    velo_hi = midiValue(sample.velocityHigh);
    // The instrument does not play velocity 0, so a range from 0 starts at 1.
    velo_lo = std::max<std::uint8_t>(midiValue(sample.velocityLow), 1);
    volume = midiValue(sample.volume);
    pan = midiValue(sample.pan);
    tune_coarse = midiValue(sample.coarseTune);
    tune_fine = midiValue(sample.fineTune);
    AudioWave::operator=(std::move(sample));
    SampleConvert::toPcm16(*this);
    setBits(16);
    validateKeybank();
}

void XS_Keybank::toSample(Sample& sample) const
{
    sample.AudioWave::operator=(*this);
    sample.rootKey = note_center;
    sample.keyLow = note_lo;
    sample.keyHigh = note_hi;
    sample.velocityLow = velo_lo;
    sample.velocityHigh = velo_hi;
    sample.volume = volume;
    sample.pan = pan;
    sample.sampleStart = sample_start;
    sample.loopStart = loop_start;
    sample.loopEnd = loop_end;
    sample.coarseTune = tune_coarse;
    sample.fineTune = tune_fine;
    switch (play_mode) {
    case PlayLoop:
        sample.loopMode = Sample::LoopForward;
        break;
    case PlayOneShot:
        sample.loopMode = Sample::LoopNone;
        break;
    case PlayReverse:
        sample.loopMode = Sample::LoopReverse;
        break;
    }
}

QStringList XS_Keybank::NotesOnSample(const Sample& sample)
{
    QStringList notes;
    if (sample.gainDb < 0)
        notes << QStringLiteral("'%1' scaled by %2 dB to avoid clipping")
                     .arg(sample.name)
                     .arg(sample.gainDb, 0, 'f', 1);
    const std::uint32_t rate = wholeHertz(sample.format().sampleRate());
    if (rate < LowestRate || rate > HighestRate)
        notes << QStringLiteral("'%1' is at %2 Hz, which the instrument does not play (it plays %3 to %4 "
                                "Hz); resample it to 44100 Hz and import it again")
                     .arg(sample.name)
                     .arg(rate)
                     .arg(LowestRate)
                     .arg(HighestRate);
    return notes;
}

bool XS_Keybank::exportKeybank(const QString& path, QString* error) const
{
    const QString refusal =
        isCompressed()
            ? QStringLiteral("the key bank holds compressed sample data (%1 format)").arg(printFormat())
        : isProtected()
            ? QStringLiteral("the key bank's sample data is protected (protect id %1)").arg(protect_id)
            : QString();
    if (!refusal.isEmpty()) {
        if (error) *error = refusal + QStringLiteral(", so its audio cannot be exported");
        return false;
    }
    QString unread;
    if (!loadSamples(&unread)) {
        if (error) *error = unread;
        return false;
    }
    Sample sample;
    toSample(sample);
    return sample.toFile(path, error);
}

bool XS_Keybank::play(AudioDevice* device) const
{
    if (isCompressed() || !device || !loadSamples()) return false;
    AudioOutPort& out = device->out();
    if (out.isPlaying()) {
        out.stop();
        return true;
    }
    if (play_mode == PlayLoop)
        out.play(*this, framePosition(sample_start), framePosition(loop_start), framePosition(loop_end));
    else
        out.play(*this);
    return true;
}

QString XS_Keybank::toString() const
{
    const int calculated = sampleLength();
    return printType() + QLatin1Char('\n') + VarArgs("frame_size: %d\n", frameSize()).format() +
           lines(*this, Frames, 3) +
           VarArgs("L size: %d (%s)\n", left().size(), left().toString(8)).format() +
           VarArgs("R size: %d (%s)\n", right().size(), right().toString(8)).format() +
           VarArgs("sample_length: %d\n", sample_length).format() +
           VarArgs("calc_sample_length: %d\n", calculated).format() +
           VarArgs("Check: %d\n", static_cast<long long>(sample_length) - calculated).format();
}

QString XS_Keybank::info() const
{
    QString text = toString() + QStringLiteral("\n\n");
    for (const ByteField& field : Placement) {
        text += VarArgs("%s: %d", field.name, this->*field.member).format();
        if (field.member == &XS_Keybank::note_center) text += QLatin1Char(' ') + Note::name(note_center);
        text += QLatin1Char('\n');
    }
    text += VarArgs("channels: %d\n", format().channels()).format();
    text += lines(*this, Loop);
    text += VarArgs("format: %d\n", int(format_)).format();
    text += lines(*this, Playing);
    text += lines(*this, Wxc);
    text += VarArgs("sample_rate: %d\n", wholeHertz(format().sampleRate())).format();
    text += lines(*this, Frames);
    const int bytes = frameSize();
    text += VarArgs("calc_sample_length: %d\n", sampleLength()).format();
    text += VarArgs("## calc_sample_length_L: %d\n", bytes ? left().size() / bytes : 0).format();
    text += VarArgs("## calc_sample_length_R: %d\n", bytes ? right().size() / bytes : 0).format();
    for (const auto& field : Addresses)
        text += VarArgs("%s: %d %08X\n", field.name, this->*field.member, this->*field.member).format();
    return text;
}
