#include "motif/Motif.h"
#include "motif/MotifDump.h"
#include "motif/MotifInitTemplates.h"

#include <span>

using namespace MotifInit;

namespace {
constexpr int VoiceElements = 4;
constexpr int ElementBlocks = 7;
constexpr int DrumKeys = 73;
constexpr int KeyBlocks = 5;
constexpr int PlgParts = 3;
constexpr int MultiExtraBlocks = 5;

// The models of the generation differ in which blocks a patch has and in the order of the
// element and key blocks; any other name gets the common blocks only.
enum class Model { MotifES, RackES, S90ES, MO, Other };

Model modelOf(const QString& name)
{
    if (name == QLatin1String("Motif ES")) return Model::MotifES;
    if (name == QLatin1String("Motif Rack ES")) return Model::RackES;
    if (name == QLatin1String("S90 ES")) return Model::S90ES;
    if (name == QLatin1String("MO")) return Model::MO;
    return Model::Other;
}

void add(MotifDump& dump, std::uint32_t address, std::span<const std::uint8_t> data)
{
    dump.addBulkDump(address, Buffer(data.data(), int(data.size())).toString().toLatin1().constData());
}

// Calls add(unit, kind) for `units` × `kinds` blocks, either unit by unit (every kind of unit 0,
// then of unit 1, ...) or kind by kind (kind 0 of every unit, then kind 1, ...).
template <typename Add>
void addUnits(int units, int kinds, bool byKind, Add add)
{
    for (int i = 0; i < units * kinds; ++i) {
        if (byKind)
            add(i % units, i / units);
        else
            add(i / kinds, i % kinds);
    }
}

std::span<const std::uint8_t> elementBlock(int element, int kind, bool s90)
{
    static constexpr std::span<const std::uint8_t> Rest[] = {B420000, B430000, B440000, B440040, B440050};
    if (kind == 0) {
        if (s90) return element == 0 ? std::span(S90B410000) : std::span(S90B410100);
        return element == 0 ? std::span(B410000) : std::span(B410100);
    }
    if (kind == 1)
        return s90 ? std::span<const std::uint8_t>(S90B410020) : std::span<const std::uint8_t>(B410020);
    return Rest[kind - 2];
}

// Performances and mixes share their layout; they differ in addresses, in the number of parts
// and in the bytes that tell their parts apart.
struct MultiLayout {
    // The common block; the other common blocks follow it at the same offsets in both.
    std::uint32_t common;
    std::span<const std::uint8_t> commonData;
    std::span<const std::uint8_t> common100;
    std::span<const std::uint8_t> common200;
    std::uint32_t parts;
    int partCount;
    // A mix part carries its own number in byte 3, a performance part 7F.
    bool numberedParts;
    std::uint32_t plgParts;
    const PartTail* plgTail;
    std::uint32_t extra;
};

constexpr MultiLayout PerformanceLayout{.common = 0x300000,
                                        .commonData = B300000,
                                        .common100 = B460100,
                                        .common200 = B460200,
                                        .parts = 0x310000,
                                        .partCount = 4,
                                        .numberedParts = false,
                                        .plgParts = 0x316000,
                                        .plgTail = &PerformancePlgPartTail,
                                        .extra = 0x344000};
constexpr MultiLayout MixLayout{.common = 0x360000,
                                .commonData = B360000,
                                .common100 = B400100,
                                .common200 = B400200,
                                .parts = 0x370000,
                                .partCount = 16,
                                .numberedParts = true,
                                .plgParts = 0x376000,
                                .plgTail = &MixPlgPartTail,
                                .extra = 0x384000};

void addMulti(MotifDump& dump, const MultiLayout& layout, Model model)
{
    // Only the keyboards have every block and the third PLG part; the rack has two PLG parts.
    const bool full = model == Model::MotifES || model == Model::S90ES;
    const bool twoPlgParts = full || model == Model::RackES;
    const std::uint32_t common = layout.common;
    add(dump, common, layout.commonData);
    add(dump, common + 0x100, layout.common100);
    add(dump, common + 0x200, layout.common200);
    if (full) {
        add(dump, common + 0x300, B400300);
        add(dump, common + 0x400, B400300);
    }
    add(dump, common + 0x1000, B301000);
    add(dump, common + 0x1100, B301100);
    if (full) add(dump, common + 0x2000, B302000);
    for (int p = 0; p < layout.partCount; ++p) {
        const std::uint8_t number = layout.numberedParts ? std::uint8_t(p) : 0x7F;
        add(dump, layout.parts + std::uint32_t(p) * 0x100,
            partBlock(0x00, number, p == 0 ? 0x7F : 0x7C, nullptr));
    }
    for (int q = 0; q < PlgParts; ++q) {
        if (!(q < 2 ? twoPlgParts : full)) continue;
        const std::uint8_t number = layout.numberedParts ? std::uint8_t(q) : 0x7F;
        add(dump, layout.plgParts + std::uint32_t(q) * 0x100,
            partBlock(PlgPartLsb[q], number, 0x7C, layout.plgTail));
    }
    if (full)
        for (int i = 0; i < MultiExtraBlocks; ++i)
            add(dump, layout.extra + std::uint32_t(i) * 0x100, B344000);
}
} // namespace

void VoiceDump::buildInit(const QString& name)
{
    const Model model = modelOf(name);
    add(*this, 0x407000, B407000);
    if (model == Model::RackES) add(*this, 0x400700, B400700);
    add(*this, 0x400000, B400000);
    add(*this, 0x400040, B400040);
    add(*this, 0x400100, B400100);
    add(*this, 0x400200, B400200);
    add(*this, 0x400300, B400300);
    add(*this, 0x400400, B400300);
    add(*this, 0x400500, B400500);
    add(*this, 0x400600, B400600);
    if (model == Model::Other) return;
    const bool s90 = model == Model::S90ES;
    addUnits(VoiceElements, ElementBlocks, model == Model::RackES, [&](int element, int kind) {
        add(*this, VOICE_ELM_PART(element, kind), elementBlock(element, kind, s90));
    });
}

void DrumDump::buildInit(const QString& name)
{
    static constexpr std::span<const std::uint8_t> KeyBlock[] = {B470000, B470020, B480000, B490000, B4A0000};
    const Model model = modelOf(name);
    add(*this, 0x467000, B467000);
    if (model == Model::RackES) add(*this, 0x460600, B400700);
    add(*this, 0x460000, B460000);
    add(*this, 0x460040, B460040);
    add(*this, 0x460100, B460100);
    add(*this, 0x460200, B460200);
    add(*this, 0x460300, B400300);
    add(*this, 0x460400, B400300);
    add(*this, 0x460500, B400500);
    if (model == Model::Other) return;
    addUnits(DrumKeys, KeyBlocks, model == Model::RackES,
             [&](int key, int kind) { add(*this, DRUM_KEY_PART(key, kind), KeyBlock[kind]); });
}

void PLGDump::buildInit(const QString& name)
{
    add(*this, 0x4C7000, B4C7000);
    if (modelOf(name) == Model::RackES) add(*this, 0x4C0600, B400700);
    add(*this, 0x4C0000, B4C0000);
    add(*this, 0x4C0100, B460100);
    add(*this, 0x4C0200, B460200);
    add(*this, 0x4C0300, B400300);
    add(*this, 0x4C0400, B400300);
    add(*this, 0x4C0500, B4C0500);
    add(*this, 0x4C1000, B4C1000);
    add(*this, 0x4C2000, B4C2000);
}

void PerformanceDump::buildInit(const QString& name) { addMulti(*this, PerformanceLayout, modelOf(name)); }

void MixDump::buildInit(const QString& name) { addMulti(*this, MixLayout, modelOf(name)); }

void MasterDump::buildInit(const QString&)
{
    add(*this, 0x330000, B330000);
    add(*this, 0x320000, B320000);
    add(*this, 0x320100, B320100);
    add(*this, 0x320200, B320100);
    add(*this, 0x320300, B320100);
}
