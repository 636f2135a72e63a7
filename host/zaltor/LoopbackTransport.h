#pragma once

#include "zaltor/MidiTransport.h"

#include <memory>
#include <mutex>
#include <utility>

// One end of an in-process MIDI cable. What one end sends reaches the other end's receiver at
// once, on the sender's thread, so an in-process peer answers before send() returns.
class LoopbackTransport : public MidiTransport {
public:
    using Pair = std::pair<std::unique_ptr<LoopbackTransport>, std::unique_ptr<LoopbackTransport>>;
    static Pair createPair(const QString& nameA, const QString& nameB);

    ~LoopbackTransport() override;
    bool send(std::span<const std::uint8_t> message) override;
    void setReceiver(Receiver receiver) override;
    QString name() const override { return name_; }
    bool isOpen() const override;

private:
    struct Cable;
    LoopbackTransport(std::shared_ptr<Cable> cable, int side, QString name);

    std::shared_ptr<Cable> cable_;
    int side_;
    QString name_;
};
