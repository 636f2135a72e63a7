#pragma once

#include "motif/MotifExport.h"
#include "motif/documents/XS_WaveBank.h"
#include "zaltor/Containers.h"

#include <QString>
#include <memory>

// All waveforms of a library, bank by bank in the order the banks were created. Across banks a
// waveform is known by its id; the library file lists only the waveforms with data, so the n-th
// item of a waveform chunk belongs to the n-th waveform with data.
class MOTIF_EXPORT XS_Waves {
public:
    XS_Waves() = default;
    virtual ~XS_Waves() = default;
    XS_Waves(const XS_Waves&) = delete;
    XS_Waves& operator=(const XS_Waves&) = delete;

    VectorEx<XS_WaveBank>& banks() { return banks_; }
    const VectorEx<XS_WaveBank>& banks() const { return banks_; }

    // Waveforms with data in all banks.
    int count() const;
    // Empties every waveform; banks and slots stay.
    void deleteData();
    XS_WaveBank* getBank(int id) const;
    // The bank of that id, appended when there is none yet.
    XS_WaveBank* createBank(int id);
    XS_Waveform* lookupWave(int id) const;
    // The n-th waveform with data (from 0), or null.
    XS_Waveform* getByIndex(int n) const;
    // The id of the first waveform with data that has the wave's name and sample size and whose
    // id is not excluded: the same sound already in the library. 0 when there is none.
    int findSimilar(const XS_Waveform* wave, const Vector<int>* excluded) const;
    // Puts the wave into its slot: copied over the waveform with its id, or appended to the bank
    // its id belongs to in the model (bank 0 for an id the model does not have). A wave that is
    // not kept is deleted. False for a wave without id, and when memory ran out while copying,
    // which leaves the slot empty.
    bool addWave(const QString& model, std::unique_ptr<XS_Waveform> wave);

private:
    VectorEx<XS_WaveBank> banks_;
};
