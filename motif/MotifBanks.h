#pragma once

#include "motif/MotifExport.h"

#include <QString>
#include <cstdint>
#include <iterator>
#include <span>
#include <vector>

// The instrument's patch types and banks, one row each. The device, its dumps and the librarian
// take every bank check, bulk control, edit buffer and type name from these two tables.
namespace MotifBanks {

// Patch types: one number space for banks, dumps and edit buffers; Types is in this order.
enum PatchType { NormalVoice = 0, DrumKit = 1, PlgVoice = 2, Performance = 3, Mix = 4, Master = 5 };
// The type of a bank that holds no patch the device offers, or of no bank at all.
inline constexpr int NoType = -1;
inline constexpr unsigned int NoControl = 0xFFFFFFFF;

inline constexpr unsigned short MixVoiceBank = 0x3F3C;
inline constexpr unsigned short MixBank = 0x7F7E;
inline constexpr unsigned short MasterBank = 0x7F7F;

struct TypeRow {
    std::uint32_t nameBlock; // the first block of every patch of the type
    unsigned int editBuffer; // the bulk control of the type's edit buffer
    const char* longName;    // as bank lists title the type: "Normal Voices"
    const char* shortName;   // as the librarian writes it: "voice"
};

inline constexpr TypeRow Types[] = {
    {0x407000, 0x0F00, "Normal Voices", "voice"}, {0x467000, 0x2F00, "Drum Kits", "drum"},
    {0x4C7000, 0x1F00, "PLG Voices", "plg"},      {0x300000, 0x4F00, "Performances", "performance"},
    {0x360000, 0x5F00, "Multis", "mix"},          {0x330000, 0x7F00, "Masters", "master"},
};

struct BankRow {
    unsigned short bank;   // MSB·256 + LSB
    bool user;             // holds the user's own patches
    int type;              // a PatchType, or NoType
    int programs;          // how many the bank holds
    unsigned int bulkBase; // the bulk control of program 0; NoControl when none travels as a bulk
    const char* name;      // as the device's bank lists print it; null where no list names the bank
};

// In the order of the instrument's bulk map, banks without bulk blocks beside their kin.
inline constexpr BankRow Banks[] = {
    {0x3F00, false, NormalVoice, 128, 0x0000, "PRE1"},
    {0x3F01, false, NormalVoice, 128, 0x0100, "PRE2"},
    {0x3F02, false, NormalVoice, 128, 0x0200, "PRE3"},
    {0x3F03, false, NormalVoice, 128, 0x0300, "PRE4"},
    {0x3F04, false, NormalVoice, 128, 0x0400, "PRE5"},
    {0x3F05, false, NormalVoice, 128, 0x0500, "PRE6"},
    {0x0000, false, NormalVoice, 128, 0x0600, "GM"},
    {0x3F08, true, NormalVoice, 128, 0x0800, "USER1"},
    {0x3F09, true, NormalVoice, 128, 0x0900, "USER2"},
    // The bulk map has a place for it, but no patch the device offers lives there.
    {0x3F0A, false, NoType, 128, 0x0A00, nullptr},
    // The voices of the song or pattern being edited: they travel inside the mix.
    {MixVoiceBank, true, NormalVoice, 16, NoControl, nullptr},
    {0x3F18, true, PlgVoice, 64, 0x1800, "P1-USER"},
    {0x3F19, true, PlgVoice, 64, 0x1900, "P2-USER"},
    {0x3F1A, true, PlgVoice, 64, 0x1A00, "P3-USER"},
    // Three preset banks for each board slot, named and filled by the board's own bank list.
    {0x3F46, false, PlgVoice, 128, NoControl, nullptr},
    {0x3F47, false, PlgVoice, 128, NoControl, nullptr},
    {0x3F48, false, PlgVoice, 128, NoControl, nullptr},
    {0x3F49, false, PlgVoice, 128, NoControl, nullptr},
    {0x3F4A, false, PlgVoice, 128, NoControl, nullptr},
    {0x3F4B, false, PlgVoice, 128, NoControl, nullptr},
    {0x3F4C, false, PlgVoice, 128, NoControl, nullptr},
    {0x3F4D, false, PlgVoice, 128, NoControl, nullptr},
    {0x3F4E, false, PlgVoice, 128, NoControl, nullptr},
    {0x3F20, false, DrumKit, 64, 0x2000, "DR:PRE"},
    {0x7F00, false, DrumKit, 1, 0x2100, "DR:GM"},
    {0x3F28, true, DrumKit, 32, 0x2800, "DR:USR"},
    {0x3F40, true, Performance, 128, 0x4000, "PERF"},
    // Mixes live in songs and patterns and are selected by song select, not by a bulk.
    {MixBank, true, Mix, 128, NoControl, "MIX"},
    {MasterBank, true, Master, 128, 0x7000, "MASTER"},
};

// The row of a bank; null for a bank the instrument does not have.
constexpr const BankRow* findBank(unsigned short bank)
{
    for (const BankRow& row : Banks)
        if (row.bank == bank) return &row;
    return nullptr;
}

// The row of a patch type; null for anything else.
constexpr const TypeRow* findType(int type)
{
    return type >= 0 && type < int(std::size(Types)) ? &Types[type] : nullptr;
}

constexpr int bankType(unsigned short bank)
{
    const BankRow* row = findBank(bank);
    return row ? row->type : NoType;
}

constexpr bool isUserBank(unsigned short bank)
{
    const BankRow* row = findBank(bank);
    return row && row->user;
}

constexpr unsigned int bulkControlBase(unsigned short bank)
{
    const BankRow* row = findBank(bank);
    return row ? row->bulkBase : NoControl;
}

constexpr unsigned int editBuffer(int type)
{
    const TypeRow* row = findType(type);
    return row ? row->editBuffer : NoControl;
}

// The patch type whose name block is at `address`; NoType for any other block.
constexpr int typeOfBlock(std::uint32_t address)
{
    for (int type = 0; type < int(std::size(Types)); ++type)
        if (Types[type].nameBlock == address) return type;
    return NoType;
}

// "Normal Voices", "Drum Kits"...; empty for anything but a patch type.
MOTIF_EXPORT QString longTypeName(int type);
// "voice", "drum", "plg", "performance", "mix", "master"; empty for anything but a patch type.
MOTIF_EXPORT QString shortTypeName(int type);
// A type by its short name in any case, or by its number in decimal; NoType for anything else.
MOTIF_EXPORT int typeFromName(const QString& name);
// The banks a backup covers, in the order it saves them: every user bank whose patches travel as
// bulks, with a PLG user bank only for each board slot (1-3) listed, as that slot's bank needs its board.
MOTIF_EXPORT std::vector<BankRow> backupBanks(std::span<const int> plgSlots);

} // namespace MotifBanks
