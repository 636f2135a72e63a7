#pragma once

#include "motif/MotifExport.h"
#include "motif/documents/XS_VoiceBank.h"
#include "zaltor/Containers.h"

#include <memory>

// All voice banks of a library, in the order they were created. Voices are told apart across
// banks by their id (the packed patch number).
class MOTIF_EXPORT XS_Voices {
public:
    // The voices with data over all banks.
    int count() const;
    // Empties every voice's data; banks and voices stay, as empty slots.
    void deleteData();

    VectorEx<XS_VoiceBank>& banks() { return banks_; }
    const VectorEx<XS_VoiceBank>& banks() const { return banks_; }
    XS_VoiceBank* getBank(Bank bank) const;
    // The bank, appended empty when it does not exist yet.
    XS_VoiceBank* createBank(Bank bank);

    XS_Voice* lookupVoice(int id) const;
    // The n-th voice with data, counting from 0 over the banks in order; null past the end.
    XS_Voice* getByIndex(int n) const;
    // A voice with id 0 is dropped. A voice whose id is already held is copied into the held
    // voice, whose bank does not change, and dropped; any other voice is appended to the bank of
    // its patch and kept. Answers the held voice, null for a dropped one of id 0.
    XS_Voice* addVoice(std::unique_ptr<XS_Voice> voice);

private:
    VectorEx<XS_VoiceBank> banks_;
};
