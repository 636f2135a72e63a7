#pragma once

#include "core/Buffer.h"
#include "motif/MotifExport.h"
#include "zaltor/MidiMessage.h"

#include <QString>
#include <cstdint>

class Archive;

// One event of an arpeggio's event stream: a timed channel message, a meta event (status 0xFF)
// or a system exclusive message (status 0xF0). The stream is compact: only note on (0x91) and
// note off (0x81) carry their data bytes, and a note off carries the note alone.
class MOTIF_EXPORT ARPEvent {
public:
    static constexpr std::uint8_t MetaStatus = 0xFF;
    static constexpr std::uint8_t SysexStatus = 0xF0;
    static constexpr std::uint8_t NoteOnStatus = 0x91;
    static constexpr std::uint8_t NoteOffStatus = 0x81;

    ARPEvent() = default;

    std::uint32_t time() const { return time_; }
    void setTime(std::uint32_t time) { time_ = time; }
    std::uint8_t status() const { return status_; }
    void setStatus(std::uint8_t status) { status_ = status; }
    std::uint8_t metaType() const { return metaType_; }
    void setMetaType(std::uint8_t type) { metaType_ = type; }
    // A channel message's two data bytes, or the payload of a meta event or SysEx message.
    const Buffer& data() const { return data_; }
    void setData(const Buffer& data) { data_ = data; }

    bool isMeta() const { return status_ == MetaStatus; }
    bool isSysex() const { return status_ == SysexStatus; }
    // The channel message; an empty message for meta and SysEx events and for fewer than two
    // data bytes.
    MidiMessage message() const;
    void setMessage(const MidiMessage& message);
    // The payload as text, up to its first zero byte.
    QString text() const;

    // Answers false when the archive runs out or a payload length points past its end; nothing
    // is allocated for a payload that is not there.
    bool fromArchive(Archive& archive);
    void toArchive(Archive& archive) const;
    // "96: 91 3C 64", "0: META(03)='Arp'", "0: META(51)=07 A1 20".
    QString toString() const;

private:
    std::uint32_t time_ = 0;
    std::uint8_t status_ = 0;
    std::uint8_t metaType_ = 0;
    Buffer data_;
};
