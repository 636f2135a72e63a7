#include "zaltor/Patch.h"

namespace {
bool isDataByte(int value) { return value >= 0 && value <= 0x7F; }
} // namespace

Patch::Patch(int msb, int lsb, int program)
    : msb_(msb & 0xFF), lsb_(lsb & 0xFF), program_(program & 0xFF),
      valid_(isDataByte(msb) && isDataByte(lsb) && isDataByte(program))
{
}

Patch Patch::fromValue(std::uint32_t value)
{
    if (value > 0xFFFFFF) return Patch();
    return Patch(int(value >> 16), int((value >> 8) & 0xFF), int(value & 0xFF));
}
