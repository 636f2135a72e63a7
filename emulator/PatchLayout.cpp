#include "emulator/PatchLayout.h"

#include "emulator/InitTemplates.h"

#include <algorithm>
#include <array>
#include <span>

namespace {

using namespace InitTemplates;

// A kind of block and its initial bytes; the address is that of the first repetition.
struct BlockKind {
    std::uint32_t address;
    std::span<const std::uint8_t> init;
};

// Kinds of block the instrument sends together, repeated count times 0x100 apart: the blocks of
// an element, of a drum key, of a part.
struct BlockGroup {
    std::span<const BlockKind> kinds;
    int count;
};

// A byte that differs from repetition to repetition: values[i] is the byte at offset of the
// i-th repetition of the block kind at address.
struct RepeatedByte {
    std::uint32_t address;
    std::size_t offset;
    std::span<const std::uint8_t> values;
};

struct PatchTable {
    const char* name;
    const char* plural;
    std::uint16_t editBuffer;
    std::span<const BlockGroup> groups;
    std::span<const RepeatedByte> repeated;
};

constexpr std::uint32_t repeatStep = 0x100;

constexpr BlockKind voiceCommonBlocks[] = {
    {0x407000, voiceName},  {0x400000, voiceCommon}, {0x400040, voice400040},
    {0x400100, common0100}, {0x400200, common0200},  {0x400300, zeros34},
    {0x400400, zeros34},    {0x400500, common0500},  {0x400600, voice400600},
};
constexpr BlockKind elementBlocks[] = {
    {0x410000, elementCommon}, {0x410020, element0020},   {0x420000, element420000},
    {0x430000, element430000}, {0x440000, element440000}, {0x440040, element440040},
    {0x440050, element440050},
};
constexpr BlockGroup voiceGroups[] = {{voiceCommonBlocks, 1}, {elementBlocks, 4}};
constexpr std::uint8_t elementSwitch[] = {0x01, 0x00, 0x00, 0x00};
constexpr RepeatedByte voiceRepeated[] = {{0x410000, 0, elementSwitch}};

constexpr BlockKind drumCommonBlocks[] = {
    {0x467000, drumName},      {0x460000, drumCommon}, {0x460040, zeros4},  {0x460100, common0100Alt},
    {0x460200, common0200Alt}, {0x460300, zeros34},    {0x460400, zeros34}, {0x460500, common0500},
};
constexpr BlockKind drumKeyBlocks[] = {
    {0x470000, drumKey470000}, {0x470020, drumKey470020}, {0x480000, drumKey480000},
    {0x490000, drumKey490000}, {0x4A0000, element440000},
};
constexpr int drumKeys = 73;
constexpr BlockGroup drumGroups[] = {{drumCommonBlocks, 1}, {drumKeyBlocks, drumKeys}};

constexpr BlockKind plgBlocks[] = {
    {0x4C7000, plgName},       {0x4C0000, plgCommon}, {0x4C0100, common0100Alt},
    {0x4C0200, common0200Alt}, {0x4C0300, zeros34},   {0x4C0400, zeros34},
    {0x4C0500, plg4C0500},     {0x4C1000, plg4C1000}, {0x4C2000, plg4C2000},
};
constexpr BlockGroup plgGroups[] = {{plgBlocks, 1}};

// The byte 1 of a PLG part selects the first preset bank of the board in its slot.
constexpr std::uint8_t plgPartBanks[] = {0x46, 0x49, 0x4C};

constexpr BlockKind performanceCommonBlocks[] = {
    {0x300000, performanceCommon}, {0x300100, common0100Alt}, {0x300200, common0200Alt}, {0x300300, zeros34},
    {0x300400, zeros34},           {0x301000, common1000},    {0x301100, common1100},    {0x302000, zeros68},
};
constexpr BlockKind performancePartBlock[] = {{0x310000, part}};
constexpr BlockKind performancePlgPartBlock[] = {{0x316000, performancePlgPart}};
constexpr BlockKind performance4000Block[] = {{0x344000, part4000}};
constexpr BlockGroup performanceGroups[] = {{performanceCommonBlocks, 1},
                                            {performancePartBlock, 4},
                                            {performancePlgPartBlock, 3},
                                            {performance4000Block, 5}};
constexpr std::uint8_t performancePart31[] = {0x7F, 0x7C, 0x7C, 0x7C};
constexpr RepeatedByte performanceRepeated[] = {{0x310000, 31, performancePart31},
                                                {0x316000, 1, plgPartBanks}};

constexpr BlockKind mixCommonBlocks[] = {
    {0x360000, mixCommon}, {0x360100, common0100}, {0x360200, common0200}, {0x360300, zeros34},
    {0x360400, zeros34},   {0x361000, common1000}, {0x361100, common1100}, {0x362000, zeros68},
};
constexpr BlockKind mixPartBlock[] = {{0x370000, part}};
constexpr BlockKind mixPlgPartBlock[] = {{0x376000, mixPlgPart}};
constexpr BlockKind mix4000Block[] = {{0x384000, part4000}};
constexpr int mixParts = 16;
constexpr BlockGroup mixGroups[] = {
    {mixCommonBlocks, 1}, {mixPartBlock, mixParts}, {mixPlgPartBlock, 3}, {mix4000Block, 5}};
constexpr std::uint8_t mixPartNumbers[] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
                                           0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F};
constexpr std::uint8_t mixPart31[] = {0x7F, 0x7C, 0x7C, 0x7C, 0x7C, 0x7C, 0x7C, 0x7C,
                                      0x7C, 0x7C, 0x7C, 0x7C, 0x7C, 0x7C, 0x7C, 0x7C};
constexpr RepeatedByte mixRepeated[] = {
    {0x370000, 3, mixPartNumbers},
    {0x370000, 31, mixPart31},
    {0x376000, 1, plgPartBanks},
    {0x376000, 3, std::span(mixPartNumbers).first(3)},
};

constexpr BlockKind masterBlocks[] = {
    {0x330000, masterCommon}, {0x320000, master320000}, {0x320100, master320100},
    {0x320200, master320100}, {0x320300, master320100},
};
constexpr BlockGroup masterGroups[] = {{masterBlocks, 1}};

// In the order of PatchType.
constexpr PatchTable tables[] = {
    {"voice", "voices", 0x0F00, voiceGroups, voiceRepeated},
    {"drum kit", "drum kits", 0x2F00, drumGroups, {}},
    {"PLG voice", "PLG voices", 0x1F00, plgGroups, {}},
    {"performance", "performances", 0x4F00, performanceGroups, performanceRepeated},
    {"mix", "mixes", 0x5F00, mixGroups, mixRepeated},
    {"master", "masters", 0x7F00, masterGroups, {}},
};

} // namespace

PatchLayout::PatchLayout(PatchType type)
{
    const PatchTable& table = tables[std::size_t(type)];
    name_ = QString::fromLatin1(table.name);
    plural_ = QString::fromLatin1(table.plural);
    editBuffer_ = table.editBuffer;
    for (const BlockGroup& group : table.groups) {
        for (int i = 0; i < group.count; ++i) {
            for (const BlockKind& kind : group.kinds) {
                const std::size_t offset = init_.size();
                init_.insert(init_.end(), kind.init.begin(), kind.init.end());
                for (const RepeatedByte& r : table.repeated) {
                    if (r.address == kind.address && std::size_t(i) < r.values.size())
                        init_.at(offset + r.offset) = r.values[std::size_t(i)];
                }
                blocks_.push_back({kind.address + std::uint32_t(i) * repeatStep, offset, kind.init.size()});
            }
        }
    }
}

const PatchLayout& PatchLayout::of(PatchType type)
{
    static const std::array<PatchLayout, 6> layouts{
        PatchLayout(PatchType::Voice),    PatchLayout(PatchType::DrumKit),
        PatchLayout(PatchType::PlgVoice), PatchLayout(PatchType::Performance),
        PatchLayout(PatchType::Mix),      PatchLayout(PatchType::Master)};
    return layouts[std::size_t(type)];
}

PatchLayout::Place PatchLayout::locate(std::uint32_t address)
{
    for (PatchType type : allPatchTypes) {
        const PatchLayout& layout = of(type);
        for (const BlockLayout& b : layout.blocks_) {
            if (address >= b.address && address - b.address < b.size) return {&layout, &b};
        }
    }
    return {};
}

const BlockLayout* PatchLayout::block(std::uint32_t address) const
{
    const auto it = std::find_if(blocks_.begin(), blocks_.end(),
                                 [address](const BlockLayout& b) { return b.address == address; });
    return it == blocks_.end() ? nullptr : &*it;
}
