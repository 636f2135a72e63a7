#include "LibrarySnapshot.h"

#include "core/Archive.h"
#include "motif/documents/X0V_Document.h"

namespace LibrarySnapshot {

Bytes take(X0V_Document& library)
{
    Archive archive;
    library.storeDocument(archive);
    return std::make_shared<const std::vector<std::uint8_t>>(archive.bytes());
}

QString restore(X0V_Document& library, const Bytes& bytes)
{
    Archive archive(*bytes);
    if (library.loadLibrary(archive)) return QString();
    return QStringLiteral("cannot go back to the library as it was: %1").arg(library.errorText());
}

QString write(const Bytes& bytes, const QString& path)
{
    Archive archive;
    archive.write(*bytes);
    if (archive.commit(path)) return QString();
    return QStringLiteral("cannot write library '%1': %2 (the original file is unchanged)")
        .arg(path, archive.errorText());
}

} // namespace LibrarySnapshot

SnapshotCommand::SnapshotCommand(const QString& text, LibrarySnapshot::Bytes before,
                                 LibrarySnapshot::Bytes after, Apply apply)
    : QUndoCommand(text), before_(std::move(before)), after_(std::move(after)), apply_(std::move(apply))
{
}

void SnapshotCommand::undo()
{
    apply_(before_);
    done_ = false;
}

void SnapshotCommand::redo()
{
    if (!done_) apply_(after_);
    done_ = true;
}
