#pragma once

#include "motif/MotifExport.h"
#include "motif/documents/XS_Item.h"
#include "zaltor/Containers.h"

#include <QString>

// A chunk of a YSFC file: a four-character id, an item count and the items. Entry chunks ("E...")
// hold catalogue records, data chunks ("D...") the blocks those records describe.
class MOTIF_EXPORT XS_Chunk {
public:
    explicit XS_Chunk(const QString& id) : name(id) {}

    bool isDataChunk() const { return name.startsWith(QLatin1Char('D')); }
    bool isEntryChunk() const { return name.startsWith(QLatin1Char('E')); }
    // The tag written in front of every item: the instrument tags by the chunk's kind, whatever
    // tag an item had when it was read.
    QString itemTag() const;

    QString name;
    // Absolute file position of the chunk's id: from the catalogue when read, from the writer
    // when written.
    int offset = 0;
    // The count field; a derived document makes it match the items before storing.
    int count = 0;
    VectorEx<XS_Item> items;
};
