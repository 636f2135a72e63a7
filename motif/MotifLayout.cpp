// Whether a received bulk is what the instrument sends for a patch: its messages belong to the
// request, and its blocks are those of the patch type's layout. A USB-MIDI interface that drops
// one message would otherwise leave a short patch that looks whole.
#include "motif/Motif.h"
#include "motif/MotifSysex.h"
#include "zaltor/BulkDump.h"

namespace {
constexpr unsigned int HeaderBase = 0x0E0000;
constexpr unsigned int FooterBase = 0x0F0000;
// The model id of the Motif ES generation, bytes 3 and 4 of every message.
constexpr std::uint8_t ModelId[] = {0x7F, 0x00};
} // namespace

bool Motif::isReplyTo(unsigned int control, const Sysex& message)
{
    if (message.kind() != MotifSysex::BulkDump || message.size() < 5 || message.at(3) != ModelId[0] ||
        message.at(4) != ModelId[1])
        return false;
    if (message.isHeader()) return message.getAddress() == HeaderBase + control;
    if (message.isFooter()) return message.getAddress() == FooterBase + control;
    return true;
}

const BulkDump* Motif::layoutOf(int type) const
{
    // The init patch of each type has every block the instrument sends for that type.
    const BulkDump* const layouts[] = {getInitVoice(),       getInitDrumVoice(), getInitPlgVoice(),
                                       getInitPerformance(), getInitMix(),       getInitMaster()};
    return type >= 0 && type < int(std::size(layouts)) ? layouts[type] : nullptr;
}
