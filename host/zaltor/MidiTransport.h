#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

// One complete MIDI message: a short message (status and data bytes) or a whole F0...F7 SysEx.
using MidiBytes = std::vector<std::uint8_t>;

// Where MIDI bytes go and come from: a real port (RtMidi), an in-process loopback pair, or a
// decorator around either. A transport delivers received messages to its receiver, possibly on
// another thread; callers that need them on their own thread put a MidiInbox in between.
class MidiTransport {
public:
    using Receiver = std::function<void(MidiBytes)>;

    virtual ~MidiTransport() = default;
    // Sends one complete message; false when the transport cannot send (closed, rejected).
    virtual bool send(std::span<const std::uint8_t> message) = 0;
    // Replaces the receiver; an empty function drops input.
    virtual void setReceiver(Receiver receiver) = 0;
    virtual QString name() const = 0;
    virtual bool isOpen() const = 0;
    // The port we receive from and the one we send to, where one transport has both.
    virtual QString inputName() const { return name(); }
    virtual QString outputName() const { return name(); }
    // Which port went away, once isOpen() answers false.
    virtual QString lostPort() const { return name(); }
};
