#include "motif/documents/XS_Document.h"

#include "core/Archive.h"

#include <QHash>
#include <array>

namespace {

constexpr int kFieldSize = 16;
constexpr int kReservedSize = 28;
constexpr int kCatalogueEntrySize = 8;
// Id, size and count: the least a chunk takes in the file.
constexpr int kChunkHeaderSize = 12;

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

void XS_Document::clearDocument() { chunks.clear(); }

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
    if (archive.readText(kFieldSize) != signature) {
        setErrorText(QStringLiteral("Unknown format"));
        return false;
    }
    version = archive.readText(kFieldSize);
    const std::uint32_t catalogueBytes = archive.readUINT();
    archive.skip(kReservedSize);
    if (archive.failed()) return failLoad(QStringLiteral("Illegal file: %1").arg(archive.errorText()));
    if (catalogueBytes > static_cast<std::uint64_t>(archive.size() - archive.pos()))
        return failLoad(
            QStringLiteral("Illegal file: a catalogue of %1 bytes at offset %2 runs past the end of "
                           "the file (%3 bytes)")
                .arg(catalogueBytes)
                .arg(archive.pos())
                .arg(archive.size()));
    catalogueSize = static_cast<int>(catalogueBytes);
    const qint64 catalogueEnd = archive.pos() + catalogueSize;
    // Every chunk takes at least its header after the catalogue; a catalogue naming more chunks
    // than fit is refused before it can make millions of them.
    const qint64 chunkRoom = (archive.size() - catalogueEnd) / kChunkHeaderSize;
    QHash<QString, XS_Chunk*> byId;
    for (const auto& chunk : chunks) byId.insert(chunk->name, chunk.get());
    while (!archive.reached(catalogueEnd)) {
        const QString id = archive.readText(4);
        const std::uint32_t offset = archive.readUINT();
        if (archive.failed()) return failLoad(QStringLiteral("Illegal file: %1").arg(archive.errorText()));
        XS_Chunk*& chunk = byId[id];
        if (!chunk) {
            if (chunks.count() >= chunkRoom)
                return failLoad(
                    QStringLiteral("Illegal file: the catalogue names more chunks than the file holds"));
            chunk = createChunk(id);
        }
        chunk->offset = static_cast<int>(offset);
    }
    // The offsets are not followed: the chunks lie back to back in catalogue order.
    for (const auto& chunk : chunks)
        if (!readChunk(chunk.get(), archive)) return failLoad(errorText());
    return true;
}

bool XS_Document::readChunk(XS_Chunk* chunk, Archive& archive)
{
    archive.readText(4);
    archive.readUINT();
    chunk->count = archive.readInt();
    if (archive.failed()) {
        setErrorText(QStringLiteral("Illegal file: chunk %1: %2").arg(chunk->name, archive.errorText()));
        return false;
    }
    chunk->items.clear();
    for (int index = 0; index < chunk->count; ++index) {
        const QString tag = archive.readText(4);
        if (!archive.failed()) {
            if (tag != QLatin1String("Entr") && tag != QLatin1String("Data")) {
                setErrorText(QStringLiteral("Illegal file"));
                return false;
            }
            chunk->items.append(std::make_unique<XS_Item>());
            readChunkItem(chunk, index, archive);
        }
        if (archive.failed()) {
            setErrorText(QStringLiteral("Illegal file: chunk %1, item %2: %3")
                             .arg(chunk->name)
                             .arg(index + 1)
                             .arg(archive.errorText()));
            return false;
        }
        // A file cut after a whole item ends the chunk there; its count then says what it holds.
        if (archive.eof()) {
            chunk->count = chunk->items.count();
            break;
        }
    }
    return true;
}

void XS_Document::readChunkItem(XS_Chunk* chunk, int index, Archive& archive)
{
    Buffer data;
    archive.readBuffer(data);
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
    archive.writeBuffer(chunk->items.at(index)->data);
}
