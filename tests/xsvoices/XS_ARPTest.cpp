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

} // namespace

TEST(XS_ARP, NameIdAndDataOfTheRecord)
{
    XS_ARP arp;
    EXPECT_FALSE(arp.hasData());
    EXPECT_EQ(arp.name(), "");
    arp.setName(QStringLiteral("Unused"));
    EXPECT_EQ(arp.content_name, "");
    EXPECT_TRUE(arp.data().isEmpty());

    arp.setId(0x12);
    EXPECT_EQ(arp.id(), 0x12);
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
    EXPECT_TRUE(arp.hasData());
    arp.setName(QStringLiteral("Arpeggio Name Longer Than Twenty"));
    EXPECT_EQ(arp.content_name, "Arpeggio Name Longer");
    EXPECT_EQ(arp.name(), "Arpeggio Name Longer");
    EXPECT_EQ(arp.data().toString(),
              "EE EE EE EE 41 72 70 65 67 67 69 6F 20 4E 61 6D 65 20 4C 6F 6E 67 65 72 "
              "EE EE EE EE EE EE");
    EXPECT_EQ(arp.info(), "owner: 00000000\ndata_size: 0\ntime: 00000000\ndata_offset: 00000000 = 0\n"
                          "content_number: 18 (000012)\nfilter: 0\nfavorite: 0\n"
                          "content_name: Arpeggio Name Longer\nfilename: 000012-Voice.vce\nrel_filenames: \n"
                          "\ndvce size = 30");

    XS_ARP copy(arp);
    EXPECT_EQ(copy.data(), arp.data());
    EXPECT_EQ(copy.info(), arp.info());

    arp.data_size = 30;
    arp.data_offset = 12;
    arp.deleteData();
    EXPECT_FALSE(arp.hasData());
    EXPECT_EQ(arp.data_size, 0);
    EXPECT_EQ(arp.data_offset, 0);
    EXPECT_EQ(arp.name(), "");
    EXPECT_EQ(arp.id(), 0x12);
}

TEST(ARPEvent, ArchiveFormsAndTexts)
{
    ARPEvent on;
    on.setTime(96);
    on.setMessage(MidiMessage(0x91, 60, 100));
    EXPECT_EQ(hex(archived(on)), "60 91 3C 64");
    EXPECT_EQ(on.toString(), "96: 91 3C 64");
    Archive onIn(archived(on));
    ARPEvent onBack;
    ASSERT_TRUE(onBack.fromArchive(onIn));
    EXPECT_EQ(onBack.time(), 96u);
    EXPECT_EQ(onBack.message().status(), 0x91);
    EXPECT_EQ(onBack.message().data1(), 60);
    EXPECT_EQ(onBack.message().data2(), 100);

    // A note off carries the note alone and reads back with velocity 0.
    Archive offIn(std::vector<std::uint8_t>{0x83, 0x60, 0x81, 0x3C});
    ARPEvent off;
    ASSERT_TRUE(off.fromArchive(offIn));
    EXPECT_EQ(off.time(), 480u);
    EXPECT_EQ(off.data(), (Buffer{0x3C, 0x00}));
    EXPECT_EQ(off.toString(), "480: 81 3C 00");
    EXPECT_EQ(hex(archived(off)), "83 60 81 3C");

    ARPEvent name;
    name.setStatus(ARPEvent::MetaStatus);
    name.setMetaType(3);
    name.setData(Buffer{'A', 'r', 'p'});
    EXPECT_EQ(hex(archived(name)), "00 FF 03 03 41 72 70");
    EXPECT_EQ(name.toString(), "0: META(03)='Arp'");
    EXPECT_TRUE(name.isMeta());
    EXPECT_EQ(name.message().status(), 0);

    Archive tempoIn(std::vector<std::uint8_t>{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});
    ARPEvent tempo;
    ASSERT_TRUE(tempo.fromArchive(tempoIn));
    EXPECT_EQ(tempo.metaType(), 0x51);
    EXPECT_EQ(tempo.toString(), "0: META(51)=07 A1 20");

    Archive sysexIn(std::vector<std::uint8_t>{0x0A, 0xF0, 0x04, 0x43, 0x10, 0x4C, 0xF7});
    ARPEvent sysex;
    ASSERT_TRUE(sysex.fromArchive(sysexIn));
    EXPECT_TRUE(sysex.isSysex());
    EXPECT_EQ(sysex.toString(), "10: F0 43 10 4C F7");
    EXPECT_EQ(hex(archived(sysex)), "0A F0 04 43 10 4C F7");

    // Other statuses carry nothing after the status byte.
    Archive otherIn(std::vector<std::uint8_t>{0x81, 0x00, 0xB0, 0x00, 0x91, 0x3C, 0x40});
    ARPEvent other;
    ASSERT_TRUE(other.fromArchive(otherIn));
    EXPECT_EQ(other.time(), 128u);
    EXPECT_EQ(other.status(), 0xB0);
    EXPECT_EQ(other.toString(), "128: B0 ");
    EXPECT_EQ(hex(archived(other)), "81 00 B0");
    ARPEvent next;
    ASSERT_TRUE(next.fromArchive(otherIn));
    EXPECT_TRUE(otherIn.eof());
    EXPECT_EQ(next.toString(), "0: 91 3C 40");

    // A meta text is read up to its first zero byte.
    name.setData(Buffer{'U', 'p', 0x00, 'x'});
    EXPECT_EQ(name.text(), "Up");
    name.setMetaType(2);
    EXPECT_EQ(name.toString(), "0: META(02)='Up'");
}

TEST(ARPEvent, ShortAndHostileStreamsFail)
{
    // A payload length beyond the stream is refused before anything is allocated.
    Archive huge(std::vector<std::uint8_t>{0x00, 0xFF, 0x01, 0xFF, 0xFF, 0xFF, 0x7F, 0x41});
    ARPEvent meta;
    meta.setData(Buffer{0x01});
    EXPECT_FALSE(meta.fromArchive(huge));
    EXPECT_TRUE(huge.failed());
    EXPECT_TRUE(meta.data().isEmpty());

    Archive cutSysex(std::vector<std::uint8_t>{0x00, 0xF0, 0x03, 0x43, 0x10});
    ARPEvent sysex;
    EXPECT_FALSE(sysex.fromArchive(cutSysex));
    EXPECT_TRUE(sysex.data().isEmpty());

    Archive cutNote(std::vector<std::uint8_t>{0x00, 0x91, 0x3C});
    EXPECT_FALSE(ARPEvent().fromArchive(cutNote));

    // A time of more than four bytes is not a MIDI variable-length number.
    Archive longTime(std::vector<std::uint8_t>{0x81, 0x81, 0x81, 0x81, 0x01, 0xB0});
    EXPECT_FALSE(ARPEvent().fromArchive(longTime));

    Archive empty(std::vector<std::uint8_t>{});
    EXPECT_FALSE(ARPEvent().fromArchive(empty));
}
