#pragma once

#include <QString>
#include <cstdint>

// Copies a range of one open file into another at given offsets, leaving both files' positions
// alone. The kernel copies when it can (and file systems that share blocks share them); across
// file systems, or where the kernel cannot, the bytes go through a buffer of a megabyte.
namespace RangeCopy {

constexpr std::int64_t StepSize = 1 << 20;

// False, with the reason in `error`, when a read or write fails or the source ends early.
bool copy(int from, std::int64_t at, int to, std::int64_t dest, std::int64_t n, QString* error);

// Off makes every copy take the buffered way, as on a system without kernel copies.
void setKernelCopy(bool enabled);

} // namespace RangeCopy
