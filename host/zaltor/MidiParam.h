#pragma once

#include <QString>
#include <cstdint>

// One parameter of the instrument's address space: where it lives and how many 7-bit bytes its
// value takes on the wire.
class MidiParam {
public:
    static constexpr std::uint32_t NoAddress = 0xFFFFFFFF;

    MidiParam() = default;
    MidiParam(std::uint32_t address, int size, bool isSigned = false, bool readOnly = false)
        : address_(address), size_(size), signed_(isSigned), readOnly_(readOnly)
    {
    }

    std::uint32_t address() const { return address_; }
    int size() const { return size_; }
    bool isSigned() const { return signed_; }
    bool isReadOnly() const { return readOnly_; }
    bool hasAddress() const { return address_ != NoAddress; }

    // The value as `size` 7-bit bytes, most significant first, in hexadecimal text ("01 48").
    QString printMidiBytes(int value) const;
    // The inverse: `size` bytes most significant first, 7 bits each.
    int valueFromBytes(const std::uint8_t* bytes, int count) const;

private:
    std::uint32_t address_ = NoAddress;
    int size_ = 1;
    bool signed_ = false;
    bool readOnly_ = false;
};
