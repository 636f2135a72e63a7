#include "emulator/PatchMemory.h"

#include <algorithm>

namespace {

// A bank: the bulk control of its program 0, what it holds, its bank select (-1 where a bank
// select does not reach it), for the PLG banks the slot (0-2) whose board provides it, and whether
// it is a preset bank, which can be selected but not sent as a bulk.
struct Bank {
    std::uint16_t base;
    PatchType type;
    int size;
    const char* name;
    int msb;
    int lsb;
    int plgSlot = -1;
    bool preset = false;
};

constexpr Bank banks[] = {
    {0x0800, PatchType::Voice, 128, "USER1", 63, 8},
    {0x0900, PatchType::Voice, 128, "USER2", 63, 9},
    {0x2800, PatchType::DrumKit, 32, "DR:USR", 63, 40},
    {0x1800, PatchType::PlgVoice, 64, "P1-USR", 63, 24, 0},
    {0x1900, PatchType::PlgVoice, 64, "P2-USR", 63, 25, 1},
    {0x1A00, PatchType::PlgVoice, 64, "P3-USR", 63, 26, 2},
    {0x4000, PatchType::Performance, 128, "PERF", 63, 64},
    {0x7000, PatchType::Master, 128, "MASTER", -1, -1},
    {0x0000, PatchType::Voice, 128, "PRE1", 63, 0, -1, true},
    {0x0100, PatchType::Voice, 128, "PRE2", 63, 1, -1, true},
    {0x0200, PatchType::Voice, 128, "PRE3", 63, 2, -1, true},
    {0x0300, PatchType::Voice, 128, "PRE4", 63, 3, -1, true},
    {0x0400, PatchType::Voice, 128, "PRE5", 63, 4, -1, true},
    {0x0500, PatchType::Voice, 128, "PRE6", 63, 5, -1, true},
    {0x0600, PatchType::Voice, 128, "GM", 0, 0, -1, true},
    {0x2000, PatchType::DrumKit, 64, "DR:PRE", 63, 32, -1, true},
    {0x2100, PatchType::DrumKit, 1, "DR:GM", 127, 0, -1, true},
};

const Bank* bankOf(std::uint16_t control)
{
    const auto it = std::find_if(std::begin(banks), std::end(banks),
                                 [control](const Bank& b) { return b.base == (control & 0xFF00); });
    return it == std::end(banks) ? nullptr : it;
}

const PatchLayout* editBufferLayout(std::uint16_t control)
{
    for (PatchType type : allPatchTypes) {
        if (PatchLayout::of(type).editBuffer() == control) return &PatchLayout::of(type);
    }
    return nullptr;
}

// Each location carries its own name, so that a backup shows where every patch came from.
std::vector<std::uint8_t> namedInit(const PatchLayout& layout, std::uint16_t control)
{
    std::vector<std::uint8_t> bytes = layout.initBytes();
    const QByteArray name = PatchMemory::label(control).leftJustified(PatchLayout::nameSize).toLatin1();
    std::copy(name.begin(), name.end(), bytes.begin());
    return bytes;
}

} // namespace

PatchMemory::PatchMemory(PlgBoards boards) : boards_(boards) { reset(); }

QString PatchMemory::label(std::uint16_t control)
{
    if (const PatchLayout* layout = editBufferLayout(control))
        return layout->name() + QStringLiteral(" edit buffer");
    const Bank* bank = bankOf(control);
    const int program = control & 0xFF;
    if (bank && program < bank->size) return QString::asprintf("%s:%03d", bank->name, program);
    return QString::asprintf("bulk control 0x%04X", control);
}

PatchMemory::Patch* PatchMemory::find(std::uint16_t control, QString* error)
{
    const auto it = patches_.find(control);
    if (it != patches_.end()) return &it->second;
    if (!error) return nullptr;
    const Bank* bank = bankOf(control);
    if (!bank)
        *error = QString::asprintf("bulk control 0x%04X names no location of this instrument", control);
    else if (bank->preset)
        *error = QString::asprintf(
            "bulk control 0x%04X is in the preset bank %s, which is not sent as a bulk", control, bank->name);
    else if ((control & 0xFF) >= bank->size)
        *error = QString::asprintf("bulk control 0x%04X is beyond %s, which holds %d %s", control, bank->name,
                                   bank->size, qPrintable(PatchLayout::of(bank->type).plural()));
    else
        *error = QString::asprintf("bulk control 0x%04X is in %s, but PLG slot %d has no board", control,
                                   bank->name, bank->plgSlot + 1);
    return nullptr;
}

const PatchMemory::Patch* PatchMemory::find(std::uint16_t control) const
{
    const auto it = patches_.find(control);
    return it == patches_.end() ? nullptr : &it->second;
}

std::optional<PatchMemory::Location> PatchMemory::selectable(int msb, int lsb, int program)
{
    for (const Bank& bank : banks) {
        if (bank.msb >= 0 && bank.msb == msb && bank.lsb == lsb && program >= 0 && program < bank.size)
            return Location{std::uint16_t(bank.base + program), bank.type};
    }
    return std::nullopt;
}

const PatchLayout* PatchMemory::loadEditBuffer(std::uint16_t control)
{
    const Bank* bank = bankOf(control);
    if (!bank || (control & 0xFF) >= bank->size) return nullptr;
    const PatchLayout& layout = PatchLayout::of(bank->type);
    std::vector<std::uint8_t> bytes;
    if (bank->preset) {
        // The factory voices are not modelled: an init patch that carries its location's name.
        bytes = namedInit(layout, control);
    } else if (const Patch* patch = find(control)) {
        bytes = patch->bytes;
    } else {
        return nullptr;
    }
    patches_.at(layout.editBuffer()).bytes = std::move(bytes);
    return &layout;
}

std::span<std::uint8_t> PatchMemory::editBytes(std::uint32_t address)
{
    const PatchLayout::Place place = PatchLayout::locate(address);
    if (!place.layout) return {};
    const std::size_t into = address - place.block->address;
    return std::span(patches_.at(place.layout->editBuffer()).bytes)
        .subspan(place.block->offset + into, place.block->size - into);
}

std::span<const std::uint8_t> PatchMemory::editBytes(std::uint32_t address) const
{
    return const_cast<PatchMemory*>(this)->editBytes(address);
}

PatchMemory::Snapshot PatchMemory::snapshot() const
{
    Snapshot snapshot;
    for (const auto& [control, patch] : patches_) {
        if (!editBufferLayout(control)) snapshot.emplace(control, patch.bytes);
    }
    return snapshot;
}

void PatchMemory::reset()
{
    patches_.clear();
    for (PatchType type : allPatchTypes) {
        const PatchLayout& layout = PatchLayout::of(type);
        patches_.emplace(layout.editBuffer(), Patch{&layout, layout.initBytes()});
    }
    for (const Bank& bank : banks) {
        if (bank.preset) continue;
        if (bank.plgSlot >= 0 && !boards_[std::size_t(bank.plgSlot)]) continue;
        const PatchLayout& layout = PatchLayout::of(bank.type);
        for (int program = 0; program < bank.size; ++program) {
            const std::uint16_t control = std::uint16_t(bank.base + program);
            patches_.emplace(control, Patch{&layout, namedInit(layout, control)});
        }
    }
}
