#include "zaltor/SysexAssembler.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

// The messages a chunk completes, "|" between them.
QString feed(SysexAssembler& assembler, const MidiBytes& chunk)
{
    QStringList out;
    for (const MidiBytes& message : assembler.feed(chunk)) out << hex(message);
    return out.join('|');
}

} // namespace

TEST(SysexAssembler, PassesWholeMessagesJoinsSplitOnesAndLetsRealtimeThrough)
{
    SysexAssembler assembler;
    // Several messages in one chunk, system common ones of every length among them.
    EXPECT_EQ(feed(assembler, {0xC0, 0x05, 0xF6, 0xF1, 0x12, 0xF2, 0x01, 0x02, 0xE0, 0x00, 0x40, 0xFA}),
              "C0 05|F6|F1 12|F2 01 02|E0 00 40|FA");
    EXPECT_EQ(feed(assembler, {0xF0, 0x43, 0x00}), "");
    EXPECT_EQ(feed(assembler, {0x7F, 0x01}), "");
    EXPECT_EQ(feed(assembler, {0x02, 0xF7}), "F0 43 00 7F 01 02 F7");
    // Clock and active sensing bytes inside a SysEx leave at once; the SysEx goes on around them.
    EXPECT_EQ(feed(assembler, {0xF0, 0x43, 0xF8, 0x01}), "F8");
    EXPECT_EQ(feed(assembler, {0xFE, 0x02, 0xF7, 0x80, 0x3C}), "FE|F0 43 01 02 F7");
    EXPECT_EQ(feed(assembler, {0x00}), "80 3C 00"); // a short message may be split too
    EXPECT_EQ(assembler.droppedBytes(), 0u);
}

TEST(SysexAssembler, DropsBrokenMessagesNoiseAndOversizedSysexWhole)
{
    SysexAssembler assembler(8);
    // A new F0 before the F7: the sender abandoned the first SysEx.
    EXPECT_EQ(feed(assembler, {0xF0, 0x01, 0x02, 0xF0, 0x03, 0xF7}), "F0 03 F7");
    EXPECT_EQ(assembler.droppedBytes(), 3u);
    // A channel message cuts a SysEx short and survives.
    EXPECT_EQ(feed(assembler, {0xF0, 0x43, 0x90, 0x3C, 0x64}), "90 3C 64");
    EXPECT_EQ(assembler.droppedBytes(), 5u);
    // Data bytes without a status, stray ends, a short message cut short.
    EXPECT_EQ(feed(assembler, {0x01, 0x02, 0xF7, 0xF7, 0x90, 0x3C, 0xB0, 0x07, 0x64}), "B0 07 64");
    EXPECT_EQ(assembler.droppedBytes(), 11u);

    EXPECT_EQ(feed(assembler, {0xF0, 1, 2, 3, 4, 5, 6, 0xF7}), "F0 01 02 03 04 05 06 F7");
    EXPECT_EQ(feed(assembler, {0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 0xF7}), "");
    EXPECT_EQ(assembler.droppedBytes(), 21u);
    // The next SysEx is whole again, also after an oversized one cut short by a new F0.
    EXPECT_EQ(feed(assembler, {0xF0, 1, 2, 3, 4, 5, 6, 7, 0xF0, 0x09, 0xF7}), "F0 09 F7");
    EXPECT_EQ(assembler.droppedBytes(), 29u);
}
