// Library files come from disks, downloads and other editors. Whatever their bytes, loading must
// stay inside them and either refuse with a reason (leaving no chunks behind after the signature)
// or take the file (one cut short with what is whole before the cut); a file that was taken must
// store to bytes that load again without damage and store the same, with every catalogue offset
// pointing at its chunk. Entry items are also read as records of the file's model and of the XF
// layout, as the library document does.
#include "FuzzCheck.h"
#include "core/Archive.h"
#include "motif/documents/XS_Document.h"
#include "motif/documents/XS_Entry.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {
std::vector<std::uint8_t> store(XS_Document& document)
{
    Archive archive;
    check(document.storeDocument(archive));
    check(!archive.failed());
    return archive.bytes();
}

void readEntries(const XS_Document& document)
{
    for (const auto& chunk : document.chunks) {
        if (!chunk->isEntryChunk()) continue;
        for (const auto& item : chunk->items) {
            for (const QString& model : {document.model(), QStringLiteral("Motif XF")}) {
                Archive record;
                record.writeBuffer(item->data.buffer());
                Archive reader(record.bytes());
                XS_Entry entry;
                entry.fromArchive(model, reader);
                check(reader.pos() <= reader.size());
            }
        }
    }
}

std::uint32_t u32At(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    check(at + 4 <= bytes.size());
    return std::uint32_t(bytes[at]) << 24 | std::uint32_t(bytes[at + 1]) << 16 |
           std::uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    XS_Document document;
    Archive archive(std::vector<std::uint8_t>(data, data + size));
    if (!document.loadDocument(archive)) {
        check(!document.errorText().isEmpty());
        check(document.chunks.isEmpty());
        return 0;
    }
    // A file cut short is taken with what is whole; the losses lie inside the file and say why.
    for (const Damage& part : document.damage()) {
        check(!part.reason.isEmpty() && part.item >= 0);
        check(part.offset >= 0 && part.offset <= qint64(size));
    }
    readEntries(document);
    const std::vector<std::uint8_t> first = store(document);
    for (int i = 0; i < document.chunks.count(); ++i) {
        const std::uint32_t offset = u32At(first, 0x44 + 8 * std::size_t(i));
        check(offset == std::uint32_t(document.chunks.at(i)->offset));
        check(u32At(first, offset) == u32At(first, 0x40 + 8 * std::size_t(i)));
    }
    XS_Document again;
    Archive reread(first);
    check(again.loadDocument(reread));
    check(!again.isDamaged());
    check(store(again) == first);
    return 0;
}
