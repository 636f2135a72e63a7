#include "motif/documents/XS_DWFIM.h"

#include "core/Archive.h"
#include "core/VarArgs.h"

#include <memory>

namespace {
// DWFM opens with the key bank count and the pitch offset, 16 bits each; DWIM with the count of
// sample channels.
constexpr std::uint32_t WfmHeader = 4;
constexpr std::uint32_t WimHeader = 4;

// Reads an item's size field and answers where the item ends, or -1 when the item cannot hold
// its header or runs past the end of the archive.
qint64 itemEnd(Archive& archive, std::uint32_t header)
{
    const std::uint32_t size = archive.readUINT();
    if (archive.failed() || size < header || size > archive.size() - archive.pos()) return -1;
    return archive.pos() + size;
}

// Whatever the outcome, the next item starts where the size field says this one ends.
void skipTo(Archive& archive, qint64 end)
{
    if (end >= 0 && !archive.failed()) archive.seek(end);
}
} // namespace

XS_DWFIM::XS_DWFIM(const XS_DWFIM& other) : pitchOffset_(other.pitchOffset_)
{
    for (const auto& keybank : other.keybanks_) keybanks_.append(std::make_unique<XS_Keybank>(*keybank));
}

XS_DWFIM& XS_DWFIM::operator=(const XS_DWFIM& other)
{
    if (this != &other) {
        // Copied aside first, so that running out of memory leaves the target as it was.
        XS_DWFIM copy(other);
        pitchOffset_ = copy.pitchOffset_;
        keybanks_ = std::move(copy.keybanks_);
    }
    return *this;
}

int XS_DWFIM::sampleCount() const
{
    int count = 0;
    for (const auto& keybank : keybanks_) count += keybank->format().isStereo() ? 2 : 1;
    return count;
}

void XS_DWFIM::calcSizes(int& wfmSize, int& wimSize) const
{
    wfmSize = static_cast<int>(WfmHeader) + XS_Keybank::RecordSize * keybankCount();
    wimSize = static_cast<int>(WimHeader);
    for (const auto& keybank : keybanks_) {
        wimSize += 4 + keybank->channelSize(0);
        if (keybank->format().isStereo()) wimSize += 4 + keybank->channelSize(1);
    }
}

void XS_DWFIM::writeWFM(Archive& archive) const
{
    archive.willPutSize();
    archive.writeValueR(static_cast<std::uint32_t>(keybankCount()), 2);
    archive.writeValueR(static_cast<std::uint32_t>(pitchOffset_), 2);
    for (const auto& keybank : keybanks_) keybank->storeWFM(archive);
    archive.putSize();
}

void XS_DWFIM::writeWIM(Archive& archive) const
{
    // The size is known before the samples are written, so the item's head is written in its
    // final form: an archive that copies unchanged samples from file to file can then copy the
    // heads between them along with the samples.
    int wfmSize = 0;
    int wimSize = 0;
    calcSizes(wfmSize, wimSize);
    archive.writeUINT(static_cast<std::uint32_t>(wimSize));
    archive.writeUINT(static_cast<std::uint32_t>(sampleCount()));
    for (const auto& keybank : keybanks_) keybank->storeWIM(archive);
}

bool XS_DWFIM::readWFM(Archive& archive)
{
    reset();
    const qint64 end = itemEnd(archive, WfmHeader);
    if (end < 0) return false;
    const int count = static_cast<int>(archive.readValueR(2));
    pitchOffset_ = static_cast<int>(archive.readValueR(2));
    const bool fits = qint64(count) * XS_Keybank::RecordSize <= end - archive.pos();
    for (int i = 0; fits && i < count; ++i) {
        auto keybank = std::make_unique<XS_Keybank>();
        keybank->loadWFM(archive);
        keybanks_.append(std::move(keybank));
    }
    skipTo(archive, end);
    return fits;
}

bool XS_DWFIM::readWIM(Archive& archive)
{
    const qint64 end = itemEnd(archive, WimHeader);
    bool complete = end >= 0;
    if (complete) {
        // The sample count only repeats what the key banks' channel counts already say.
        archive.readUINT();
        for (const auto& keybank : keybanks_) {
            complete = keybank->loadWIM(archive) && archive.pos() <= end;
            if (!complete) break;
        }
    }
    if (!complete) reset();
    skipTo(archive, end);
    return complete;
}

QString XS_DWFIM::toString() const
{
    int wfmSize = 0;
    int wimSize = 0;
    calcSizes(wfmSize, wimSize);
    return VarArgs("pitch_offset: %d\n", pitchOffset_).format() +
           VarArgs("keybank_count: %d\n", keybankCount()).format() +
           VarArgs("sample_count: %d\n", sampleCount()).format() +
           VarArgs("DWFM size: %d\n", wfmSize).format() + VarArgs("DWIM size: %d\n", wimSize).format();
}
