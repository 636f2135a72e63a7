#pragma once

#include "motif/MotifExport.h"
#include "motif/documents/XS_Waveform.h"
#include "zaltor/Containers.h"

// The waveforms of one wave memory (1 "USR", 2 "FL1", 3 "FL2"), in slot order. A slot may be
// empty: its waveform object stays, without data, so that the ids of the others keep.
class MOTIF_EXPORT XS_WaveBank {
public:
    explicit XS_WaveBank(int id) : id_(id) {}
    virtual ~XS_WaveBank() = default;
    XS_WaveBank(const XS_WaveBank&) = delete;
    XS_WaveBank& operator=(const XS_WaveBank&) = delete;

    int id() const { return id_; }
    VectorEx<XS_Waveform>& waveforms() { return waveforms_; }
    const VectorEx<XS_Waveform>& waveforms() const { return waveforms_; }
    // Waveforms with data.
    int count() const;
    // The position of the last waveform with data, -1 if none.
    int lastIndex() const;

private:
    int id_;
    VectorEx<XS_Waveform> waveforms_;
};
