#include "emulator/ShortMessage.h"

namespace {

struct Status {
    const char* name;
    int length;
};

// Null name for F0 and F7 (SysEx, not short) and for the undefined status bytes.
Status statusOf(std::uint8_t status)
{
    switch (status & 0xF0) {
    case 0x80:
        return {"note off", 3};
    case 0x90:
        return {"note on", 3};
    case 0xA0:
        return {"key pressure", 3};
    case 0xB0:
        return {"control change", 3};
    case 0xC0:
        return {"program change", 2};
    case 0xD0:
        return {"channel pressure", 2};
    case 0xE0:
        return {"pitch bend", 3};
    default:
        break;
    }
    switch (status) {
    case 0xF1:
        return {"time code quarter frame", 2};
    case 0xF2:
        return {"song position", 3};
    case 0xF3:
        return {"song select", 2};
    case 0xF6:
        return {"tune request", 1};
    case 0xF8:
        return {"timing clock", 1};
    case 0xFA:
        return {"start", 1};
    case 0xFB:
        return {"continue", 1};
    case 0xFC:
        return {"stop", 1};
    case 0xFE:
        return {"active sensing", 1};
    case 0xFF:
        return {"system reset", 1};
    default:
        return {nullptr, 0};
    }
}

} // namespace

ShortMessage ShortMessage::analyse(std::span<const std::uint8_t> m)
{
    if (m.empty()) return {{}, QStringLiteral("empty message")};
    if (m[0] < 0x80) return {{}, QString::asprintf("data byte 0x%02X without a status byte", m[0])};
    if (m[0] == 0xF7) return {{}, QStringLiteral("F7 without F0")};
    const Status status = statusOf(m[0]);
    if (!status.name) return {{}, QString::asprintf("undefined status byte 0x%02X", m[0])};
    if (m.size() != std::size_t(status.length))
        return {{},
                QString::asprintf("bad length: %s takes %d bytes, got %zu", status.name, status.length,
                                  m.size())};
    for (std::size_t i = 1; i < m.size(); ++i) {
        if (m[i] & 0x80)
            return {{},
                    QString::asprintf("status byte 0x%02X at offset %zu inside %s", m[i], i, status.name)};
    }
    QString text = QString::fromLatin1(status.name);
    if (m[0] < 0xF0) text += QString::asprintf(", channel %d", (m[0] & 0x0F) + 1);
    for (std::size_t i = 1; i < m.size(); ++i) text += QString::asprintf(i == 1 ? ": %d" : " %d", m[i]);
    return {text, {}};
}
