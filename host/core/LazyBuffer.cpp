#include "core/LazyBuffer.h"

#include <climits>

LazyBuffer::LazyBuffer(Buffer held) : held_(std::move(held)) {}

LazyBuffer::LazyBuffer(SourceRange range)
{
    // A range that a Buffer could not count is refused by the reader before it gets here; an
    // empty one needs no file.
    if (range.length > 0 && range.source) {
        range_ = std::move(range);
        loaded_ = false;
    }
}

int LazyBuffer::size() const
{
    if (range_ && !loaded_) return static_cast<int>(std::min<std::int64_t>(range_->length, INT_MAX));
    return held_.size();
}

bool LazyBuffer::load(QString* error) const
{
    if (!loaded_) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size()));
        if (range_->source->readAt(range_->offset, bytes, &error_)) {
            held_ = Buffer(std::move(bytes));
            loaded_ = true;
            error_.clear();
        }
    }
    if (error) *error = error_;
    return loaded_;
}

const Buffer& LazyBuffer::buffer() const
{
    load();
    return held_;
}

Buffer& LazyBuffer::edit()
{
    // Bytes that could not be read stay referenced, with the reason, so that a store refuses
    // them rather than writing what was never read.
    if (!load()) return held_;
    range_.reset();
    loaded_ = true;
    return held_;
}

void LazyBuffer::release() const
{
    if (!range_ || !loaded_) return;
    held_.reset();
    loaded_ = false;
}

void LazyBuffer::reset()
{
    range_.reset();
    held_.reset();
    loaded_ = true;
    error_.clear();
}

bool LazyBuffer::operator==(const LazyBuffer& other) const
{
    if (size() != other.size()) return false;
    const SourceRange* mine = reference();
    const SourceRange* theirs = other.reference();
    // The same range of the same source holds the same bytes without reading them.
    if (mine && theirs && mine->source == theirs->source && mine->offset == theirs->offset) return true;
    return buffer() == other.buffer();
}
