#include "TestSupport.h"

#include "motif/Motif.h"
#include "motif/MotifSysex.h"

#include <gtest/gtest.h>

namespace {
MotifSysex message(const char* hex) { return MotifSysex(hexBytes(hex)); }

} // namespace

// Building and reading the instrument's messages is checked against the virtual instrument's own
// codec in tests/e2e/DeviceAgainstInstrumentTest.cpp; here what the device adds on top.
// Header and footer frames are the sysex transcript's (sysex build header/footer).
TEST(MotifSysex, AParameterWithoutAddressLeavesNothing)
{
    MotifSysex m;
    m.prepareBulkHeader(0x0F00);
    m.prepareParameterChange(MidiParam(), 5);
    EXPECT_TRUE(m.isEmpty());
    m.prepareBulkFooter(0x0F00);
    m.prepareParameterRequest(MidiParam());
    EXPECT_TRUE(m.isEmpty());
}

// What the analysis of each kind says is the sysex transcript's; here the parameter values read.
TEST(MotifSysex, ReadsParameterValuesOfAChange)
{
    const MotifSysex change = message("F0 43 10 7F 00 30 11 00 02 48 F7");
    // A pair of six-bit bytes here: 2 * 64 + 72.
    EXPECT_EQ(change.getParameterData(MidiParam(0x301100, 2)), 200);
    EXPECT_EQ(change.getParameterData(MidiParam(0x301101, 2)), -1);
    EXPECT_EQ(change.getParameterPos(MidiParam(0x301100, 1)), 0);
}

// Parameters of elements, drum keys and parts sit in sub-blocks of a bulk block.
TEST(MotifSysex, LocatesParametersInSubBlocks)
{
    const MotifSysex m;
    QStringList located;
    for (const std::uint32_t address :
         {0x410125, 0x47482B, 0x47482C, 0x400005, 0x400043, 0x44035F, 0x440352, 0x460041}) {
        std::uint32_t base = 1, offset = 1;
        m.getBulkBaseAndOffset(address, base, offset);
        located << QString::asprintf("%06X+%X", base, offset);
    }
    EXPECT_EQ(located.join(' '), "410120+5 474820+B 474800+2C 400000+5 400040+3 440300+5F 440350+2 460040+1");

    MotifSysex block;
    block.prepareBulkDump(0x410120, QString("00 ").repeated(30));
    EXPECT_EQ(block.getParameterPos(MidiParam(0x41021D, 1)), -1);
    block.setAt(10 + 29, 0x55);
    EXPECT_EQ(block.getParameterData(MidiParam(0x41013D, 1)), 0x55);
    block.prepareBulkDump(0x410120, QString("00 ").repeated(29));
    EXPECT_EQ(block.getParameterPos(MidiParam(0x41013D, 1)), -1);
}

TEST(MotifSysex, ReadsNamesAndCategoriesFromNameBlocks)
{
    Motif device;
    MotifSysex voice;
    // Ten name characters, two bytes, then the main category (1 = Ap).
    voice.prepareBulkDump(0x407000, "46 75 6C 6C 20 47 72 61 6E 64 00 00 01 00");
    EXPECT_EQ(voice.readName(&device), "Ap:Full Grand");
    voice.setAt(10 + 12, 99);
    EXPECT_EQ(voice.readName(&device), "??:Full Grand");
    // A master's name without a category is the transcripts' (get MASTER:1, category master.syx).
    EXPECT_EQ(message("F0 43 10 7F 00 40 70 00 41 F7").readName(&device), "");
}

TEST(MotifSysex, SetAddressLeavesARequestWhole)
{
    // A request is too short to hold a block address: its F7 must survive.
    MotifSysex request = message("F0 43 30 7F 00 00 00 0A F7");
    request.setAddress(0);
    EXPECT_EQ(request.toString(), "F0 43 30 7F 00 00 00 0A F7");
}
