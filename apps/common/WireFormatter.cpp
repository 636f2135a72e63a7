#include "WireFormatter.h"

#include "motif/Motif.h"
#include "motif/MotifSysex.h"
#include "zaltor/MidiMessage.h"

#include <QRegularExpression>
#include <QStringList>

QString WireFormatter::hex(const MidiBytes& message) const
{
    QStringList bytes;
    for (std::uint8_t b : message) bytes << QString::asprintf("%02X", b);
    return bytes.join(' ');
}

QString WireFormatter::describe(const MidiBytes& message) const
{
    if (message.empty()) return QString();
    if (message.front() == 0xF0) {
        if (message.size() == 6 && message[1] == 0x7E && message[3] == 0x06 && message[4] == 0x01)
            return QStringLiteral("IDENTITY REQUEST");
        if (message.size() >= 10 && message[1] == 0x7E && message[3] == 0x06 && message[4] == 0x02)
            return QString::asprintf("IDENTITY REPLY: manufacturer %02X, family %02X %02X, member %02X %02X",
                                     message[5], message[6], message[7], message[8], message[9]);
        const MotifSysex sysex(message);
        return sysex.printAnalysis();
    }
    const MidiMessage m = MidiMessage::fromBytes(message);
    if (!m.isValid()) return QStringLiteral("invalid");
    const int ch = m.channel() + 1;
    switch (m.type()) {
    case 0xB0:
        if (m.data1() == 0) return QString::asprintf("BANK SELECT MSB ch%d: %d", ch, m.data2());
        if (m.data1() == 32) return QString::asprintf("BANK SELECT LSB ch%d: %d", ch, m.data2());
        return QString::asprintf("CONTROL CHANGE ch%d: %d = %d", ch, m.data1(), m.data2());
    case 0xC0:
        return QString::asprintf("PROGRAM CHANGE ch%d: %d", ch, m.data1());
    case 0x90:
        return QString::asprintf("NOTE ON ch%d: %d velocity %d", ch, m.data1(), m.data2());
    case 0x80:
        return QString::asprintf("NOTE OFF ch%d: %d", ch, m.data1());
    case 0xF3:
        return QString::asprintf("SONG SELECT: %d", m.data1());
    default:
        return QStringLiteral("MIDI ") + m.toString();
    }
}

QString WireFormatter::colouredHex(const MidiBytes& message) const
{
    if (message.empty() || message.front() != 0xF0) return QString();
    MotifSysex sysex(message);
    return htmlToAnsi(device_.displaySysex(&sysex));
}

QString WireFormatter::htmlToAnsi(const QString& html)
{
    static const QRegularExpression font(QStringLiteral("<font color=#([0-9a-fA-F]{6})>([^<]*)</font>"));
    QString out;
    auto it = font.globalMatch(html);
    while (it.hasNext()) {
        const auto match = it.next();
        const unsigned rgb = match.captured(1).toUInt(nullptr, 16);
        if (!out.isEmpty()) out += ' ';
        out += QString::asprintf("\x1b[38;2;%u;%u;%um", (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
        out += match.captured(2) + QStringLiteral("\x1b[0m");
    }
    return out;
}

QString WireFormatter::line(bool outgoing, const MidiBytes& message, bool colour) const
{
    QString bytes = colour ? colouredHex(message) : QString();
    if (bytes.isEmpty()) bytes = hex(message);
    return QStringLiteral("%1 %2  %3").arg(outgoing ? "->" : "<-", bytes, describe(message));
}
