#pragma once

#include "motif/MotifExport.h"
#include "zaltor/Sysex.h"

// Every System Exclusive message of the Motif ES: bulk dumps, parameter changes, dump requests
// and parameter requests. The instrument addresses everything with three 7-bit bytes, high,
// mid and low (0xHHMMLL).
class MOTIF_EXPORT MotifSysex : public Sysex {
public:
    enum Kind { BulkDump = 0x00, ParameterChange = 0x10, DumpRequest = 0x20, ParameterRequest = 0x30 };

    MotifSysex() = default;
    explicit MotifSysex(std::span<const std::uint8_t> bytes) { setBytes(bytes); }
    ~MotifSysex() override = default;
    MotifSysex(const MotifSysex&) = default;
    MotifSysex& operator=(const MotifSysex&) = default;

    std::unique_ptr<Sysex> clone() const override { return std::make_unique<MotifSysex>(*this); }

    QString modelId() const override { return QStringLiteral("7F 00"); }
    bool isHeader() const override { return (getAddress() & 0xFF0000) == 0x0E0000; }
    bool isFooter() const override { return (getAddress() & 0xFF0000) == 0x0F0000; }
    bool hasName() const override;
    QString readName(MidiDevice* device) const override;
    bool hasCategory() const override;
    bool hasData() const override;
    void setAddress(std::uint32_t address) override;
    int getParameterData(const MidiParam& param) const override;
    QString printAnalysis() const override;
    void prepareParameterRequest(const MidiParam& param) override;
    void prepareParameterChange(const MidiParam& param, int value) override;
    int getParameterPos(const MidiParam& param) const override;
    void getBulkBaseAndOffset(std::uint32_t address, std::uint32_t& base,
                              std::uint32_t& offset) const override;

    bool isParameterChange() const { return kind() == ParameterChange; }
    // `data` is hexadecimal text; an empty text gives a message with byte count 0.
    void prepareBulkDump(std::uint32_t address, const QString& data);
    void prepareBulkHeader(std::uint32_t control) { prepareBulkDump(0x0E0000 + control, QString()); }
    void prepareBulkFooter(std::uint32_t control) { prepareBulkDump(0x0F0000 + control, QString()); }
    // Asks for the bulk header of a block: the instrument answers with header, blocks and footer.
    void prepareBulkRequest(std::uint32_t control);
    // Writes the device number (1-16) into a Motif ES message, where the low four bits of the
    // byte after the manufacturer hold it (0 for device 1). Other messages stay as they are. The
    // byte lies outside the checksum.
    static void stampDeviceNumber(std::vector<std::uint8_t>& message, int number);

protected:
    void analyse() override;
};
