#include "zaltor/SampleFileMessage.h"

#include "core/ByteReader.h"
#include "core/ByteWriter.h"

#include <bit>
#include <cmath>

namespace {

enum : std::uint8_t { Failed = 0, Loaded = 1 };

void writeText(ByteWriter& w, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    w.u32le(std::uint32_t(utf8.size()));
    w.bytes({reinterpret_cast<const std::uint8_t*>(utf8.constData()), std::size_t(utf8.size())});
}

QString readText(ByteReader& r)
{
    const std::span<const std::uint8_t> bytes = r.bytes(r.u32le());
    return QString::fromUtf8(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

void writeBuffer(ByteWriter& w, const Buffer& buffer)
{
    w.u32le(std::uint32_t(buffer.size()));
    w.bytes(buffer.bytes());
}

Buffer readBuffer(ByteReader& r)
{
    const std::span<const std::uint8_t> bytes = r.bytes(r.u32le());
    return Buffer(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

void writeSample(ByteWriter& w, const Sample& s)
{
    const auto rate = std::bit_cast<std::uint64_t>(s.format().sampleRate());
    w.u32le(std::uint32_t(rate));
    w.u32le(std::uint32_t(rate >> 32));
    w.u8(std::uint8_t(s.format().bitsPerSample()));
    w.u8(std::uint8_t(s.format().channels()));
    for (int value : {s.rootKey, s.keyLow, s.keyHigh, s.velocityLow, s.velocityHigh, s.volume, s.pan,
                      s.coarseTune, s.fineTune, s.loopMode})
        w.u8(std::uint8_t(value));
    for (std::uint32_t frame : {s.sampleStart, s.loopStart, s.loopEnd}) w.u32le(frame);
    writeText(w, s.name);
    writeBuffer(w, s.left());
    writeBuffer(w, s.right());
}

// A sample as the message holds it, or null when its audio is not usable.
std::unique_ptr<Sample> readSample(ByteReader& r)
{
    auto s = std::make_unique<Sample>();
    const std::uint64_t low = r.u32le();
    const std::uint64_t rate = low | std::uint64_t(r.u32le()) << 32;
    const int bits = r.u8();
    const int channels = r.u8();
    s->format() = AudioFormat(std::bit_cast<double>(rate), bits, channels);
    for (int* value : {&s->rootKey, &s->keyLow, &s->keyHigh, &s->velocityLow, &s->velocityHigh, &s->volume,
                       &s->pan, &s->coarseTune, &s->fineTune, &s->loopMode})
        *value = r.u8();
    for (std::uint32_t* frame : {&s->sampleStart, &s->loopStart, &s->loopEnd}) *frame = r.u32le();
    s->name = readText(r);
    s->left() = readBuffer(r);
    s->right() = readBuffer(r);
    // isValid() refuses a rate that is not a number (NaN is not above 0), but not an infinite one.
    if (r.failed() || !s->isValid() || !std::isfinite(s->format().sampleRate())) return nullptr;
    s->limitSettings();
    return s;
}

} // namespace

std::vector<std::uint8_t> SampleFileMessage::encode(const Instruments& instruments)
{
    ByteWriter w;
    w.u8(Loaded);
    w.u32le(std::uint32_t(instruments.count()));
    for (const auto& instrument : instruments) {
        writeText(w, instrument->name);
        w.u32le(std::uint32_t(instrument->samples.count()));
        for (const auto& sample : instrument->samples) writeSample(w, *sample);
    }
    return w.data();
}

std::vector<std::uint8_t> SampleFileMessage::encodeError(const QString& error)
{
    ByteWriter w;
    w.u8(Failed);
    writeText(w, error);
    return w.data();
}

bool SampleFileMessage::decode(std::span<const std::uint8_t> message, Instruments& instruments,
                               QString& error)
{
    instruments.clear();
    ByteReader r(message);
    const std::uint8_t kind = r.u8();
    if (kind == Failed) {
        error = readText(r);
        if (!r.failed() && r.remaining() == 0 && !error.isEmpty()) return false;
    } else if (kind == Loaded) {
        const std::uint32_t count = r.u32le();
        for (std::uint32_t i = 0; i < count && !r.failed(); ++i) {
            auto instrument = std::make_unique<Instrument>();
            instrument->name = readText(r);
            const std::uint32_t samples = r.u32le();
            for (std::uint32_t j = 0; j < samples && !r.failed(); ++j) {
                std::unique_ptr<Sample> sample = readSample(r);
                if (!sample) break;
                instrument->samples.append(std::move(sample));
            }
            if (std::uint32_t(instrument->samples.count()) != samples) break;
            instruments.append(std::move(instrument));
        }
        if (!r.failed() && r.remaining() == 0 && std::uint32_t(instruments.count()) == count) return true;
    }
    instruments.clear();
    error = "damaged answer";
    return false;
}
