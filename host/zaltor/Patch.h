#pragma once

#include <QString>
#include <cstdint>

// A bank is the 16-bit bank select pair: MSB in the high byte, LSB in the low byte.
using Bank = std::uint16_t;

// A patch location as MIDI selects it: bank select MSB and LSB, then a program change.
class Patch {
public:
    static constexpr std::uint32_t InvalidValue = 0xFFFFFFFF;

    Patch() = default;
    Patch(Bank bank, int program) : Patch(bank >> 8, bank & 0xFF, program) {}
    Patch(int msb, int lsb, int program);
    // The packed value: bank in bits 8-23, program in bits 0-7.
    static Patch fromValue(std::uint32_t value);

    Bank bank() const { return static_cast<Bank>((msb_ << 8) | lsb_); }
    int msb() const { return msb_; }
    int lsb() const { return lsb_; }
    int program() const { return program_; }
    bool isValid() const { return valid_; }
    std::uint32_t value() const
    {
        return valid_ ? (std::uint32_t(bank()) << 8) | std::uint32_t(program_) : InvalidValue;
    }

    bool operator==(const Patch& other) const { return value() == other.value(); }

private:
    int msb_ = 0;
    int lsb_ = 0;
    int program_ = 0;
    bool valid_ = false;
};
