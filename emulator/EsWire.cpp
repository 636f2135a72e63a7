#include "emulator/EsWire.h"

namespace {

constexpr std::uint8_t sysexStart = 0xF0;
constexpr std::uint8_t sysexEnd = 0xF7;
constexpr std::uint8_t universalNonRealtime = 0x7E;
constexpr std::uint8_t universalRealtime = 0x7F;

// Positions inside a Yamaha message: F0 43 kn 7F 00, then the address (or the byte count and the
// address of a bulk dump), the data, the checksum of a bulk dump, and F7.
constexpr std::size_t headerSize = 5;
constexpr std::size_t requestSize = headerSize + 3 + 1;
constexpr std::size_t bulkMinimumSize = headerSize + 2 + 3 + 2;

std::uint32_t address24(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return (std::uint32_t(bytes[at]) << 16) | (std::uint32_t(bytes[at + 1]) << 8) | bytes[at + 2];
}

void appendAddress(MidiBytes& out, std::uint32_t address)
{
    out.push_back((address >> 16) & 0x7F);
    out.push_back((address >> 8) & 0x7F);
    out.push_back(address & 0x7F);
}

EsParse failure(const QString& reason) { return {std::nullopt, reason}; }

EsParse parseUniversal(std::span<const std::uint8_t> m)
{
    if (m[1] == universalNonRealtime && m.size() == 6 && m[3] == 0x06 && m[4] == 0x01) {
        EsMessage message;
        message.kind = EsMessage::Kind::IdentityRequest;
        message.deviceNumber = m[2];
        return {message, {}};
    }
    return failure(m[1] == universalRealtime ? QStringLiteral("universal real-time message not understood")
                                             : QStringLiteral("universal message not understood"));
}

const char* kindName(EsMessage::Kind kind)
{
    switch (kind) {
    case EsMessage::Kind::BulkDump:
        return "bulk dump";
    case EsMessage::Kind::ParameterChange:
        return "parameter change";
    case EsMessage::Kind::DumpRequest:
        return "dump request";
    case EsMessage::Kind::ParameterRequest:
        return "parameter request";
    case EsMessage::Kind::IdentityRequest:
        return "identity request";
    }
    return "";
}

} // namespace

EsParse EsWire::parse(std::span<const std::uint8_t> m)
{
    if (m.size() < 2 || m.front() != sysexStart || m.back() != sysexEnd)
        return failure(QStringLiteral("SysEx without F7 at the end (truncated or unterminated)"));
    for (std::size_t i = 1; i + 1 < m.size(); ++i) {
        if (m[i] & 0x80)
            return failure(QString::asprintf("status byte 0x%02X at offset %zu inside SysEx", m[i], i));
    }
    if (m.size() < 3) return failure(QStringLiteral("empty SysEx"));
    if (m[1] == universalNonRealtime || m[1] == universalRealtime) return parseUniversal(m);
    if (m[1] != yamaha) return failure(QString::asprintf("wrong manufacturer 0x%02X (expected 0x43)", m[1]));
    if (m.size() < 4) return failure(QStringLiteral("truncated message: no kind byte"));

    EsMessage message;
    message.deviceNumber = m[2] & 0x0F;
    std::size_t minimum = requestSize;
    switch (m[2] & 0x70) {
    case 0x00:
        message.kind = EsMessage::Kind::BulkDump;
        minimum = bulkMinimumSize;
        break;
    case 0x10:
        message.kind = EsMessage::Kind::ParameterChange;
        minimum = requestSize + 1;
        break;
    case 0x20:
        message.kind = EsMessage::Kind::DumpRequest;
        break;
    case 0x30:
        message.kind = EsMessage::Kind::ParameterRequest;
        break;
    default:
        return failure(QString::asprintf("unknown message kind 0x%02X", m[2] & 0x70));
    }
    const char* name = kindName(message.kind);
    if (m.size() < minimum)
        return failure(
            QString::asprintf("truncated %s: %zu bytes, at least %zu needed", name, m.size(), minimum));
    message.modelId = std::uint16_t((m[3] << 8) | m[4]);

    switch (message.kind) {
    case EsMessage::Kind::BulkDump: {
        const std::size_t count = (std::size_t(m[5]) << 7) | m[6];
        const std::size_t held = m.size() - bulkMinimumSize;
        if (count != held)
            return failure(QString::asprintf("bad length: byte count %zu but %zu data bytes", count, held));
        message.address = address24(m, 7);
        message.data.assign(m.begin() + 10, m.end() - 2);
        message.checksum = m[m.size() - 2];
        message.expectedChecksum = checksum(m.subspan(5, m.size() - 7));
        break;
    }
    case EsMessage::Kind::ParameterChange:
        message.address = address24(m, 5);
        message.data.assign(m.begin() + 8, m.end() - 1);
        break;
    default:
        if (m.size() != requestSize)
            return failure(
                QString::asprintf("bad length: %s of %zu bytes, %zu expected", name, m.size(), requestSize));
        message.address = address24(m, 5);
        break;
    }
    return {message, {}};
}

MidiBytes EsWire::parameterChange(std::uint32_t address, std::span<const std::uint8_t> data)
{
    MidiBytes out{sysexStart, yamaha, 0x10, modelId >> 8, modelId & 0xFF};
    appendAddress(out, address);
    out.insert(out.end(), data.begin(), data.end());
    out.push_back(sysexEnd);
    return out;
}

MidiBytes EsWire::bulkDump(std::uint32_t address, std::span<const std::uint8_t> data)
{
    MidiBytes out{sysexStart, yamaha, 0x00, modelId >> 8, modelId & 0xFF};
    out.push_back((data.size() >> 7) & 0x7F);
    out.push_back(data.size() & 0x7F);
    appendAddress(out, address);
    out.insert(out.end(), data.begin(), data.end());
    out.push_back(checksum(std::span(out).subspan(5)));
    out.push_back(sysexEnd);
    return out;
}

MidiBytes EsWire::identityReply(std::uint16_t memberCode)
{
    // Family code 00 41 and member code low byte first, as the instrument sends them.
    return {sysexStart,
            universalNonRealtime,
            0x00,
            0x06,
            0x02,
            yamaha,
            0x00,
            0x41,
            std::uint8_t(memberCode & 0x7F),
            std::uint8_t((memberCode >> 8) & 0x7F),
            0x00,
            0x00,
            0x00,
            0x01,
            sysexEnd};
}

std::uint8_t EsWire::checksum(std::span<const std::uint8_t> bytes)
{
    unsigned sum = 0;
    for (std::uint8_t b : bytes) sum += b;
    return std::uint8_t((0x80 - (sum & 0x7F)) & 0x7F);
}

QString EsWire::toHex(std::span<const std::uint8_t> bytes, int maxBytes)
{
    const std::size_t shown = std::min(bytes.size(), std::size_t(std::max(maxBytes, 0)));
    QString text;
    for (std::size_t i = 0; i < shown; ++i) {
        if (i) text += QLatin1Char(' ');
        text += QString::asprintf("%02X", bytes[i]);
    }
    if (shown < bytes.size()) text += QString::asprintf(" ... (%zu bytes)", bytes.size());
    return text;
}
