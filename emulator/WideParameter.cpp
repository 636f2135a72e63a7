#include "emulator/WideParameter.h"

#include <span>

namespace {

// Wide parameters of `size` bytes starting at the offsets first, first + step, ... up to last.
struct Run {
    std::uint32_t first;
    std::uint32_t last;
    std::uint32_t step;
    std::size_t size;
};

constexpr Run commonRuns[] = {{0x14, 0x14, 2, 2}, {0x22, 0x32, 2, 2}, {0x60, 0x60, 4, 4}};
// The reverb, chorus and both insertion blocks begin with the effect type and sixteen parameters.
constexpr Run effectRuns[] = {{0x00, 0x20, 2, 2}};
constexpr Run partRuns[] = {{0x2E, 0x36, 4, 2}};

constexpr std::uint32_t performanceCommon = 0x30;
constexpr std::uint32_t performanceParts = 0x31;
constexpr std::uint32_t mixCommon = 0x36;
constexpr std::uint32_t mixParts = 0x37;
constexpr std::uint32_t performancePartCount = 4;
constexpr std::uint32_t mixPartCount = 16;

std::span<const Run> runsOf(std::uint32_t high, std::uint32_t mid)
{
    if (high == performanceCommon || high == mixCommon) {
        if (mid == 0x00) return commonRuns;
        if (mid >= 0x01 && mid <= 0x04) return effectRuns;
        return {};
    }
    if ((high == performanceParts && mid < performancePartCount) || (high == mixParts && mid < mixPartCount))
        return partRuns;
    return {};
}

} // namespace

std::optional<WideParameter> WideParameter::holding(std::uint32_t address)
{
    const std::uint32_t block = address & 0xFFFF00;
    const std::uint32_t offset = address & 0xFF;
    for (const Run& run : runsOf(address >> 16, (address >> 8) & 0xFF)) {
        for (std::uint32_t first = run.first; first <= run.last; first += run.step) {
            if (offset >= first && offset - first < run.size) return WideParameter{block | first, run.size};
        }
    }
    return std::nullopt;
}
