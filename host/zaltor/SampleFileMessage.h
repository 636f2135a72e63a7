#pragma once

#include "zaltor/SampleFile.h"

#include <QString>
#include <cstdint>
#include <span>
#include <vector>

// What the program that reads a multi-sample file sends back: either the instruments with their
// samples, or the reason the file could not be read. SampleFile trusts nothing in it: a reader
// that a hostile file took over may send anything.
class SampleFileMessage {
public:
    static std::vector<std::uint8_t> encode(const Instruments& instruments);
    static std::vector<std::uint8_t> encodeError(const QString& error);
    // Fills `instruments` from a message and answers true, or answers false with the reader's
    // reason (or "damaged answer") in `error` and no instruments.
    static bool decode(std::span<const std::uint8_t> message, Instruments& instruments, QString& error);
};
