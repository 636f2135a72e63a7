#pragma once

// Audio and multi-sample files built byte by byte, so that the readers are checked against the
// formats' own layouts rather than against the library that also reads them.

#include "core/ByteWriter.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace audiofiles {

using Bytes = std::vector<std::uint8_t>;

inline void chunk(ByteWriter& w, const char* id, const Bytes& data)
{
    w.fourcc(id);
    w.u32le(std::uint32_t(data.size()));
    w.bytes(data);
    if (data.size() % 2) w.u8(0);
}

inline Bytes list(const char* type, const ByteWriter& body, const char* outer = "LIST")
{
    ByteWriter w;
    w.fourcc(outer);
    w.u32le(std::uint32_t(body.size() + 4));
    w.fourcc(type);
    w.bytes(body.data());
    return w.data();
}

// A PCM WAV file: the format chunk, the extra chunks in order, then the data.
inline Bytes wav(int channels, int bits, std::uint32_t rate, const Bytes& data,
                 const std::vector<std::pair<const char*, Bytes>>& extra = {})
{
    ByteWriter fmt;
    fmt.valueLE(1, 2);
    fmt.valueLE(std::uint32_t(channels), 2);
    fmt.u32le(rate);
    const std::uint32_t block = std::uint32_t(channels * ((bits + 7) / 8));
    fmt.u32le(rate * block);
    fmt.valueLE(block, 2);
    fmt.valueLE(std::uint32_t(bits), 2);
    ByteWriter body;
    chunk(body, "fmt ", fmt.data());
    for (const auto& [id, bytes] : extra) chunk(body, id, bytes);
    chunk(body, "data", data);
    return list("WAVE", body, "RIFF");
}

inline Bytes name20(const std::string& name)
{
    Bytes bytes(20, 0);
    std::copy_n(name.begin(), std::min<std::size_t>(name.size(), 19), bytes.begin());
    return bytes;
}

struct Sf2Sample {
    std::string name;
    std::vector<std::int16_t> data;
    std::uint32_t rate;
    std::uint8_t pitch;
    std::int8_t correction;
    std::uint32_t loopStart; // relative to the sample; loopEnd is the frame after the loop
    std::uint32_t loopEnd;
};

struct Sf2Zone {
    int sample;
    std::uint8_t keyLow, keyHigh, velocityLow, velocityHigh;
    std::vector<std::pair<std::uint16_t, std::int16_t>> generators; // between the ranges and the sample id
};

struct Sf2Instrument {
    std::string name;
    std::vector<Sf2Zone> zones;
};

// A SoundFont 2.01 bank with one preset that plays the first instrument.
inline Bytes sf2(const std::vector<Sf2Sample>& samples, const std::vector<Sf2Instrument>& instruments)
{
    ByteWriter info;
    chunk(info, "ifil", {2, 0, 1, 0});
    chunk(info, "isng", {'E', 'M', 'U', '8', '0', '0', '0', 0});
    chunk(info, "INAM", {'F', 'i', 'x', 't', 'u', 'r', 'e', 0});

    ByteWriter pcm;
    ByteWriter shdr;
    std::uint32_t position = 0;
    for (const Sf2Sample& s : samples) {
        for (std::int16_t v : s.data) pcm.valueLE(std::uint16_t(v), 2);
        for (int i = 0; i < 46; ++i) pcm.valueLE(0, 2); // the guard samples after each sample
        shdr.bytes(name20(s.name));
        shdr.u32le(position);
        shdr.u32le(position + std::uint32_t(s.data.size()));
        shdr.u32le(position + s.loopStart);
        shdr.u32le(position + s.loopEnd);
        shdr.u32le(s.rate);
        shdr.u8(s.pitch);
        shdr.u8(std::uint8_t(s.correction));
        shdr.valueLE(0, 2); // link
        shdr.valueLE(1, 2); // mono
        position += std::uint32_t(s.data.size()) + 46;
    }
    shdr.bytes(name20("EOS"));
    shdr.skip(26);
    ByteWriter sdta;
    chunk(sdta, "smpl", pcm.data());

    ByteWriter inst, ibag, igen;
    int bags = 0, gens = 0;
    for (const Sf2Instrument& instrument : instruments) {
        inst.bytes(name20(instrument.name));
        inst.valueLE(std::uint32_t(bags), 2);
        for (const Sf2Zone& zone : instrument.zones) {
            ibag.valueLE(std::uint32_t(gens), 2);
            ibag.valueLE(0, 2);
            ++bags;
            igen.valueLE(43, 2);
            igen.u8(zone.keyLow);
            igen.u8(zone.keyHigh);
            igen.valueLE(44, 2);
            igen.u8(zone.velocityLow);
            igen.u8(zone.velocityHigh);
            for (const auto& [op, amount] : zone.generators) {
                igen.valueLE(op, 2);
                igen.valueLE(std::uint16_t(amount), 2);
            }
            igen.valueLE(53, 2);
            igen.valueLE(std::uint32_t(zone.sample), 2);
            gens += 3 + int(zone.generators.size());
        }
    }
    inst.bytes(name20("EOI"));
    inst.valueLE(std::uint32_t(bags), 2);
    ibag.valueLE(std::uint32_t(gens), 2);
    ibag.valueLE(0, 2);
    igen.skip(4);

    ByteWriter phdr;
    phdr.bytes(name20("Preset"));
    phdr.skip(6); // preset 0, bank 0, bag 0
    phdr.skip(12);
    phdr.bytes(name20("EOP"));
    phdr.valueLE(0, 2);
    phdr.valueLE(0, 2);
    phdr.valueLE(1, 2);
    phdr.skip(12);
    ByteWriter pdta;
    chunk(pdta, "phdr", phdr.data());
    chunk(pdta, "pbag", {0, 0, 0, 0, 1, 0, 0, 0});
    chunk(pdta, "pmod", Bytes(10, 0));
    chunk(pdta, "pgen", {41, 0, 0, 0, 0, 0, 0, 0});
    chunk(pdta, "inst", inst.data());
    chunk(pdta, "ibag", ibag.data());
    chunk(pdta, "imod", Bytes(10, 0));
    chunk(pdta, "igen", igen.data());
    chunk(pdta, "shdr", shdr.data());

    ByteWriter body;
    body.bytes(list("INFO", info));
    body.bytes(list("sdta", sdta));
    body.bytes(list("pdta", pdta));
    return list("sfbk", body, "RIFF");
}

struct DlsRegion {
    int wave;
    std::uint16_t keyLow, keyHigh, velocityLow, velocityHigh;
    std::uint16_t unityNote;
    std::uint32_t loopStart, loopLength; // no loop when the length is 0
};

struct DlsInstrument {
    std::string name;
    std::vector<DlsRegion> regions;
};

// A DLS level 1 collection of 16-bit mono waves.
inline Bytes dls(const std::vector<std::vector<std::int16_t>>& waves, std::uint32_t rate,
                 const std::vector<DlsInstrument>& instruments)
{
    ByteWriter body;
    chunk(body, "colh", {std::uint8_t(instruments.size()), 0, 0, 0});
    ByteWriter lins;
    for (const DlsInstrument& instrument : instruments) {
        ByteWriter ins, lrgn, info;
        ByteWriter insh;
        insh.u32le(std::uint32_t(instrument.regions.size()));
        insh.u32le(0); // bank
        insh.u32le(0); // program
        chunk(ins, "insh", insh.data());
        for (const DlsRegion& r : instrument.regions) {
            ByteWriter rgn, rgnh, wsmp, wlnk;
            for (std::uint16_t v :
                 {r.keyLow, r.keyHigh, r.velocityLow, r.velocityHigh, std::uint16_t(0), std::uint16_t(0)})
                rgnh.valueLE(v, 2);
            wsmp.u32le(20);
            wsmp.valueLE(r.unityNote, 2);
            wsmp.valueLE(0, 2); // fine tune
            wsmp.u32le(0);      // attenuation
            wsmp.u32le(0);      // options
            wsmp.u32le(r.loopLength ? 1 : 0);
            if (r.loopLength) {
                wsmp.u32le(16);
                wsmp.u32le(0); // forward
                wsmp.u32le(r.loopStart);
                wsmp.u32le(r.loopLength);
            }
            wlnk.valueLE(0, 2);
            wlnk.valueLE(0, 2);
            wlnk.u32le(1); // left channel
            wlnk.u32le(std::uint32_t(r.wave));
            chunk(rgn, "rgnh", rgnh.data());
            chunk(rgn, "wsmp", wsmp.data());
            chunk(rgn, "wlnk", wlnk.data());
            lrgn.bytes(list("rgn ", rgn));
        }
        ins.bytes(list("lrgn", lrgn));
        Bytes name(instrument.name.begin(), instrument.name.end());
        name.push_back(0);
        chunk(info, "INAM", name);
        ins.bytes(list("INFO", info));
        lins.bytes(list("ins ", ins));
    }
    body.bytes(list("lins", lins));
    ByteWriter ptbl, wvpl;
    ptbl.u32le(8);
    ptbl.u32le(std::uint32_t(waves.size()));
    for (const auto& samples : waves) {
        ptbl.u32le(std::uint32_t(wvpl.size()));
        ByteWriter wave, fmt, data;
        for (std::uint32_t v : {1u, 1u}) fmt.valueLE(v, 2);
        fmt.u32le(rate);
        fmt.u32le(rate * 2);
        fmt.valueLE(2, 2);
        fmt.valueLE(16, 2);
        for (std::int16_t v : samples) data.valueLE(std::uint16_t(v), 2);
        chunk(wave, "fmt ", fmt.data());
        chunk(wave, "data", data.data());
        wvpl.bytes(list("wave", wave));
    }
    chunk(body, "ptbl", ptbl.data());
    body.bytes(list("wvpl", wvpl));
    return list("DLS ", body, "RIFF");
}

inline bool writeFile(const QString& path, const Bytes& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(reinterpret_cast<const char*>(bytes.data()),
                                                         qint64(bytes.size())) == qint64(bytes.size());
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The bytes of the first chunk with this id that follow its size field; empty when absent.
inline QByteArray chunkBody(const QByteArray& file, const char* id, int size)
{
    const int at = file.indexOf(id);
    return at < 0 ? QByteArray() : file.mid(at + 8, size);
}

} // namespace audiofiles
