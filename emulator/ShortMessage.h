#pragma once

#include <QString>
#include <cstdint>
#include <span>

// A channel or system message other than SysEx, as it arrives whole from a port, taken apart for
// the log: a one-line description, or what is wrong with the bytes.
struct ShortMessage {
    QString description; // e.g. "note on, channel 1: 60 100"
    QString error;       // empty when the bytes are one well-formed message

    static ShortMessage analyse(std::span<const std::uint8_t> message);
};
