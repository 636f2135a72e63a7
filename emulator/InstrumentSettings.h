#pragma once

#include "emulator/FaultPlan.h"
#include "emulator/VirtualInstrument.h"

#include <QString>
#include <vector>

// Who the virtual instrument is and how hard it makes life for the host: its model, its SysEx
// device number and receive channel, when it stops answering, and the faults of its cable. The
// same keys serve as the options of 'motif emu' and in the list of --virtual-faults.
struct InstrumentSettings {
    struct Key {
        const char* name;
        const char* help;
    };

    VirtualInstrument::Model model = VirtualInstrument::Model::ES7;
    int device = 1;    // SysEx device number 1-16
    int channel = 1;   // receive channel 1-16
    int dieAfter = -1; // stops answering after this many received messages; -1 never
    FaultSettings faults;

    static const std::vector<Key>& keys();
    // Sets one setting from its text; what is wrong with key or value, empty when it was taken.
    QString set(const QString& key, const QString& value);
    // "drop=0.01,corrupt=0.01,seed=7": every pair, stopping at the first that is refused.
    QString setAll(const QString& list);
};
