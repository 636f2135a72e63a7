#include "VoiceTestSupport.h"

#include "motif/documents/ARPEvent.h"
#include "motif/documents/XS_ARP.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::uint8_t> archived(const ARPEvent& event)
{
    Archive out;
    event.toArchive(out);
    return out.bytes();
}

// Reads one event: its text, the bytes it writes back and how many bytes of the stream are left.
QString readBack(const char* hexBytes)
{
    Buffer bytes;
    bytes.fromString(QString::fromLatin1(hexBytes));
    Archive in(bytes.vector());
    ARPEvent event;
    if (!event.fromArchive(in)) return QStringLiteral("refused");
    return QStringLiteral("%1| %2 | rest %3")
        .arg(event.toString(), hex(archived(event)))
        .arg(in.size() - in.pos());
}

} // namespace

TEST(XS_ARP, NameIdAndDataOfTheRecord)
{
    // A name needs an entry or data to go to.
    XS_ARP arp;
    arp.setName(QStringLiteral("Unused"));
    EXPECT_EQ(arp.content_name, "");
    EXPECT_TRUE(arp.data().isEmpty());

    arp.setId(0x12);
    EXPECT_EQ(arp.filename, "000012-Voice.vce");

    // An entry that points at data counts before the data itself is there.
    arp.data_offset = 12;
    EXPECT_TRUE(arp.hasData());
    arp.setName(QStringLiteral("Pointed"));
    EXPECT_EQ(arp.content_name, "Pointed");
    EXPECT_EQ(arp.name(), "");
    arp.data_offset = 0;
    arp.data_size = 4;
    EXPECT_TRUE(arp.hasData());
    arp.data_size = 0;

    Buffer block;
    block.allocate(30, 0xEE);
    arp.setData(block);
    arp.setName(QStringLiteral("Arpeggio Name Longer Than Twenty"));
    EXPECT_EQ(arp.content_name, "Arpeggio Name Longer");
    EXPECT_EQ(arp.data().toString(),
              "EE EE EE EE 41 72 70 65 67 67 69 6F 20 4E 61 6D 65 20 4C 6F 6E 67 65 72 "
              "EE EE EE EE EE EE");

    arp.data_size = 30;
    arp.data_offset = 12;
    arp.deleteData();
    EXPECT_FALSE(arp.hasData());
    EXPECT_EQ(arp.name(), "");
    EXPECT_EQ(arp.id(), 0x12);
}

TEST(ARPEvent, ArchiveFormsAndTexts)
{
    ARPEvent on;
    on.setTime(96);
    on.setMessage(MidiMessage(0x91, 60, 100));
    EXPECT_EQ(hex(archived(on)), "60 91 3C 64");

    const std::pair<const char*, const char*> cases[] = {
        {"60 91 3C 64", "96: 91 3C 64| 60 91 3C 64 | rest 0"},
        // A note off carries the note alone and reads back with velocity 0.
        {"83 60 81 3C", "480: 81 3C 00| 83 60 81 3C | rest 0"},
        {"00 FF 03 03 41 72 70", "0: META(03)='Arp'| 00 FF 03 03 41 72 70 | rest 0"},
        {"00 FF 51 03 07 A1 20", "0: META(51)=07 A1 20| 00 FF 51 03 07 A1 20 | rest 0"},
        {"0A F0 04 43 10 4C F7", "10: F0 43 10 4C F7| 0A F0 04 43 10 4C F7 | rest 0"},
        // Other statuses carry nothing after the status byte.
        {"81 00 B0 00 91 3C 40", "128: B0 | 81 00 B0 | rest 4"},
        // A meta text ends at its first zero byte.
        {"00 FF 02 04 55 70 00 78", "0: META(02)='Up'| 00 FF 02 04 55 70 00 78 | rest 0"},
        // A payload length beyond the stream is refused before anything is allocated.
        {"00 FF 01 FF FF FF 7F 41", "refused"},
        {"00 F0 03 43 10", "refused"},
        {"00 91 3C", "refused"},
        // A time of more than four bytes is not a MIDI variable-length number.
        {"81 81 81 81 01 B0", "refused"},
        {"", "refused"},
    };
    for (const auto& [bytes, read] : cases) EXPECT_EQ(readBack(bytes), read) << bytes;

    // A refused payload leaves no data behind.
    Archive cutSysex(std::vector<std::uint8_t>{0x00, 0xF0, 0x03, 0x43, 0x10});
    ARPEvent sysex;
    sysex.setData(Buffer{0x01});
    EXPECT_FALSE(sysex.fromArchive(cutSysex));
    EXPECT_TRUE(sysex.data().isEmpty());
}
