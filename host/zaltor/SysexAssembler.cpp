#include "zaltor/SysexAssembler.h"

namespace {

// Bytes in a whole channel or system common message, status included.
std::size_t shortLength(std::uint8_t status)
{
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 2;
    case 0xF0:
        return status == 0xF1 || status == 0xF3 ? 2 : status == 0xF2 ? 3 : 1;
    default:
        return 3;
    }
}

} // namespace

std::vector<MidiBytes> SysexAssembler::feed(std::span<const std::uint8_t> chunk)
{
    std::vector<MidiBytes> out;
    for (const std::uint8_t byte : chunk) {
        if (byte >= 0xF8)
            out.push_back({byte});
        else if (byte >= 0x80)
            status(byte, out);
        else
            data(byte, out);
    }
    return out;
}

void SysexAssembler::status(std::uint8_t byte, std::vector<MidiBytes>& out)
{
    if (inSysex_ && byte == 0xF7) {
        if (overflow_) {
            ++dropped_;
            inSysex_ = overflow_ = false;
            return;
        }
        partial_.push_back(byte);
        finish(out);
        return;
    }
    // Any other status ends whatever was unfinished: the sender gave up on it.
    dropPartial();
    if (byte == 0xF7) {
        ++dropped_;
        return;
    }
    partial_.push_back(byte);
    inSysex_ = byte == 0xF0;
    expected_ = inSysex_ ? 0 : shortLength(byte);
    if (partial_.size() == expected_) finish(out);
}

void SysexAssembler::data(std::uint8_t byte, std::vector<MidiBytes>& out)
{
    if (inSysex_) {
        if (!overflow_ && partial_.size() + 1 < maxSysex_) { // room left for the F7
            partial_.push_back(byte);
            return;
        }
        if (!overflow_) {
            dropped_ += partial_.size();
            partial_.clear();
            overflow_ = true;
        }
        ++dropped_;
        return;
    }
    // Drivers hand over every message with its status, so a data byte without one is noise.
    if (partial_.empty()) {
        ++dropped_;
        return;
    }
    partial_.push_back(byte);
    if (partial_.size() == expected_) finish(out);
}

void SysexAssembler::dropPartial()
{
    dropped_ += partial_.size();
    partial_.clear();
    inSysex_ = overflow_ = false;
}

void SysexAssembler::finish(std::vector<MidiBytes>& out)
{
    out.push_back(std::move(partial_));
    partial_.clear();
    inSysex_ = false;
}
