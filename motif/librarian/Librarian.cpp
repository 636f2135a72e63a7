#include "motif/librarian/Librarian.h"

#include "motif/Motif.h"
#include "motif/MotifSysex.h"
#include "motif/librarian/HeldBlocks.h"
#include "motif/librarian/PatchFile.h"
#include "zaltor/PatchDump.h"

namespace {
// What a foreign identity reply says about who answered, in the bytes it sent.
QString describeIdentity(const MidiBytes& reply)
{
    constexpr std::uint8_t Yamaha = 0x43;
    if (reply.size() < 10)
        return QStringLiteral("an instrument whose identity reply is too short to name it");
    if (reply[5] != Yamaha)
        return QString::asprintf("an instrument of manufacturer %02X, not Yamaha", reply[5]);
    return QString::asprintf("a Yamaha model with family code %02X %02X and member code %02X %02X (hex, as "
                             "its identity reply gives them)",
                             reply[6], reply[7], reply[8], reply[9]);
}

bool sameBlocks(const BulkDump& a, const BulkDump& b)
{
    if (a.count() != b.count()) return false;
    for (int i = 0; i < a.count(); ++i)
        if (!(static_cast<const Buffer&>(*a.at(i)) == static_cast<const Buffer&>(*b.at(i)))) return false;
    return true;
}
} // namespace

QString Librarian::connectionAdvice() const
{
    // The device number travels in every request; the user sets it on the instrument as 1-16.
    const int number = device_.deviceNumber();
    const QString in = device_.mainIn().name(), out = device_.mainOut().name();
    return QStringLiteral("in '%1' / out '%2', device number %3: check that the instrument is switched on, "
                          "that its MIDI OUT (or USB) reaches '%1' and '%2' reaches its MIDI IN, and that "
                          "its MIDI device number is %3 or 'all'")
        .arg(in, out)
        .arg(number);
}

QString Librarian::identify()
{
    if (device_.identify(IdentifyWaitMs)) return QString();
    if (!device_.portError().isEmpty())
        return device_.portError() + QStringLiteral(" (") + connectionAdvice() + ')';
    const MidiBytes& reply = device_.lastIdentityReply();
    if (reply.empty())
        return QStringLiteral("no answer to the identity request within %1 ms on %2")
            .arg(IdentifyWaitMs)
            .arg(connectionAdvice());
    return QStringLiteral("the instrument on in '%1' / out '%2' is %3: only Motif ES6/ES7/ES8 are supported")
        .arg(device_.mainIn().name(), device_.mainOut().name(), describeIdentity(reply));
}

QString Librarian::fetch(const PatchLocation& location, BulkDump& bulk)
{
    const QString name = PatchNotation::print(location, device_);
    if (!location.isEditBuffer() && device_.getBulkControl(location.patch) == Motif::NoControl)
        return QStringLiteral("%1 cannot be fetched: its bank has no bulk blocks").arg(name);
    const int type = location.isEditBuffer() ? location.editType : device_.bankType(location.patch.bank());
    const BulkDump* layout = device_.layoutOf(type);
    if (!layout) return QStringLiteral("%1 cannot be fetched: it holds no patch type").arg(name);
    bulk.clear();
    HeldBlocks held(*layout);
    Attempt beforeLast = lastAttempt_;
    int fruitless = 0;
    for (int attempt = 0; attempt < MaxRequests && fruitless < Retries; ++attempt) {
        // Silence after silence, or after a reply that broke off, is an instrument that has gone
        // away: waiting for it again would only delay the end of the run.
        if (attempt > 0 && lastAttempt_ == Attempt::Silent && beforeLast != Attempt::Whole) break;
        const std::uint64_t seen = device_.receivedWhileWaiting();
        BulkDump reply;
        const bool ended = location.isEditBuffer()
                               ? device_.syncEditBufferRequest(location.editType, reply, WaitMs)
                               : device_.syncPatchRequest(location.patch, reply, false);
        const int gained = held.take(reply);
        beforeLast = lastAttempt_;
        lastAttempt_ = ended || held.complete()                 ? Attempt::Whole
                       : device_.receivedWhileWaiting() == seen ? Attempt::Silent
                                                                : Attempt::Partial;
        if (!device_.portError().isEmpty()) return device_.portError();
        if (held.complete()) {
            bulk = held.bulk();
            return QString();
        }
        // A reply whose header was lost is the cable's fault, not a sign that asking again is
        // pointless: only MaxRequests bounds those.
        if (gained == 0 && (!reply.isEmpty() || lastAttempt_ == Attempt::Silent)) ++fruitless;
    }
    if (!held.started() && lastAttempt_ == Attempt::Silent)
        // The identity request goes to every device number, a bulk request only to one: an
        // instrument that answered the first and not the second is most often set to another.
        return QStringLiteral("no bulk from the instrument for %1 within %2 ms: check that its MIDI device "
                              "number is %3 or 'all' (--device)")
            .arg(name)
            .arg(WaitMs)
            .arg(device_.deviceNumber());
    return QStringLiteral("the bulk for %1 is not a whole %2: %3")
        .arg(name, PatchFile::typeName(type), held.missing());
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
        // Sending again cannot help an instrument that answers nothing at all.
        if (!error.isEmpty() && (lastFetchSilent() || !device_.portError().isEmpty())) return error;
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
