#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

// The data of the blocks of a freshly initialised patch, as the instrument itself initialises
// them. A block is named after the address of the first block it serves (B400100 also serves
// 0x360100). Blocks that differ from another in a few bytes are made from it, so that a
// correction to the base reaches them all.
namespace MotifInit {

template <std::size_t N>
using Block = std::array<std::uint8_t, N>;

// Exactly N data bytes of hexadecimal text; any other text does not compile.
template <std::size_t N>
consteval Block<N> hex(const char* text)
{
    const auto digit = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        throw "not an upper-case hexadecimal digit";
    };
    Block<N> out{};
    std::size_t n = 0;
    for (const char* p = text; *p; ++p) {
        if (*p == ' ') continue;
        if (n == N) throw "more bytes than the block holds";
        const int value = digit(p[0]) * 16 + digit(p[1]);
        if (value > 0x7F) throw "not a data byte";
        out[n++] = std::uint8_t(value);
        ++p;
    }
    if (n != N) throw "fewer bytes than the block holds";
    return out;
}

// `base` with `bytes` written from byte `at` on.
template <std::size_t N>
consteval Block<N> with(Block<N> base, std::size_t at, std::initializer_list<std::uint8_t> bytes)
{
    if (at + bytes.size() > N) throw "past the block's end";
    for (std::uint8_t b : bytes) base[at++] = b;
    return base;
}

// `base` with `count` bytes from `at` on set to `value`.
template <std::size_t N>
consteval Block<N> filled(Block<N> base, std::size_t at, std::size_t count, std::uint8_t value)
{
    if (at + count > N) throw "past the block's end";
    for (std::size_t i = at; i < at + count; ++i) base[i] = value;
    return base;
}

// `base` followed by 00 bytes up to M bytes.
template <std::size_t M, std::size_t N>
consteval Block<M> padded(const Block<N>& base)
{
    static_assert(M >= N);
    Block<M> out{};
    for (std::size_t i = 0; i < N; ++i) out[i] = base[i];
    return out;
}

// ---- Name blocks

inline constexpr Block<82> B407000 =
    hex<82>("49 6E 69 74 20 56 6F 69 63 65 00 00 00 00 00 00 00 00 00 00 00 17 00 01 03 00 7F 01 7F 00 00 00 "
            "02 00 00 64 00 64 01 00 00 5A 7F 7F 7F 7F 7F 7F 7F 7F 7F 7F 02 40 40 40 40 40 40 40 40 40 40 40 "
            "40 40 40 40 40 40 40 40 40 40 40 40 40 40 40 40 40 00");
// "Init Drum ", category 0x0D.
inline constexpr Block<82> B467000 =
    with(with(with(B407000, 5, {0x44, 0x72, 0x75, 0x6D, 0x20}), 12, {0x0D}), 20, {0x09, 0x21});
// Ten hyphens.
inline constexpr Block<82> B4C7000 = with(filled(B407000, 0, 10, 0x2D), 21, {0x00});
inline constexpr Block<101> B300000 = hex<101>(
    "49 6E 69 74 20 50 65 72 66 20 00 00 00 00 00 00 10 00 00 00 00 00 00 01 03 00 7F 01 7F 00 00 00 "
    "02 00 00 64 00 64 01 00 00 5A 7F 7F 7F 7F 7F 7F 7F 7F 7F 7F 02 40 40 40 40 40 40 40 40 40 40 40 "
    "40 40 40 40 40 40 40 40 40 40 40 40 40 40 40 40 40 00 7F 40 01 7F 7F 00 10 11 02 04 0B 01 16 01 "
    "00 00 00 0F 7F");
// "Init Multi".
inline constexpr Block<101> B360000 = with(
    with(with(with(with(B300000, 5, {0x4D, 0x75, 0x6C, 0x74, 0x69, 0x20}), 16, {0x00}), 40, {0x01, 0x0A}), 84,
         {0x00, 0x20, 0x00}),
    98, {0x01, 0x7F});
// "InitMaster".
inline constexpr Block<19> B330000 = hex<19>("49 6E 69 74 4D 61 73 74 65 72 00 00 00 00 00 00 00 00 02");

// ---- Common blocks of voices, drum kits and PLG voices

// Only the rack model has this block, in voices, drum kits and PLG voices alike.
inline constexpr Block<4> B400700 = hex<4>("00 00 40 40");
inline constexpr Block<17> B400000 = hex<17>("03 7F 01 01 00 42 3E 01 00 40 00 0C 00 00 7F 00 00");
inline constexpr Block<4> B400040 = hex<4>("01 7F 7F 00");
inline constexpr Block<36> B400100 =
    hex<36>("01 02 00 15 00 0A 00 1D 00 17 00 2B 00 00 00 00 00 00 00 00 00 00 00 2D 00 04 00 49 00 09 00 40 "
            "00 00 40 40");
inline constexpr Block<37> B400200 =
    hex<37>("05 00 00 06 00 36 00 4D 00 6A 00 00 00 1C 00 40 00 2E 00 40 00 00 00 2E 00 40 00 0A 00 00 00 00 "
            "00 00 60 40 00");
inline constexpr Block<36> B460100 = with(B400100, 21, {0x28});
inline constexpr Block<37> B460200 = with(B400200, 21, {0x40});
inline constexpr Block<34> B400300{};
inline constexpr Block<30> B400500 =
    hex<30>("01 00 00 40 00 01 00 00 40 00 01 00 00 40 00 08 00 00 40 00 09 00 00 40 00 03 00 00 40 00");
inline constexpr Block<38> B400600 =
    hex<38>("00 00 20 0B 00 00 00 7F 40 02 02 00 00 04 00 00 04 00 00 06 00 40 40 40 40 40 40 40 40 40 40 40 "
            "40 40 40 40 40 00");

// ---- Voice elements, in the order of their kinds (VOICE_ELM_PART's part numbers)

// Element 1's common block; the other elements' begin with 00.
inline constexpr Block<29> B410000 =
    hex<29>("01 00 00 00 01 01 01 00 40 00 40 40 00 7F 01 7F 00 00 00 7F 7F 00 01 00 00 3F 00 07 0B");
inline constexpr Block<29> B410100 = with(B410000, 0, {0x00});
inline constexpr Block<30> B410020 =
    hex<30>("7F 40 03 00 00 40 40 32 00 7F 7F 7F 00 04 40 40 24 30 3C 48 01 00 01 00 01 00 01 00 40 18");
inline constexpr Block<30> B420000 =
    hex<30>("40 40 40 00 00 00 28 40 40 40 01 00 01 00 01 00 01 00 01 00 54 04 40 40 02 60 3C 40 3C 40");
inline constexpr Block<50> B430000 =
    hex<50>("04 01 20 40 00 00 40 00 00 00 00 00 01 66 00 00 40 40 50 01 00 01 7F 01 7F 01 7F 01 00 68 04 40 "
            "40 02 4A 24 30 3C 48 01 00 01 00 01 00 01 00 40 40 18");
inline constexpr Block<8> B440000 = hex<8>("00 00 00 36 40 01 67 40");
inline constexpr Block<8> B440040 = hex<8>("01 01 00 26 00 00 00 00");
inline constexpr Block<4> B440050 = hex<4>("00 7F 7F 7F");
// The S90 ES has one more byte in the first two element blocks.
inline constexpr Block<30> S90B410000 = padded<30>(B410000);
inline constexpr Block<30> S90B410100 = padded<30>(B410100);
inline constexpr Block<31> S90B410020 = padded<31>(B410020);

// ---- Drum kits

inline constexpr Block<8> B460000 = hex<8>("7F 00 42 3E 00 00 00 7F");
inline constexpr Block<4> B460040{};
// The keys' blocks, in the order of their kinds (DRUM_KEY_PART's part numbers).
inline constexpr Block<19> B470000 = hex<19>("01 00 00 00 01 00 07 40 3F 00 00 40 00 40 5A 00 00 00 00");
inline constexpr Block<12> B470020 = hex<12>("7F 40 00 00 60 50 00 00 00 7F 00 00");
inline constexpr Block<3> B480000 = hex<3>("40 40 40");
inline constexpr Block<8> B490000 = hex<8>("00 01 7F 40 00 00 00 00");
inline constexpr const Block<8>& B4A0000 = B440000;

// ---- PLG voices

inline constexpr Block<13> B4C0000 = hex<13>("64 01 01 01 00 42 3E 00 00 40 01 00 00");
inline constexpr Block<10> B4C0500 = hex<10>("08 00 00 40 00 09 00 00 40 00");
inline constexpr Block<35> B4C1000 =
    hex<35>("24 00 00 40 40 40 40 40 40 40 40 0A 00 00 40 40 40 00 00 00 10 40 40 00 00 00 40 40 40 40 40 40 "
            "0C 36 40");
inline constexpr Block<68> B4C2000 =
    with(with(filled(with(Block<68>{}, 0, {0x00, 0x00, 0x00, 0x26}), 4, 27, 0x40), 31, {0x00, 0x40}), 65,
         {0x03, 0x00, 0x00});

// ---- Performances and mixes

inline constexpr Block<20> B301000 = hex<20>("40 0C 07 00 40 14 07 01 40 1C 07 00 40 2C 07 00 40 34 07 00");
inline constexpr Block<35> B301100 =
    padded<35>(hex<23>("02 48 06 20 00 14 00 2A 00 05 00 37 00 16 00 40 00 2E 00 40 00 1A 00"));
inline constexpr Block<68> B302000{};
inline constexpr Block<8> B344000 = hex<8>("03 64 40 00 00 00 7F 00");

// A part block: bank select MSB, LSB and program of the part's voice in bytes 0-2; byte 3 the
// part's number in a mix; bit 0 of byte 31 whether a performance part counts its voice.
inline constexpr Block<58> PartBlock =
    hex<58>("3F 00 00 7F 01 01 7F 00 7F 42 3E 40 40 64 40 40 08 00 0C 00 00 7F 40 40 40 40 00 40 01 00 00 7F "
            "7F 7F 40 40 01 40 40 40 40 40 40 40 40 00 00 36 40 00 01 0D 40 00 01 67 40 00");
constexpr std::size_t PartTailStart = 47;
using PartTail = Block<PartBlock.size() - PartTailStart>;
inline constexpr PartTail PerformancePlgPartTail{};
inline constexpr PartTail MixPlgPartTail = hex<11>("2E 20 00 00 53 20 00 01 03 20 00");
// Bank LSBs of the first preset bank of PLG boards 1, 2 and 3, the voices of the PLG parts.
inline constexpr std::uint8_t PlgPartLsb[3] = {0x46, 0x49, 0x4C};

// The part template with the bytes a part changes; a null tail keeps the template's.
constexpr Block<58> partBlock(std::uint8_t lsb, std::uint8_t byte3, std::uint8_t byte31, const PartTail* tail)
{
    Block<58> out = PartBlock;
    out[1] = lsb;
    out[3] = byte3;
    out[31] = byte31;
    if (tail)
        for (std::size_t i = 0; i < tail->size(); ++i) out[PartTailStart + i] = (*tail)[i];
    return out;
}

// ---- Masters

inline constexpr Block<16> B320000 = hex<16>("30 40 40 00 7F 04 7F 64 40 00 00 00 67 7F 07 0A");
inline constexpr Block<16> B320100 = with(B320000, 0, {0x00});

} // namespace MotifInit
