#include "DumpTestSupport.h"

#include "motif/Motif.h"
#include "motif/MotifDump.h"

#include <gtest/gtest.h>

namespace {
const Patch User1_5(0x3F08, 5);
const Patch User2_7(0x3F09, 7);

void refer(Sysex* message, int at, const Patch& patch)
{
    message->setDataAt(at, std::uint8_t(patch.msb()));
    message->setDataAt(at + 1, std::uint8_t(patch.lsb()));
    message->setDataAt(at + 2, std::uint8_t(patch.program()));
    message->updateChecksum();
}

QStringList reported(const PatchDump& dump, Motif* device)
{
    UserPatchList list;
    dump.getUserPatches(&list);
    QStringList out;
    for (int i = 0; i < list.count(); ++i) {
        EXPECT_EQ(list.device(i), device);
        out << QString::asprintf("%06X", list.patch(i).value());
    }
    return out;
}
} // namespace

TEST(MotifDumpReferences, PerformancePartsCountOnlyWithTheirFlagSet)
{
    Motif device;
    PerformanceDump performance(&device);
    performance.init();
    // Only part 1 of the init performance has bit 0 of byte 31 set.
    EXPECT_EQ(reported(performance, &device), QStringList{"3F0000"});

    Sysex* part2 = performance.getSysex(0x310100);
    refer(part2, 0, User1_5);
    EXPECT_EQ(reported(performance, &device), QStringList{"3F0000"});
    performance.reindexPatch(User1_5, User2_7);
    EXPECT_EQ(dataHex(part2, 0, 3), "3F 08 05");

    part2->setDataAt(31, 0x7D);
    part2->updateChecksum();
    refer(performance.getSysex(0x316200), 0, User1_5);
    performance.getSysex(0x316200)->setDataAt(31, 0x01);
    EXPECT_EQ(reported(performance, &device), (QStringList{"3F0000", "3F0805", "3F0805"}));
    performance.reindexPatch(User1_5, User2_7);
    EXPECT_TRUE(part2->checksumValid());
    EXPECT_EQ(reported(performance, &device), (QStringList{"3F0000", "3F0907", "3F0907"}));

    // A part block too short for its flag byte does not count.
    PerformanceDump shortParts(&device);
    shortParts.addBulkDump(0x310000, "3F 08 05 7F");
    EXPECT_EQ(reported(shortParts, &device), QStringList());
}

// That every mix part counts and a master names one patch, and their rewriting, are the patch_files
// transcript's; here what must change nothing, and that voices refer to nothing.
TEST(MotifDumpReferences, OtherPatchesAndShortBlocksChangeNothing)
{
    Motif device;
    MixDump mix(&device), small(&device);
    mix.init();
    const std::vector<std::uint8_t> before = mix.toBytes();
    mix.reindexPatch(User1_5, Patch(0x3F09, 9));
    mix.reindexPatch(Patch(0x3F00, 0), Patch());
    EXPECT_EQ(mix.toBytes(), before);
    small.buildInit("MO");
    EXPECT_EQ(reported(small, &device).size(), 16);

    MasterDump shortCommon(&device);
    shortCommon.addBulkDump(0x330000, "49 6E 69 74 4D 61 73 74 65 72 00 00 00 00 3F 08");
    shortCommon.reindexPatch(Patch(0x3F08, 0), User2_7);
    EXPECT_EQ(reported(shortCommon, &device), QStringList());
    EXPECT_EQ(dataHex(shortCommon.first(), 14, 2), "3F 08");
    VoiceDump voice(&device);
    voice.init();
    EXPECT_EQ(reported(voice, &device), QStringList());
}
