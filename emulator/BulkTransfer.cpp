#include "emulator/BulkTransfer.h"

#include "emulator/EsWire.h"

#include <QStringList>

namespace {

constexpr std::uint32_t bulkHeader = 0x0E0000;
constexpr std::uint32_t bulkFooter = 0x0F0000;

std::uint16_t controlOf(std::uint32_t address) { return std::uint16_t(address & 0xFFFF); }

BulkTransfer::Outcome refusal(const QString& reason)
{
    BulkTransfer::Outcome outcome;
    outcome.error = reason;
    return outcome;
}

BulkTransfer::Outcome note(const QString& description)
{
    BulkTransfer::Outcome outcome;
    outcome.description = description;
    return outcome;
}

} // namespace

BulkTransfer::Outcome BulkTransfer::request(std::uint32_t address) const
{
    if ((address & 0xFF0000) != bulkHeader)
        return refusal(QString::asprintf(
            "dump request for 0x%06X: only whole bulks (0x0Emmll) can be requested", address));
    const std::uint16_t control = controlOf(address);
    QString reason;
    const PatchMemory::Patch* patch = memory_.find(control, &reason);
    if (!patch) return refusal(QString::asprintf("dump request for 0x%06X: ", address) + reason);

    Outcome outcome;
    outcome.replies.push_back(EsWire::bulkDump(bulkHeader | control, {}));
    const std::span<const std::uint8_t> bytes(patch->bytes);
    for (const BlockLayout& block : patch->layout->blocks())
        outcome.replies.push_back(EsWire::bulkDump(block.address, bytes.subspan(block.offset, block.size)));
    outcome.replies.push_back(EsWire::bulkDump(bulkFooter | control, {}));
    outcome.description = QStringLiteral("dump request: %1, answered with %2 blocks")
                              .arg(PatchMemory::label(control))
                              .arg(patch->layout->blocks().size());
    return outcome;
}

BulkTransfer::Outcome BulkTransfer::receive(const EsMessage& bulk)
{
    if (!bulk.checksumOk())
        return reject(QString::asprintf("bad checksum 0x%02X in bulk dump to 0x%06X (expected 0x%02X)",
                                        bulk.checksum, bulk.address, bulk.expectedChecksum));
    switch (bulk.address & 0xFF0000) {
    case bulkHeader:
        return header(bulk);
    case bulkFooter:
        return footer(bulk);
    default:
        return bulk.address == storeCommand ? store(bulk) : block(bulk);
    }
}

BulkTransfer::Outcome BulkTransfer::header(const EsMessage& bulk)
{
    const std::uint16_t control = controlOf(bulk.address);
    QStringList problems;
    if (open_)
        problems.append(QStringLiteral("the bulk to %1 had no footer and is dropped")
                            .arg(PatchMemory::label(open_->control)));
    open_.reset();

    QString reason;
    const PatchMemory::Patch* patch = memory_.find(control, &reason);
    if (!bulk.data.empty())
        problems.append(
            QString::asprintf("bulk header 0x%06X carries %zu data bytes", bulk.address, bulk.data.size()));
    else if (!patch)
        problems.append(QString::asprintf("bulk header 0x%06X: ", bulk.address) + reason);
    else
        open_ = Open{control, patch->layout, {}, 0};
    if (!problems.isEmpty()) return refusal(problems.join(QStringLiteral("; ")));
    return note(QStringLiteral("bulk header: %1").arg(PatchMemory::label(control)));
}

BulkTransfer::Outcome BulkTransfer::block(const EsMessage& bulk)
{
    if (!open_)
        return refusal(
            QString::asprintf("bulk dump to 0x%06X outside a bulk (no header before it)", bulk.address));
    const PatchLayout& layout = *open_->layout;
    const BlockLayout* block = layout.block(bulk.address);
    if (!block)
        return reject(QString::asprintf("bulk dump to 0x%06X: a %s has no such block", bulk.address,
                                        qPrintable(layout.name())));
    if (bulk.data.size() != block->size)
        return reject(QString::asprintf("bad size: block 0x%06X of a %s holds %zu bytes, got %zu",
                                        block->address, qPrintable(layout.name()), block->size,
                                        bulk.data.size()));
    open_->blocks[std::size_t(block - layout.blocks().data())] = bulk.data;
    return note(QString::asprintf("bulk block 0x%06X (%zu bytes) for ", block->address, block->size) +
                PatchMemory::label(open_->control));
}

BulkTransfer::Outcome BulkTransfer::footer(const EsMessage& bulk)
{
    if (!open_) return refusal(QString::asprintf("bulk footer 0x%06X without a header", bulk.address));
    const Open closed = std::move(*open_);
    open_.reset();
    const QString target = PatchMemory::label(closed.control);
    if (controlOf(bulk.address) != closed.control)
        return refusal(
            QString::asprintf("bulk footer 0x%06X does not match the header; the bulk to %s is dropped",
                              bulk.address, qPrintable(target)));
    if (!bulk.data.empty())
        return refusal(
            QString::asprintf("bulk footer 0x%06X carries %zu data bytes; the bulk to %s is dropped",
                              bulk.address, bulk.data.size(), qPrintable(target)));
    if (closed.errors)
        return note(QStringLiteral("bulk footer: %1 left unchanged, rejected messages in its bulk: %2")
                        .arg(target)
                        .arg(closed.errors));

    PatchMemory::Patch& patch = *memory_.find(closed.control);
    for (const auto& [index, bytes] : closed.blocks)
        std::copy(bytes.begin(), bytes.end(),
                  patch.bytes.begin() + std::ptrdiff_t(closed.layout->blocks()[index].offset));
    return note(
        QStringLiteral("bulk footer: %1 written from %2 blocks").arg(target).arg(closed.blocks.size()));
}

BulkTransfer::Outcome BulkTransfer::store(const EsMessage& bulk)
{
    if (!bulk.data.empty())
        return reject(
            QString::asprintf("store command 0x%06X carries %zu data bytes", bulk.address, bulk.data.size()));
    ++stores_;
    // The instrument writes its edit buffers to flash here; the memory image has nothing to copy.
    return note(QStringLiteral("store command (store %1)").arg(stores_));
}

BulkTransfer::Outcome BulkTransfer::reject(const QString& reason)
{
    if (open_) ++open_->errors;
    return refusal(reason);
}
