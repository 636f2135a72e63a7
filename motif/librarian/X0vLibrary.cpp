#include "motif/librarian/X0vLibrary.h"

#include "core/Archive.h"
#include "motif/documents/XS_Chunk.h"
#include "motif/librarian/X0vNames.h"
#include "motif/librarian/X0vRepairs.h"
#include "motif/librarian/X0vWalk.h"

#include <QFileInfo>
#include <QJsonArray>

namespace X0vLibrary {

QString open(X0V_Document& library, const QString& path)
{
    if (library.loadLibrary(path)) return QString();
    return QStringLiteral("cannot open library '%1': %2").arg(path, library.errorText());
}

QString read(X0V_Document& library, const QString& path)
{
    Archive archive(path);
    if (!archive.failed() && library.loadLibrary(archive)) return QString();
    return QStringLiteral("cannot open library '%1': %2")
        .arg(path, archive.failed()                ? archive.errorText()
                   : library.errorText().isEmpty() ? QStringLiteral("Illegal file")
                                                   : library.errorText());
}

QString save(X0V_Document& library, const QString& path)
{
    if (library.storeFile(path)) return QString();
    return QStringLiteral("cannot write library '%1': %2 (the original file is unchanged)")
        .arg(path, library.errorText());
}

QString writeRefusal(const XS_Document& document, const QString& path, const QString& target)
{
    if (!document.isDamaged()) return QString();
    // A target that does not exist yet is another file; links lead to the file they name.
    const QString targetPath = QFileInfo(target).canonicalFilePath();
    if (targetPath.isEmpty() || targetPath != QFileInfo(path).canonicalFilePath()) return QString();
    return QStringLiteral("'%1' is damaged (%2) and opens read-only: write it to another file to keep a "
                          "repaired copy of what could be read")
        .arg(path, document.damage().front().toString());
}

QString openForEdit(X0V_Document& library, const QString& path, const QString& target, bool repair,
                    QStringList& repaired)
{
    if (const QString error = read(library, path); !error.isEmpty()) return error;
    if (QString refusal = writeRefusal(library, path, target); !refusal.isEmpty()) return refusal;
    QStringList references;
    for (const auto& reference : X0vRepairs::dangling(library)) references << X0vRepairs::describe(reference);
    if (references.isEmpty()) return QString();
    if (!repair)
        return QStringLiteral("cannot edit '%1': these elements play waveforms the library does not "
                              "hold: %2; give --repair to switch them off with the edit (the file "
                              "is unchanged)")
            .arg(path, references.join(QStringLiteral(", ")));
    X0vRepairs::repair(library);
    repaired = references;
    return QString();
}

std::optional<int> waveBank(const QString& text)
{
    const QStringList names{QStringLiteral("USR"), QStringLiteral("FL1"), QStringLiteral("FL2")};
    const int named = int(names.indexOf(text.toUpper()));
    if (named >= 0) return named + 1;
    bool ok = false;
    const int number = text.toInt(&ok);
    if (ok && number >= 1 && number <= 3) return number;
    return std::nullopt;
}

std::optional<Bank> voiceBank(const X0V_Document& library, const QString& text)
{
    const auto& banks = library.voices().banks();
    for (int i = 0; i < banks.count(); ++i)
        if (XS_Voice::BankName(library.model(), banks.at(i)->id()).compare(text, Qt::CaseInsensitive) == 0)
            return banks.at(i)->id();
    const QStringList parts = text.split(QLatin1Char('/'));
    bool msbOk = false, lsbOk = false;
    if (parts.size() == 2) {
        const int msb = parts[0].toInt(&msbOk), lsb = parts[1].toInt(&lsbOk);
        if (msbOk && lsbOk && msb >= 0 && msb < 128 && lsb >= 0 && lsb < 128 &&
            library.voices().getBank(Bank(msb << 8 | lsb)))
            return Bank(msb << 8 | lsb);
    }
    return std::nullopt;
}

namespace {

QJsonObject voiceObject(const X0V_Document& library, const XS_VoiceBank& bank, int position,
                        const XS_Voice& voice)
{
    QJsonArray waves, elements, arpeggios;
    for (int id : voice.waveforms(library.model())) waves.append(id);
    const int count = voice.elementsInData(library.model());
    for (int i = 0; i < count; ++i)
        if (voice.isElementUsed(i))
            elements.append(
                QJsonObject{{"element", i + 1}, {"plays", X0vNames::elementWave(library, voice, i)}});
    for (int n = 0; n < X0vNames::arpeggioCount(library.model(), voice); ++n)
        arpeggios.append(X0vNames::arpeggio(library.model(), voice, n));
    QString name = voice.name();
    while (name.endsWith(QLatin1Char(' '))) name.chop(1); // the instrument's padding
    QJsonObject object{{"bank", XS_Voice::BankName(library.model(), bank.id())},
                       {"program", position},
                       {"name", name},
                       {"category1", voice.getCategory1()},
                       {"category2", voice.getCategory2()},
                       {"waveforms", waves},
                       {"elements", elements}};
    if (!arpeggios.isEmpty()) object.insert("arpeggios", arpeggios);
    return object;
}

QJsonObject waveObject(const X0V_Document& library, const XS_WaveBank& bank, int position,
                       const XS_Waveform& wave)
{
    return QJsonObject{{"bank", XS_Waveform::BankName(bank.id(), library.model())},
                       {"number", position},
                       {"id", wave.id()},
                       {"name", wave.name()},
                       {"keybanks", wave.keybanks().count()},
                       {"size", double(wave.totalSize())}};
}

} // namespace

QJsonObject describe(const X0V_Document& library)
{
    QJsonArray voices, waves, chunks;
    int voiceSlots = 0, waveSlots = 0;
    X0vWalk::voices(library, [&](const XS_VoiceBank& bank, int p, const XS_Voice& voice) {
        ++voiceSlots;
        if (voice.hasData()) voices.append(voiceObject(library, bank, p, voice));
    });
    X0vWalk::waveforms(library, [&](const XS_WaveBank& bank, int p, const XS_Waveform& wave) {
        ++waveSlots;
        if (wave.hasData()) waves.append(waveObject(library, bank, p, wave));
    });
    for (int i = 0; i < library.chunks.count(); ++i)
        chunks.append(
            QJsonObject{{"id", library.chunks.at(i)->name}, {"count", library.chunks.at(i)->count}});
    return QJsonObject{{"model", library.model()},
                       {"version", library.version},
                       {"voiceSlots", voiceSlots},
                       {"emptyVoiceSlots", voiceSlots - int(voices.size())},
                       {"waveformSlots", waveSlots},
                       {"emptyWaveformSlots", waveSlots - int(waves.size())},
                       {"estimatedSizeMB", library.estimatedSizeMB()},
                       {"chunks", chunks},
                       {"voices", voices},
                       {"waveforms", waves},
                       {"damage", damageJson(library.damage())}};
}

} // namespace X0vLibrary
