#include "zaltor/MidiPort.h"

#include "core/Buffer.h"
#include "zaltor/MidiMessage.h"

void MidiOutPort::connect(MidiTransport* transport)
{
    transport_ = transport;
    if (transport_ && name_.isEmpty()) name_ = transport_->name();
}

bool MidiOutPort::sendShort(std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
{
    const MidiMessage message(status, data1, data2);
    if (!message.isValid()) return false;
    return sendBytes(message.bytes());
}

bool MidiOutPort::sendSysex(const Buffer& message)
{
    // An empty message is what preparing a message without an address leaves behind; the
    // instrument must never see it.
    if (message.isEmpty()) return false;
    return sendBytes(message.vector());
}

bool MidiOutPort::sendBytes(const MidiBytes& bytes)
{
    if (!stamp_) return deliver(bytes);
    MidiBytes stamped = bytes;
    stamp_(stamped);
    return deliver(stamped);
}

bool MidiOutPort::deliver(const MidiBytes& bytes)
{
    if (tap_) tap_(bytes);
    return transport_ && transport_->send(bytes);
}
