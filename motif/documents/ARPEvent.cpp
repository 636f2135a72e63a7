#include "motif/documents/ARPEvent.h"

#include "core/Archive.h"
#include "core/VarArgs.h"

#include <limits>

namespace {

// Reads a payload of `length` bytes. A length beyond the bytes left fails the archive instead
// of allocating what a hostile length field asks for.
bool readPayload(Archive& archive, std::uint32_t length, Buffer& data)
{
    if (archive.failed()) return false;
    if (static_cast<qint64>(length) > archive.size() - archive.pos() ||
        length > static_cast<std::uint32_t>(std::numeric_limits<int>::max())) {
        archive.skip(length);
        return false;
    }
    data.allocate(static_cast<int>(length));
    archive >> data;
    return !archive.failed();
}

void writePayload(Archive& archive, const Buffer& data)
{
    archive.writeVarLength(static_cast<std::uint32_t>(data.size()));
    archive << data;
}

} // namespace

MidiMessage ARPEvent::message() const
{
    if (isMeta() || isSysex() || data_.size() < 2) return MidiMessage();
    return MidiMessage(status_, data_.at(0), data_.at(1));
}

void ARPEvent::setMessage(const MidiMessage& message)
{
    status_ = message.status();
    data_ = Buffer{message.data1(), message.data2()};
}

QString ARPEvent::text() const { return data_.readText(0, data_.size()); }

bool ARPEvent::fromArchive(Archive& archive)
{
    data_.reset();
    time_ = archive.readVarLength();
    status_ = archive.readBYTE();
    switch (status_) {
    case MetaStatus:
        metaType_ = archive.readBYTE();
        return readPayload(archive, archive.readVarLength(), data_);
    case SysexStatus:
        return readPayload(archive, archive.readVarLength(), data_);
    case NoteOnStatus: {
        const std::uint8_t note = archive.readBYTE();
        const std::uint8_t velocity = archive.readBYTE();
        setMessage(MidiMessage(status_, note, velocity));
        break;
    }
    case NoteOffStatus:
        setMessage(MidiMessage(status_, archive.readBYTE(), 0));
        break;
    default:
        break;
    }
    return !archive.failed();
}

void ARPEvent::toArchive(Archive& archive) const
{
    archive.writeVarLength(time_);
    archive.writeBYTE(status_);
    switch (status_) {
    case MetaStatus:
        archive.writeBYTE(metaType_);
        writePayload(archive, data_);
        break;
    case SysexStatus:
        writePayload(archive, data_);
        break;
    case NoteOnStatus:
        archive.writeBYTE(data_.at(0));
        archive.writeBYTE(data_.at(1));
        break;
    case NoteOffStatus:
        archive.writeBYTE(data_.at(0));
        break;
    default:
        break;
    }
}

QString ARPEvent::toString() const
{
    if (isMeta() && (metaType_ == 2 || metaType_ == 3))
        return VarArgs("%d: META(%02X)='%s'", time_, metaType_, text()).format();
    if (isMeta()) return VarArgs("%d: META(%02X)=%s", time_, metaType_, data_.toString()).format();
    return VarArgs("%d: %02X %s", time_, status_, data_.toString()).format();
}
