// All-data files come from memory cards and from anywhere a user copied them; whatever their
// bytes, the reader must stay inside them, and every entry it makes must be whole, at least one
// byte long and hold exactly the bytes that the chunk's entry start and size point at.
#include "core/Archive.h"
#include "motif/documents/ES_Document.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// The entry start of a chunk, read here independently of the reader.
qint64 entryStart(const std::vector<std::uint8_t>& bytes, qint64 offset)
{
    const qint64 at = offset + 40;
    if (at < 0 || at + 4 > qint64(bytes.size())) __builtin_trap();
    qint64 value = 0;
    for (qint64 i = at; i < at + 4; ++i) value = (value << 8) | bytes[std::size_t(i)];
    return value;
}

void checkEntries(const ES_Document& document, const ES_Chunk& chunk, const std::vector<std::uint8_t>& bytes)
{
    const int count = document.countEntries(chunk.name);
    if (!chunk.isDataChunk() || chunk.entries.count() > count) __builtin_trap();
    const qint64 start = entryStart(bytes, chunk.offset);
    const qint64 size = (qint64(chunk.size) - start) / count;
    for (int k = 0; k < chunk.entries.count(); ++k) {
        const Buffer& entry = *chunk.entries.at(k);
        const qint64 at = chunk.offset + start + k * size;
        if (size < 1 || entry.size() != size || at < 0 || at + size > qint64(bytes.size())) __builtin_trap();
        if (!std::equal(entry.vector().begin(), entry.vector().end(), bytes.begin() + at)) __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> bytes(data, data + size);
    Archive archive(bytes);
    ES_Document document;
    if (document.loadDocument(archive) == document.model().isEmpty()) __builtin_trap();
    if (document.chunks().count() > 48) __builtin_trap();
    for (const auto& chunk : document.chunks()) {
        if (document.getChunk(chunk->name)->name != chunk->name) __builtin_trap();
        if (!chunk->entries.isEmpty()) checkEntries(document, *chunk, bytes);
    }
    // A copy owns its entries: clearing the original must leave it whole.
    const ES_Document copy(document);
    document.clearDocument();
    for (const auto& chunk : copy.chunks())
        if (!chunk->entries.isEmpty()) checkEntries(copy, *chunk, bytes);
    return 0;
}
