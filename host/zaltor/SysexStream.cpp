#include "zaltor/SysexStream.h"

namespace SysexStream {

std::vector<SysexPiece> split(std::span<const std::uint8_t> stream)
{
    std::vector<SysexPiece> pieces;
    for (std::size_t begin = 0; begin < stream.size();) {
        std::size_t end = begin + 1;
        SysexPiece::Kind kind = SysexPiece::Stray;
        if (stream[begin] == 0xF0) {
            while (end < stream.size() && stream[end] < 0x80) ++end;
            if (end == stream.size()) {
                kind = SysexPiece::Truncated;
            } else if (stream[end] == 0xF7) {
                kind = SysexPiece::Message;
                ++end;
            } else {
                kind = SysexPiece::CutShort;
            }
        } else {
            // A run of stray bytes ends where the next message begins.
            while (end < stream.size() && stream[end] != 0xF0) ++end;
        }
        pieces.push_back({kind, begin, stream.subspan(begin, end - begin)});
        begin = end;
    }
    return pieces;
}

QString problem(const SysexPiece& piece, long long base)
{
    const long long offset = base + static_cast<long long>(piece.offset);
    switch (piece.kind) {
    case SysexPiece::Message:
        return QString();
    case SysexPiece::Stray:
        return QString::asprintf("Byte %02X at offset %lld lies outside any SysEx message", piece.bytes[0],
                                 offset);
    case SysexPiece::CutShort:
    case SysexPiece::Truncated:
        break;
    }
    return QStringLiteral("The SysEx message at offset %1 is cut short").arg(offset);
}

const SysexPiece* firstProblem(const std::vector<SysexPiece>& pieces)
{
    for (const SysexPiece& piece : pieces)
        if (!piece.whole()) return &piece;
    return nullptr;
}

} // namespace SysexStream
