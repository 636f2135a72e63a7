#pragma once

#include "zaltor/MidiTransport.h"

#include <QString>
#include <functional>

class Buffer;

// A named end of a MIDI connection. The transport behind it is not owned: ports are wired by
// whoever opened the transports (the command line, a test, the host).
class MidiPort {
public:
    virtual ~MidiPort() = default;
    QString name() const { return name_; }
    void setName(const QString& name) { name_ = name; }
    MidiTransport* transport() const { return transport_; }
    bool isConnected() const { return transport_ != nullptr; }

protected:
    QString name_;
    MidiTransport* transport_ = nullptr;
};

class MidiOutPort : public MidiPort {
public:
    // Called with every message this port sends, for monitors and logs.
    using Tap = std::function<void(const MidiBytes&)>;
    // Adjusts every message before it leaves (and before the tap sees it): the owner's one place
    // for what all its messages must carry, such as the device number inside its SysEx.
    using Stamp = std::function<void(MidiBytes&)>;

    void connect(MidiTransport* transport);
    void setTap(Tap tap) { tap_ = std::move(tap); }
    void setStamp(Stamp stamp) { stamp_ = std::move(stamp); }
    bool sendShort(std::uint8_t status, std::uint8_t data1 = 0, std::uint8_t data2 = 0);
    bool sendSysex(const Buffer& message);
    bool sendBytes(const MidiBytes& bytes);

private:
    bool deliver(const MidiBytes& bytes);

    Tap tap_;
    Stamp stamp_;
};
