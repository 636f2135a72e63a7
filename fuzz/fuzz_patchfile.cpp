// A .syx patch file is whatever the user picks: another model's dump, a recording with clock bytes
// in it, a download cut short. The reader must answer either a patch or a reason, never both;
// what it accepts must be exactly the file (nothing outside its messages dropped unseen), a known
// patch type with every checksum holding; and the one splitting rule must give the stream back
// piece by piece.
#include "FuzzCheck.h"
#include "motif/Motif.h"
#include "motif/MotifSysex.h"
#include "motif/librarian/Librarian.h"
#include "motif/librarian/PatchFile.h"
#include "zaltor/BulkDump.h"
#include "zaltor/PatchDump.h"
#include "zaltor/SysexStream.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace {
void splitsBack(std::span<const std::uint8_t> input)
{
    std::size_t next = 0;
    for (const SysexPiece& piece : SysexStream::split(input)) {
        check(piece.offset == next && !piece.bytes.empty());
        check(piece.whole() == SysexStream::problem(piece).isEmpty());
        next += piece.bytes.size();
    }
    check(next == input.size());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> input(data, size);
    splitsBack(input);
    QString error;
    const LoadedPatch loaded = PatchFile::parse(input, QStringLiteral("input"), device(), &error);
    check(!loaded.dump == !error.isEmpty());
    if (!loaded.dump) return 0;
    check(loaded.dump->type() >= Motif::NormalVoice && loaded.dump->type() <= Motif::Master);
    for (int i = 0; i < loaded.dump->count(); ++i) check(loaded.dump->at(i)->checksumValid());
    check(loaded.framed()->toBytes() == std::vector<std::uint8_t>(input.begin(), input.end()));
    loaded.storedVoice(device());
    Librarian librarian(device());
    check(librarian.describe(*loaded.dump)["type"].toString() == PatchFile::typeName(loaded.dump->type()));
    loaded.dump->name(false);
    return 0;
}
