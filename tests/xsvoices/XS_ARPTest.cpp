// Arpeggio events in their archive form: the bytes each kind reads and writes back, its text, and
// the streams that are refused. Round trips of any stream are fuzz_arp's.
#include "VoiceTestSupport.h"

#include "motif/documents/ARPEvent.h"

#include <gtest/gtest.h>

TEST(ARPEvent, ArchiveFormsAndTexts)
{
    // Reads one event: its text, the bytes it writes back and how many bytes of the stream are left.
    const auto readBack = [](const char* hexBytes) {
        Buffer bytes;
        bytes.fromString(QString::fromLatin1(hexBytes));
        Archive in(bytes.vector());
        ARPEvent event;
        if (!event.fromArchive(in)) return QStringLiteral("refused");
        Archive out;
        event.toArchive(out);
        return event.toString() + "| " + hex(out.bytes()) + " | rest " +
               QString::number(in.size() - in.pos());
    };
    const std::pair<const char*, const char*> cases[] = {
        {"60 91 3C 64", "96: 91 3C 64| 60 91 3C 64 | rest 0"},
        // A note off carries the note alone and reads back with velocity 0.
        {"83 60 81 3C", "480: 81 3C 00| 83 60 81 3C | rest 0"},
        {"00 FF 03 03 41 72 70", "0: META(03)='Arp'| 00 FF 03 03 41 72 70 | rest 0"},
        {"0A F0 04 43 10 4C F7", "10: F0 43 10 4C F7| 0A F0 04 43 10 4C F7 | rest 0"},
        // Other statuses carry nothing after the status byte.
        {"81 00 B0 00 91 3C 40", "128: B0 | 81 00 B0 | rest 4"},
        // A meta text ends at its first zero byte.
        {"00 FF 02 04 55 70 00 78", "0: META(02)='Up'| 00 FF 02 04 55 70 00 78 | rest 0"},
        // A payload length beyond the stream is refused before anything is allocated.
        {"00 FF 01 FF FF FF 7F 41", "refused"},
        // A time of more than four bytes is not a MIDI variable-length number.
        {"81 81 81 81 01 B0", "refused"},
    };
    for (const auto& [bytes, read] : cases) EXPECT_EQ(readBack(bytes), read) << bytes;
}
