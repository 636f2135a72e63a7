#include "motif/Motif.h"
#include "motif/MotifDump.h"

#include <vector>

namespace {
constexpr int PlgParts = 3;
// Bit 0 of this byte of a performance part says whether the part's voice counts.
constexpr int PartFlagsByte = 31;
constexpr int MasterPatchByte = 14;

// Where a dump names another patch: bank select MSB, LSB and program number in three data bytes
// of one of its messages.
struct Reference {
    Sysex* message;
    int at;

    Patch patch() const
    {
        return Patch(message->dataAt(at), message->dataAt(at + 1), message->dataAt(at + 2));
    }
    void set(const Patch& patch) const
    {
        message->setDataAt(at, std::uint8_t(patch.msb()));
        message->setDataAt(at + 1, std::uint8_t(patch.lsb()));
        message->setDataAt(at + 2, std::uint8_t(patch.program()));
        message->updateChecksum();
    }
};

// The voices of `count` part blocks from `parts` on, then of the PLG part blocks, skipping the
// blocks the dump lacks; with `flagged`, only the parts whose flag bit is set.
std::vector<Reference> partReferences(const BulkDump& dump, std::uint32_t parts, int count,
                                      std::uint32_t plgParts, bool flagged)
{
    std::vector<Reference> found;
    const auto take = [&](std::uint32_t address) {
        Sysex* part = dump.getSysex(address);
        if (!part || part->dataSize() < 3) return;
        if (flagged && (part->dataAt(PartFlagsByte) < 0 || !(part->dataAt(PartFlagsByte) & 1))) return;
        found.push_back({part, 0});
    };
    for (int p = 0; p < count; ++p) take(parts + std::uint32_t(p) * 0x100);
    for (int q = 0; q < PlgParts; ++q) take(plgParts + std::uint32_t(q) * 0x100);
    return found;
}

std::vector<Reference> performanceReferences(const BulkDump& dump)
{
    return partReferences(dump, 0x310000, 4, 0x316000, true);
}

std::vector<Reference> mixReferences(const BulkDump& dump)
{
    return partReferences(dump, 0x370000, 16, 0x376000, false);
}

std::vector<Reference> masterReferences(const BulkDump& dump)
{
    Sysex* common = dump.first();
    if (!common || common->dataSize() < MasterPatchByte + 3) return {};
    return {{common, MasterPatchByte}};
}

void report(const std::vector<Reference>& references, UserPatchList* list, Motif* device)
{
    if (!list) return;
    for (const Reference& reference : references) list->add(reference.patch(), device);
}

void rewrite(const std::vector<Reference>& references, const Patch& from, const Patch& to)
{
    // A patch beyond the 7-bit bytes is neither in a block nor can be written into one.
    if (!from.isValid() || !to.isValid()) return;
    for (const Reference& reference : references)
        if (reference.patch().value() == from.value()) reference.set(to);
}
} // namespace

void PerformanceDump::getUserPatches(UserPatchList* list) const
{
    report(performanceReferences(*this), list, device());
}

void PerformanceDump::reindexPatch(Patch from, Patch to) { rewrite(performanceReferences(*this), from, to); }

void MixDump::getUserPatches(UserPatchList* list) const { report(mixReferences(*this), list, device()); }

void MixDump::reindexPatch(Patch from, Patch to) { rewrite(mixReferences(*this), from, to); }

void MasterDump::getUserPatches(UserPatchList* list) const
{
    report(masterReferences(*this), list, device());
}

void MasterDump::reindexPatch(Patch from, Patch to) { rewrite(masterReferences(*this), from, to); }
