#include "zaltor/MidiMessage.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

TEST(MidiMessage, ParsesOnlyCompleteShortMessages)
{
    const MidiMessage program = MidiMessage::fromBytes(hexBytes("C5 10"));
    EXPECT_TRUE(program.isValid() && program.isProgramChange());
    EXPECT_EQ(
        QString::asprintf("%d %d %s", program.channel(), program.data1(), qPrintable(program.toString())),
        "5 16 C5 10");
    const MidiMessage song = MidiMessage::fromBytes(hexBytes("F3 07"));
    EXPECT_TRUE(song.isSongSelect() && song.channel() == -1 && song.type() == 0xF3);
    EXPECT_EQ(MidiMessage::fromBytes(hexBytes("9A 3C 64")).type(), 0x90);
    EXPECT_EQ(MidiMessage::fromBytes(hexBytes("F2 01 02")).toString() +
                  MidiMessage::fromBytes(hexBytes("F8")).toString(),
              "F2 01 02F8");
    for (const char* bad : {"", "B0 00", "B0 00 3F 00", "B0 00 80", "C0", "F0 F7", "F7", "3F 00"})
        EXPECT_FALSE(MidiMessage::fromBytes(hexBytes(bad)).isValid()) << bad;
    // Data bytes are 7-bit whatever the caller passes.
    EXPECT_EQ(MidiMessage(0xB0, 0x80, 0xFF).toString(), "B0 00 7F");
    for (const auto& [status, length] :
         {std::pair{0xE3, 2}, {0xD3, 1}, {0xF1, 1}, {0xF6, 0}, {0xF0, -1}, {0x40, -1}})
        EXPECT_EQ(MidiMessage::dataLength(std::uint8_t(status)), length) << status;
}
