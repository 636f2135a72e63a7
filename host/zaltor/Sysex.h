#pragma once

#include "core/Buffer.h"
#include "zaltor/MidiParam.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class MidiDevice;

// One System Exclusive message, F0 to F7. The framework knows the framing; a device derives
// from it to teach the layout of its own messages (kind, address, data) through `analyse` and
// the other virtual slots.
class Sysex : public Buffer {
public:
    static constexpr std::uint32_t NoAddress = 0xFFFFFFFF;

    Sysex() = default;
    explicit Sysex(std::span<const std::uint8_t> bytes) { Buffer::append(bytes); }
    ~Sysex() override = default;
    Sysex(const Sysex&) = default;
    Sysex& operator=(const Sysex&) = default;

    // A copy of the same class, for dumps that copy their messages.
    virtual std::unique_ptr<Sysex> clone() const { return std::make_unique<Sysex>(*this); }

    // Replaces the bytes and analyses them again.
    void setBytes(std::span<const std::uint8_t> bytes);
    // Builds a message from a template of hexadecimal bytes and placeholders:
    //   %M  the device's model identifier (modelId)    %A3 the address as three 7-bit bytes
    //   %D  the data, a text of hexadecimal bytes       #2  the data's byte count as two 7-bit bytes
    //   *N  the checksum of the bytes from index N up to the byte before it
    // Answers false, leaving the message empty, when the template or the data text is not valid.
    bool FormatSysex(const QString& templ, std::uint32_t address, const QString& data = QString());

    virtual void onNewData() { analyse(); }
    virtual QString modelId() const { return QString(); }
    virtual bool isHeader() const { return false; }
    virtual bool isFooter() const { return false; }
    virtual bool isLastOfBulk() const { return isFooter(); }
    virtual bool hasName() const { return false; }
    virtual QString readName(MidiDevice* device) const;
    virtual bool hasCategory() const { return false; }
    virtual bool hasData() const { return dataSize() > 0; }
    virtual void setAddress(std::uint32_t address);
    virtual int getParameterData(const MidiParam& param) const;
    virtual QString printAnalysis() const;
    virtual void prepareParameterRequest(const MidiParam& param);
    virtual void prepareParameterChange(const MidiParam& param, int value);
    virtual int getParameterPos(const MidiParam& param) const;
    virtual void getBulkBaseAndOffset(std::uint32_t address, std::uint32_t& base,
                                      std::uint32_t& offset) const;

    int kind() const { return kind_; }
    std::uint32_t getAddress() const { return address_; }
    int dataStart() const { return dataStart_; }
    // The analysed data size, cut to the bytes the message really holds.
    int dataSize() const { return static_cast<int>(dataSpan().size()); }
    int checksumStart() const { return checksumStart_; }

    // Data byte i, -1 outside the data.
    int dataAt(int i) const;
    bool setDataAt(int i, std::uint8_t value);
    std::vector<std::uint8_t> copyData() const;
    // Copies `count` data bytes of `source` from data offset `offset` into the same places of this
    // message (offset -1: from the start; count -1: as many as both hold) and renews the
    // checksum. Answers how many bytes were copied.
    int copyData(const Sysex& source, int offset = -1, int count = -1);
    // Up to n characters of text from data offset `offset`, ending at a zero byte.
    QString readDataText(int offset, int n) const;
    // The data bytes as hexadecimal text ("41 42").
    QString dataToString() const;

    // Writes the checksum into the byte before F7: the sum of the bytes from the checksum start
    // through the last data byte, plus the checksum, is 0 modulo 128.
    void updateChecksum();
    // True when the message has no checksum or its checksum matches.
    bool checksumValid() const;
    // F0 ... F7 with only 7-bit bytes between.
    bool isSysex() const;
    // A SysEx message that the device's analysis understood.
    bool isValid() const { return isSysex() && kind_ >= 0; }

protected:
    // Fills kind, address, data and checksum start. The base knows no layout and clears them.
    virtual void analyse();
    void setAnalysis(int kind, std::uint32_t address, int dataStart, int dataSize, int checksumStart);
    void clearAnalysis() { setAnalysis(-1, NoAddress, -1, 0, -1); }
    // The data bytes. An analysis that a device keeps for bytes it does not recognise may
    // announce more data than new bytes hold; every data read goes through this cut.
    std::span<const std::uint8_t> dataSpan() const;

private:
    int kind_ = -1;
    std::uint32_t address_ = NoAddress;
    int dataStart_ = -1;
    int dataSize_ = 0;
    int checksumStart_ = -1;
};
