#pragma once

#include <QString>
#include <cstdint>
#include <span>

// Reads binary fields from bytes it does not own. Every read checks the bytes left; a read that
// runs short answers 0 (or the empty text), moves to the end and sets a failure that stays set,
// so a parser can read a whole record and test failed() once.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint8_t u8();
    std::uint16_t u16be();
    std::uint32_t u32be();
    std::uint32_t u32le();
    // n bytes, least significant first; n from 0 to 4.
    std::uint32_t valueLE(int n);
    // A four-character id ("YSFC", "EWFM").
    QString fourcc() { return text(4); }
    // A fixed field of n bytes whose text ends at its first zero byte.
    QString text(int n);
    // A text ending in a zero byte, which is consumed.
    QString zeroText();
    // A MIDI variable-length number: seven bits a byte, high bit set on all but the last; more
    // than four bytes is a failure.
    std::uint32_t varLength();
    // A view of the next n bytes, valid as long as the bytes the reader was made over.
    std::span<const std::uint8_t> bytes(std::size_t n);
    void skip(std::size_t n) { bytes(n); }
    // Moves to an absolute position; beyond the end is a failure.
    void seek(std::size_t pos);

    std::size_t pos() const { return pos_; }
    std::size_t size() const { return bytes_.size(); }
    std::size_t remaining() const { return bytes_.size() - pos_; }
    bool failed() const { return failed_; }

private:
    // Claims n bytes, or fails and answers false.
    bool take(std::size_t n);
    // Big-endian value of the n bytes before the position.
    std::uint32_t valueBE(std::size_t n);

    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};
