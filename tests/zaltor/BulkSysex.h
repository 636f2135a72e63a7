#pragma once

#include "zaltor/MidiTransport.h"
#include "zaltor/Sysex.h"

#include <memory>

// A small device message class laid out like a Yamaha bulk protocol, so that the framework's
// template expansion, analysis hooks and bulk collection can be driven the way a device uses them.
//   bulk dump        F0 43 0n 7F 00 count(2) address(3) data checksum F7
//   parameter change F0 43 1n 7F 00 address(3) data F7
//   requests         F0 43 2n/3n 7F 00 address(3) F7
class BulkSysex : public Sysex {
public:
    static constexpr const char* BulkTemplate = "F0 43 00 %M #2 %A3 %D *5 F7";

    BulkSysex() = default;
    explicit BulkSysex(const MidiBytes& bytes) { setBytes(bytes); }
    std::unique_ptr<Sysex> clone() const override { return std::make_unique<BulkSysex>(*this); }

    QString modelId() const override { return QStringLiteral("7F 00"); }
    bool isHeader() const override { return (getAddress() & 0xFF0000) == 0x0E0000; }
    bool isFooter() const override { return (getAddress() & 0xFF0000) == 0x0F0000; }
    int getParameterPos(const MidiParam& param) const override
    {
        return kind() == 0x10 && getAddress() == param.address() ? 0 : -1;
    }
    void prepareParameterRequest(const MidiParam& param) override
    {
        FormatSysex(QStringLiteral("F0 43 30 %M %A3 F7"), param.address());
    }
    void prepareParameterChange(const MidiParam& param, int value) override
    {
        FormatSysex(QStringLiteral("F0 43 10 %M %A3 %D F7"), param.address(), param.printMidiBytes(value));
    }

protected:
    // Like the instrument's own codec, bytes it cannot place keep the previous analysis.
    void analyse() override
    {
        if (!isSysex() || at(1) != 0x43 || size() < 9) return;
        const int kind = at(2) & 0x70;
        const auto address = [this](int i) {
            return std::uint32_t(at(i)) << 16 | std::uint32_t(at(i + 1)) << 8 | at(i + 2);
        };
        if (kind == 0x00 && size() >= 12) setAnalysis(kind, address(7), 10, size() - 12, 5);
        if (kind == 0x10) setAnalysis(kind, address(5), 8, size() - 9, -1);
        if (kind == 0x20 || kind == 0x30) setAnalysis(kind, address(5), -1, 0, -1);
    }
};
