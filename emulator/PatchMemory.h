#pragma once

#include "emulator/PatchLayout.h"

#include <QString>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

// The instrument's patches: the user banks, the banks of the PLG boards that are installed, and
// the six edit buffers, each found by its bulk control (bank base plus program, e.g. 0x0805 for
// USER1 program 5, or the edit buffer's control). Mixes belong to songs; only the mix edit buffer
// is reachable by bulk.
class PatchMemory {
public:
    // Which of the three PLG slots hold a board.
    using PlgBoards = std::array<bool, 3>;
    // The bytes of every user location, by bulk control; edit buffers are not part of it.
    using Snapshot = std::map<std::uint16_t, std::vector<std::uint8_t>>;

    struct Patch {
        const PatchLayout* layout;
        std::vector<std::uint8_t> bytes; // the blocks one after the other, as the layout places them
    };

    explicit PatchMemory(PlgBoards boards);

    // The patch at a bulk control; null, and the reason in *error, when the instrument has none there.
    Patch* find(std::uint16_t control, QString* error = nullptr);
    const Patch* find(std::uint16_t control) const;
    // "USER1:005", "DR:USR:031", "voice edit buffer"...; "bulk control 0x0A00" for no patch.
    static QString label(std::uint16_t control);

    struct Location {
        std::uint16_t control;
        PatchType type;
    };
    // The location that a bank select (MSB, LSB) and a program change name; nothing for a bank
    // that is not selected this way.
    static std::optional<Location> selectable(int msb, int lsb, int program);
    // Copies the patch at a location (a preset one included) into the edit buffer of its type,
    // as selecting it does; that type, or null when no patch is there.
    const PatchLayout* loadEditBuffer(std::uint16_t control);

    // The bytes of an edit buffer from address to the end of the block holding it; empty when
    // no edit buffer holds address.
    std::span<std::uint8_t> editBytes(std::uint32_t address);
    std::span<const std::uint8_t> editBytes(std::uint32_t address) const;

    Snapshot snapshot() const;
    // Every location and edit buffer back to the factory image.
    void reset();

private:
    PlgBoards boards_;
    std::map<std::uint16_t, Patch> patches_;
};
