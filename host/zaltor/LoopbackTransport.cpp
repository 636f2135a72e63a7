#include "zaltor/LoopbackTransport.h"

struct LoopbackTransport::Cable {
    std::recursive_mutex mutex;
    Receiver receivers[2];
    bool open[2] = {true, true};
};

LoopbackTransport::Pair LoopbackTransport::createPair(const QString& nameA, const QString& nameB)
{
    auto cable = std::make_shared<Cable>();
    return {std::unique_ptr<LoopbackTransport>(new LoopbackTransport(cable, 0, nameA)),
            std::unique_ptr<LoopbackTransport>(new LoopbackTransport(cable, 1, nameB))};
}

LoopbackTransport::LoopbackTransport(std::shared_ptr<Cable> cable, int side, QString name)
    : cable_(std::move(cable)), side_(side), name_(std::move(name))
{
}

LoopbackTransport::~LoopbackTransport()
{
    std::lock_guard lock(cable_->mutex);
    cable_->open[side_] = false;
    cable_->receivers[side_] = nullptr;
}

bool LoopbackTransport::send(std::span<const std::uint8_t> message)
{
    // The lock is recursive because a peer usually answers from inside its receiver.
    std::lock_guard lock(cable_->mutex);
    const int other = 1 - side_;
    if (!cable_->open[other]) return false;
    if (cable_->receivers[other]) cable_->receivers[other](MidiBytes(message.begin(), message.end()));
    return true;
}

void LoopbackTransport::setReceiver(Receiver receiver)
{
    std::lock_guard lock(cable_->mutex);
    cable_->receivers[side_] = std::move(receiver);
}

bool LoopbackTransport::isOpen() const
{
    std::lock_guard lock(cable_->mutex);
    return cable_->open[1 - side_];
}
