#pragma once

#include "core/Buffer.h"
#include "motif/MotifExport.h"
#include "motif/documents/XS_Entry.h"

#include <QString>

// A user arpeggio of an XS/XF library: its catalogue entry and its data block, which holds the
// arpeggio's name at offset 4 like a voice block does.
class MOTIF_EXPORT XS_ARP : public XS_Entry {
public:
    XS_ARP() = default;

    int id() const { return content_number; }
    // Arpeggios are filed under the same "%06X-Voice.vce" names as voices.
    void setId(int id);

    // A record counts as holding an arpeggio when its entry points at data, even before the data
    // itself has been read.
    bool hasData() const;
    void deleteData();
    const Buffer& data() const { return data_; }
    void setData(const Buffer& data) { data_ = data; }

    // The 20 characters at offset 4 of the data; empty without data.
    QString name() const;
    // Cuts the name to 20 characters and stores it in the entry and in the data; nothing without
    // data.
    void setName(const QString& name);

    // The entry's text followed by the data size.
    QString info() const;

private:
    Buffer data_;
};
