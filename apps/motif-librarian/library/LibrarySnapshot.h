#pragma once

#include <QString>
#include <QUndoCommand>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class X0V_Document;

// The library as the bytes it would be stored as. Undo puts back the bytes from before an edit,
// so an edit undone gives the file it started from, whatever the edit touched (ids, references,
// chunk counts).
namespace LibrarySnapshot {

using Bytes = std::shared_ptr<const std::vector<std::uint8_t>>;

Bytes take(X0V_Document& library);
// Loads the bytes into the library; the empty text on success, otherwise what failed.
QString restore(X0V_Document& library, const Bytes& bytes);
// Writes the bytes to a temporary file beside `path` and renames it over `path`, so that the
// file is either the old one or the new one; the empty text on success. Touches no library, so
// it may run on another thread while the window shows the library.
QString write(const Bytes& bytes, const QString& path);

} // namespace LibrarySnapshot

// One edit on the undo stack: the library's bytes before and after. The edit has been made when
// the command is pushed, so its first redo does nothing.
class SnapshotCommand : public QUndoCommand {
public:
    using Apply = std::function<void(const LibrarySnapshot::Bytes&)>;

    SnapshotCommand(const QString& text, LibrarySnapshot::Bytes before, LibrarySnapshot::Bytes after,
                    Apply apply);
    void undo() override;
    void redo() override;

private:
    LibrarySnapshot::Bytes before_;
    LibrarySnapshot::Bytes after_;
    Apply apply_;
    bool done_ = true;
};
