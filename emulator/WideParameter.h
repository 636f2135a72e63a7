#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

// A parameter of the performance or mix edit buffer that takes more than one byte on the wire:
// the arpeggio settings and the insertion effect switch word of the common block, the type and
// parameters of the reverb, chorus and insertion effects, and three settings of every part. The
// instrument takes such a parameter only whole: a change starts at its first byte and carries
// all of its bytes, or it changes nothing.
struct WideParameter {
    std::uint32_t address; // of its first byte
    std::size_t size;

    // The wide parameter that holds the byte at address; nothing for a byte of a one-byte
    // parameter or outside the performance and mix edit buffers.
    static std::optional<WideParameter> holding(std::uint32_t address);
};
