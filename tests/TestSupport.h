#pragma once

#include "zaltor/LoopbackTransport.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

// The far end of an in-process cable that records what it receives, as hexadecimal lines.
class WireRecorder {
public:
    WireRecorder()
    {
        auto pair = LoopbackTransport::createPair("host", "recorder");
        host = std::move(pair.first);
        far = std::move(pair.second);
        far->setReceiver([this](MidiBytes message) { received.push_back(std::move(message)); });
    }

    QStringList lines() const
    {
        QStringList out;
        for (const auto& message : received) {
            QStringList bytes;
            for (std::uint8_t b : message) bytes << QString::asprintf("%02X", b);
            out << bytes.join(' ');
        }
        return out;
    }
    // Sends bytes from the instrument's side to the host.
    void answer(const MidiBytes& bytes) { far->send(bytes); }

    std::unique_ptr<LoopbackTransport> host;
    std::unique_ptr<LoopbackTransport> far;
    std::vector<MidiBytes> received;
};

inline MidiBytes hexBytes(const char* text)
{
    MidiBytes out;
    for (const QString& token : QString::fromLatin1(text).split(' ', Qt::SkipEmptyParts))
        out.push_back(std::uint8_t(token.toUInt(nullptr, 16)));
    return out;
}
