#pragma once

#include "zaltor/MidiTransport.h"

#include <QString>
#include <cstdint>

// Which input delivered a message: the instrument's main port, its secondary port, or the host
// itself (messages echoed by the program, never by the instrument).
enum MidiSource : int { SourceMain = 0, SourceSecondary = 1, SourceHost = 2 };

// A MIDI short message: a status byte and up to two data bytes.
class MidiMessage {
public:
    MidiMessage() = default;
    MidiMessage(std::uint8_t status, std::uint8_t data1 = 0, std::uint8_t data2 = 0);
    // Answers an invalid message (status 0) for bytes that are not a complete short message.
    static MidiMessage fromBytes(std::span<const std::uint8_t> bytes);

    bool isValid() const { return status_ >= 0x80 && status_ != 0xF0 && status_ != 0xF7; }
    std::uint8_t status() const { return status_; }
    std::uint8_t data1() const { return data1_; }
    std::uint8_t data2() const { return data2_; }
    // The message type: the status's high nibble for channel messages, the whole status otherwise.
    std::uint8_t type() const { return status_ >= 0xF0 ? status_ : status_ & 0xF0; }
    int channel() const { return status_ < 0xF0 ? status_ & 0x0F : -1; }
    bool isSongSelect() const { return status_ == 0xF3; }
    bool isProgramChange() const { return type() == 0xC0; }
    bool isControlChange() const { return type() == 0xB0; }
    // How many data bytes follow a status byte (-1 for SysEx framing bytes).
    static int dataLength(std::uint8_t status);
    MidiBytes bytes() const;
    // "B0 00 3F"
    QString toString() const;

private:
    std::uint8_t status_ = 0;
    std::uint8_t data1_ = 0;
    std::uint8_t data2_ = 0;
};
