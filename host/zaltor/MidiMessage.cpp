#include "zaltor/MidiMessage.h"

#include <QStringList>

MidiMessage::MidiMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
    : status_(status), data1_(data1 & 0x7F), data2_(data2 & 0x7F)
{
}

int MidiMessage::dataLength(std::uint8_t status)
{
    if (status < 0x80) return -1;
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 1;
    case 0xF0:
        break;
    default:
        return 2;
    }
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 1;
    case 0xF2:
        return 2;
    case 0xF0:
    case 0xF7:
        return -1;
    default:
        return 0;
    }
}

MidiMessage MidiMessage::fromBytes(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty()) return {};
    const int length = dataLength(bytes[0]);
    if (length < 0 || int(bytes.size()) != 1 + length) return {};
    for (int i = 1; i <= length; ++i)
        if (bytes[i] & 0x80) return {};
    return MidiMessage(bytes[0], length > 0 ? bytes[1] : 0, length > 1 ? bytes[2] : 0);
}

MidiBytes MidiMessage::bytes() const
{
    MidiBytes out{status_};
    const int length = dataLength(status_);
    if (length > 0) out.push_back(data1_);
    if (length > 1) out.push_back(data2_);
    return out;
}

QString MidiMessage::toString() const
{
    QStringList parts;
    for (std::uint8_t b : bytes()) parts << QString::asprintf("%02X", b);
    return parts.join(' ');
}
