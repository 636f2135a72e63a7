#pragma once

#include <QString>
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

// A growable byte array. Every positional read is bounds-checked: reading outside the bytes
// answers 0 (or the empty text) instead of touching memory that is not ours, and writes outside
// the bytes are ignored, so a hostile message can never move a reader off the end.
class Buffer {
public:
    Buffer() = default;
    Buffer(const std::uint8_t* bytes, int count);
    explicit Buffer(std::vector<std::uint8_t> bytes);
    Buffer(std::initializer_list<std::uint8_t> bytes);
    virtual ~Buffer() = default;
    Buffer(const Buffer&) = default;
    Buffer& operator=(const Buffer&) = default;
    Buffer(Buffer&&) noexcept = default;
    Buffer& operator=(Buffer&&) noexcept = default;

    int size() const { return static_cast<int>(bytes_.size()); }
    bool isEmpty() const { return bytes_.empty(); }
    const std::uint8_t* data() const { return bytes_.data(); }
    std::uint8_t* data() { return bytes_.data(); }
    std::span<const std::uint8_t> bytes() const { return bytes_; }
    const std::vector<std::uint8_t>& vector() const { return bytes_; }

    // The byte at i, 0 when i lies outside the buffer.
    std::uint8_t at(int i) const;
    std::uint8_t operator[](int i) const { return at(i); }
    void setAt(int i, std::uint8_t value);

    int readBYTE(int pos) const { return at(pos); }
    void writeBYTE(int pos, std::uint8_t value) { setAt(pos, value); }
    // n bytes from pos, most significant first; bytes past the end count as 0.
    std::uint32_t readValue(int pos, int n) const;
    // n bytes from pos, least significant first.
    std::uint32_t readValueR(int pos, int n) const;
    void writeValueR(int pos, int n, std::uint32_t value);
    // A text field of n bytes at pos that ends at its first zero byte.
    QString readText(int pos, int n) const;
    // Writes text into the n-byte field at pos, padding with zero bytes.
    void writeText(int pos, const QString& text, int n);

    // Upper-case hexadecimal bytes separated by single blanks; n < 0 means all bytes.
    QString toString(int n = -1) const;
    // Replaces the contents with the bytes of a hexadecimal text ("F0 43 10", "f04310", blanks,
    // tabs and line breaks allowed). Answers false, leaving the buffer empty, on any other text.
    bool fromString(const QString& hex);
    bool fromFile(const QString& path);

    void allocate(int n, std::uint8_t fill = 0);
    void reset() { bytes_.clear(); }
    // Room for n bytes, so that appending up to them never copies what is there.
    void reserve(int n);
    // Appends n zero bytes and answers where they begin, for a writer that fills them in place.
    std::uint8_t* extend(int n);
    void append(std::uint8_t value) { bytes_.push_back(value); }
    void append(std::span<const std::uint8_t> more) { bytes_.insert(bytes_.end(), more.begin(), more.end()); }
    void append(const Buffer& more) { append(more.bytes()); }

    bool operator==(const Buffer& other) const { return bytes_ == other.bytes_; }

protected:
    std::vector<std::uint8_t> bytes_;
};
