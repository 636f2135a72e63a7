#pragma once

#include "zaltor/MidiTransport.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Rebuilds whole messages from the chunks a MIDI driver hands over. ALSA cuts a long SysEx into
// pieces of its event buffer, and real-time bytes may sit inside a SysEx on the wire: they leave
// as messages of their own while the SysEx goes on. Every byte that cannot belong to a message (a
// SysEx cut short by a new status, a stray F7 or data byte, an oversized SysEx) is dropped and
// counted, so a noisy cable never costs more than the damaged message.
class SysexAssembler {
public:
    static constexpr std::size_t kDefaultMaxSysex = std::size_t{1} << 20;

    // maxSysexBytes bounds a whole SysEx, F0 and F7 included.
    explicit SysexAssembler(std::size_t maxSysexBytes = kDefaultMaxSysex) : maxSysex_(maxSysexBytes) {}

    // The messages completed by this chunk, in arrival order.
    std::vector<MidiBytes> feed(std::span<const std::uint8_t> chunk);
    std::size_t droppedBytes() const { return dropped_; }

private:
    void status(std::uint8_t byte, std::vector<MidiBytes>& out);
    void data(std::uint8_t byte, std::vector<MidiBytes>& out);
    void dropPartial();
    void finish(std::vector<MidiBytes>& out);

    MidiBytes partial_;
    std::size_t expected_ = 0; // length of the short message being collected
    bool inSysex_ = false;
    bool overflow_ = false; // the SysEx outgrew maxSysex_: its bytes are dropped up to F7
    std::size_t maxSysex_;
    std::size_t dropped_ = 0;
};
