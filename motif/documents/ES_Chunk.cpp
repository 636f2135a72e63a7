#include "motif/documents/ES_Chunk.h"

#include "core/Archive.h"

#include <memory>

namespace {

// Whether `length` bytes from `at` lie in the file; offsets from the catalogue may be anything.
bool inFile(const Archive& archive, qint64 at, qint64 length)
{
    return at >= 0 && at <= archive.size() - length;
}

} // namespace

ES_Chunk::ES_Chunk(const ES_Chunk& other) : name(other.name), offset(other.offset), size(other.size)
{
    for (const auto& entry : other.entries) entries.append(std::make_unique<Buffer>(*entry));
}

ES_Chunk& ES_Chunk::operator=(const ES_Chunk& other)
{
    if (this != &other) *this = ES_Chunk(other);
    return *this;
}

bool ES_Chunk::isDataChunk() const
{
    return name.startsWith(QLatin1Char('D')) && name != QLatin1String("DWFM");
}

QString ES_Chunk::partnerName(const QString& name) { return QLatin1Char('E') + name.mid(1); }

void ES_Chunk::skip(DamageList& damage, qint64 at, const QString& reason, int item) const
{
    damage.push_back({name, item, at, reason});
}

bool ES_Chunk::readSize(Archive& archive, DamageList& damage)
{
    if (!inFile(archive, offset, 8)) {
        skip(damage, offset, QStringLiteral("the chunk header lies outside the file"));
        return false;
    }
    archive.seek(offset);
    archive.skip(4);
    size = archive.readInt();
    return true;
}

void ES_Chunk::readEntries(Archive& archive, int count, DamageList& damage)
{
    const qint64 startField = qint64(offset) + 40;
    if (!inFile(archive, startField, 4)) {
        skip(damage, startField, QStringLiteral("the entry start lies outside the file"));
        return;
    }
    archive.seek(startField);
    const qint64 start = archive.readUINT();
    const qint64 entrySize = (qint64(size) - start) / count;
    if (entrySize < 1) {
        skip(damage, startField,
             QStringLiteral("entry size %1 is below 1 (size %2, entry start %3, %4 entries)")
                 .arg(entrySize)
                 .arg(size)
                 .arg(start)
                 .arg(count));
        return;
    }
    for (int k = 0; k < count; ++k) {
        const qint64 at = offset + start + k * entrySize;
        if (!inFile(archive, at, entrySize)) {
            skip(damage, at,
                 QStringLiteral("%1 of %2 entries of %3 bytes lie beyond the end of the file")
                     .arg(count - k)
                     .arg(count)
                     .arg(entrySize),
                 k + 1);
            return;
        }
        archive.seek(at);
        auto entry = std::make_unique<Buffer>();
        entry->allocate(static_cast<int>(entrySize));
        archive >> *entry;
        entries.append(std::move(entry));
    }
}
