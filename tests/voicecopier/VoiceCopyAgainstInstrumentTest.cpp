// The copier against the virtual instrument: a voice stored on it, fetched back and copied into a
// part of its performance or mix edit buffer, which the instrument then reports byte for byte.
#include "CopyFixtures.h"
#include "InstrumentRig.h"
#include "TestSupport.h"

#include "motif/VoiceCopierInfo.h"
#include "zaltor/BulkDump.h"

#include <gtest/gtest.h>

namespace {

class VoiceCopyAgainstInstrument : public ::testing::Test {
protected:
    VoiceCopyAgainstInstrument() { rig.device.setTransmitDelay(0); }

    // Stores makeSource's voice or kit at patch, fetches it back as the copier gets it and copies it.
    void storeAndCopy(MotifDump& source, Patch patch, VoiceCopierInfo info, int mode)
    {
        BulkDump fetched;
        rig.device.patchTransmit(patch, &source, false);
        ASSERT_TRUE(rig.device.syncPatchRequest(patch, fetched, false));
        rig.device.strip(&fetched);
        info.voice = patch;
        rig.device.CopyVoiceES(&fetched, &info, mode);
    }

    // Bytes from..to of a block of the instrument's edit buffer, as hex.
    QString edited(int type, std::uint32_t address, int from = 0, int to = -1)
    {
        BulkDump edit;
        EXPECT_TRUE(rig.device.syncEditBufferRequest(type, edit, 3000));
        const Sysex* block = edit.getSysex(address);
        const std::vector<std::uint8_t> data = block ? block->copyData() : std::vector<std::uint8_t>{};
        return hex(std::span(data).subspan(std::size_t(from), to < 0 ? data.size() - std::size_t(from)
                                                                     : std::size_t(to - from)));
    }

    InstrumentRig rig;
};

} // namespace

TEST_F(VoiceCopyAgainstInstrument, PerformancePartPlaysTheStoredVoice)
{
    const auto source = makeSource(rig.device, false);
    const QString otherPart = edited(Motif::Performance, 0x310300);
    VoiceCopierInfo info;
    info.part = 2;
    storeAndCopy(*source, Patch(0x3F08, 5), info, Motif::PerformanceMode);

    EXPECT_EQ(edited(Motif::Performance, 0x310200),
              "3F 08 05 7F 63 01 7F 00 7F 65 66 40 40 7F 35 40 08 00 6B 6C 00 7F 40 47 48 40 68 69 67 00 "
              "00 7F 7F 7F 38 49 01 37 4A 40 39 40 3A 3B 3D 00 00 36 40 00 01 0D 40 00 01 67 40 00");
    // The name, the category, and the part's bit beside the A/D input's.
    EXPECT_EQ(edited(Motif::Performance, 0x300000, 0, 0x0E), "43 6F 70 79 20 54 65 73 74 20 00 00 05 03");
    EXPECT_EQ(edited(Motif::Performance, 0x300000, 0x60, 0x64), "00 20 00 04");
    // The effect blocks are copied whole.
    for (std::uint32_t block : {0x0100u, 0x0200u, 0x0300u, 0x0400u})
        EXPECT_EQ(edited(Motif::Performance, 0x300000 | block),
                  hex(source->getSysex(0x400000 | block)->copyData()))
            << std::hex << block;
    EXPECT_EQ(edited(Motif::Performance, 0x310300), otherPart);
    EXPECT_EQ(rig.instrument.errors(), QStringList{});
}

TEST_F(VoiceCopyAgainstInstrument, MixPartPlaysTheStoredDrumKit)
{
    const auto source = makeSource(rig.device, true);
    const QString nameBefore = edited(Motif::Mix, 0x360000, 0, 0x0E);
    VoiceCopierInfo info;
    info.part = 15;
    info.copyinsfx = false;
    storeAndCopy(*source, Patch(0x3F28, 3), info, Motif::SongMode);

    EXPECT_EQ(edited(Motif::Mix, 0x370F00),
              "3F 28 03 0F 01 01 7F 00 7F 62 63 40 40 7F 35 40 08 00 64 65 00 7F 40 47 48 40 00 00 00 00 "
              "00 7F 7F 7F 38 49 01 37 40 40 39 40 3A 3B 3D 00 00 36 40 00 01 0D 40 00 01 67 40 00");
    // A mix keeps its name; the switch word has part 15's bit only.
    EXPECT_EQ(edited(Motif::Mix, 0x360000, 0, 0x0E), nameBefore);
    EXPECT_EQ(edited(Motif::Mix, 0x360000, 0x60, 0x64), "00 02 00 00");
    EXPECT_EQ(edited(Motif::Mix, 0x360100), hex(source->getSysex(0x460100)->copyData()));
    EXPECT_NE(edited(Motif::Mix, 0x360300), hex(source->getSysex(0x460300)->copyData()));
    EXPECT_EQ(rig.instrument.errors(), QStringList{});
}

// The instrument refuses a part of a wide parameter, so the copies above prove the copier sends them whole.
TEST_F(VoiceCopyAgainstInstrument, InstrumentTakesWideParametersOnlyWhole)
{
    VirtualInstrument& vi = rig.instrument;
    const std::vector<std::uint8_t> common = vi.block(0x5F00, 0x360000);
    vi.receive(hexBytes("F0 43 10 7F 00 36 00 61 00 01 F7"));
    EXPECT_EQ(vi.block(0x5F00, 0x360000), common);
    vi.receive(hexBytes("F0 43 10 7F 00 36 00 5C 01 02 03 04 F7"));
    vi.receive(hexBytes("F0 43 10 7F 00 36 00 60 00 01 02 03 F7"));
    EXPECT_EQ(hex(std::span<const std::uint8_t>(vi.block(0x5F00, 0x360000)).subspan(0x5C, 8)),
              "01 02 03 04 00 01 02 03");
    EXPECT_EQ(vi.errors(),
              QStringList{"bad length: 0x360060 is a 4-byte parameter and changes only whole, got 2 "
                          "data bytes at 0x360061: F0 43 10 7F 00 36 00 61 00 01 F7"});
}
