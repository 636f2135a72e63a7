#pragma once

#include "core/Buffer.h"
#include "core/SourceFile.h"

#include <QString>
#include <optional>

// Bytes that are either held in memory or still lie in the file they were read from, read the
// first time they are needed. A library of a gigabyte is listed, renamed and stored without
// its sample data ever passing through memory: a store copies the ranges it still refers to
// from file to file.
//
// Reading a referenced range does not let go of the reference, so unchanged bytes are still
// stored by copying; editing (edit()) does. A read that fails leaves the bytes empty and keeps
// the reason in error().
class LazyBuffer {
public:
    LazyBuffer() = default;
    explicit LazyBuffer(Buffer held);
    explicit LazyBuffer(SourceRange range);

    // The size, without reading anything.
    int size() const;
    bool isEmpty() const { return size() == 0; }
    // Whether the bytes are in memory (held, or read from their range).
    bool isLoaded() const { return loaded_; }
    // The range the bytes are still to be read from; null once they were edited, or for held ones.
    const SourceRange* reference() const { return range_ ? &*range_ : nullptr; }

    // The bytes, read from their source the first time.
    const Buffer& buffer() const;
    // The bytes to change: from now on they are held and no longer refer to the file.
    Buffer& edit();
    // Reads the bytes now; false, with the reason, when they cannot be read.
    bool load(QString* error = nullptr) const;
    // Why the last read failed; empty when none did.
    const QString& error() const { return error_; }
    // Lets go of bytes that were read only to be looked at; referenced bytes stay referenced.
    void release() const;

    void reset();
    bool operator==(const LazyBuffer& other) const;

private:
    std::optional<SourceRange> range_;
    mutable Buffer held_;
    mutable bool loaded_ = true;
    mutable QString error_;
};
