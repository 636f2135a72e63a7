#include "core/ByteWriter.h"

#include <algorithm>
#include <array>

void ByteWriter::u8(std::uint8_t value)
{
    if (pos_ < bytes_.size())
        bytes_[pos_] = value;
    else
        bytes_.push_back(value);
    ++pos_;
}

void ByteWriter::valueBE(std::uint32_t value, int n)
{
    if (n < 0 || n > 4) {
        failed_ = true;
        return;
    }
    for (int i = n - 1; i >= 0; --i) u8(static_cast<std::uint8_t>(value >> (8 * i)));
}

void ByteWriter::valueLE(std::uint32_t value, int n)
{
    if (n < 0 || n > 4) {
        failed_ = true;
        return;
    }
    for (int i = 0; i < n; ++i) u8(static_cast<std::uint8_t>(value >> (8 * i)));
}

void ByteWriter::text(const QString& text, int n)
{
    const QByteArray latin = text.toLatin1();
    const qsizetype count = n < 0 ? latin.size() : n;
    for (qsizetype i = 0; i < count; ++i) u8(i < latin.size() ? static_cast<std::uint8_t>(latin[i]) : 0);
}

void ByteWriter::zeroText(const QString& text)
{
    this->text(text, -1);
    u8(0);
}

void ByteWriter::varLength(std::uint32_t value)
{
    if (value > 0x0FFFFFFF) {
        failed_ = true;
        return;
    }
    std::array<std::uint8_t, 4> groups{};
    int count = 0;
    do {
        groups[static_cast<std::size_t>(count++)] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value);
    for (int i = count - 1; i >= 0; --i)
        u8(static_cast<std::uint8_t>(groups[static_cast<std::size_t>(i)] | (i ? 0x80 : 0)));
}

void ByteWriter::bytes(std::span<const std::uint8_t> bytes)
{
    const std::size_t overlap = std::min(bytes.size(), bytes_.size() - pos_);
    std::copy_n(bytes.begin(), overlap, bytes_.begin() + static_cast<std::ptrdiff_t>(pos_));
    bytes_.insert(bytes_.end(), bytes.begin() + static_cast<std::ptrdiff_t>(overlap), bytes.end());
    pos_ += bytes.size();
}

void ByteWriter::skip(std::size_t n)
{
    const std::size_t end = pos_ + n;
    if (end > bytes_.size()) bytes_.resize(end, 0);
    pos_ = end;
}

void ByteWriter::seek(std::size_t pos)
{
    if (pos <= bytes_.size())
        pos_ = pos;
    else
        failed_ = true;
}
