#include "zaltor/SampleChunks.h"

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "zaltor/Sample.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::uint8_t OwnVersion = 1;
// AIFF markers that bound the sustain loop.
constexpr std::uint16_t LoopBeginMarker = 1;
constexpr std::uint16_t LoopEndMarker = 2;

int midi(int value) { return std::clamp(value, 0, 127); }
std::uint8_t detune(int fineTune)
{
    return static_cast<std::uint8_t>(static_cast<std::int8_t>(midi(fineTune) - 64));
}
int fromDetune(std::uint8_t value) { return midi(64 + static_cast<std::int8_t>(value)); }

bool hasLoop(const Sample& sample)
{
    return sample.loopMode != Sample::LoopNone && sample.loopEnd > sample.loopStart;
}

// WAV loop types: 0 forward, 1 alternating, 2 backward.
std::uint32_t wavLoopType(int mode)
{
    return mode == Sample::LoopAlternate ? 1 : mode == Sample::LoopReverse ? 2 : 0;
}

int fromWavLoopType(std::uint32_t type)
{
    return type == 1 ? Sample::LoopAlternate : type == 2 ? Sample::LoopReverse : Sample::LoopForward;
}

// The instrument chunk that WAV and AIFF share apart from the order of gain and the key range.
void writeRanges(ByteWriter& w, const Sample& s)
{
    w.u8(std::uint8_t(midi(s.keyLow)));
    w.u8(std::uint8_t(midi(s.keyHigh)));
    w.u8(std::uint8_t(midi(s.velocityLow)));
    w.u8(std::uint8_t(midi(s.velocityHigh)));
}

void readRanges(ByteReader& r, Sample& s)
{
    s.keyLow = midi(r.u8());
    s.keyHigh = midi(r.u8());
    s.velocityLow = midi(r.u8());
    s.velocityHigh = midi(r.u8());
}

std::vector<std::uint8_t> wavSmpl(const Sample& s)
{
    ByteWriter w;
    w.u32le(0); // manufacturer
    w.u32le(0); // product
    const double rate = s.format().sampleRate();
    w.u32le(rate > 0 ? static_cast<std::uint32_t>(std::lround(1e9 / rate)) : 0); // sample period in ns
    w.u32le(std::uint32_t(midi(s.rootKey)));
    w.u32le(0); // pitch fraction: the fine tune goes into "inst"
    w.u32le(0); // SMPTE format
    w.u32le(0); // SMPTE offset
    w.u32le(hasLoop(s) ? 1 : 0);
    w.u32le(0); // sampler data
    if (hasLoop(s)) {
        w.u32le(0); // cue point id
        w.u32le(wavLoopType(s.loopMode));
        w.u32le(s.loopStart);
        w.u32le(s.loopEnd - 1); // WAV names the last frame of the loop
        w.u32le(0);             // fraction
        w.u32le(0);             // play count: endless
    }
    return w.data();
}

std::vector<std::uint8_t> wavInst(const Sample& s)
{
    ByteWriter w;
    w.u8(std::uint8_t(midi(s.rootKey)));
    w.u8(detune(s.fineTune));
    w.u8(0); // gain in dB: the level goes into "zltr"
    writeRanges(w, s);
    return w.data();
}

std::vector<std::uint8_t> aiffInst(const Sample& s)
{
    ByteWriter w;
    w.u8(std::uint8_t(midi(s.rootKey)));
    w.u8(detune(s.fineTune));
    writeRanges(w, s);
    w.u16be(0); // gain in dB
    // Sustain loop: AIFF knows forward and forward-backward loops only.
    w.u16be(!hasLoop(s) ? 0 : s.loopMode == Sample::LoopAlternate ? 2 : 1);
    w.u16be(LoopBeginMarker);
    w.u16be(LoopEndMarker);
    // Release loop: none.
    w.u16be(0);
    w.u16be(0);
    w.u16be(0);
    return w.data();
}

void writeMarker(ByteWriter& w, std::uint16_t id, std::uint32_t position, const char* name)
{
    w.u16be(id);
    w.u32be(position);
    const QByteArray text(name);
    w.u8(std::uint8_t(text.size()));
    w.bytes({reinterpret_cast<const std::uint8_t*>(text.data()), std::size_t(text.size())});
    if (text.size() % 2 == 0) w.u8(0); // count byte and text fill an even number of bytes
}

std::vector<std::uint8_t> aiffMark(const Sample& s)
{
    ByteWriter w;
    w.u16be(2);
    writeMarker(w, LoopBeginMarker, s.loopStart, "beg loop");
    writeMarker(w, LoopEndMarker, s.loopEnd, "end loop");
    return w.data();
}

std::vector<std::uint8_t> own(const Sample& s)
{
    ByteWriter w;
    w.u8(OwnVersion);
    w.u8(std::uint8_t(midi(s.volume)));
    w.u8(std::uint8_t(midi(s.pan)));
    w.u8(std::uint8_t(midi(s.coarseTune)));
    w.u32le(s.sampleStart);
    return w.data();
}

// Marker positions by id; a marker list cut short keeps the markers before the cut.
bool markerPosition(std::span<const std::uint8_t> mark, std::uint16_t id, std::uint32_t& position)
{
    ByteReader r(mark);
    const int count = r.u16be();
    for (int i = 0; i < count && !r.failed(); ++i) {
        const std::uint16_t markerId = r.u16be();
        const std::uint32_t markerPosition = r.u32be();
        const std::uint8_t length = r.u8();
        r.skip(length + (length % 2 == 0 ? 1 : 0));
        if (!r.failed() && markerId == id) {
            position = markerPosition;
            return true;
        }
    }
    return false;
}

} // namespace

std::vector<SampleChunks::Chunk> SampleChunks::write(const Sample& sample, Container container)
{
    std::vector<Chunk> chunks;
    if (container == Wav) {
        chunks.push_back({"smpl", wavSmpl(sample)});
        chunks.push_back({"inst", wavInst(sample)});
    } else {
        chunks.push_back({"INST", aiffInst(sample)});
        if (hasLoop(sample)) chunks.push_back({"MARK", aiffMark(sample)});
    }
    chunks.push_back({"zltr", own(sample)});
    return chunks;
}

void SampleChunks::read(Sample& sample, Container container, const Lookup& lookup)
{
    if (container == Wav)
        readWav(sample, lookup);
    else
        readAiff(sample, lookup);
    readOwn(sample, lookup("zltr"));
}

void SampleChunks::readWav(Sample& sample, const Lookup& lookup)
{
    const std::vector<std::uint8_t> smpl = lookup("smpl");
    ByteReader r(smpl);
    r.skip(12);
    const std::uint32_t unityNote = r.u32le();
    const std::uint32_t pitchFraction = r.u32le();
    r.skip(8);
    const std::uint32_t loops = r.u32le();
    r.skip(4);
    if (!r.failed()) {
        sample.rootKey = midi(int(std::min<std::uint32_t>(unityNote, 127)));
        // The fraction counts up from the unity note in 2^-32 semitones.
        sample.fineTune = midi(64 + int(std::lround(pitchFraction * 100.0 / 4294967296.0)));
        r.skip(4); // cue point id
        const std::uint32_t type = r.u32le();
        const std::uint32_t start = r.u32le();
        const std::uint32_t last = r.u32le();
        if (loops > 0 && !r.failed() && last >= start && last < UINT32_MAX) {
            sample.loopMode = fromWavLoopType(type);
            sample.loopStart = start;
            sample.loopEnd = last + 1;
        }
    }
    const std::vector<std::uint8_t> inst = lookup("inst");
    if (inst.size() >= 7) {
        ByteReader ri(inst);
        sample.rootKey = midi(ri.u8());
        sample.fineTune = fromDetune(ri.u8());
        ri.skip(1); // gain
        readRanges(ri, sample);
    }
}

void SampleChunks::readAiff(Sample& sample, const Lookup& lookup)
{
    const std::vector<std::uint8_t> inst = lookup("INST");
    if (inst.size() < 20) return;
    ByteReader r(inst);
    sample.rootKey = midi(r.u8());
    sample.fineTune = fromDetune(r.u8());
    readRanges(r, sample);
    r.skip(2); // gain
    const std::uint16_t playMode = r.u16be();
    const std::uint16_t beginId = r.u16be();
    const std::uint16_t endId = r.u16be();
    const std::vector<std::uint8_t> mark = lookup("MARK");
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    if (playMode != 0 && markerPosition(mark, beginId, begin) && markerPosition(mark, endId, end) &&
        end > begin) {
        sample.loopMode = playMode == 2 ? Sample::LoopAlternate : Sample::LoopForward;
        sample.loopStart = begin;
        sample.loopEnd = end;
    }
}

void SampleChunks::readOwn(Sample& sample, std::span<const std::uint8_t> data)
{
    ByteReader r(data);
    const std::uint8_t version = r.u8();
    const int volume = r.u8();
    const int pan = r.u8();
    const int coarse = r.u8();
    const std::uint32_t start = r.u32le();
    if (r.failed() || version != OwnVersion) return;
    sample.volume = midi(volume);
    sample.pan = midi(pan);
    sample.coarseTune = midi(coarse);
    sample.sampleStart = start;
}
