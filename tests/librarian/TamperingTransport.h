#pragma once

#include "InstrumentRig.h"

#include "motif/MotifSysex.h"
#include "zaltor/MidiTransport.h"

#include <functional>
#include <utility>
#include <vector>

// Sits between the device and its cable and lets a test change or drop the bulk messages of one
// address (a voice's name block unless told otherwise) on their way in or out; counts those it saw.
// It can also hold back or drop whatever the instrument sends, and pretend the port went away.
class TamperingTransport : public MidiTransport {
public:
    // Answers false to drop the message.
    using Tamper = std::function<bool(MotifSysex& block, int seen)>;

    explicit TamperingTransport(MidiTransport& inner) : inner_(inner) {}
    bool send(std::span<const std::uint8_t> message) override
    {
        // What was held back lands just after the next request goes out, as a late reply does.
        if (!raw && receiver_)
            for (MidiBytes& late : std::exchange(held, {})) receiver_(std::move(late));
        const auto bytes = tampered(message, out, sent);
        return bytes.empty() || inner_.send(bytes);
    }
    void setReceiver(Receiver receiver) override
    {
        receiver_ = receiver;
        inner_.setReceiver([this, receiver](MidiBytes message) {
            if (raw) raw(message);
            if (message.empty()) return;
            auto bytes = tampered(message, in, received);
            if (receiver && !bytes.empty()) receiver(std::move(bytes));
        });
    }
    QString name() const override { return inner_.name(); }
    bool isOpen() const override { return !gone && inner_.isOpen(); }

    // Drops every message from the instrument.
    void silence()
    {
        raw = [](MidiBytes& message) { message.clear(); };
    }
    // Keeps every message from the instrument in `held` until `raw` is reset.
    void hold()
    {
        raw = [this](MidiBytes& message) { held.push_back(std::exchange(message, {})); };
    }

    Tamper in, out;
    // Sees every message from the instrument before `in`; emptying it drops it.
    std::function<void(MidiBytes&)> raw;
    std::vector<MidiBytes> held;
    bool gone = false;
    std::uint32_t watched = 0x407000;
    int sent = 0, received = 0;

private:
    MidiBytes tampered(std::span<const std::uint8_t> bytes, const Tamper& tamper, int& seen)
    {
        MotifSysex message(bytes);
        if (message.kind() == MotifSysex::BulkDump && message.getAddress() == watched) {
            const bool keep = !tamper || tamper(message, seen);
            ++seen;
            if (!keep) return {};
        }
        const std::span<const std::uint8_t> result = message.bytes();
        return MidiBytes(result.begin(), result.end());
    }

    MidiTransport& inner_;
    Receiver receiver_;
};

// A device and its virtual instrument with the tampering cable between them.
struct TamperedRig {
    TamperedRig() { rig.device.connectPorts(&cable, &cable); }
    // The cable goes before the rig's device, which lets go of its ports as it ends.
    ~TamperedRig() { rig.device.connectPorts(rig.host.get(), rig.host.get()); }

    InstrumentRig rig;
    TamperingTransport cable{*rig.host};
};
