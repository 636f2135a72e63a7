#pragma once

#include "motif/MotifExport.h"

#include <QString>
#include <QStringList>
#include <cstdint>

class Archive;

// The catalogue entry of a YSFC library file: the record an "Entr" item holds. An entry describes
// one data item of the matching "D" chunk (where it lies and how long it is) and names the content.
// Voices, waveforms and arpeggios build on it.
class MOTIF_EXPORT XS_Entry {
public:
    XS_Entry() = default;
    virtual ~XS_Entry() = default;
    XS_Entry(const XS_Entry&) = default;
    XS_Entry& operator=(const XS_Entry&) = default;
    bool operator==(const XS_Entry&) const = default;

    // The record with its 32-bit length field in front. Only the Motif XF writes the `filter`
    // byte, so the model of the library decides the layout. Texts found after the fixed fields are
    // appended to rel_filenames. Answers false when the archive ran out or the texts ran past the
    // record's length; the archive then stands at the end of the record, or failed.
    bool fromArchive(const QString& model, Archive& archive);
    void toArchive(const QString& model, Archive& archive) const;
    // One "name: value" line per field.
    QString toString() const;

    // Whether the record of the model carries the `filter` byte.
    static bool HasFilter(const QString& model);

    std::uint32_t owner = 0;
    // Length of the matching data item's contents.
    std::int32_t data_size = 0;
    std::uint32_t time = 0;
    // Where the matching data item starts, counted from the first byte of its data chunk.
    std::int32_t data_offset = 0;
    // A voice's packed patch number or a waveform's id.
    std::int32_t content_number = 0;
    std::uint8_t filter = 0;
    std::uint8_t favorite = 0;
    QString content_name;
    QString filename;
    QStringList rel_filenames;
    // 1-based position of the record in its chunk when it was read, 0 otherwise; not in the file.
    int item_index = 0;
};
