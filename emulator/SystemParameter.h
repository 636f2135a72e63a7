#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// A one-byte parameter that the instrument keeps outside any patch: its address, the values it
// accepts and the value it has after power-on.
struct SystemParameter {
    std::uint32_t address;
    int minimum;
    int maximum;
    int initial;
    QString name;

    static constexpr std::uint32_t masterSelect = 0x0A0000;
    static constexpr std::uint32_t mode = 0x0A0001;
    static constexpr std::uint32_t localControl = 0x000009;
    static constexpr std::uint32_t receiveChannel = 0x00000A;

    // The volume of mix part pp (0x00-0x0F, and 0x60-0x62 for the PLG parts).
    static constexpr std::uint32_t partVolume(int pp) { return 0x37000D | (std::uint32_t(pp & 0x7F) << 8); }
    static bool isPart(int pp) { return (pp >= 0x00 && pp <= 0x0F) || (pp >= 0x60 && pp <= 0x62); }

    static const std::vector<SystemParameter>& all();
    // The parameter at address, null when the instrument has none there.
    static const SystemParameter* find(std::uint32_t address);
};
