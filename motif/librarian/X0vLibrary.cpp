#include "motif/librarian/X0vLibrary.h"

#include "core/Archive.h"
#include "motif/documents/XS_Chunk.h"
#include "motif/librarian/X0vListing.h"
#include "motif/librarian/X0vRepairs.h"

#include <QFileInfo>

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

QJsonObject describe(const X0V_Document& library) { return X0vListing::toJson(X0vListing::list(library)); }

} // namespace X0vLibrary
