#include "LibraryDemo.h"

#include "motif/documents/X0V_Document.h"
#include "motif/librarian/X0vLibrary.h"
#include "motif/librarian/X0vSlots.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <numbers>

namespace {

constexpr int Rate = 44100;
constexpr int Frames = Rate / 4;

// A quarter of a second of a 16-bit mono WAV file: the RIFF header, the format, the data.
QByteArray wavFile(double (*shape)(double phase), double hz)
{
    QByteArray data;
    for (int i = 0; i < Frames; ++i) {
        const double phase = std::fmod(hz * i / Rate, 1.0);
        const auto value = qToLittleEndian(qint16(std::lround(shape(phase) * 0.6 * 32767)));
        data.append(reinterpret_cast<const char*>(&value), 2);
    }
    const auto le32 = [](quint32 v) {
        v = qToLittleEndian(v);
        return QByteArray(reinterpret_cast<const char*>(&v), 4);
    };
    const QByteArray format = le32(1 | 1 << 16) + le32(Rate) + le32(Rate * 2) + le32(2 | 16 << 16);
    const QByteArray body =
        "WAVE" + QByteArray("fmt ") + le32(16) + format + "data" + le32(quint32(data.size())) + data;
    return "RIFF" + le32(quint32(body.size())) + body;
}

double sine(double phase) { return std::sin(2 * std::numbers::pi * phase); }
double saw(double phase) { return 2 * phase - 1; }
double square(double phase) { return phase < 0.5 ? 1 : -1; }
double triangle(double phase) { return 1 - 4 * std::abs(phase - 0.5); }

struct Sound {
    const char* name;
    double (*shape)(double);
    double hz;
};
constexpr Sound Sounds[] = {{"Sine C3", sine, 261.63},
                            {"Saw A2", saw, 110.0},
                            {"Square E3", square, 329.63},
                            {"Triangle G3", triangle, 392.0}};

} // namespace

QString writeDemoLibrary(const QString& path)
{
    const int type = X0V_Document::TypeOfModel(QStringLiteral("Motif XF"));
    X0V_Document library;
    library.newDocument(type);
    library.initSlots(type);
    QTemporaryDir folder;
    int number = 0;
    for (const Sound& sound : Sounds) {
        const QString wav = folder.filePath(QLatin1String(sound.name) + QStringLiteral(".wav"));
        QFile file(wav);
        if (!file.open(QIODevice::WriteOnly) || file.write(wavFile(sound.shape, sound.hz)) < 0)
            return QStringLiteral("cannot write the demo sound '%1': %2").arg(wav, file.errorString());
        file.close();
        const X0vSlots::Import import = X0vSlots::importWave(library, 1, number++, wav, false);
        if (!import.error.isEmpty() || import.added != 1)
            return QStringLiteral("cannot import the demo sound '%1': %2").arg(wav, import.error);
    }
    // The last waveform stays unplayed.
    const Bank user1 = library.voices().banks().at(0)->id();
    const char* names[] = {"Pure Sine", "Bright Saw", "Hollow Square"};
    for (int i = 0; i < 3; ++i)
        if (QString why = X0vSlots::newVoice(library, user1, i, i + 1, false, QLatin1String(names[i]), false);
            !why.isEmpty())
            return why;
    return X0vLibrary::save(library, path);
}
