#pragma once

// One copy of the small helpers every test area shares.
#include "zaltor/LoopbackTransport.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <jack/jack.h>
#include <memory>
#include <ostream>
#include <span>
#include <vector>

// A file's bytes; empty when it cannot be read.
inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Texts in test failures as text, not as arrays of characters.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// Bytes as "F0 43 10", and such text back as bytes (pairs of digits may run on: "0102 03").
inline QString hex(std::span<const std::uint8_t> bytes)
{
    QStringList out;
    for (std::uint8_t b : bytes) out << QString::asprintf("%02X", b);
    return out.join(' ');
}
inline std::vector<std::uint8_t> hexBytes(const char* text)
{
    const QByteArray bytes = QByteArray::fromHex(text);
    return {bytes.begin(), bytes.end()};
}

// The big-endian 32-bit number at `at`, 0xDEADBEEF when it runs past the end.
inline std::uint32_t u32At(std::span<const std::uint8_t> bytes, std::size_t at)
{
    if (at + 4 > bytes.size()) return 0xDEADBEEF;
    return std::uint32_t(bytes[at]) << 24 | std::uint32_t(bytes[at + 1]) << 16 |
           std::uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
}
inline std::uint32_t u32At(const QByteArray& bytes, qsizetype at)
{
    return u32At({reinterpret_cast<const std::uint8_t*>(bytes.data()), std::size_t(bytes.size())},
                 std::size_t(at));
}

// A JACK client of the test's own, null when no server runs (the test then skips). Quiet: without
// a server libjack would fill the log with its complaints.
inline std::unique_ptr<jack_client_t, int (*)(jack_client_t*)> jackClient()
{
    jack_set_error_function([](const char*) {});
    jack_client_t* client = jack_client_open("motif-test-probe", JackNoStartServer, nullptr);
    jack_set_error_function(nullptr);
    return {client, jack_client_close};
}

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
        for (const auto& message : received) out << hex(message);
        return out;
    }
    // Sends bytes from the instrument's side to the host.
    void answer(const MidiBytes& bytes) { far->send(bytes); }

    std::unique_ptr<LoopbackTransport> host;
    std::unique_ptr<LoopbackTransport> far;
    std::vector<MidiBytes> received;
};
