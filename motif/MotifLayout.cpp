// Whether a received bulk is what the instrument sends for a patch: its messages belong to the
// request, and its blocks are those of the patch type, in the instrument's order and sizes. A
// USB-MIDI interface that drops one message would otherwise leave a short patch that looks whole.
#include "motif/Motif.h"
#include "motif/MotifSysex.h"
#include "zaltor/BulkDump.h"

namespace {
constexpr unsigned int HeaderBase = 0x0E0000;
constexpr unsigned int FooterBase = 0x0F0000;
// The model id of the Motif ES generation, bytes 3 and 4 of every message.
constexpr std::uint8_t ModelId[] = {0x7F, 0x00};

int indexOf(const BulkDump& blocks, std::uint32_t address, int from)
{
    for (int i = from; i < blocks.count(); ++i)
        if (blocks.at(i)->getAddress() == address) return i;
    return -1;
}
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

QString Motif::layoutError(int type, const BulkDump& blocks) const
{
    // The init patch of each type has every block the instrument sends for that type.
    BulkDump* const layouts[] = {getInitVoice(),       getInitDrumVoice(), getInitPlgVoice(),
                                 getInitPerformance(), getInitMix(),       getInitMaster()};
    if (type < 0 || type >= int(std::size(layouts))) return QStringLiteral("no patch type %1").arg(type);
    const BulkDump& layout = *layouts[type];
    int got = 0;
    for (int want = 0; want < layout.count(); ++want, ++got) {
        const std::uint32_t address = layout.at(want)->getAddress();
        if (got >= blocks.count()) return QString::asprintf("block %06X missing", address);
        const Sysex& block = *blocks.at(got);
        if (block.getAddress() != address) {
            // A block of the layout further on means this one was lost; one elsewhere, a
            // misplaced block; one of no layout, a stranger.
            if (indexOf(blocks, address, got + 1) >= 0)
                return QString::asprintf("block %06X out of order", address);
            if (indexOf(layout, block.getAddress(), want + 1) >= 0)
                return QString::asprintf("block %06X missing", address);
            return QString::asprintf("unexpected block %06X (%d bytes)", block.getAddress(),
                                     block.dataSize());
        }
        if (block.dataSize() != layout.at(want)->dataSize())
            return QString::asprintf("block %06X has %d bytes, not %d", address, block.dataSize(),
                                     layout.at(want)->dataSize());
    }
    if (got < blocks.count())
        return QString::asprintf("unexpected block %06X (%d bytes)", blocks.at(got)->getAddress(),
                                 blocks.at(got)->dataSize());
    return QString();
}
