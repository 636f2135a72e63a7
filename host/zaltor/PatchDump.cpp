#include "zaltor/PatchDump.h"

#include "core/Archive.h"
#include "zaltor/MidiDevice.h"
#include "zaltor/SysexStream.h"

#include <algorithm>

namespace {
// The smallest archive entry of a message: its 32-bit length alone.
constexpr qint64 MinEntrySize = 4;

// A message of the device's class, so that a dump read or copied analyses its messages the way
// the device does; the framework's own class without a device.
std::unique_ptr<Sysex> newMessage(MidiDevice* device, std::span<const std::uint8_t> bytes)
{
    std::unique_ptr<Sysex> message(device ? device->createSysex() : new Sysex());
    message->setBytes(bytes);
    return message;
}
} // namespace

bool PatchDump::fail(const QString& text)
{
    clearDump();
    error_ = text;
    return false;
}

bool PatchDump::fromArchive(Archive& archive, MidiDevice* device)
{
    clearDump();
    error_.clear();
    const std::uint32_t count = archive.readUINT();
    if (archive.failed()) return fail(archive.errorText());
    // A damaged count must not drive a loop far beyond what the archive can hold.
    const qint64 left = archive.size() - archive.pos();
    if (qint64(count) > left / MinEntrySize)
        return fail(
            QStringLiteral("The dump announces %1 messages but only %2 bytes follow").arg(count).arg(left));
    Buffer bytes;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!archive.readBuffer(bytes)) return fail(archive.errorText());
        auto message = newMessage(device, bytes.bytes());
        if (!message->isSysex())
            return fail(
                QStringLiteral("Message %1 of %2 in the dump is not a SysEx message").arg(i + 1).arg(count));
        append(std::move(message));
    }
    return true;
}

bool PatchDump::toArchive(Archive& archive) const
{
    archive.writeUINT(std::uint32_t(count()));
    for (int i = 0; i < count(); ++i) archive.writeBuffer(*at(i));
    return !archive.failed();
}

void PatchDump::copyDump(const BulkDump* source, MidiDevice* device)
{
    if (!source || source == this) return;
    clearDump();
    for (int i = 0; i < source->count(); ++i) append(newMessage(device, source->at(i)->bytes()));
}

QString PatchDump::name(bool withCategory) const
{
    const Sysex* message = first();
    if (!message) return QString();
    const QString text = message->readDataText(0, maxNameSize());
    const QString category = withCategory && hasCategory() ? printCategory(false) : QString();
    return category.isEmpty() ? text : category + ':' + text;
}

void PatchDump::setName(const QString& name)
{
    Sysex* message = first();
    if (!message) return;
    for (int i = 0; i < maxNameSize(); ++i) {
        const char16_t c = i < name.size() ? name[i].unicode() : u' ';
        // The instrument shows printable ASCII only; a question mark marks what it cannot show.
        message->setDataAt(i, c >= 0x20 && c < 0x7F ? std::uint8_t(c) : std::uint8_t('?'));
    }
    message->updateChecksum();
}

QString PatchDump::printCategory(bool) const { return QString(); }

bool PatchDump::setCategory(const QString&) { return false; }

bool PatchDump::selectCategory(QWidget*, QPoint) { return false; }

bool PatchDump::fromArchive(Archive& archive, MidiDevice* device, const QString& format)
{
    if (format.compare(QStringLiteral("syx"), Qt::CaseInsensitive) == 0) return readSyx(archive, device);
    return fail(QStringLiteral("Patch dumps cannot be read from \"%1\" files").arg(format));
}

bool PatchDump::readSyx(Archive& archive, MidiDevice* device)
{
    clearDump();
    error_.clear();
    const qint64 start = archive.pos();
    std::vector<std::uint8_t> stream(std::size_t(std::max<qint64>(0, archive.size() - start)));
    if (!archive.read(stream)) return fail(archive.errorText());
    const std::vector<SysexPiece> pieces = SysexStream::split(stream);
    if (const SysexPiece* bad = SysexStream::firstProblem(pieces))
        return fail(SysexStream::problem(*bad, static_cast<long long>(start)));
    for (const SysexPiece& piece : pieces) append(newMessage(device, piece.bytes));
    // A bulk as the instrument sends it is framed; the library keeps only the blocks.
    if (!isEmpty() && first()->isHeader()) removeAt(0);
    if (!isEmpty() && last()->isFooter()) removeAt(count() - 1);
    if (isEmpty()) return fail(QStringLiteral("The file holds no patch data"));
    return true;
}

bool PatchDump::translateDump(MidiDevice*, AddressMap*) { return false; }

void PatchDump::getUserPatches(UserPatchList*) const {}

void PatchDump::reindexPatch(Patch, Patch) {}
