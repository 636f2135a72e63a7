#pragma once

#include "emulator/VirtualInstrument.h"
#include "motif/Motif.h"
#include "zaltor/LoopbackTransport.h"

#include <memory>

// A device and a virtual instrument of its own on an in-process cable. The transports are
// declared first so that they outlive both ends.
struct InstrumentRig {
    // Takes a model or the whole InstrumentSettings.
    template <class Who = VirtualInstrument::Model>
    explicit InstrumentRig(const Who& who = VirtualInstrument::Model::ES7) : instrument(who)
    {
        auto pair = LoopbackTransport::createPair("host", "instrument");
        host = std::move(pair.first);
        far = std::move(pair.second);
        instrument.attach(*far);
        device.connectPorts(host.get(), host.get());
    }

    std::unique_ptr<LoopbackTransport> host;
    std::unique_ptr<LoopbackTransport> far;
    VirtualInstrument instrument;
    Motif device;
};
