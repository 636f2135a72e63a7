#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// A .syx file or any recorded stream, cut into its pieces by one rule that every reader shares:
// a message runs from F0 over data bytes to F7. Whatever else the stream holds (bytes before or
// between messages, an F7 without its F0, a message cut short by a status byte or by the end of
// the stream) becomes a piece of its own with the problem named, so that a reader reports it and
// never drops it unseen.
struct SysexPiece {
    enum Kind { Message, Stray, CutShort, Truncated };
    Kind kind = Message;
    std::size_t offset = 0;
    std::span<const std::uint8_t> bytes;
    bool whole() const { return kind == Message; }
};

namespace SysexStream {
std::vector<SysexPiece> split(std::span<const std::uint8_t> stream);
// What is wrong with a piece, counted from `base` (the stream's place in its file); empty for a
// whole message.
QString problem(const SysexPiece& piece, long long base = 0);
// The first piece that is not a whole message; null when all are.
const SysexPiece* firstProblem(const std::vector<SysexPiece>& pieces);
} // namespace SysexStream
