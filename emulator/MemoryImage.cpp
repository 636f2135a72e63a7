#include "emulator/MemoryImage.h"

namespace {

// The byte at address in the block that starts at or before it, if that block reaches so far.
template <typename Blocks>
auto* locate(Blocks& blocks, std::uint32_t address)
{
    auto it = blocks.upper_bound(address);
    decltype(&it->second[0]) byte = nullptr;
    if (it == blocks.begin()) return byte;
    --it;
    const std::uint32_t offset = address - it->first;
    if (offset < it->second.size()) byte = &it->second[offset];
    return byte;
}

} // namespace

void MemoryImage::define(std::uint32_t address, std::uint8_t value)
{
    auto& block = blocks_[address & 0xFFFF00];
    const std::size_t offset = address & 0xFF;
    if (block.size() <= offset) block.resize(offset + 1, 0);
    block[offset] = value;
}

std::optional<std::uint8_t> MemoryImage::byteAt(std::uint32_t address) const
{
    const std::uint8_t* byte = locate(blocks_, address);
    return byte ? std::optional<std::uint8_t>(*byte) : std::nullopt;
}

bool MemoryImage::setByte(std::uint32_t address, std::uint8_t value)
{
    std::uint8_t* byte = locate(blocks_, address);
    if (byte) *byte = value;
    return byte != nullptr;
}
