#pragma once

#include "core/Buffer.h"
#include "motif/MotifExport.h"
#include "motif/documents/Damage.h"
#include "zaltor/Containers.h"

#include <QString>
#include <QtGlobal>
#include <vector>

class Archive;

// One chunk of an all-data file: where the catalogue puts it, the size stored at its start and,
// for a data chunk, its equal-sized entries in file order. Copies are deep, so that no entry
// buffer belongs to two chunks.
class MOTIF_EXPORT ES_Chunk {
public:
    ES_Chunk() = default;
    ES_Chunk(const QString& name, qint32 offset) : name(name), offset(offset) {}
    ES_Chunk(const ES_Chunk& other);
    ES_Chunk& operator=(const ES_Chunk& other);
    ES_Chunk(ES_Chunk&&) noexcept = default;
    ES_Chunk& operator=(ES_Chunk&&) noexcept = default;
    ~ES_Chunk() = default;

    // The instrument keeps its patch data in chunks named "D..." and describes them in an "E..."
    // partner; "DWFM" begins with "D" but holds waveform data that is not cut into entries.
    bool isDataChunk() const;
    // "DVCE" -> "EVCE".
    static QString partnerName(const QString& name);

    QString name;
    qint32 offset = 0;
    qint32 size = 0;
    VectorEx<Buffer> entries;

private:
    friend class ES_Document;

    // Reads the identifier and the size at the chunk's offset; a header outside the file leaves
    // the size at 0 and answers false.
    bool readSize(Archive& archive, DamageList& damage);
    // Cuts the chunk into `count` entries that start at the entry start field. Only entries that
    // lie wholly in the file are taken: the first that does not ends the split.
    void readEntries(Archive& archive, int count, DamageList& damage);
    void skip(DamageList& damage, qint64 at, const QString& reason, int item = 0) const;
};
