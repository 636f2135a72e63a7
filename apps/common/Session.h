#pragma once

#include "emulator/InstrumentSettings.h"
#include "emulator/VirtualInstrument.h"
#include "motif/Motif.h"
#include "zaltor/MidiTransport.h"
#include "zaltor/RtMidiTransport.h"

#include <QString>
#include <memory>

// How the command line reaches an instrument.
struct SessionOptions {
    QString inPort;
    QString outPort;
    // Which system's ports the names are looked for in; Any is JACK when a JACK server answers.
    RtMidiTransport::Api api = RtMidiTransport::Api::Any;
    // The in-process virtual instrument; the default when no port is named.
    bool useVirtual = false;
    // Who the in-process instrument is and which faults it has (--virtual-model, --virtual-faults).
    InstrumentSettings instrument;
    // The pause after each message of a bulk, in ms; -1 keeps the default (none for the in-process
    // instrument, the device's own for real ports).
    int paceMs = -1;
    // The instrument's SysEx device number, 1-16.
    int deviceNumber = 1;
    // The instrument's receive channel, 1-16; 0: ask the instrument when a command needs it.
    int channel = 0;
};

// A device wired to an instrument: real ports through RtMidi, or the virtual instrument over an
// in-process cable.
class Session {
public:
    static std::unique_ptr<Session> open(const SessionOptions& options, QString* error);
    ~Session();

    Motif& device() { return *device_; }
    // Null on real ports.
    VirtualInstrument* instrument() { return instrument_.get(); }
    bool isVirtual() const { return instrument_ != nullptr; }

private:
    Session() = default;

    std::unique_ptr<MidiTransport> hostEnd_;
    std::unique_ptr<MidiTransport> instrumentEnd_;
    std::unique_ptr<VirtualInstrument> instrument_;
    std::unique_ptr<Motif> device_;
};
