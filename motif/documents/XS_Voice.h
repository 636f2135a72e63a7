#pragma once

#include "core/Buffer.h"
#include "motif/MotifExport.h"
#include "motif/documents/XS_Entry.h"
#include "zaltor/Patch.h"

#include <QString>
#include <vector>

class Archive;
class Motif;
class X0V_Document;
class XS_Voices;
class XS_Waves;

// A user voice of an XS/XF library: its catalogue entry and the instrument's voice block. The
// block is carried as it is; only the name, the two categories and, for every element, whether it
// sounds and which waveform it plays are read and written at their fixed positions. An empty
// block means the slot holds no voice. The entry's content_number is the voice's packed patch
// number (bank · 256 + program) and its rel_filenames name the user waveforms the voice plays.
//
// The element layout depends on the model the block belongs to ("Motif XS", "Motif XF", "S90 XS",
// "Motif Rack XS"): elements of 140 or 144 bytes, each after a 32-bit length, from offset 408.
class MOTIF_EXPORT XS_Voice : public XS_Entry {
public:
    static constexpr int NameOffset = 4;
    static constexpr int NameSize = 20;
    static constexpr int CategoryOffset = 32;
    static constexpr int NormalBankType = 1;
    static constexpr int DrumBankType = 2;
    static constexpr Bank FirstUserBank = 0x3F08;
    static constexpr Bank DrumUserBank = 0x3F28;

    explicit XS_Voice(const QString& model = QString()) : model_(model) {}

    const QString& model() const { return model_; }
    void setModel(const QString& model) { model_ = model; }
    const Buffer& data() const { return data_; }
    void setData(const Buffer& data) { data_ = data; }

    bool hasData() const { return !data_.isEmpty(); }
    void deleteData() { data_.reset(); }
    // Replace the block with the initial normal voice or drum kit.
    void initVoice();
    void initDrumKit();

    // The 20 characters of the block's name field, padded with blanks; the entry's content_name is
    // left alone.
    QString name() const;
    void setName(const QString& name);

    int id() const { return content_number; }
    // Also names the voice's file after the id.
    void setId(int id);
    Patch patch() const { return Patch::fromValue(static_cast<std::uint32_t>(content_number)); }
    void setPatch(const Patch& patch) { content_number = static_cast<std::int32_t>(patch.value()); }
    Bank bank() const { return static_cast<Bank>(static_cast<std::uint32_t>(content_number) >> 8); }
    int bankType() const { return BankType(bank()); }
    QString bankName() const { return BankName(model_, bank()); }

    // NormalBankType for MSB 63 / LSB 0-15, DrumBankType for MSB 63 / LSB 32-47, otherwise 0.
    static int BankType(Bank bank);
    static int MaxVoiceBanks(const QString& model);
    // "USER1".."USER4" for the model's user banks from 63/8 on, "DR:USER" for 63/40.
    static QString BankName(const QString& model, Bank bank);
    // The file name of a voice or arpeggio entry: "%06X-Voice.vce".
    static QString FileName(int id);
    // An entry's text followed by the size of its data block.
    static QString EntryInfo(const XS_Entry& entry, int dataSize);

    // Main · 128 + sub; -1 without data.
    int getCategory1() const { return category(CategoryOffset); }
    int getCategory2() const { return category(CategoryOffset + 2); }
    void setCategory1(int value) { setCategory(CategoryOffset, value); }
    void setCategory2(int value) { setCategory(CategoryOffset + 2, value); }
    // Sets category 1 to the row of the device's full category table with that name; an unknown
    // name, a null device or a voice without data change nothing.
    void setCategory(const QString& name, Motif* device);
    // The device's full name of category 1; empty without data or device.
    QString printCategory(Motif* device) const;

    static int elementSize(const QString& model);
    static int arpPartSize(const QString& model);
    static int elementOffset(const QString& model, int i);
    // The count stored just before the first element (offset 404); -1 without data.
    int elementCount(const QString& model) const;
    // The elements that the stored count announces and whose fields lie inside the block, so that
    // a hostile count cannot make a walk over the elements run on.
    int elementsInData(const QString& model) const;

    // Element fields in the voice's own model's layout; no check that the block holds them.
    bool isElementUsed(int i) const;
    void setElementUsed(int i, bool used);
    int elementMem(int i) const;
    void setElementMem(int i, int memory);
    int elementWave(int i) const;
    void setElementWave(int i, int number);

    // The user waveform id that element i plays; 0 for an element that is off, a waveform of the
    // instrument itself, a model without user waveforms, or a voice without data.
    int elementWaveform(const QString& model, int i) const;
    // Points the element at a user waveform; an id of 0 or less switches the element off instead.
    void setElementWaveform(const QString& model, int i, int id);
    // The distinct user waveform ids of the elements, ascending.
    std::vector<int> waveforms(const QString& model) const;
    // Renames rel_filenames after waveforms(model).
    void updateWaveformInfo(const QString& model);
    // Replaces every reference to from[k] (its first position) by to[k], then updates the names.
    void remapWaveforms(const QString& model, const std::vector<int>& from, const std::vector<int>& to);

    // "FL1:5|Strings|USR:1|--------": bank name, number and name of each waveform the voice plays,
    // sorted; "--------" for one the collection does not hold with data.
    QString waveformInfo(const QString& model, const XS_Waves& waves) const;
    // Switches off elements that play a waveform the collection does not hold with data; answers
    // whether any was.
    bool removeInvalidWaveforms(const QString& model, const XS_Waves& waves);
    // Copies the voice with that patch (entry, data and model); false when there is none.
    bool readPatch(const XS_Voices& voices, const Patch& patch);

    // The library document's forms: its model and collections. Defined with X0V_Document; a null
    // document answers the empty text or false.
    QString waveformInfo(X0V_Document* document) const;
    bool removeInvalidWaveforms(X0V_Document* document);
    bool readPatch(X0V_Document* document, const Patch& patch);

    // The model text, the entry in that model's layout, then the block with its 32-bit length.
    // A voice of another model is not read: reading stops after the model text and answers
    // false. A voice without a model takes the one read.
    using XS_Entry::fromArchive;
    using XS_Entry::toArchive;
    bool fromArchive(Archive& archive);
    void toArchive(Archive& archive) const;

    // The entry's text followed by the block size.
    QString info() const { return EntryInfo(*this, data_.size()); }

private:
    int category(int offset) const;
    void setCategory(int offset, int value);

    Buffer data_;
    QString model_;
};
