#pragma once

#include "motif/MotifExport.h"
#include "motif/documents/XS_Voice.h"
#include "zaltor/Containers.h"

// The voices of one bank, identified by the bank's 16-bit bank select value. The bank owns its
// voices; a slot whose voice has no data is an empty user slot.
class MOTIF_EXPORT XS_VoiceBank {
public:
    explicit XS_VoiceBank(Bank bank) : bank_(bank) {}

    Bank id() const { return bank_; }
    // The voices that hold data; the slots themselves are voices().count().
    int count() const;
    VectorEx<XS_Voice>& voices() { return voices_; }
    const VectorEx<XS_Voice>& voices() const { return voices_; }

private:
    Bank bank_;
    VectorEx<XS_Voice> voices_;
};
