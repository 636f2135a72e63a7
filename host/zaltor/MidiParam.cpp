#include "zaltor/MidiParam.h"

#include <QStringList>

QString MidiParam::printMidiBytes(int value) const
{
    QStringList bytes;
    for (int i = size_ - 1; i >= 0; --i)
        bytes << QString::asprintf("%02X", (static_cast<unsigned>(value) >> (7 * i)) & 0x7F);
    return bytes.join(' ');
}

int MidiParam::valueFromBytes(const std::uint8_t* bytes, int count) const
{
    if (!bytes || count < size_) return -1;
    int value = 0;
    for (int i = 0; i < size_; ++i) value = (value << 7) | (bytes[i] & 0x7F);
    return value;
}
