#include "motif/librarian/HeldBlocks.h"

#include "zaltor/BulkDump.h"

HeldBlocks::HeldBlocks(const BulkDump& layout)
    : layout_(layout), blocks_(std::size_t(layout.count())), refused_(std::size_t(layout.count()))
{
}

HeldBlocks::~HeldBlocks() = default;

int HeldBlocks::positionOf(std::uint32_t address) const
{
    for (int i = 0; i < layout_.count(); ++i)
        if (layout_.at(i)->getAddress() == address) return i;
    return -1;
}

int HeldBlocks::take(const BulkDump& reply)
{
    // Blocks carry no location: only the header ahead of them says whose they are.
    if (reply.isEmpty() || !reply.first()->isHeader()) return 0;
    if (!header_) header_ = reply.first()->clone();
    int gained = 0;
    for (int i = 1; i < reply.count(); ++i) {
        const Sysex& block = *reply.at(i);
        if (block.isFooter()) {
            if (!footer_ && block.checksumValid()) footer_ = block.clone();
            continue;
        }
        const std::uint32_t address = block.getAddress();
        const int at = positionOf(address);
        if (at < 0) {
            stranger_ = QString::asprintf("unexpected block %06X (%d bytes)", address, block.dataSize());
            continue;
        }
        QString& refused = refused_[std::size_t(at)];
        const int size = layout_.at(at)->dataSize();
        if (block.dataSize() != size)
            refused = QString::asprintf("block %06X has %d bytes, not %d", address, block.dataSize(), size);
        else if (!block.checksumValid())
            refused = QString::asprintf("bad checksum in the block at %06X", address);
        else if (!blocks_[std::size_t(at)]) {
            blocks_[std::size_t(at)] = block.clone();
            ++gained;
        }
    }
    held_ += gained;
    return gained;
}

BulkDump HeldBlocks::bulk() const
{
    BulkDump out;
    if (!complete()) return out;
    out.append(header_->clone());
    for (const auto& block : blocks_) out.append(block->clone());
    std::unique_ptr<Sysex> footer = (footer_ ? footer_ : header_)->clone();
    // A lost footer is the header again, naming the location under 0F where the header has 0E.
    if (!footer_) footer->setAddress(header_->getAddress() + 0x010000);
    out.append(std::move(footer));
    return out;
}

QString HeldBlocks::missing() const
{
    if (!header_) return QStringLiteral("no reply began with its header");
    int first = -1, count = 0;
    for (int i = 0; i < int(blocks_.size()); ++i) {
        if (blocks_[std::size_t(i)]) continue;
        if (first < 0) first = i;
        ++count;
    }
    if (first < 0) return QString();
    QString text = refused_[std::size_t(first)];
    if (text.isEmpty()) text = QString::asprintf("block %06X missing", layout_.at(first)->getAddress());
    if (count > 1) text += QStringLiteral("; %1 of %2 blocks missing").arg(count).arg(blocks_.size());
    if (!stranger_.isEmpty()) text += QStringLiteral("; ") + stranger_;
    return text;
}
