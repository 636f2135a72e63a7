#pragma once

#include "core/Document.h"
#include "motif/MotifExport.h"
#include "motif/documents/ES_Chunk.h"

#include <QString>
#include <vector>

// The all-data file that a Motif ES or S90 ES writes to its memory card. The reader recognises
// the model from the header, reads the 48-slot chunk catalogue and cuts every data chunk into
// its equal-sized entries without interpreting them. Only the header identifier decides whether
// a file is accepted; whatever else a file holds, the reader stays inside it and records in
// damage() what it had to leave out. Writing the format is not supported.
class MOTIF_EXPORT ES_Document : public Document {
public:
    ES_Document() = default;
    ES_Document(const ES_Document& other);
    ES_Document& operator=(const ES_Document& other);
    ~ES_Document() override = default;

    // Deletes the chunks with their entries and what the last load skipped; the header texts and
    // the model stay.
    void clearDocument() override;
    // Answers false with "Unknown format" when the header names no known model.
    bool loadDocument(Archive& archive) override;
    // Writes nothing.
    bool storeDocument(Archive& archive) override;

    QString headerText1() const { return headerText1_; }
    QString headerText2() const { return headerText2_; }
    // "Motif ES", "S90 ES" or empty.
    QString model() const { return modelName_; }
    // In catalogue order; the document owns them.
    const VectorEx<ES_Chunk>& chunks() const { return chunks_; }
    // The first chunk named exactly `name` (case counts), or null; the document keeps it.
    ES_Chunk* getChunk(const QString& name) const;
    // The number of entries that the partner of the data chunk `name` announces: (size - 32) / 32,
    // and 0 without a partner or for a partner smaller than 32 bytes.
    int countEntries(const QString& name) const;
    const DamageList& damage() const { return damage_; }

private:
    void readCatalogue(Archive& archive);

    QString headerText1_;
    QString headerText2_;
    QString modelName_;
    VectorEx<ES_Chunk> chunks_;
    DamageList damage_;
};
