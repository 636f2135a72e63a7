#pragma once

#include "zaltor/MidiTransport.h"

#include <cstdint>
#include <vector>

// One single parameter change of a voice copy: where it writes, how many data bytes, the value,
// and the message as it goes on the wire.
struct ParamChange {
    std::uint32_t address = 0;
    int size = 0;
    int value = 0;
    MidiBytes bytes;
};

using VoiceCopyPlan = std::vector<ParamChange>;
