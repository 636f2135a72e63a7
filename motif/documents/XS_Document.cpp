#include "motif/documents/XS_Document.h"

#include "core/Archive.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <cstdint>

namespace {

constexpr int kFieldSize = 16;
constexpr int kReservedSize = 28;
constexpr int kCatalogueEntrySize = 8;
// Id, size and count: the least a chunk takes in the file.
constexpr int kChunkHeaderSize = 12;
// Tag and length word in front of an item's contents.
constexpr qint64 ItemHeaderSize = 8;

struct VersionRow {
    const char* version;
    const char* model;
    // Written for new documents of the model; "1.0.1" files are only ever read.
    bool written;
};

constexpr std::array<VersionRow, 5> kVersions{{
    {"1.0.0", "Motif XS", true},
    {"1.0.1", "Motif XS", false},
    {"1.0.2", "Motif XF", true},
    {"2.0.0", "Motif Rack XS", true},
    {"3.0.0", "S90 XS", true},
}};

} // namespace

QString XS_Document::VersionOfModel(const QString& model)
{
    for (const VersionRow& row : kVersions)
        if (row.written && model == QLatin1String(row.model)) return QLatin1String(row.version);
    return {};
}

QString XS_Document::ModelOfVersion(const QString& version)
{
    for (const VersionRow& row : kVersions)
        if (version == QLatin1String(row.version)) return QLatin1String(row.model);
    return {};
}

QString XS_Document::ModelOfType(int type)
{
    switch (type) {
    case 0:
    case 1:
    case 2:
        return QStringLiteral("Motif XS");
    case 3:
    case 4:
    case 5:
        return QStringLiteral("S90 XS");
    case 6:
    case 7:
    case 8:
        return QStringLiteral("Motif XF");
    default:
        return {};
    }
}

bool XS_Document::TypeHasVoices(int type) { return type == 0 || type == 1 || type == 6 || type == 7; }

void XS_Document::setType(int newType)
{
    type = newType;
    version = VersionOfModel(ModelOfType(newType));
}

void XS_Document::clearDocument()
{
    chunks.clear();
    damage_.clear();
}

void XS_Document::newDocument(int newType)
{
    setType(newType);
    for (const char* id : {"EWFM", "EWIM", "DWFM", "DWIM"}) createChunk(QLatin1String(id));
    if (TypeHasVoices(newType))
        for (const char* id : {"EVCE", "DVCE"}) createChunk(QLatin1String(id));
}

XS_Chunk* XS_Document::getChunk(const QString& id) const
{
    for (const auto& chunk : chunks)
        if (chunk->name == id) return chunk.get();
    return nullptr;
}

XS_Chunk* XS_Document::createChunk(const QString& id)
{
    if (XS_Chunk* chunk = getChunk(id)) return chunk;
    return chunks.append(std::make_unique<XS_Chunk>(id));
}

bool XS_Document::failLoad(const QString& text)
{
    setErrorText(text);
    clearDocument();
    return false;
}

bool XS_Document::loadDocument(Archive& archive)
{
    damage_.clear();
    if (archive.readText(kFieldSize) != signature) {
        setErrorText(QStringLiteral("Unknown format"));
        return false;
    }
    version = archive.readText(kFieldSize);
    const std::uint32_t catalogueBytes = archive.readUINT();
    archive.skip(kReservedSize);
    // Without the whole header nothing of the file can be trusted, not even its model.
    if (archive.failed()) return failLoad(QStringLiteral("Illegal file: %1").arg(archive.errorText()));
    catalogueSize = static_cast<int>(std::min<std::uint32_t>(catalogueBytes, INT32_MAX));
    const qint64 catalogueEnd = archive.pos() + catalogueBytes;
    QHash<QString, XS_Chunk*> byId;
    for (const auto& chunk : chunks) byId.insert(chunk->name, chunk.get());
    for (int named = 0; !archive.reached(catalogueEnd); ++named) {
        // The file holds at most one entry per 8 bytes, so a catalogue cut short or naming more
        // chunks than follow it cannot make more chunks than the file has bytes for.
        if (archive.size() - archive.pos() < kCatalogueEntrySize) {
            damage_.push_back({QString(), 0, archive.pos(),
                               QStringLiteral("the file ends inside the catalogue, after %1 of %2 chunks")
                                   .arg(named)
                                   .arg(catalogueBytes / kCatalogueEntrySize)});
            break;
        }
        const QString id = archive.readText(4);
        const std::uint32_t offset = archive.readUINT();
        XS_Chunk*& chunk = byId[id];
        if (!chunk) chunk = chunks.append(std::make_unique<XS_Chunk>(id));
        chunk->offset = static_cast<int>(offset);
    }
    // The offsets are not followed: the chunks lie back to back in catalogue order. Once the
    // file has ended, the chunks after are lost as a whole.
    for (const auto& chunk : chunks) {
        if (!damage_.empty()) {
            loseChunk(chunk.get(), archive.size(), QStringLiteral("the file ends before the chunk"));
            continue;
        }
        if (!readChunk(chunk.get(), archive)) return failLoad(errorText());
    }
    return true;
}

void XS_Document::loseChunk(XS_Chunk* chunk, qint64 at, const QString& reason)
{
    chunk->items.clear();
    chunk->count = 0;
    damage_.push_back({chunk->name, 0, at, reason});
}

bool XS_Document::readChunk(XS_Chunk* chunk, Archive& archive)
{
    const qint64 start = archive.pos();
    if (archive.size() - start < kChunkHeaderSize) {
        loseChunk(chunk, start,
                  archive.eof() ? QStringLiteral("the file ends before the chunk")
                                : QStringLiteral("the file ends inside the chunk's header"));
        return true;
    }
    archive.readText(4);
    archive.readUINT();
    chunk->count = archive.readInt();
    chunk->items.clear();
    for (int index = 0; index < chunk->count; ++index) {
        const qint64 at = archive.pos();
        const qint64 left = archive.size() - at;
        // The end of the file ends the chunk: a whole item is kept, a cut one is not, and the
        // count then says what the chunk holds.
        const auto lose = [&](const QString& reason) {
            damage_.push_back({chunk->name, index + 1, at, reason.arg(index + 1).arg(chunk->count)});
            chunk->count = chunk->items.count();
        };
        if (left == 0) {
            lose(QStringLiteral("the file ends before item %1 of %2"));
            break;
        }
        const QString tag = left >= ItemHeaderSize ? archive.readText(4) : QString();
        const qint64 length = left >= ItemHeaderSize ? archive.readUINT() : left;
        if (length > left - ItemHeaderSize) {
            lose(QStringLiteral("the file ends inside item %1 of %2"));
            break;
        }
        if (tag != QLatin1String("Entr") && tag != QLatin1String("Data")) {
            setErrorText(QStringLiteral("Illegal file"));
            return false;
        }
        archive.seek(at + 4);
        chunk->items.append(std::make_unique<XS_Item>());
        readChunkItem(chunk, index, archive);
        if (archive.failed()) {
            setErrorText(QStringLiteral("Illegal file: chunk %1, item %2: %3")
                             .arg(chunk->name)
                             .arg(index + 1)
                             .arg(archive.errorText()));
            return false;
        }
        // A record that reads less or more than its item does not move the next item.
        archive.seek(at + ItemHeaderSize + length);
    }
    return true;
}

void XS_Document::readChunkItem(XS_Chunk* chunk, int index, Archive& archive)
{
    LazyBuffer data;
    archive.readBlock(data);
    if (XS_Item* item = chunk->items.at(index)) item->data = std::move(data);
}

bool XS_Document::storeDocument(Archive& archive)
{
    archive.writeText(signature, kFieldSize);
    archive.writeText(version, kFieldSize);
    archive.writeInt(kCatalogueEntrySize * chunks.count());
    for (int i = 0; i < kReservedSize; ++i) archive.writeBYTE(0xFF);
    const qint64 catalogue = archive.pos();
    for (const auto& chunk : chunks) {
        archive.writeText(chunk->name, 4);
        archive.writeUINT(0);
    }
    for (const auto& chunk : chunks) writeChunk(chunk.get(), archive);
    // The offsets are known only now.
    const qint64 end = archive.pos();
    archive.seek(catalogue);
    for (const auto& chunk : chunks) {
        archive.skip(4);
        archive.writeUINT(static_cast<std::uint32_t>(chunk->offset));
    }
    archive.seek(end);
    return true;
}

bool XS_Document::writeChunk(XS_Chunk* chunk, Archive& archive)
{
    chunk->offset = static_cast<int>(archive.pos());
    archive.writeText(chunk->name, 4);
    archive.willPutSize();
    archive.writeInt(chunk->count);
    const QString tag = chunk->itemTag();
    for (int index = 0; index < chunk->items.count(); ++index) {
        archive.writeText(tag, 4);
        writeChunkItem(chunk, index, archive);
    }
    archive.putSize();
    return true;
}

void XS_Document::writeChunkItem(XS_Chunk* chunk, int index, Archive& archive)
{
    archive.writeBlock(chunk->items.at(index)->data);
}
