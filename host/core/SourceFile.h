#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

struct stat;

// The file a document was read from, kept open while the document refers to ranges of it (sample
// data it has not needed yet), or the bytes an archive in memory was read from. Ranges are read
// with positional reads, never mapped: a file that another program cuts short gives a read error,
// not a crash.
//
// Before each read and before a store copies from it, the file is checked against what it was
// when opened: the same file at the path (device and inode), the same size and modification
// time. A file changed behind the document's back is refused, not read.
class SourceFile {
public:
    // Opens a regular file; null with the reason in `error` when it cannot be opened.
    static std::shared_ptr<SourceFile> open(const QString& path, QString* error);
    // Bytes held in memory, which never change.
    static std::shared_ptr<SourceFile> inMemory(std::shared_ptr<const std::vector<std::uint8_t>> bytes);
    ~SourceFile();
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;

    const QString& path() const { return path_; }
    // The open file's descriptor; -1 for bytes in memory.
    int handle() const { return fd_; }
    // The bytes of a source in memory; empty for a file.
    std::span<const std::uint8_t> memory() const;
    std::int64_t size() const { return size_; }

    // Fills `to` from the offset; false, with the reason in `error`, when the range lies outside
    // the source, the file changed, or the system cannot read it. A reader that is still reading
    // the file it just opened may skip the check, which costs two system calls.
    enum class Check { Unchanged, None };
    bool readAt(std::int64_t offset, std::span<std::uint8_t> to, QString* error,
                Check check = Check::Unchanged) const;
    // True when the file is still the one that was opened, unchanged; otherwise the reason.
    bool unchanged(QString* why) const;
    // After a store replaced the file at the path with one that holds the same document, the
    // path's new file is the one to compare with; ranges are still read from the open, old file.
    void pathReplaced();

private:
    SourceFile() = default;

    struct Identity {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::int64_t modified = 0;
    };
    static bool identify(int fd, Identity& identity);
    static bool identify(const QString& path, Identity& identity);
    static bool fromStatus(const struct stat& status, Identity& identity);
    Identity expectedAtPath() const;

    QString path_;
    int fd_ = -1;
    std::shared_ptr<const std::vector<std::uint8_t>> memory_;
    std::int64_t size_ = 0;
    // The open file as opened, and the file found at the path (the same one until a store
    // replaces it). A store on a worker thread replaces the path's file while the window may be
    // reading a sample: the lock keeps the two from seeing half an identity.
    Identity opened_;
    Identity atPath_;
    mutable std::mutex atPathLock_;
};

// A range of a source: where bytes of a document still lie.
struct SourceRange {
    std::shared_ptr<SourceFile> source;
    std::int64_t offset = 0;
    std::int64_t length = 0;
};
