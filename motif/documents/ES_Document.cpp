#include "motif/documents/ES_Document.h"

#include "core/Archive.h"

#include <algorithm>
#include <memory>

namespace {

constexpr qint64 CatalogueOffset = 128;
constexpr int CatalogueSlots = 48;
constexpr qint64 SlotSize = 8;

QString modelOf(const QString& identifier)
{
    if (identifier.startsWith(QLatin1String("8E24"))) return QStringLiteral("S90 ES");
    if (identifier.startsWith(QLatin1String("A0745")) || identifier.startsWith(QLatin1String("8E57")))
        return QStringLiteral("Motif ES");
    return {};
}

} // namespace

ES_Document::ES_Document(const ES_Document& other) : Document(other) { *this = other; }

ES_Document& ES_Document::operator=(const ES_Document& other)
{
    if (this == &other) return *this;
    Document::operator=(other);
    headerText1_ = other.headerText1_;
    headerText2_ = other.headerText2_;
    modelName_ = other.modelName_;
    chunks_.clear();
    for (const auto& chunk : other.chunks_) chunks_.append(std::make_unique<ES_Chunk>(*chunk));
    damage_ = other.damage_;
    return *this;
}

void ES_Document::clearDocument()
{
    chunks_.clear();
    damage_.clear();
}

bool ES_Document::loadDocument(Archive& archive)
{
    clearDocument();
    archive.seek(0);
    const bool wholeHeader = archive.size() >= 32;
    headerText1_ = archive.size() >= 16 ? archive.readText(16) : QString();
    headerText2_ = wholeHeader ? archive.readText(16) : QString();
    modelName_ = modelOf(headerText1_);
    if (modelName_.isEmpty()) {
        setErrorText(QStringLiteral("Unknown format"));
        return false;
    }
    if (!wholeHeader)
        damage_.push_back({QString(), 0, 16, QStringLiteral("the second header text is cut off")});
    readCatalogue(archive);

    // Every size is read before any chunk is split, so that a partner standing after its data
    // chunk in the catalogue still gives the entry count.
    std::vector<bool> headerRead;
    for (const auto& chunk : chunks_) headerRead.push_back(chunk->readSize(archive, damage_));
    for (int i = 0; i < chunks_.count(); ++i) {
        ES_Chunk* chunk = chunks_.at(i);
        if (!chunk->isDataChunk() || !headerRead[std::size_t(i)]) continue;
        const QString partnerName = ES_Chunk::partnerName(chunk->name);
        const ES_Chunk* partner = getChunk(partnerName);
        const int count = countEntries(chunk->name);
        if (!partner)
            chunk->skip(damage_, chunk->offset, QStringLiteral("no partner chunk %1").arg(partnerName));
        else if (count < 1)
            chunk->skip(damage_, chunk->offset,
                        QStringLiteral("partner chunk %1 of size %2 announces no entries")
                            .arg(partnerName)
                            .arg(partner->size));
        else
            chunk->readEntries(archive, count, damage_);
    }
    return true;
}

void ES_Document::readCatalogue(Archive& archive)
{
    for (int slot = 0; slot < CatalogueSlots; ++slot) {
        const qint64 at = CatalogueOffset + slot * SlotSize;
        if (at + SlotSize > archive.size()) {
            damage_.push_back({QString(), 0, at,
                               QStringLiteral("the catalogue is cut off after %1 of 48 entries").arg(slot)});
            return;
        }
        archive.seek(at);
        const QString name = archive.readText(4);
        const qint32 offset = archive.readInt();
        if (!name.isEmpty()) chunks_.append(std::make_unique<ES_Chunk>(name, offset));
    }
}

bool ES_Document::storeDocument(Archive&) { return true; }

ES_Chunk* ES_Document::getChunk(const QString& name) const
{
    for (const auto& chunk : chunks_)
        if (chunk->name == name) return chunk.get();
    return nullptr;
}

int ES_Document::countEntries(const QString& name) const
{
    if (name.isEmpty()) return 0;
    const ES_Chunk* partner = getChunk(ES_Chunk::partnerName(name));
    if (!partner) return 0;
    return static_cast<int>(std::max<qint64>(0, (qint64(partner->size) - 32) / 32));
}
