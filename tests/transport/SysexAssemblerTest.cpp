#include "zaltor/SysexAssembler.h"

#include <gtest/gtest.h>

namespace {

std::vector<MidiBytes> feed(SysexAssembler& assembler, const MidiBytes& chunk)
{
    return assembler.feed(chunk);
}

} // namespace

TEST(SysexAssembler, WholeMessagesPassInOrder)
{
    SysexAssembler assembler;
    EXPECT_EQ(feed(assembler, {0x90, 0x3C, 0x64}), (std::vector<MidiBytes>{{0x90, 0x3C, 0x64}}));
    EXPECT_EQ(feed(assembler, {0xC0, 0x05}), (std::vector<MidiBytes>{{0xC0, 0x05}}));
    EXPECT_EQ(feed(assembler, {0xF0, 0x43, 0x20, 0x7F, 0x03, 0xF7}),
              (std::vector<MidiBytes>{{0xF0, 0x43, 0x20, 0x7F, 0x03, 0xF7}}));
    // Several messages in one chunk, system common ones of every length among them.
    EXPECT_EQ(feed(assembler, {0xF6, 0xF1, 0x12, 0xF2, 0x01, 0x02, 0xE0, 0x00, 0x40, 0xFA}),
              (std::vector<MidiBytes>{{0xF6}, {0xF1, 0x12}, {0xF2, 0x01, 0x02}, {0xE0, 0x00, 0x40}, {0xFA}}));
    EXPECT_EQ(assembler.droppedBytes(), 0u);
}

TEST(SysexAssembler, JoinsSplitSysexAndLetsRealtimeThrough)
{
    SysexAssembler assembler;
    EXPECT_TRUE(feed(assembler, {0xF0, 0x43, 0x00}).empty());
    EXPECT_TRUE(feed(assembler, {0x7F, 0x01}).empty());
    EXPECT_EQ(feed(assembler, {0x02, 0xF7}),
              (std::vector<MidiBytes>{{0xF0, 0x43, 0x00, 0x7F, 0x01, 0x02, 0xF7}}));

    // Clock and active sensing bytes inside a SysEx leave at once; the SysEx goes on around them.
    EXPECT_EQ(feed(assembler, {0xF0, 0x43, 0xF8, 0x01}), (std::vector<MidiBytes>{{0xF8}}));
    EXPECT_EQ(feed(assembler, {0xFE, 0x02, 0xF7, 0x80, 0x3C}),
              (std::vector<MidiBytes>{{0xFE}, {0xF0, 0x43, 0x01, 0x02, 0xF7}}));
    // A short message may be split too.
    EXPECT_EQ(feed(assembler, {0x00}), (std::vector<MidiBytes>{{0x80, 0x3C, 0x00}}));
    EXPECT_EQ(assembler.droppedBytes(), 0u);
}

TEST(SysexAssembler, DropsBrokenMessagesAndNoise)
{
    SysexAssembler assembler;
    // A new F0 before the F7: the sender abandoned the first SysEx.
    EXPECT_TRUE(feed(assembler, {0xF0, 0x01, 0x02}).empty());
    EXPECT_EQ(feed(assembler, {0xF0, 0x03, 0xF7}), (std::vector<MidiBytes>{{0xF0, 0x03, 0xF7}}));
    EXPECT_EQ(assembler.droppedBytes(), 3u);

    // A channel message cuts a SysEx short and survives.
    EXPECT_EQ(feed(assembler, {0xF0, 0x43, 0x90, 0x3C, 0x64}), (std::vector<MidiBytes>{{0x90, 0x3C, 0x64}}));
    EXPECT_EQ(assembler.droppedBytes(), 5u);

    // Data bytes without a status, stray ends, a short message cut short.
    EXPECT_EQ(feed(assembler, {0x01, 0x02, 0xF7, 0xF7, 0x90, 0x3C, 0xB0, 0x07, 0x64}),
              (std::vector<MidiBytes>{{0xB0, 0x07, 0x64}}));
    EXPECT_EQ(assembler.droppedBytes(), 11u);
}

TEST(SysexAssembler, DropsOversizedSysexWhole)
{
    SysexAssembler assembler(8);
    EXPECT_EQ(feed(assembler, {0xF0, 1, 2, 3, 4, 5, 6, 0xF7}),
              (std::vector<MidiBytes>{{0xF0, 1, 2, 3, 4, 5, 6, 0xF7}}));
    EXPECT_TRUE(feed(assembler, {0xF0, 1, 2, 3, 4, 5, 6, 7}).empty());
    EXPECT_TRUE(feed(assembler, {8, 0xF7}).empty());
    EXPECT_EQ(assembler.droppedBytes(), 10u);

    // The next SysEx is whole again, also after an oversized one cut short by a new F0.
    EXPECT_EQ(feed(assembler, {0xF0, 1, 2, 3, 4, 5, 6, 7, 0xF0, 0x09, 0xF7}),
              (std::vector<MidiBytes>{{0xF0, 0x09, 0xF7}}));
    EXPECT_EQ(assembler.droppedBytes(), 18u);
}
