#include "DemoLibrary.h"

#include "motif/documents/XS_Waveform.h"
#include "motif/librarian/X0vLibrary.h"
#include "motif/librarian/X0vSlots.h"

#include <QDataStream>
#include <QFile>
#include <cmath>
#include <numbers>

namespace {
constexpr int Rate = 44100;
constexpr int Frames = Rate / 2;
constexpr int UserWaveBank = 1;

// A mono 16-bit WAV of half a second of a 440 Hz tone; `shape` bends a sine towards a square.
bool writeTone(const QString& path, double shape)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    const quint32 dataBytes = Frames * 2;
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(Rate) << quint32(Rate * 2) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    for (int i = 0; i < Frames; ++i) {
        const double sine = std::sin(2 * std::numbers::pi * 440.0 * i / Rate);
        const double value = std::tanh(sine * (1 + shape * 8)) / std::tanh(1 + shape * 8);
        out << qint16(std::lround(value * 12000));
    }
    return out.status() == QDataStream::Ok && file.flush();
}
} // namespace

QString DemoLibrary::write(const QString& dir, QString* error)
{
    X0V_Document library;
    library.newDocument(0);
    library.initSlots(0);
    const auto bank = X0vLibrary::voiceBank(library, QStringLiteral("USER1"));
    const struct {
        const char* name;
        double shape;
    } tones[] = {{"Pure Sine", 0.0}, {"Warm Tone", 0.3}, {"Hollow Square", 1.0}};
    for (int i = 0; i < 3; ++i) {
        const QString wav = QStringLiteral("%1/%2.wav").arg(dir, QString::fromLatin1(tones[i].name));
        if (!writeTone(wav, tones[i].shape)) {
            *error = QStringLiteral("cannot write %1; check that the folder is writable").arg(wav);
            return QString();
        }
        const X0vSlots::Import import = X0vSlots::importWave(library, UserWaveBank, i, wav, false);
        QString failure = import.error;
        if (failure.isEmpty() && bank)
            failure = X0vSlots::newVoice(library, *bank, i,
                                         XS_Waveform::MakeId(UserWaveBank, i + 1, library.model()), false,
                                         QString::fromLatin1(tones[i].name), false);
        if (!failure.isEmpty()) {
            *error = failure;
            return QString();
        }
    }
    const QString path = dir + QStringLiteral("/demo.X0V");
    *error = X0vLibrary::save(library, path);
    return error->isEmpty() ? path : QString();
}
