#pragma once

#include "zaltor/MidiTransport.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// One SysEx message the instrument received, taken apart but not yet judged: the model id and
// the checksum are reported as found, so that the instrument can name what was wrong with them.
struct EsMessage {
    enum class Kind { BulkDump, ParameterChange, DumpRequest, ParameterRequest, IdentityRequest };

    Kind kind = Kind::ParameterChange;
    int deviceNumber = 0;      // the low nibble of the kind byte; the whole byte 2 for identity
    std::uint16_t modelId = 0; // bytes 3 and 4, high first (0x7F00 for this generation)
    std::uint32_t address = 0; // 0xHHMMLL
    std::vector<std::uint8_t> data;
    std::uint8_t checksum = 0; // bulk dumps only
    std::uint8_t expectedChecksum = 0;

    bool checksumOk() const { return checksum == expectedChecksum; }
};

// The outcome of EsWire::parse: a message, or the reason why the bytes are none.
struct EsParse {
    std::optional<EsMessage> message;
    QString error;
};

// The instrument's own SysEx wire format: bulk dump, parameter change, dump request and parameter
// request under Yamaha's id with model id 7F 00, plus the universal identity exchange.
class EsWire {
public:
    static constexpr std::uint8_t yamaha = 0x43;
    static constexpr std::uint16_t modelId = 0x7F00;

    // Takes apart one complete F0...F7 message; any shortfall is an error, never a read past the end.
    static EsParse parse(std::span<const std::uint8_t> message);

    static MidiBytes parameterChange(std::uint32_t address, std::span<const std::uint8_t> data);
    static MidiBytes bulkDump(std::uint32_t address, std::span<const std::uint8_t> data);
    // The reply to an identity request; memberCode is the family member code (low byte first on the wire).
    static MidiBytes identityReply(std::uint16_t memberCode);

    // The byte that brings the sum of the given bytes to 0 modulo 128.
    static std::uint8_t checksum(std::span<const std::uint8_t> bytes);
    // Upper-case hexadecimal bytes separated by blanks; long messages are cut after maxBytes.
    static QString toHex(std::span<const std::uint8_t> bytes, int maxBytes = 48);
};
