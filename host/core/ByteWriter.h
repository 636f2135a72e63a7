#pragma once

#include <QString>
#include <cstdint>
#include <span>
#include <vector>

// Writes binary fields into a growing byte vector. Writing happens at the position, replacing
// bytes that are there and appending past the end, so a size field can be filled in afterwards
// by seeking back. A value that its field cannot hold sets a failure that stays set.
class ByteWriter {
public:
    void u8(std::uint8_t value);
    void u16be(std::uint16_t value) { valueBE(value, 2); }
    void u32be(std::uint32_t value) { valueBE(value, 4); }
    void u32le(std::uint32_t value) { valueLE(value, 4); }
    // n bytes, most or least significant first; n from 0 to 4.
    void valueBE(std::uint32_t value, int n);
    void valueLE(std::uint32_t value, int n);
    // A four-character id; shorter ids are padded with zero bytes.
    void fourcc(const QString& id) { text(id, 4); }
    // A field of n bytes, padded with zero bytes and cut to fit; n < 0 writes the characters only.
    void text(const QString& text, int n);
    // The characters, then one zero byte.
    void zeroText(const QString& text);
    // A MIDI variable-length number; values above 0x0FFFFFFF do not fit in four bytes.
    void varLength(std::uint32_t value);
    void bytes(std::span<const std::uint8_t> bytes);
    // Moves forward n bytes, writing zero bytes past the end.
    void skip(std::size_t n);
    // Moves to an absolute position within what was written; beyond the end is a failure.
    void seek(std::size_t pos);

    // Forgets the bytes but keeps the room they took, so that a writer used as a window onto a
    // file does not allocate again after each flush.
    void clear()
    {
        bytes_.clear();
        pos_ = 0;
    }

    std::size_t pos() const { return pos_; }
    std::size_t size() const { return bytes_.size(); }
    bool failed() const { return failed_; }
    const std::vector<std::uint8_t>& data() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};
