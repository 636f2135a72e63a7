#pragma once

#include "motif/MotifExport.h"
#include "motif/documents/XS_DWFIM.h"
#include "motif/documents/XS_Entry.h"
#include "zaltor/Containers.h"

#include <QString>
#include <memory>

class Archive;
class AudioDevice;
class X0V_Document;

// A user waveform of a library: a named set of key banks. The library file describes it with two
// catalogue entries (waveform info in EWFM, waveform image in EWIM) that carry the same id and
// name, and holds its key bank parameters and sample data in DWFM and DWIM.
//
// Voices play a user waveform by its id, which follows from the wave memory (bank) and the
// 1-based number in it: the Motif XS has 1024 user waveforms, the Motif XF 128 user ones plus
// 2048 on each of its two flash expansion memories.
class MOTIF_EXPORT XS_Waveform {
public:
    explicit XS_Waveform(const QString& name = QString());
    XS_Waveform(const QString& name, int bank, int number, const QString& model);
    virtual ~XS_Waveform() = default;
    XS_Waveform(const XS_Waveform&) = default;
    XS_Waveform& operator=(const XS_Waveform&) = default;
    XS_Waveform(XS_Waveform&&) = default;
    XS_Waveform& operator=(XS_Waveform&&) = default;

    XS_Entry& wfmEntry() { return wfm_; }
    const XS_Entry& wfmEntry() const { return wfm_; }
    XS_Entry& wimEntry() { return wim_; }
    const XS_Entry& wimEntry() const { return wim_; }
    XS_DWFIM& dwfim() { return dwfim_; }
    const XS_DWFIM& dwfim() const { return dwfim_; }

    int id() const { return wfm_.content_number; }
    // Gives both entries the id and the file names the instrument expects for it.
    void setId(int id);
    // The name without the "001:" position prefix the instrument puts in front of some names.
    QString name() const;
    void setName(const QString& name);
    // A new waveform the user starts from scratch.
    void create();
    // Whether the waveform holds anything: entries that point at data, or key banks.
    bool hasData() const;
    // Empties the waveform; its slot and id stay.
    void deleteData();

    VectorEx<XS_Keybank>& keybanks() { return dwfim_.keybanks(); }
    const VectorEx<XS_Keybank>& keybanks() const { return dwfim_.keybanks(); }
    // Appends the key bank, which the waveform then owns; an unnamed waveform gets a name.
    XS_Keybank* addKeybank(std::unique_ptr<XS_Keybank> keybank);

    int number(const QString& model) const { return NumberOf(id(), model); }
    int bank(const QString& model) const { return BankOf(id(), model); }
    QString bankName(const QString& model) const { return BankNameOf(id(), model); }

    // The id of a bank and 1-based number, 0 when the model has no such waveform.
    static int MakeId(int bank, int number, const QString& model);
    // The number and the bank of an id; 0 for an id the model does not have.
    static int NumberOf(int id, const QString& model);
    static int BankOf(int id, const QString& model);
    // "USR", "FL1", "FL2", or the bank as a number for a bank the model does not have.
    static QString BankName(int bank, const QString& model);
    static QString BankNameOf(int id, const QString& model) { return BankName(BankOf(id, model), model); }

    // Bytes of sample data of all key banks, and of key bank i (0 outside the list).
    qint64 totalSize() const;
    int sampleSizeOf(int i) const;

    // Slices are the key banks of a cut-up loop: one key each, on neighbouring keys.
    // CreateSlices puts the key banks on consecutive keys from `note` (-1: the first key bank's
    // centre key), wrapping from 127 to 0.
    static void CreateSlices(const Vector<XS_Keybank*>& keybanks, int note);
    void createSlices(int note);
    bool hasSlices() const;
    // Plays all slices joined, once, in keyboard order; false when there are no slices to play.
    bool playSlices(AudioDevice* device) const;

    // Inserts copies of the key banks at `position` (outside the list: at the end). When a copy
    // cannot be made the waveform stays as it was and the answer is false.
    bool pasteKeybanks(int position, const Vector<const XS_Keybank*>& keybanks, X0V_Document* document);
    // Deletes the key banks at the positions, which count in the list as it was before.
    void deleteKeybanks(const Vector<int>& positions, X0V_Document* document);
    // Moves the key banks at the positions, in the order given, to `position`; `position` comes
    // back as the place of the first one moved.
    bool reorganizeKeybanks(int& position, const Vector<int>& positions);

    // The waveform copied between libraries: both entries (in the Motif XF layout, which holds
    // every field), then the DWFM and the DWIM item. False when the bytes do not hold one.
    bool fromArchive(Archive& archive);
    void toArchive(Archive& archive) const;

    QString info() const;

private:
    XS_Entry wfm_;
    XS_Entry wim_;
    XS_DWFIM dwfim_;
};
