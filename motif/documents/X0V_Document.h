#pragma once

#include "motif/MotifExport.h"
#include "motif/documents/XS_Document.h"
#include "motif/documents/XS_Voices.h"
#include "motif/documents/XS_Waves.h"
#include "zaltor/Containers.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class Archive;

// The voice-and-waveform library of the Motif XS/XF generation: a YSFC file whose voice chunks
// ("EVCE"/"DVCE") and waveform chunks ("EWFM"/"EWIM"/"DWFM"/"DWIM") become voices and waveforms
// on loading and are rebuilt from them, with every entry's size and offset, on storing.
//
// Voices play user waveforms by id, and an id follows from the waveform's bank and slot; so the
// editing operations below rewrite the voices' references whenever waveforms change place or go
// away, and renumber voices whenever they change place. Positions are 0-based slots of a bank.
class MOTIF_EXPORT X0V_Document : public XS_Document {
public:
    X0V_Document() = default;
    ~X0V_Document() override = default;

    // The chunks go, the slots stay empty.
    void clearDocument() override;
    // Switches off voice elements that play waveforms the library does not hold, and says so.
    void validateDocument() override;
    bool loadDocument(Archive& archive) override;
    bool storeDocument(Archive& archive) override;
    // Gives every entry the size and offset, and the voice and waveform chunks the counts, that a
    // store writes, without writing anything: after an edit the library describes the file it
    // will be stored as.
    void updateEntries();
    // Sample data of all waveforms in whole megabytes.
    double estimatedSizeMB() const override;
    void readChunkItem(XS_Chunk* chunk, int index, Archive& archive) override;
    void writeChunkItem(XS_Chunk* chunk, int index, Archive& archive) override;

    // The document type whose initSlots makes the model's slots: 0 "Motif XS", 6 "Motif XF",
    // 3 "S90 XS"; -1 for a model without a type ("Motif Rack XS" and unknown models), whose
    // initSlots still makes the drum kit slots every model has.
    static int TypeOfModel(const QString& model);
    // The type whose slots a library file asks for: TypeOfModel of the model that the version in
    // the file's head names, wherever the reading archive stands; -1 for a file too short.
    static int TypeOfLibrary(Archive& archive);
    // Opens a library into the full slot set of the model its version names, so that every slot
    // exists and the file's voices and waveforms land in theirs by id. The path form then
    // validates the document as loadFile does.
    bool loadLibrary(Archive& archive);
    bool loadLibrary(const QString& path);

    XS_Waves& waves() { return waves_; }
    const XS_Waves& waves() const { return waves_; }
    XS_Voices& voices() { return voices_; }
    const XS_Voices& voices() const { return voices_; }

    // Replaces all voices and waveforms by the empty user slots of the type's model. Slots that
    // the document already holds for the model are emptied in place rather than made anew.
    void initSlots(int type);
    bool hasVoiceChunk() const;
    bool hasWaveChunk() const;
    // The collections copy into the object of the same id or keep the new one (see XS_Voices,
    // XS_Waves).
    XS_Voice* addVoice(std::unique_ptr<XS_Voice> voice);
    bool addWave(std::unique_ptr<XS_Waveform> waveform);
    // Asks for a waveform bank: 1 "USR", 2 "FL1", 3 "FL2", or 0 when the user chose none.
    int choseWaveBank(const QString& title);

    // "Voice"/"Voices" and so on after the count; with `withCount` "%d %s" of both.
    static QString strVoices(int n, bool withCount);
    static QString strWaveforms(int n, bool withCount);
    static QString strKeybanks(int n, bool withCount);

    // Editing. Voice banks are named by their bank select value, waveform banks by 1 "USR",
    // 2 "FL1" and 3 "FL2".
    // Positions outside the bank and repeated positions are ignored; a start of -1 means 0.
    //
    // Empties the voices; slots and ids stay, and so do the references to waveforms.
    void deleteVoices(Bank bank, const Vector<int>& positions);
    // Moves the voices to `target` and renumbers the bank; `target` comes back as the position of
    // the first voice moved. False when the bank does not exist or nothing changed place.
    bool reorganizeVoices(Bank bank, int& target, const Vector<int>& positions);
    // Pastes voices of another library of the same model over the slots from `start` on, with the
    // waveforms they play: a waveform the library already holds (same name and size) is not
    // pasted again, the others go after the last used slot of the first bank with room. Answers
    // the voices pasted. The sources stay the caller's.
    int pasteVoices(Bank bank, int start, const Vector<const XS_Voice*>& voices,
                    Vector<const XS_Waveform*> waveforms);
    // Copies the waveforms over the slots from `start` on, as far as the bank goes; answers how
    // many. Voices are not touched.
    int pasteWaves(int bank, int start, const Vector<const XS_Waveform*>& waveforms);
    // Empties the waveforms; voices that played one with a twin elsewhere in the library (same
    // name and size) play the twin from then on.
    void deleteWaves(int bank, const Vector<int>& positions);
    // As reorganizeVoices; the moved waveforms take the ids of their new slots and the voices
    // follow them.
    bool reorganizeWaves(int bank, int& target, const Vector<int>& positions);
    // Moves the waveforms to the slots after the last used one of another bank; the voices follow.
    // False when a bank is missing, both are the same, or the destination has no room for all.
    bool moveWaves(const Vector<int>& positions, int fromBank, int toBank);
    // Empties the waveforms that no voice plays; answers how many.
    int removeUnusedWaveforms();

    // Import. An audio file becomes one waveform with one key bank in slot `number` of the bank;
    // a multi-sample file one waveform per instrument, in the slots from `number` on. Answers the
    // waveforms added.
    int importWaveform(int bank, int number, const QString& path);
    // Adds an audio file as a further key bank of the waveform; null when it holds no usable audio.
    XS_Keybank* importKeybank(XS_Waveform& waveform, const QString& path);
    // What the last import changed in the audio or could not keep, one line per note.
    const QStringList& importNotes() const { return importNotes_; }

protected:
    // Rebuild the voice and waveform chunks from the collections before storing.
    void validateVoices();
    void validateWaves();
    // Renumber a bank after its objects changed places; the waveform form also points the voices
    // at the new ids.
    void fixVoiceIndexes(XS_VoiceBank* bank);
    void fixWaveIndexes(XS_WaveBank* bank);

private:
    // Whether every chunk of the voice or of the waveform kind is in the file: a kind with a
    // chunk missing is kept as opaque items, since its objects could not be whole.
    bool hasAllVoiceChunks() const;
    bool hasAllWaveChunks() const;
    // The first object with the id, as the collections' lookups find it, straight from its slot
    // when it is there.
    XS_Voice* voiceWithId(int id) const;
    XS_Waveform* waveWithId(int id) const;
    // The id of the 0-based slot of a waveform bank; 0 when the model has no such slot.
    int idOfSlot(int bank, qint64 position) const;
    // Points every voice with data at the new ids.
    void remapVoices(const Vector<int>& oldIds, const Vector<int>& newIds);
    // After a load of a damaged file: empties every object that lost one of its items.
    void dropBroken();
    bool importSingle(int bank, int number, const QString& path);
    int importMulti(int bank, int number, const QString& path);

    XS_Waves waves_;
    XS_Voices voices_;
    QStringList importNotes_;
    // During a load: which kinds the file holds whole, and the object that each entry item
    // became (null for one that was dropped), so that the other items of its position find it.
    struct Loading {
        bool started = false;
        QString model;
        bool voices = false;
        bool waves = false;
        std::vector<XS_Voice*> voiceItems;
        std::vector<XS_Waveform*> waveItems;
    } loading_;
    // During a store: the objects with data in item order, as validateVoices and validateWaves
    // found them.
    struct Storing {
        std::vector<const XS_Voice*> voices;
        std::vector<const XS_Waveform*> waves;
    } storing_;
};
