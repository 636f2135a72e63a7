// Libraries are files the user opens: a .syx stream or the host's own archive of a patch. Read
// into a dump of every type, the bytes must be taken whole or refused with a reason and an empty
// dump; a dump that was read must survive its own archive unchanged; and names, categories and
// patch references must answer within their ranges and keep every block's checksum whole.
#include "FuzzCheck.h"
#include "core/Archive.h"
#include "motif/Motif.h"
#include "motif/MotifDump.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace {
bool checksumsHold(const BulkDump& dump)
{
    for (int i = 0; i < dump.count(); ++i)
        if (!dump.at(i)->checksumValid()) return false;
    return true;
}

std::vector<Patch> references(const PatchDump& dump)
{
    UserPatchList list;
    dump.getUserPatches(&list);
    std::vector<Patch> patches;
    for (int i = 0; i < list.count(); ++i) {
        check(list.patch(i).isValid() && list.device(i) == &device());
        patches.push_back(list.patch(i));
    }
    return patches;
}

void roundTrip(const PatchDump& dump)
{
    Archive out;
    check(dump.toArchive(out));
    Archive in(out.bytes());
    std::unique_ptr<PatchDump> again(device().createPatchDump(dump.type()));
    check(again->fromArchive(in, &device()) && in.eof());
    check(again->toBytes() == dump.toBytes());
}

void exercise(PatchDump& dump, std::uint8_t seed)
{
    for (int i = 0; i < dump.count(); ++i) check(dump.at(i)->isSysex());
    roundTrip(dump);

    check(dump.name(false).size() <= dump.maxNameSize());
    dump.name(true);
    const int category = dump.getCategoryData();
    check(category >= -1 && category < 128 * 128);
    check((category < 0) == dump.printCategory(false).isEmpty());
    check((category < 0) == dump.printCategory(true).isEmpty());
    dump.setCategory(QStringLiteral("Ap:E.GRAND"));
    if (auto* motifDump = dynamic_cast<MotifDump*>(&dump)) {
        motifDump->setCategoryData(seed * 67);
        if (category >= 0) check(dump.getCategoryData() == (seed * 67) % (128 * 128));
    }

    const bool wasWhole = checksumsHold(dump);
    std::vector<Patch> before = references(dump);
    const Patch to(0x3F, seed & 0x7F, (seed * 7) & 0x7F);
    if (!before.empty()) {
        const Patch from = before[seed % before.size()];
        dump.reindexPatch(from, to);
        const std::vector<Patch> after = references(dump);
        check(after.size() == before.size());
        for (std::size_t i = 0; i < after.size(); ++i)
            check(before[i] == from ? after[i] == to : after[i] == before[i]);
    }

    dump.setName(QStringLiteral("Fuzz\x01Name"));
    if (wasWhole) check(checksumsHold(dump));
    roundTrip(dump);
}

void readAs(int type, const std::vector<std::uint8_t>& bytes, std::uint8_t seed)
{
    std::unique_ptr<PatchDump> dump(device().createPatchDump(type));
    for (const bool syx : {true, false}) {
        Archive archive(bytes);
        const bool read = syx ? dump->fromArchive(archive, &device(), QStringLiteral("syx"))
                              : dump->fromArchive(archive, &device());
        if (!read) {
            check(dump->isEmpty() && !dump->errorText().isEmpty());
            continue;
        }
        check(dump->errorText().isEmpty() && (!syx || !dump->isEmpty()));
        exercise(*dump, seed);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> bytes(data, data + size);
    const std::uint8_t seed = size ? data[size - 1] : 0;
    for (int type = 0; type < 6; ++type) readAs(type, bytes, seed);
    return 0;
}
