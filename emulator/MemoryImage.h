#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

// The instrument's system settings as blocks of bytes keyed by their start address (0xHHMMLL).
// Patches are kept apart, by bulk control (PatchMemory).
class MemoryImage {
public:
    // Makes address part of the image, holding value; the block of its page grows to reach it.
    void define(std::uint32_t address, std::uint8_t value);
    // The byte at address, nothing when no block holds it.
    std::optional<std::uint8_t> byteAt(std::uint32_t address) const;
    // False, changing nothing, when no block holds address.
    bool setByte(std::uint32_t address, std::uint8_t value);

private:
    std::map<std::uint32_t, std::vector<std::uint8_t>> blocks_;
};
