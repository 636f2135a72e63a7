#include "core/ByteReader.h"

#include <algorithm>

bool ByteReader::take(std::size_t n)
{
    if (n <= remaining()) {
        pos_ += n;
        return true;
    }
    pos_ = bytes_.size();
    failed_ = true;
    return false;
}

std::uint32_t ByteReader::valueBE(std::size_t n)
{
    if (!take(n)) return 0;
    std::uint32_t value = 0;
    for (std::size_t i = pos_ - n; i < pos_; ++i) value = (value << 8) | bytes_[i];
    return value;
}

std::uint8_t ByteReader::u8() { return static_cast<std::uint8_t>(valueBE(1)); }

std::uint16_t ByteReader::u16be() { return static_cast<std::uint16_t>(valueBE(2)); }

std::uint32_t ByteReader::u32be() { return valueBE(4); }

std::uint32_t ByteReader::u32le() { return valueLE(4); }

std::uint32_t ByteReader::valueLE(int n)
{
    if (n < 0 || n > 4) {
        failed_ = true;
        return 0;
    }
    const auto count = static_cast<std::size_t>(n);
    if (!take(count)) return 0;
    std::uint32_t value = 0;
    for (std::size_t i = pos_; i > pos_ - count; --i) value = (value << 8) | bytes_[i - 1];
    return value;
}

QString ByteReader::text(int n)
{
    const auto field = bytes(static_cast<std::size_t>(std::max(n, 0)));
    const auto zero = std::find(field.begin(), field.end(), 0);
    return QString::fromLatin1(reinterpret_cast<const char*>(field.data()), zero - field.begin());
}

QString ByteReader::zeroText()
{
    const auto rest = bytes_.subspan(pos_);
    const auto zero = std::find(rest.begin(), rest.end(), 0);
    if (zero == rest.end()) {
        take(remaining() + 1);
        return {};
    }
    const auto length = static_cast<std::size_t>(zero - rest.begin());
    pos_ += length + 1;
    return QString::fromLatin1(reinterpret_cast<const char*>(rest.data()), static_cast<qsizetype>(length));
}

std::uint32_t ByteReader::varLength()
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        if (!take(1)) return 0;
        const std::uint8_t byte = bytes_[pos_ - 1];
        value = (value << 7) | (byte & 0x7F);
        if (!(byte & 0x80)) return value;
    }
    failed_ = true;
    return 0;
}

std::span<const std::uint8_t> ByteReader::bytes(std::size_t n)
{
    if (!take(n)) return {};
    return bytes_.subspan(pos_ - n, n);
}

void ByteReader::seek(std::size_t pos)
{
    if (pos <= bytes_.size()) {
        pos_ = pos;
    } else {
        pos_ = bytes_.size();
        failed_ = true;
    }
}
