#include "zaltor/BulkDump.h"

#include "zaltor/MidiDevice.h"

BulkDump::BulkDump(const BulkDump& other) { *this = other; }

BulkDump& BulkDump::operator=(const BulkDump& other)
{
    if (this == &other) return *this;
    messages_.clear();
    for (const auto& message : other.messages_) messages_.push_back(message->clone());
    return *this;
}

Sysex* BulkDump::at(int i) const { return i >= 0 && i < count() ? messages_[std::size_t(i)].get() : nullptr; }

void BulkDump::append(std::unique_ptr<Sysex> message)
{
    if (message) messages_.push_back(std::move(message));
}

void BulkDump::removeAt(int i)
{
    if (i >= 0 && i < count()) messages_.erase(messages_.begin() + i);
}

Sysex* BulkDump::getSysex(std::uint32_t address) const
{
    for (const auto& message : messages_)
        if (message->getAddress() == address) return message.get();
    return nullptr;
}

void BulkDump::sendToSynth(MidiDevice* device) const
{
    if (!device) return;
    for (const auto& message : messages_) {
        device->sendSysex(message.get());
        device->waitTransmit();
    }
}

std::vector<std::uint8_t> BulkDump::toBytes() const
{
    std::vector<std::uint8_t> out;
    for (const auto& message : messages_)
        out.insert(out.end(), message->bytes().begin(), message->bytes().end());
    return out;
}
