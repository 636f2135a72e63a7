#include "zaltor/Sysex.h"

#include <QStringList>

#include <algorithm>

namespace {
// A whole message never exceeds what the two-byte 7-bit byte count can describe.
constexpr int MaxDataBytes = 0x3FFF;

bool appendHexText(std::vector<std::uint8_t>& out, const QString& text)
{
    Buffer bytes;
    if (!text.trimmed().isEmpty() && !bytes.fromString(text)) return false;
    out.insert(out.end(), bytes.bytes().begin(), bytes.bytes().end());
    return true;
}

std::uint8_t checksumOf(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t to)
{
    unsigned sum = 0;
    for (std::size_t i = from; i < to && i < bytes.size(); ++i) sum += bytes[i];
    return static_cast<std::uint8_t>((0x80 - (sum & 0x7F)) & 0x7F);
}
} // namespace

void Sysex::setBytes(std::span<const std::uint8_t> bytes)
{
    bytes_.assign(bytes.begin(), bytes.end());
    onNewData();
}

bool Sysex::FormatSysex(const QString& templ, std::uint32_t address, const QString& data)
{
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> dataBytes;
    // A data byte with the top bit set would read as a status byte and cut the message short.
    const auto isStatus = [](std::uint8_t b) { return (b & 0x80) != 0; };
    if (!appendHexText(dataBytes, data) || dataBytes.size() > MaxDataBytes ||
        std::any_of(dataBytes.begin(), dataBytes.end(), isStatus)) {
        reset();
        clearAnalysis();
        return false;
    }
    for (const QString& token : templ.split(' ', Qt::SkipEmptyParts)) {
        bool ok = true;
        if (token == "%M") {
            ok = appendHexText(out, modelId());
        } else if (token == "%A3") {
            out.push_back((address >> 16) & 0x7F);
            out.push_back((address >> 8) & 0x7F);
            out.push_back(address & 0x7F);
        } else if (token == "%D") {
            out.insert(out.end(), dataBytes.begin(), dataBytes.end());
        } else if (token == "#2") {
            out.push_back((dataBytes.size() >> 7) & 0x7F);
            out.push_back(dataBytes.size() & 0x7F);
        } else if (token.startsWith('*')) {
            const int from = token.mid(1).toInt(&ok);
            if (ok) out.push_back(checksumOf(out, std::size_t(std::max(from, 0)), out.size()));
        } else {
            ok = appendHexText(out, token);
        }
        if (!ok) {
            reset();
            clearAnalysis();
            return false;
        }
    }
    setBytes(out);
    return true;
}

QString Sysex::readName(MidiDevice*) const { return QString(); }

void Sysex::setAddress(std::uint32_t) {}

int Sysex::getParameterData(const MidiParam& param) const
{
    const int pos = getParameterPos(param);
    const std::span<const std::uint8_t> data = dataSpan();
    if (pos < 0 || pos + param.size() > int(data.size())) return -1;
    return param.valueFromBytes(data.data() + pos, param.size());
}

QString Sysex::printAnalysis() const { return isSysex() ? toString() : QStringLiteral("invalid"); }

void Sysex::prepareParameterRequest(const MidiParam&) { reset(); }

void Sysex::prepareParameterChange(const MidiParam&, int) { reset(); }

int Sysex::getParameterPos(const MidiParam&) const { return -1; }

void Sysex::getBulkBaseAndOffset(std::uint32_t address, std::uint32_t& base, std::uint32_t& offset) const
{
    base = address & 0xFFFF00;
    offset = address & 0xFF;
}

std::span<const std::uint8_t> Sysex::dataSpan() const
{
    if (dataStart_ < 0 || dataStart_ >= size() || dataSize_ <= 0) return {};
    return std::span<const std::uint8_t>(bytes_).subspan(
        std::size_t(dataStart_), std::size_t(std::min(dataSize_, size() - dataStart_)));
}

int Sysex::dataAt(int i) const { return i >= 0 && i < dataSize() ? dataSpan()[std::size_t(i)] : -1; }

bool Sysex::setDataAt(int i, std::uint8_t value)
{
    if (i < 0 || i >= dataSize()) return false;
    setAt(dataStart_ + i, value & 0x7F);
    return true;
}

std::vector<std::uint8_t> Sysex::copyData() const
{
    const std::span<const std::uint8_t> data = dataSpan();
    return {data.begin(), data.end()};
}

int Sysex::copyData(const Sysex& source, int offset, int count)
{
    const int from = std::max(offset, 0);
    const int available = std::min(dataSize(), source.dataSize()) - from;
    const int n = count < 0 ? available : std::min(count, available);
    for (int i = 0; i < n; ++i) setDataAt(from + i, std::uint8_t(source.dataAt(from + i)));
    if (n > 0) updateChecksum();
    return std::max(n, 0);
}

QString Sysex::readDataText(int offset, int n) const
{
    QString text;
    for (int i = 0; i < n; ++i) {
        const int c = dataAt(offset + i);
        if (c <= 0) break;
        text += (c >= 0x20 && c < 0x7F) ? QChar(c) : QChar(' ');
    }
    return text;
}

QString Sysex::dataToString() const
{
    QStringList bytes;
    for (std::uint8_t b : dataSpan()) bytes << QString::asprintf("%02X", b);
    return bytes.join(' ');
}

void Sysex::updateChecksum()
{
    if (checksumStart_ < 0 || size() < checksumStart_ + 2) return;
    bytes_[bytes_.size() - 2] = checksumOf(bytes_, std::size_t(checksumStart_), bytes_.size() - 2);
}

bool Sysex::checksumValid() const
{
    if (checksumStart_ < 0) return true;
    if (size() < checksumStart_ + 2) return false;
    return bytes_[bytes_.size() - 2] == checksumOf(bytes_, std::size_t(checksumStart_), bytes_.size() - 2);
}

bool Sysex::isSysex() const
{
    if (size() < 2 || bytes_.front() != 0xF0 || bytes_.back() != 0xF7) return false;
    for (std::size_t i = 1; i + 1 < bytes_.size(); ++i)
        if (bytes_[i] & 0x80) return false;
    return true;
}

void Sysex::analyse() { clearAnalysis(); }

void Sysex::setAnalysis(int kind, std::uint32_t address, int dataStart, int dataSize, int checksumStart)
{
    kind_ = kind;
    address_ = address;
    dataStart_ = dataStart;
    dataSize_ = dataSize;
    checksumStart_ = checksumStart;
}
