#pragma once

#include "core/Document.h"
#include "motif/MotifExport.h"
#include "motif/documents/Damage.h"
#include "motif/documents/XS_Chunk.h"
#include "zaltor/Containers.h"

#include <QString>
#include <utility>

class Archive;

// A library file of the Motif XS/XF generation ("YAMAHA-YSFC"): a header, a catalogue of chunk
// ids and offsets, and the chunks back to back. The container keeps every item of every chunk;
// a derived document decides what an item holds through readChunkItem and writeChunkItem, and
// whatever it does not understand stays an opaque item that is written back unchanged.
//
// The file does not name its instrument: the version text does, through a fixed table.
class MOTIF_EXPORT XS_Document : public Document {
public:
    XS_Document() = default;
    ~XS_Document() override = default;
    XS_Document(const XS_Document&) = delete;
    XS_Document& operator=(const XS_Document&) = delete;

    // Deletes every chunk; the type and version stay.
    void clearDocument() override;
    // Sets the type and adds the waveform chunks, and for the types that hold voices the voice
    // chunks, keeping chunks of those names that exist.
    void newDocument(int type) override;
    // "Unknown format" leaves the document as it was; any later failure clears its chunks. A file
    // that ends early is taken with every whole item before its end, and damage() says what was
    // lost.
    bool loadDocument(Archive& archive) override;
    bool storeDocument(Archive& archive) override;

    // Reads one item after its tag: the length word, then the contents into the chunk's item.
    virtual void readChunkItem(XS_Chunk* chunk, int index, Archive& archive);
    // Writes one item after its tag: the length word, then the contents.
    virtual void writeChunkItem(XS_Chunk* chunk, int index, Archive& archive);

    // "1.0.2" for "Motif XF" and so on; the empty text for a model without a version.
    static QString VersionOfModel(const QString& model);
    // The model a version text belongs to; the empty text for an unknown version.
    static QString ModelOfVersion(const QString& version);
    // The model of a document type: 0-2 Motif XS, 3-5 S90 XS, 6-8 Motif XF.
    static QString ModelOfType(int type);
    // Whether new documents of the type get the voice chunks.
    static bool TypeHasVoices(int type);

    QString model() const { return ModelOfVersion(version); }
    void setType(int type);
    XS_Chunk* getChunk(const QString& id) const;
    // The chunk of that id, or a new empty one appended to the list.
    XS_Chunk* createChunk(const QString& id);
    // False for an item that is neither "Entr" nor "Data"; the end of the file is damage, not a
    // failure.
    bool readChunk(XS_Chunk* chunk, Archive& archive);
    bool writeChunk(XS_Chunk* chunk, Archive& archive);

    int type = -1;
    QString signature = QStringLiteral("YAMAHA-YSFC");
    QString version;
    // As read from the file: 8 bytes a chunk.
    int catalogueSize = 0;
    // In file order; a store writes them in this order.
    VectorEx<XS_Chunk> chunks;

    // What the last load could not read, in file order; empty for a whole file.
    const DamageList& damage() const { return damage_; }
    bool isDamaged() const { return !damage_.empty(); }
    // A library put back as it was after an edit keeps what its file lost, so that it is still not
    // written over that file.
    void setDamage(DamageList damage) { damage_ = std::move(damage); }

private:
    // Empties a chunk that the file lost and records why.
    void loseChunk(XS_Chunk* chunk, qint64 at, const QString& reason);

    // Sets the error text, clears the chunks and answers false.
    bool failLoad(const QString& text);

    DamageList damage_;
};
