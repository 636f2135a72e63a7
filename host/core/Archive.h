#pragma once

#include "core/Buffer.h"
#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/LazyBuffer.h"
#include "core/SourceFile.h"

#include <QFile>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

// The byte stream that documents are read from and written to. Numbers are big-endian (most
// significant byte first) unless the name says otherwise (readValueR).
//
// An archive reads bytes held in memory or streams a file through a window that starts at 128
// bytes after each jump and doubles, up to a megabyte, while the reading goes straight on:
// a listing that skips from record to record reads little more than the records. A large block
// goes from the file straight into its destination; a block read by reference (readBlock) is not
// read at all until its owner needs it, and is copied from file to file when stored. It writes into memory
// and commits to a file in one step, or, made for a target file, writes to target.tmp as it goes; either way
// the target is replaced only by a complete, flushed file, so a failed write never leaves a half-written file
// behind.
//
// Failures are sticky: a read past the end answers 0 (or empty), the first failure's text stays
// in errorText(), and a parser can test failed() once at the end of a record.
class Archive {
public:
    // A streamed file is read and written through a window of this many bytes; a larger block
    // goes between the file and its owner's memory directly.
    static constexpr std::size_t WindowSize = 1 << 20;
    // The window read after a jump.
    static constexpr std::size_t FirstWindowSize = 128;

    // Tells the constructor that the path is the file to write, not the file to read.
    enum class Mode { Write };

    // An archive that writes into memory; commit() puts the bytes into a file.
    Archive();
    // Reads the bytes.
    explicit Archive(std::vector<std::uint8_t> bytes);
    // Reads the file at path, through QFile so that resource paths (":/...") work; those (and
    // other devices that cannot seek) are read whole. When the file cannot be read, the archive
    // is failed with a text naming the path and holds no bytes.
    explicit Archive(const QString& path);
    // Writes to path.tmp as it goes; commit(path) puts it in place of path. Failing to create
    // path.tmp fails the archive; an archive destroyed uncommitted removes path.tmp.
    Archive(const QString& path, Mode);
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    bool isReading() const { return reading_; }

    std::uint32_t readUINT();
    void writeUINT(std::uint32_t value);
    std::int32_t readInt();
    void writeInt(std::int32_t value);
    std::uint16_t readWORD();
    void writeWORD(std::uint16_t value);
    // n bytes (0 to 4), least significant first.
    std::uint32_t readValueR(int n);
    void writeValueR(std::uint32_t value, int n);
    std::uint8_t readBYTE();
    void writeBYTE(std::uint8_t value);
    // MIDI variable-length number of at most four bytes.
    std::uint32_t readVarLength();
    void writeVarLength(std::uint32_t value);
    // A field of n bytes whose text ends at its first zero byte (Latin-1).
    QString readText(int n);
    // The text in a field of n bytes, zero-padded and cut to fit; n = -1 writes the characters only.
    void writeText(const QString& text, int n = -1);

    Archive& operator<<(std::uint8_t value);
    Archive& operator>>(std::uint8_t& value);
    // The buffer's bytes as they are; reading fills the buffer's present size.
    Archive& operator<<(const Buffer& buffer);
    Archive& operator>>(Buffer& buffer);
    // A text followed by one zero byte.
    Archive& operator<<(const QString& text);
    Archive& operator>>(QString& text);

    // Fills bytes from the stream; on a short read the bytes are zeroed and false is answered.
    bool read(std::span<std::uint8_t> bytes);
    void write(std::span<const std::uint8_t> bytes);
    // A 32-bit length, then that many bytes. A length larger than what is left fails without
    // allocating anything and empties the buffer.
    bool readBuffer(Buffer& buffer);
    void writeBuffer(const Buffer& buffer);
    // As readBuffer and writeBuffer, but the bytes stay where they are: reading answers a
    // reference into the archive's source, and writing a reference copies the range from its
    // source, which must be unchanged since it was opened.
    bool readBlock(LazyBuffer& block);
    void writeBlock(const LazyBuffer& block);
    // What a reading archive reads from; the file stays open as long as a reference into it lives.
    const std::shared_ptr<SourceFile>& source() const { return source_; }

    qint64 pos() const;
    qint64 size() const;
    // Moves to an absolute position; beyond the end (or before the start) is a failure.
    void seek(qint64 pos);
    // Moves relative to the position; when writing, moving past the end writes zero bytes.
    void skip(qint64 n);
    bool eof() const { return pos() >= size(); }
    bool reached(qint64 pos) const { return this->pos() >= pos; }

    // Reserves a 32-bit size field; the matching putSize() fills it with the number of bytes
    // written after the field. The pairs nest: putSize() fills the latest open field.
    void willPutSize();
    void putSize();

    // Writes the bytes to path.tmp in the target's folder, flushes it to the disk and renames it
    // over path, so that the old file stays whole until the new one is. An archive made for a
    // file commits to that file only, and after a failure removes path.tmp. Refuses a failed
    // archive.
    bool commit(const QString& path);

    // Reading: all the bytes (a streamed file is read in whole on the first call). Writing: what
    // was written and not yet sent to the file, which is everything for an archive in memory.
    const std::vector<std::uint8_t>& bytes() const;
    bool failed() const { return failed_; }
    QString errorText() const { return error_; }

private:
    // Records the first failure; later ones keep the first text.
    void fail(const QString& text);
    // Refuses a writing archive; otherwise brings the next n bytes (or all that are left) into
    // the window.
    bool canRead(std::size_t n = 0);
    // Refuses a reading archive; otherwise sends a full window to the file.
    bool canWrite();
    void failRead(qint64 at, const char* what);
    // Turns a short read of the reader, started at offset `at`, into the archive's failure.
    void checkRead(qint64 at, const char* what);
    void checkWrite(const char* what);

    void fill(std::size_t n);
    // Copies the next bytes into `to`, straight from the file when they are many.
    bool readInto(std::span<std::uint8_t> to);
    bool readFile(qint64 at, std::span<std::uint8_t> to);
    // Whether the archive reads a file through its window rather than bytes in memory.
    bool streaming() const { return source_ && source_->handle() >= 0; }
    void writeRange(const SourceRange& range);
    // Whether the bytes written since the pending copy repeat its source's bytes up to `range`,
    // so that one copy can take both.
    bool joinsPending(const SourceRange& range) const;
    void flushPending();
    void writeFile(QFile& file, qint64 at, std::span<const std::uint8_t> from);
    // Empties the window (writing: sends it to the file first) and puts it at offset at.
    void moveWindow(qint64 at);
    // Flushes the finished temporary file to the disk and renames it over path.
    bool finish(QFile& file, const QString& path);
    // Closes and removes the temporary file of an uncommitted archive; answers false.
    bool abandon();

    bool reading_;
    // Reading: the file or the bytes in memory. Writing: the temporary file written to, if any.
    std::shared_ptr<SourceFile> source_;
    std::shared_ptr<const std::vector<std::uint8_t>> memory_;
    std::unique_ptr<QFile> file_;
    // Sources that ranges were copied from, each checked once before its first copy.
    std::vector<std::shared_ptr<SourceFile>> copiedFrom_;
    std::size_t readAhead_ = FirstWindowSize;
    // A range still to be copied into the file: copies of ranges that lie in the same order in
    // source and target, with the same bytes between them, are made as one.
    struct PendingCopy {
        std::shared_ptr<SourceFile> source;
        qint64 from = 0;
        qint64 to = 0;
        qint64 length = 0;
    };
    std::optional<PendingCopy> pending_;
    // Reading: the file. Writing: the target that commit() replaces.
    QString path_;
    // The window holds the bytes from offset base_: data_ for reading, writer_ for writing. With
    // no file it holds all of them (memory_ when reading) and base_ stays 0.
    qint64 base_ = 0;
    // Reading: the size. Writing: how far the file has been written.
    qint64 end_ = 0;
    std::vector<std::uint8_t> data_;
    ByteReader reader_;
    ByteWriter writer_;
    mutable std::optional<std::vector<std::uint8_t>> whole_;
    std::vector<qint64> sizeFields_;
    bool failed_ = false;
    QString error_;
};
