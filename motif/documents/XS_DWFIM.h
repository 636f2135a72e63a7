#pragma once

#include "motif/MotifExport.h"
#include "motif/documents/XS_Keybank.h"
#include "zaltor/Containers.h"

#include <QString>

class Archive;

// The key banks of a waveform as the library stores them: their parameter records in one DWFM
// item and their sample data in one DWIM item. Each item begins with its own 32-bit size field.
class MOTIF_EXPORT XS_DWFIM {
public:
    XS_DWFIM() = default;
    virtual ~XS_DWFIM() = default;
    // Copies duplicate every key bank, sample data included.
    XS_DWFIM(const XS_DWFIM& other);
    XS_DWFIM& operator=(const XS_DWFIM& other);
    XS_DWFIM(XS_DWFIM&&) noexcept = default;
    XS_DWFIM& operator=(XS_DWFIM&&) noexcept = default;

    int pitchOffset() const { return pitchOffset_; }
    void setPitchOffset(int offset) { pitchOffset_ = offset; }
    VectorEx<XS_Keybank>& keybanks() { return keybanks_; }
    const VectorEx<XS_Keybank>& keybanks() const { return keybanks_; }

    int keybankCount() const { return keybanks_.count(); }
    // One per channel: the key banks plus the stereo ones.
    int sampleCount() const;
    // What the size fields of DWFM and DWIM hold: the bytes after each field.
    void calcSizes(int& wfmSize, int& wimSize) const;

    void writeWFM(Archive& archive) const;
    void writeWIM(Archive& archive) const;
    // Replaces the key banks by those of a DWFM item. The records must lie inside the item's
    // size; reading ends at the item's end. False, leaving no key banks, for a record that does
    // not fit or an item past the end of the archive. Whenever the item lies inside the archive,
    // the archive then stands at its end, where the next item starts.
    bool readWFM(Archive& archive);
    // Reads the sample data of the key banks already read from DWFM, in their order; a stereo key
    // bank reads two channels. False, leaving no key banks, when the data runs past the item or
    // the archive.
    bool readWIM(Archive& archive);
    void reset() { keybanks_.clear(); }

    QString toString() const;

private:
    int pitchOffset_ = 0;
    VectorEx<XS_Keybank> keybanks_;
};
