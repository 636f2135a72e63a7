#pragma once

#include "zaltor/Sysex.h"

#include <memory>
#include <vector>

class MidiDevice;

// An ordered list of messages that travel together; the dump owns them.
class BulkDump {
public:
    BulkDump() = default;
    virtual ~BulkDump() = default;
    BulkDump(const BulkDump& other);
    BulkDump& operator=(const BulkDump& other);
    BulkDump(BulkDump&&) noexcept = default;
    BulkDump& operator=(BulkDump&&) noexcept = default;

    int count() const { return static_cast<int>(messages_.size()); }
    bool isEmpty() const { return messages_.empty(); }
    Sysex* at(int i) const;
    Sysex* first() const { return at(0); }
    Sysex* last() const { return at(count() - 1); }
    // Takes ownership.
    void append(std::unique_ptr<Sysex> message);
    void append(Sysex* message) { append(std::unique_ptr<Sysex>(message)); }
    void removeAt(int i);
    void clear() { messages_.clear(); }
    // The first message whose analysed address is `address`, or null.
    Sysex* getSysex(std::uint32_t address) const;
    // Every message, in order, each followed by the device's transmit pause.
    void sendToSynth(MidiDevice* device) const;
    // All messages one after another, as a .syx file holds them.
    std::vector<std::uint8_t> toBytes() const;

private:
    std::vector<std::unique_ptr<Sysex>> messages_;
};
