#pragma once

// Audio files built from raw chunks, and the committed sample corpus, so that the readers are
// checked against the formats' own layouts rather than against the library that also reads them.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>
#include <initializer_list>

namespace audiofiles {

inline QString corpus(const char* name) { return QStringLiteral(MOTIF_SOURCE_DIR "/fuzz/corpus/") + name; }

inline QByteArray le32(std::initializer_list<quint32> words)
{
    QByteArray out;
    for (const quint32 v : words) {
        const quint32 le = qToLittleEndian(v);
        out.append(reinterpret_cast<const char*>(&le), 4);
    }
    return out;
}

inline QByteArray chunk(const char* id, const QByteArray& body)
{
    return QByteArray(id, 4) + le32({quint32(body.size())}) + body + QByteArray(body.size() % 2, 0);
}

// A 44.1 kHz 16-bit PCM WAV file: the format chunk, the extra chunks, then the data.
inline QByteArray wav(const QByteArray& data, const QByteArray& extra = {}, quint32 channels = 1)
{
    const QByteArray fmt = le32({1 | channels << 16, 44100, 88200 * channels, 2 * channels | 16 << 16});
    return chunk("RIFF", "WAVE" + chunk("fmt ", fmt) + extra + chunk("data", data));
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The bytes of the first chunk with this id that follow its size field; empty when absent.
inline QByteArray chunkBody(const QByteArray& file, const char* id, int size)
{
    const int at = int(file.indexOf(id));
    return at < 0 ? QByteArray() : file.mid(at + 8, size);
}

} // namespace audiofiles
