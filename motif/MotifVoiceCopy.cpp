// The voice copier: a stored normal voice or drum kit becomes one part of the performance or mix
// in the instrument's edit buffer. No bulk is sent; single parameter changes assign the voice to
// the part, carry its part-level settings over, reset a fixed set of part settings, and by choice
// copy the name and category, arpeggio, system effects and insertion effects.
#include "motif/Motif.h"
#include "motif/VoiceCopierInfo.h"
#include "zaltor/BulkDump.h"
#include "zaltor/Sysex.h"

#include <memory>

#include <initializer_list>
#include <optional>
#include <utility>

namespace {

// The blocks of the voice's bulk that the copy reads. A normal voice's lie at 40 xx xx, a drum
// kit's at 46 xx xx; each must hold every byte read from it.
struct Source {
    const Sysex* name;
    const Sysex* common;
    const Sysex* reverb;
    const Sysex* chorus;
    const Sysex* insertionA;
    const Sysex* insertionB;
};

const Sysex* findBlock(const BulkDump& dump, std::uint32_t address, int bytesRead)
{
    const Sysex* block = dump.getSysex(address);
    return block && block->dataSize() >= bytesRead ? block : nullptr;
}

std::optional<Source> findSource(const BulkDump* dump, bool drum)
{
    if (!dump) return std::nullopt;
    const std::uint32_t high = drum ? 0x460000 : 0x400000;
    // A drum kit's common block is shorter: the copy reads its bytes 02-05 only.
    const Source source{findBlock(*dump, high | 0x7000, 0x4B), findBlock(*dump, high, drum ? 0x06 : 0x0D),
                        findBlock(*dump, high | 0x0100, 0x24), findBlock(*dump, high | 0x0200, 0x25),
                        findBlock(*dump, high | 0x0300, 0x22), findBlock(*dump, high | 0x0400, 0x22)};
    for (const Sysex* block :
         {source.name, source.common, source.reverb, source.chorus, source.insertionA, source.insertionB})
        if (!block) return std::nullopt;
    return source;
}

// The blocks written: the performance edit buffer in performance mode, the mix edit buffer in
// every other mode.
struct Destination {
    std::uint32_t common;
    std::uint32_t reverb;
    std::uint32_t chorus;
    std::uint32_t insertion1;
    std::uint32_t insertion2;
    std::uint32_t common2;
    std::uint32_t part;
};

Destination destinationOf(int mode, int part)
{
    const std::uint32_t base = mode == Motif::PerformanceMode ? 0x300000 : 0x360000;
    return {base,
            base | 0x0100,
            base | 0x0200,
            base | 0x0300,
            base | 0x0400,
            base | 0x1000,
            (base + 0x010000) | std::uint32_t(part) << 8};
}

class PartCopy {
public:
    PartCopy(Motif& device, const Source& source, const VoiceCopierInfo& info, int mode, bool drum)
        : device_(device), source_(source), info_(info), mode_(mode), drum_(drum),
          to_(destinationOf(mode, info.part))
    {
    }

    VoiceCopyPlan run()
    {
        if (mode_ == Motif::PerformanceMode && info_.copyname) copyName();
        if (info_.copyvoice) copyVoice();
        if (info_.copyarp) copyArpeggio();
        if (info_.copyfx) copySystemEffects();
        if (info_.copyinsfx) copyInsertionEffects();
        return std::move(plan_);
    }

private:
    int name(int i) const { return source_.name->dataAt(i); }
    int common(int i) const { return source_.common->dataAt(i); }

    void send(std::uint32_t address, int size, int value)
    {
        std::unique_ptr<Sysex> message(device_.createSysex());
        message->prepareParameterChange(MidiParam(address, size), value);
        const std::span<const std::uint8_t> bytes = message->bytes();
        plan_.push_back({address, size, value, MidiBytes(bytes.begin(), bytes.end())});
    }
    void byte(std::uint32_t address, int value) { send(address, 1, value); }
    // Two source bytes arrive as the same two data bytes.
    void pair(std::uint32_t address, const Sysex* from, int i)
    {
        send(address, 2, from->dataAt(i) * 128 + from->dataAt(i + 1));
    }
    void bytes(std::uint32_t block, std::initializer_list<std::pair<int, int>> writes)
    {
        for (const auto& [offset, value] : writes) byte(block + std::uint32_t(offset), value);
    }
    void fill(std::uint32_t block, int first, int last, int value)
    {
        for (int offset = first; offset <= last; ++offset) byte(block + std::uint32_t(offset), value);
    }
    // The effect type and sixteen parameters at the start of an effect block.
    void effect(std::uint32_t block, const Sysex* from)
    {
        for (int offset = 0x00; offset <= 0x20; offset += 2)
            pair(block + std::uint32_t(offset), from, offset);
    }

    void copyName()
    {
        for (int offset = 0x00; offset <= 0x09; ++offset)
            byte(to_.common + std::uint32_t(offset), name(offset));
        bytes(to_.common, {{0x0C, name(0x0C)}, {0x0D, name(0x0D)}});
    }

    void copyVoice()
    {
        const std::uint32_t c = to_.common;
        bytes(c, {{0x34, name(0x34)}, {0x35, 0x40}});
        fill(c, 0x37, 0x3D, 0x40);
        fill(c, 0x47, 0x51, 0x40);
        fill(c, 0x40, 0x44, 0x40);
        bytes(c, {{0x3E, name(0x3E)}, {0x3F, name(0x3F)}, {0x45, name(0x45)}, {0x46, name(0x46)}});
        bytes(c, {{0x52, 0x7F}, {0x53, 0x40}, {0x54, 0x01}, {0x55, 0x7F}, {0x56, 0x7F}});
        // One bit per part switches its insertion effects on; bit 19 is the A/D input.
        send(c + 0x60, 4, (1 << info_.part) | (info_.copyinsfx ? 0x80000 : 0));
        for (int offset : {0x00, 0x04, 0x08, 0x0C, 0x10}) byte(to_.common2 + std::uint32_t(offset), 0x40);

        const std::uint32_t p = to_.part;
        bytes(p, {{0x00, info_.voice.msb()}, {0x01, info_.voice.lsb()}, {0x02, info_.voice.program()}});
        byte(p + 0x04, drum_ ? 0x01 : common(0x03));
        bytes(p, {{0x05, 0x01}, {0x06, 0x7F}, {0x07, 0x00}, {0x08, 0x7F}});
        if (drum_)
            bytes(p, {{0x09, common(0x02)}, {0x0A, common(0x03)}});
        else
            bytes(p, {{0x09, common(0x05)}, {0x0A, common(0x06)}});
        bytes(p, {{0x0B, 0x40}, {0x0C, 0x40}, {0x0D, 0x7F}, {0x0E, name(0x35)}});
        if (drum_)
            bytes(p, {{0x12, common(0x04)}, {0x13, common(0x05)}});
        else
            bytes(p, {{0x12, common(0x0B)}, {0x13, common(0x0C)}});
        bytes(p, {{0x15, 0x7F}, {0x16, 0x40}, {0x17, name(0x47)}, {0x18, name(0x48)}});
        if (drum_)
            bytes(p, {{0x1A, 0x00}, {0x1B, 0x00}, {0x1C, 0x00}});
        else
            bytes(p, {{0x1A, common(0x08)}, {0x1B, common(0x09)}, {0x1C, common(0x07)}});
        // The arpeggio switch of the voice decides byte 1F: 7D when off, 7F when on.
        bytes(p, {{0x1E, 0x00}, {0x1F, name(0x16) << 1 | 0x7D}, {0x20, 0x7F}, {0x21, 0x7F}, {0x24, 0x01}});
        bytes(
            p,
            {{0x22, name(0x38)}, {0x23, name(0x49)}, {0x25, name(0x37)}, {0x26, drum_ ? 0x40 : name(0x4A)}});
        bytes(p,
              {{0x27, 0x40}, {0x28, name(0x39)}, {0x2A, name(0x3A)}, {0x2B, name(0x3B)}, {0x2C, name(0x3D)}});
        // The values of an initial mix part.
        send(p + 0x2E, 2, 0x36);
        byte(p + 0x30, 0x40);
        send(p + 0x32, 2, 0x8D);
        bytes(p, {{0x34, 0x40}, {0x35, 0x00}});
        send(p + 0x36, 2, 0xE7);
        byte(p + 0x38, 0x40);
    }

    void copyArpeggio()
    {
        const std::uint32_t c = to_.common;
        bytes(c, {{0x11, 0x00}, {0x12, 0x00}});
        pair(c + 0x14, source_.name, 0x14);
        for (int offset = 0x16; offset <= 0x21; ++offset) byte(c + std::uint32_t(offset), name(offset));
        for (int offset = 0x22; offset <= 0x32; offset += 2)
            pair(c + std::uint32_t(offset), source_.name, offset);
    }

    void copySystemEffects()
    {
        effect(to_.reverb, source_.reverb);
        bytes(to_.reverb, {{0x22, source_.reverb->dataAt(0x22)}, {0x23, source_.reverb->dataAt(0x23)}});
        effect(to_.chorus, source_.chorus);
        bytes(to_.chorus, {{0x22, source_.chorus->dataAt(0x22)},
                           {0x23, source_.chorus->dataAt(0x23)},
                           {0x24, source_.chorus->dataAt(0x24)}});
    }

    void copyInsertionEffects()
    {
        effect(to_.insertion1, source_.insertionA);
        effect(to_.insertion2, source_.insertionB);
    }

    Motif& device_;
    const Source& source_;
    const VoiceCopierInfo& info_;
    int mode_;
    bool drum_;
    Destination to_;
    VoiceCopyPlan plan_;
};

VoiceCopyPlan planCopy(Motif& device, const BulkDump* dump, const VoiceCopierInfo& info, int mode, bool drum)
{
    const int parts = mode == Motif::PerformanceMode ? 4 : 16;
    if (info.part < 0 || info.part >= parts) return {};
    const std::optional<Source> source = findSource(dump, drum);
    return source ? PartCopy(device, *source, info, mode, drum).run() : VoiceCopyPlan();
}

} // namespace

void Motif::CopyVoiceES(BulkDump* dump, VoiceCopierInfo* info, int mode)
{
    if (!info) return;
    if (isDrumBank(info->voice.bank())) return CopyDrumES(dump, info, mode);
    sendPlan(planCopy(*this, dump, *info, mode, false));
}

void Motif::CopyDrumES(BulkDump* dump, VoiceCopierInfo* info, int mode)
{
    if (!info) return;
    if (isVoiceBank(info->voice.bank())) return CopyVoiceES(dump, info, mode);
    sendPlan(planCopy(*this, dump, *info, mode, true));
}

VoiceCopyPlan Motif::planVoiceCopy(const BulkDump* dump, const VoiceCopierInfo& info, int mode)
{
    return planCopy(*this, dump, info, mode, isDrumBank(info.voice.bank()));
}

void Motif::sendPlan(const VoiceCopyPlan& plan)
{
    std::unique_ptr<Sysex> message(createSysex());
    for (const ParamChange& change : plan) {
        message->setBytes(change.bytes);
        sendSysex(message.get());
    }
}
