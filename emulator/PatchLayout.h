#pragma once

#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// The six kinds of patch the instrument keeps, numbered as the instrument numbers them.
enum class PatchType { Voice, DrumKit, PlgVoice, Performance, Mix, Master };

inline constexpr std::array<PatchType, 6> allPatchTypes{PatchType::Voice,    PatchType::DrumKit,
                                                        PatchType::PlgVoice, PatchType::Performance,
                                                        PatchType::Mix,      PatchType::Master};

// One block of a patch: its address on the wire, where its bytes lie in the patch, how many.
struct BlockLayout {
    std::uint32_t address;
    std::size_t offset;
    std::size_t size;
};

// The blocks of one patch type in the order the instrument sends them, and the bytes of an
// initialised patch. A patch is held as the bytes of its blocks one after the other; the name
// block comes first, so the name is the patch's first ten bytes.
class PatchLayout {
public:
    static constexpr std::size_t nameSize = 10;

    // Where an address lies in the edit buffers: the patch type that has a block holding it.
    struct Place {
        const PatchLayout* layout = nullptr;
        const BlockLayout* block = nullptr;
    };

    static const PatchLayout& of(PatchType type);
    // Both null when no patch type has a block holding address.
    static Place locate(std::uint32_t address);

    QString name() const { return name_; } // "voice", "drum kit"...
    QString plural() const { return plural_; }
    std::uint16_t editBuffer() const { return editBuffer_; } // the bulk control of its edit buffer
    const std::vector<BlockLayout>& blocks() const { return blocks_; }
    // The block that starts at address, null when the patch has none there.
    const BlockLayout* block(std::uint32_t address) const;
    const std::vector<std::uint8_t>& initBytes() const { return init_; }

private:
    explicit PatchLayout(PatchType type);

    QString name_;
    QString plural_;
    std::uint16_t editBuffer_ = 0;
    std::vector<BlockLayout> blocks_;
    std::vector<std::uint8_t> init_;
};
