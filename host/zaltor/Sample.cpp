#include "zaltor/Sample.h"

#include "zaltor/SampleChunks.h"

#include <QFile>
#include <QFileInfo>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>

namespace {

struct SndFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndFile = std::unique_ptr<SNDFILE, SndFileCloser>;

constexpr int BlockFrames = 16384;

void fail(QString* error, const QString& text)
{
    if (error) *error = text;
}

// Bits per sample that a file's encoding holds; floating-point samples arrive as 32-bit integers,
// which keep more than their 24-bit mantissa at any level up to full scale.
int bitsOf(int format)
{
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_DPCM_8:
        return 8;
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_DWVW_24:
    case SF_FORMAT_ALAC_20:
    case SF_FORMAT_ALAC_24:
        return 24;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_ALAC_32:
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
        return 32;
    default:
        return 16;
    }
}

// Floating-point samples and lossy decoders may go past full scale; integer encodings cannot.
bool mayPassFullScale(int format)
{
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
    case SF_FORMAT_VORBIS:
    case SF_FORMAT_OPUS:
    case SF_FORMAT_MPEG_LAYER_I:
    case SF_FORMAT_MPEG_LAYER_II:
    case SF_FORMAT_MPEG_LAYER_III:
        return true;
    default:
        return false;
    }
}

// A float file may hold NaN or infinity, which no level can bring into range: silence stands in.
double finiteOrSilence(double value) { return std::isfinite(value) ? value : 0; }

// The largest magnitude of the file's samples, read from the start; the file is rewound after.
// Below 0 when the file cannot be read twice.
double peakOf(SNDFILE* file, int channels)
{
    std::vector<double> block(std::size_t(BlockFrames) * std::size_t(channels));
    double peak = 0;
    for (sf_count_t got = 0; (got = sf_readf_double(file, block.data(), BlockFrames)) > 0;)
        for (std::size_t i = 0; i < std::size_t(got) * std::size_t(channels); ++i)
            peak = std::max(peak, std::abs(finiteOrSilence(block[i])));
    return sf_error(file) == SF_ERR_NO_ERROR && sf_seek(file, 0, SEEK_SET) == 0 ? peak : -1;
}

// The instrument chunks live in WAV-like and AIFF files only.
bool containerOf(int format, SampleChunks::Container& container)
{
    switch (format & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
    case SF_FORMAT_RF64:
        container = SampleChunks::Wav;
        return true;
    case SF_FORMAT_AIFF:
        container = SampleChunks::Aiff;
        return true;
    default:
        return false;
    }
}

std::vector<std::uint8_t> chunkOf(SNDFILE* file, const QByteArray& id)
{
    SF_CHUNK_INFO info{};
    std::memcpy(info.id, id.constData(), std::min<std::size_t>(std::size_t(id.size()), sizeof info.id - 1));
    info.id_size = unsigned(id.size());
    SF_CHUNK_ITERATOR* it = sf_get_chunk_iterator(file, &info);
    if (!it || sf_get_chunk_size(it, &info) != SF_ERR_NO_ERROR) return {};
    // A chunk may claim more bytes than the file has; only the part looked at is loaded, and what
    // the file lacks stays zero.
    std::vector<std::uint8_t> data(std::min<std::size_t>(info.datalen, SampleChunks::MaxChunkBytes));
    info.datalen = unsigned(data.size());
    info.data = data.data();
    if (data.empty() || sf_get_chunk_data(it, &info) != SF_ERR_NO_ERROR) return {};
    return data;
}

int majorFormatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "aif" || suffix == "aiff" || suffix == "aifc") return SF_FORMAT_AIFF;
    if (suffix == "flac") return SF_FORMAT_FLAC;
    return SF_FORMAT_WAV;
}

int subFormatOf(int major, int bits)
{
    if (bits <= 8) return major == SF_FORMAT_WAV ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_S8;
    if (bits <= 16) return SF_FORMAT_PCM_16;
    // FLAC stops at 24 bits.
    if (bits <= 24 || major == SF_FORMAT_FLAC) return SF_FORMAT_PCM_24;
    return SF_FORMAT_PCM_32;
}

} // namespace

void Sample::reset() { *this = Sample(); }

bool Sample::isValid() const
{
    const int frames = sampleLength();
    if (!format().isValid() || frames == 0) return false;
    if (!format().isStereo()) return right().isEmpty();
    return right().size() == left().size();
}

void Sample::limitSettings()
{
    for (int* value :
         {&rootKey, &keyLow, &keyHigh, &velocityLow, &velocityHigh, &volume, &pan, &coarseTune, &fineTune})
        *value = std::clamp(*value, 0, 127);
    const auto frames = std::uint32_t(sampleLength());
    sampleStart = std::min(sampleStart, frames);
    loopStart = std::min(loopStart, frames);
    loopEnd = std::min(loopEnd, frames);
    if (loopEnd <= loopStart || loopMode < LoopNone || loopMode > LoopAlternate) loopMode = LoopNone;
}

namespace {

// Appends every frame of the file to the wave, scaling those of encodings that may pass full scale;
// false when they do not fit.
bool readFrames(SNDFILE* file, const SF_INFO& info, double scale, AudioWave& wave)
{
    const auto channels = std::size_t(info.channels);
    sf_count_t got = 0;
    const bool integers = !mayPassFullScale(info.format);
    if (integers && bitsOf(info.format) == 16) {
        // libsndfile hands a 16-bit file's samples over as they are stored, without converting them.
        std::vector<std::int16_t> values(std::size_t(BlockFrames) * channels);
        while ((got = sf_readf_short(file, values.data(), BlockFrames)) > 0)
            if (!wave.appendFrames(std::span(values).first(std::size_t(got) * channels))) return false;
        return true;
    }
    // Other integer encodings come as full-scale 32-bit integers, exactly, without the detour
    // through floating point that the others need for their scaling.
    std::vector<double> block(integers ? 0 : std::size_t(BlockFrames) * channels);
    std::vector<std::int32_t> values(std::size_t(BlockFrames) * channels);
    while ((got = integers ? sf_readf_int(file, values.data(), BlockFrames)
                           : sf_readf_double(file, block.data(), BlockFrames)) > 0) {
        const std::size_t count = std::size_t(got) * channels;
        // Full scale (1.0 exactly) is the one value an integer sample holds a step below.
        for (std::size_t i = 0; !integers && i < count; ++i)
            values[i] = std::int32_t(
                std::clamp(std::round(finiteOrSilence(block[i]) * scale), -0x1.0p31, 0x1.0p31 - 1));
        if (!wave.appendFrames(std::span(values).first(count))) return false;
    }
    return true;
}

} // namespace

bool Sample::fromFile(const QString& path, QString* error)
{
    reset();
    SF_INFO info{};
    SndFile file(sf_open(QFile::encodeName(path).constData(), SFM_READ, &info));
    if (!file) {
        fail(error, QString("Cannot read %1: %2").arg(path, sf_strerror(nullptr)));
        return false;
    }
    if (info.channels < 1 || info.channels > 2) {
        fail(error,
             QString("%1 has %2 channels; only mono and stereo can be used").arg(path).arg(info.channels));
        return false;
    }
    // Encodings that can pass full scale are read as numbers from -1 to 1, so that a float file
    // louder than that can be brought down to it.
    sf_command(file.get(), SFC_SET_NORM_DOUBLE, nullptr, SF_TRUE);
    double scale = 0x1.0p31;
    if (mayPassFullScale(info.format)) {
        const double peak = peakOf(file.get(), info.channels);
        if (peak < 0) {
            fail(error, QString("Cannot read %1: %2").arg(path, sf_strerror(file.get())));
            return false;
        }
        if (peak > 1) {
            scale /= peak;
            gainDb = -20 * std::log10(peak);
        }
    }
    format() = AudioFormat(info.samplerate, bitsOf(info.format), info.channels);
    reserveFrames(info.frames);
    if (!readFrames(file.get(), info, scale, *this)) {
        reset();
        fail(error, QString("%1 is too long").arg(path));
        return false;
    }
    const int status = sf_error(file.get());
    if (status != SF_ERR_NO_ERROR || !isValid()) {
        const QString reason = status != SF_ERR_NO_ERROR ? QString(sf_strerror(file.get()))
                               : sampleLength() == 0     ? QString("no audio")
                                                         : QString("no usable sample rate");
        reset();
        fail(error, QString("Cannot read %1: %2").arg(path, reason));
        return false;
    }
    SampleChunks::Container container;
    if (containerOf(info.format, container))
        SampleChunks::read(*this, container, [&](const QByteArray& id) { return chunkOf(file.get(), id); });
    limitSettings();
    const char* title = sf_get_string(file.get(), SF_STR_TITLE);
    name = title && *title ? QString::fromUtf8(title) : QFileInfo(path).completeBaseName();
    return true;
}

bool Sample::toFile(const QString& path, QString* error) const
{
    if (!isValid()) {
        fail(error, QString("No audio to write to %1").arg(path));
        return false;
    }
    const int major = majorFormatOf(path);
    SF_INFO info{};
    info.samplerate = int(std::lround(format().sampleRate()));
    info.channels = format().channels();
    info.format = major | subFormatOf(major, format().bitsPerSample());
    const QString temporary = path + ".tmp";
    SndFile file(sf_open(QFile::encodeName(temporary).constData(), SFM_WRITE, &info));
    if (!file) {
        fail(error, QString("Cannot write %1: %2").arg(path, sf_strerror(nullptr)));
        return false;
    }
    bool ok = true;
    if (!name.isEmpty()) sf_set_string(file.get(), SF_STR_TITLE, name.toUtf8().constData());
    SampleChunks::Container container;
    if (containerOf(major, container)) {
        for (SampleChunks::Chunk& chunk : SampleChunks::write(*this, container)) {
            SF_CHUNK_INFO ci{};
            std::memcpy(ci.id, chunk.id.constData(), std::size_t(chunk.id.size()));
            ci.id_size = unsigned(chunk.id.size());
            ci.datalen = unsigned(chunk.data.size());
            ci.data = chunk.data.data();
            ok = ok && sf_set_chunk(file.get(), &ci) == SF_ERR_NO_ERROR;
        }
    }
    for (int first = 0; ok && first < sampleLength(); first += BlockFrames) {
        const std::vector<std::int32_t> frames = framesAt(first, BlockFrames);
        const sf_count_t count = sf_count_t(frames.size()) / info.channels;
        ok = sf_writef_int(file.get(), frames.data(), count) == count;
    }
    const QString reason = sf_strerror(file.get());
    ok = sf_close(file.release()) == 0 && ok;
    std::error_code renamed;
    if (ok)
        std::filesystem::rename(QFile::encodeName(temporary).toStdString(),
                                QFile::encodeName(path).toStdString(), renamed);
    if (!ok || renamed) {
        QFile::remove(temporary);
        fail(error, QString("Cannot write %1: %2")
                        .arg(path, ok ? QString::fromStdString(renamed.message()) : reason));
        return false;
    }
    return true;
}
