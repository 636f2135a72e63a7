#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

// Builds all-data files as the instrument lays them out, since no real one may be shipped: a
// 16-byte identifier, a second 16-byte text, 96 bytes the reader skips, 48 catalogue slots of an
// identifier and a big-endian offset from offset 128, and the chunks from offset 512 on.
class EsFileWriter {
public:
    using Bytes = std::vector<std::uint8_t>;
    static constexpr std::uint32_t FirstChunk = 512;

    explicit EsFileWriter(std::string header1 = "8E24 S90ES", std::string header2 = "ALL DATA")
        : header1_(std::move(header1)), header2_(std::move(header2))
    {
    }

    // Appends a chunk after the ones added before and catalogues it in the next slot; answers
    // its offset.
    std::uint32_t add(const std::string& id, const Bytes& chunk)
    {
        const auto offset = static_cast<std::uint32_t>(FirstChunk + chunks_.size());
        chunks_.insert(chunks_.end(), chunk.begin(), chunk.end());
        catalogue(id, offset);
        return offset;
    }
    // Catalogues an identifier at any offset in the next slot; an empty one leaves the slot empty.
    void catalogue(const std::string& id, std::uint32_t offset) { slots_.emplace_back(id, offset); }

    Bytes bytes() const
    {
        Bytes out(FirstChunk, 0);
        std::fill(out.begin() + 32, out.begin() + 128, 0x55);
        header1_.copy(reinterpret_cast<char*>(out.data()), 16);
        header2_.copy(reinterpret_cast<char*>(out.data() + 16), 16);
        for (std::size_t slot = 0; slot < slots_.size() && slot < 48; ++slot) {
            const std::size_t at = 128 + slot * 8;
            slots_[slot].first.copy(reinterpret_cast<char*>(out.data() + at), 4);
            put32(out, at + 4, slots_[slot].second);
        }
        out.insert(out.end(), chunks_.begin(), chunks_.end());
        return out;
    }

    static void put32(Bytes& bytes, std::size_t at, std::uint32_t value)
    {
        for (int i = 0; i < 4; ++i) bytes[at + std::size_t(i)] = std::uint8_t(value >> (24 - 8 * i));
    }
    // An identifier, a size field and `length` bytes in all, the rest filled with 0xEE.
    static Bytes chunk(const std::string& id, std::uint32_t sizeField, std::size_t length)
    {
        Bytes out(length, 0xEE);
        std::fill_n(out.begin(), 4, 0);
        id.copy(reinterpret_cast<char*>(out.data()), 4);
        put32(out, 4, sizeField);
        return out;
    }
    // A partner that announces `count` entries: 32 + 32 × count bytes.
    static Bytes partner(const std::string& id, int count)
    {
        return chunk(id, std::uint32_t(32 + 32 * count), std::size_t(32 + 32 * count));
    }
    // A data chunk of `count` entries of `entrySize` bytes from entry start 44.
    static Bytes data(const std::string& id, int count, int entrySize)
    {
        const auto size = std::uint32_t(44 + count * entrySize);
        Bytes out = chunk(id, size, size);
        put32(out, 40, 44);
        for (int k = 0; k < count; ++k)
            std::ranges::copy(entry(k, entrySize), out.begin() + 44 + k * entrySize);
        return out;
    }
    // Entry k of a data chunk: bytes that differ from every other entry's and from the filler.
    static Bytes entry(int k, int entrySize)
    {
        Bytes out(std::size_t(entrySize), 0);
        for (int j = 0; j < entrySize; ++j) out[std::size_t(j)] = std::uint8_t(k * 16 + j % 13 + 1);
        return out;
    }

private:
    std::string header1_;
    std::string header2_;
    std::vector<std::pair<std::string, std::uint32_t>> slots_;
    Bytes chunks_;
};
