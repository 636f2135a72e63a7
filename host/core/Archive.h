#pragma once

#include "core/Buffer.h"
#include "core/ByteReader.h"
#include "core/ByteWriter.h"

#include <QString>
#include <cstdint>
#include <span>
#include <vector>

// The byte stream that documents are read from and written to. Numbers are big-endian (most
// significant byte first) unless the name says otherwise (readValueR). An archive either reads
// bytes held in memory (a whole file is read in at once) or writes into memory and then commits
// to a file in one step, so a failed write never leaves a half-written file behind.
//
// Failures are sticky: a read past the end answers 0 (or empty), the first failure's text stays
// in errorText(), and a parser can test failed() once at the end of a record.
class Archive {
public:
    // An archive that writes into memory; commit() puts the bytes into a file.
    Archive();
    // Reads the bytes.
    explicit Archive(std::vector<std::uint8_t> bytes);
    // Reads the whole file at path, through QFile so that resource paths (":/...") work. When the
    // file cannot be read, the archive is failed with a text naming the path and holds no bytes.
    explicit Archive(const QString& path);
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
    // over path, so that the old file stays whole until the new one is. Refuses a failed archive.
    bool commit(const QString& path);

    // What was read or written so far (reading: all the bytes).
    const std::vector<std::uint8_t>& bytes() const;
    bool failed() const { return failed_; }
    QString errorText() const { return error_; }

private:
    // Records the first failure; later ones keep the first text.
    void fail(const QString& text);
    bool canRead();
    bool canWrite();
    // Turns a short read of the reader, started at offset `at`, into the archive's failure.
    void checkRead(qint64 at, const char* what);
    void checkWrite(const char* what);

    bool reading_;
    std::vector<std::uint8_t> data_;
    ByteReader reader_;
    ByteWriter writer_;
    std::vector<std::size_t> sizeFields_;
    bool failed_ = false;
    QString error_;
};
