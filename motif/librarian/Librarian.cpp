#include "motif/librarian/Librarian.h"

#include "motif/Motif.h"
#include "motif/MotifSysex.h"
#include "motif/librarian/PatchFile.h"
#include "zaltor/PatchDump.h"

namespace {
QString badChecksum(const BulkDump& bulk)
{
    for (int i = 0; i < bulk.count(); ++i)
        if (!bulk.at(i)->checksumValid())
            return QString::asprintf("bad checksum in the block at %06X", bulk.at(i)->getAddress());
    return QString();
}

bool sameBlocks(const BulkDump& a, const BulkDump& b)
{
    if (a.count() != b.count()) return false;
    for (int i = 0; i < a.count(); ++i)
        if (!(static_cast<const Buffer&>(*a.at(i)) == static_cast<const Buffer&>(*b.at(i)))) return false;
    return true;
}
} // namespace

QString Librarian::fetch(const PatchLocation& location, BulkDump& bulk)
{
    QString error;
    for (int attempt = 0; attempt <= Retries; ++attempt) {
        const bool ok = location.isEditBuffer()
                            ? device_.syncEditBufferRequest(location.editType, bulk, WaitMs)
                            : device_.syncPatchRequest(location.patch, bulk, false);
        if (!ok) {
            error = QStringLiteral("no bulk from the instrument for %1 within %2 ms")
                        .arg(PatchNotation::print(location, device_))
                        .arg(WaitMs);
            if (!location.isEditBuffer() && device_.getBulkControl(location.patch) == Motif::NoControl)
                return QStringLiteral("%1 cannot be fetched: its bank has no bulk blocks")
                    .arg(PatchNotation::print(location, device_));
            continue;
        }
        error = badChecksum(bulk);
        if (error.isEmpty()) return QString();
    }
    return error;
}

QString Librarian::send(const PatchLocation& location, PatchDump& dump)
{
    if (location.isEditBuffer()) {
        if (location.editType != dump.type())
            return QStringLiteral("a %1 cannot go to edit:%2")
                .arg(PatchFile::typeName(dump.type()), PatchFile::typeName(location.editType));
        device_.toEditBuffer(&dump);
        return QString();
    }
    const int bankType = device_.bankType(location.patch.bank());
    if (device_.getBulkControl(location.patch) == Motif::NoControl || bankType != dump.type() ||
        !device_.isUserBank(location.patch.bank()))
        return QStringLiteral("a %1 cannot be stored at %2")
            .arg(PatchFile::typeName(dump.type()), PatchNotation::print(location, device_));
    device_.patchTransmit(location.patch, &dump, false);
    return QString();
}

QString Librarian::sendVerified(const PatchLocation& location, PatchDump& dump)
{
    QString error;
    for (int attempt = 0; attempt <= Retries; ++attempt) {
        error = send(location, dump);
        if (!error.isEmpty()) return error;
        BulkDump back;
        error = fetch(location, back);
        if (!error.isEmpty()) continue;
        device_.strip(&back);
        if (sameBlocks(back, dump)) return QString();
        error = QStringLiteral("%1 reads back different from what was sent")
                    .arg(PatchNotation::print(location, device_));
    }
    return error;
}

std::unique_ptr<PatchDump> Librarian::toDump(const BulkDump& bulk)
{
    BulkDump blocks(bulk);
    device_.strip(&blocks);
    const int type = blocks.isEmpty() ? -1 : PatchFile::typeOfBlock(blocks.first()->getAddress());
    if (type < 0) return nullptr;
    std::unique_ptr<PatchDump> dump(device_.createPatchDump(type));
    dump->copyDump(&blocks, &device_);
    return dump;
}

QJsonObject Librarian::describe(const PatchDump& dump)
{
    QJsonObject out{{"type", PatchFile::typeName(dump.type())}, {"name", dump.name(false)}};
    if (dump.hasCategory()) out.insert("category", dump.printCategory(true));
    return out;
}

std::vector<int> Librarian::installedPlgSlots() const
{
    std::vector<int> boards;
    for (int slot = 0; slot < 3; ++slot)
        if (!device_.plgName(slot).isEmpty()) boards.push_back(slot + 1);
    return boards;
}

std::vector<PatchLocation> Librarian::userLocations(const std::vector<int>& plgSlots) const
{
    std::vector<PatchLocation> out;
    for (const MotifBanks::BankRow& bank : MotifBanks::backupBanks(plgSlots))
        for (int program = 0; program < bank.programs; ++program)
            out.push_back({Patch(bank.bank, program), -1});
    return out;
}
