#include "core/Document.h"

#include "core/Archive.h"

bool Document::loadFile(const QString& path)
{
    error_.clear();
    Archive archive(path);
    if (archive.failed()) {
        error_ = archive.errorText();
        return false;
    }
    if (!loadDocument(archive)) {
        if (error_.isEmpty())
            error_ = archive.failed() ? archive.errorText() : QStringLiteral("Illegal file");
        return false;
    }
    validateDocument();
    return true;
}

bool Document::storeFile(const QString& path)
{
    error_.clear();
    Archive archive(path, Archive::Mode::Write);
    if (!storeDocument(archive) || archive.failed()) {
        if (error_.isEmpty())
            error_ = archive.failed() ? archive.errorText() : QStringLiteral("Cannot store %1").arg(path);
        return false;
    }
    if (!archive.commit(path)) {
        error_ = archive.errorText();
        return false;
    }
    return true;
}

void Document::newDocument(int) { clearDocument(); }

bool Document::loadDocument(Archive&)
{
    error_ = QStringLiteral("Unknown format");
    return false;
}

bool Document::storeDocument(Archive&)
{
    error_ = QStringLiteral("Unknown format");
    return false;
}
