#include "core/Buffer.h"

#include <QFile>
#include <algorithm>
#include <limits>

Buffer::Buffer(const std::uint8_t* bytes, int count)
{
    if (bytes && count > 0) bytes_.assign(bytes, bytes + count);
}

Buffer::Buffer(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

Buffer::Buffer(std::initializer_list<std::uint8_t> bytes) : bytes_(bytes) {}

namespace {

// Positions are summed in 64 bits so that a hostile offset plus length cannot wrap around.
std::uint8_t byteAt(const std::vector<std::uint8_t>& bytes, long long i)
{
    return i >= 0 && i < static_cast<long long>(bytes.size()) ? bytes[static_cast<std::size_t>(i)] : 0;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

} // namespace

std::uint8_t Buffer::at(int i) const { return byteAt(bytes_, i); }

void Buffer::setAt(int i, std::uint8_t value)
{
    if (i >= 0 && i < size()) bytes_[static_cast<std::size_t>(i)] = value;
}

std::uint32_t Buffer::readValue(int pos, int n) const
{
    // Only the last four bytes of a longer field fit in the result.
    std::uint32_t value = 0;
    for (long long i = std::max(0, n - 4); i < n; ++i) value = (value << 8) | byteAt(bytes_, pos + i);
    return value;
}

std::uint32_t Buffer::readValueR(int pos, int n) const
{
    std::uint32_t value = 0;
    for (long long i = std::min(n, 4) - 1; i >= 0; --i) value = (value << 8) | byteAt(bytes_, pos + i);
    return value;
}

void Buffer::writeValueR(int pos, int n, std::uint32_t value)
{
    for (long long i = 0; i < n && pos + i < size(); ++i) {
        if (pos + i >= 0) bytes_[static_cast<std::size_t>(pos + i)] = static_cast<std::uint8_t>(value & 0xFF);
        value >>= 8;
    }
}

QString Buffer::readText(int pos, int n) const
{
    const long long begin = std::clamp<long long>(pos, 0, size());
    const long long end = std::clamp<long long>(static_cast<long long>(pos) + n, begin, size());
    const char* first = reinterpret_cast<const char*>(bytes_.data()) + begin;
    const char* last = reinterpret_cast<const char*>(bytes_.data()) + end;
    return QString::fromLatin1(first, std::find(first, last, '\0') - first);
}

void Buffer::writeText(int pos, const QString& text, int n)
{
    const QByteArray latin = text.toLatin1();
    for (long long i = 0; i < n && pos + i < size(); ++i)
        if (pos + i >= 0)
            bytes_[static_cast<std::size_t>(pos + i)] =
                i < latin.size() ? static_cast<std::uint8_t>(latin[i]) : 0;
}

QString Buffer::toString(int n) const
{
    const int count = n < 0 ? size() : std::min(n, size());
    QString text;
    text.reserve(count * 3);
    for (int i = 0; i < count; ++i) {
        if (i) text += QLatin1Char(' ');
        text +=
            QStringLiteral("%1").arg(bytes_[static_cast<std::size_t>(i)], 2, 16, QLatin1Char('0')).toUpper();
    }
    return text;
}

bool Buffer::fromString(const QString& hex)
{
    bytes_.clear();
    std::vector<std::uint8_t> parsed;
    // Digits pair up within each blank-separated group, so "F0 4" is rejected rather than guessed.
    int high = -1;
    for (const QChar c : hex) {
        if (c.isSpace()) {
            if (high >= 0) return false;
            continue;
        }
        const int digit = hexDigit(c);
        if (digit < 0) return false;
        if (high < 0) {
            high = digit;
        } else {
            parsed.push_back(static_cast<std::uint8_t>(high << 4 | digit));
            high = -1;
        }
    }
    if (high >= 0) return false;
    bytes_ = std::move(parsed);
    return true;
}

bool Buffer::fromFile(const QString& path)
{
    bytes_.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > std::numeric_limits<int>::max()) return false;
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) return false;
    bytes_.assign(content.begin(), content.end());
    return true;
}

void Buffer::allocate(int n, std::uint8_t fill)
{
    bytes_.assign(static_cast<std::size_t>(std::max(n, 0)), fill);
}

void Buffer::reserve(int n) { bytes_.reserve(std::size_t(std::max(n, 0))); }

std::uint8_t* Buffer::extend(int n)
{
    const std::size_t start = bytes_.size();
    bytes_.resize(start + std::size_t(std::max(n, 0)));
    return bytes_.data() + start;
}
