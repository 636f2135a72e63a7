#pragma once

#include "zaltor/MidiTransport.h"

#include <cstdint>

// Paces another transport like a 31250-baud DIN cable, so that benchmarks over fast in-process
// or JACK connections show the transfer times a real instrument sees. A byte is ten bits on the
// wire (start, eight data, stop): 320 microseconds. Input passes through unchanged.
class WireModel : public MidiTransport {
public:
    static constexpr std::int64_t kByteUs = 320;

    // The inner transport is not owned and must outlive the model.
    explicit WireModel(MidiTransport& inner) : inner_(inner) {}

    // Waits until the message would have left the cable, then passes it on.
    bool send(std::span<const std::uint8_t> message) override;
    void setReceiver(Receiver receiver) override { inner_.setReceiver(std::move(receiver)); }
    QString name() const override { return inner_.name(); }
    bool isOpen() const override { return inner_.isOpen(); }
    QString inputName() const override { return inner_.inputName(); }
    QString outputName() const override { return inner_.outputName(); }
    QString lostPort() const override { return inner_.lostPort(); }

    std::uint64_t bytesSent() const { return bytesSent_; }
    std::int64_t wireTimeUs() const { return wireTimeUs_; }

private:
    MidiTransport& inner_;
    std::uint64_t bytesSent_ = 0;
    std::int64_t wireTimeUs_ = 0;
    // Wire time not slept yet: the clock sleeps whole milliseconds, and dropping the fractions
    // would make a dump of many short blocks come out fast.
    std::int64_t owedUs_ = 0;
};
