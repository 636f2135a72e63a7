// The copier against the virtual instrument: a voice stored on it, fetched back and copied into a
// part of its performance or mix edit buffer, which the instrument then reports byte for byte.
#include "CopyFixtures.h"
#include "InstrumentRig.h"
#include "TestSupport.h"

#include "motif/VoiceCopierInfo.h"
#include "zaltor/BulkDump.h"

#include <gtest/gtest.h>

namespace {

constexpr int WaitMs = 3000;

class VoiceCopyAgainstInstrument : public ::testing::Test {
protected:
    VoiceCopyAgainstInstrument() { rig.device.setTransmitDelay(0); }

    // Stores source at patch on the instrument and fetches it back as the copier gets it.
    void storeAndFetch(Patch patch, BulkDump* source, BulkDump& fetched)
    {
        rig.device.patchTransmit(patch, source, false);
        ASSERT_TRUE(rig.device.syncPatchRequest(patch, fetched, false));
        rig.device.strip(&fetched);
    }

    std::vector<std::uint8_t> editBlock(int type, std::uint32_t address)
    {
        BulkDump edit;
        EXPECT_TRUE(rig.device.syncEditBufferRequest(type, edit, WaitMs));
        const Sysex* block = edit.getSysex(address);
        return block ? block->copyData() : std::vector<std::uint8_t>{};
    }

    InstrumentRig rig;
};

} // namespace

TEST_F(VoiceCopyAgainstInstrument, PerformancePartPlaysTheStoredVoice)
{
    const auto source = makeSource(rig.device, false);
    BulkDump fetched;
    storeAndFetch(Patch(0x3F08, 5), source.get(), fetched);
    const std::vector<std::uint8_t> otherPart = editBlock(Motif::Performance, 0x310300);

    VoiceCopierInfo info;
    info.voice = Patch(0x3F08, 5);
    info.part = 2;
    rig.device.CopyVoiceES(&fetched, &info, Motif::PerformanceMode);

    EXPECT_EQ(
        editBlock(Motif::Performance, 0x310200),
        hexBytes("3F 08 05 7F 63 01 7F 00 7F 65 66 40 40 7F 35 40 08 00 6B 6C 00 7F 40 47 48 40 68 69 67 00 "
                 "00 7F 7F 7F 38 49 01 37 4A 40 39 40 3A 3B 3D 00 00 36 40 00 01 0D 40 00 01 67 40 00"));
    const std::vector<std::uint8_t> common = editBlock(Motif::Performance, 0x300000);
    ASSERT_EQ(common.size(), 101u);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(common.data()), 10), "Copy Test ");
    EXPECT_EQ(common[0x0C], 0x05);
    EXPECT_EQ(common[0x0D], 0x03);
    EXPECT_EQ(std::vector<std::uint8_t>(common.begin() + 0x14, common.begin() + 0x34),
              hexBytes("14 15 01 17 18 19 1A 1B 1C 1D 1E 1F 20 21 22 23 24 25 26 27 28 29 2A 2B 2C 2D 2E 2F "
                       "30 31 32 33"));
    EXPECT_EQ(std::vector<std::uint8_t>(common.begin() + 0x60, common.begin() + 0x64),
              hexBytes("00 20 00 04"));
    // The effect blocks are copied whole.
    for (std::uint32_t block : {0x0100u, 0x0200u, 0x0300u, 0x0400u})
        EXPECT_EQ(editBlock(Motif::Performance, 0x300000 | block),
                  source->getSysex(0x400000 | block)->copyData())
            << std::hex << block;
    EXPECT_EQ(editBlock(Motif::Performance, 0x310300), otherPart);
    EXPECT_EQ(rig.instrument.errorCount(), 0) << rig.instrument.errors().join('\n').toStdString();
}

TEST_F(VoiceCopyAgainstInstrument, MixPartPlaysTheStoredDrumKit)
{
    const auto source = makeSource(rig.device, true);
    BulkDump fetched;
    storeAndFetch(Patch(0x3F28, 3), source.get(), fetched);
    const std::vector<std::uint8_t> nameBefore = editBlock(Motif::Mix, 0x360000);

    VoiceCopierInfo info;
    info.voice = Patch(0x3F28, 3);
    info.part = 15;
    info.copyinsfx = false;
    rig.device.CopyVoiceES(&fetched, &info, Motif::SongMode);

    EXPECT_EQ(
        editBlock(Motif::Mix, 0x370F00),
        hexBytes("3F 28 03 0F 01 01 7F 00 7F 62 63 40 40 7F 35 40 08 00 64 65 00 7F 40 47 48 40 00 00 00 00 "
                 "00 7F 7F 7F 38 49 01 37 40 40 39 40 3A 3B 3D 00 00 36 40 00 01 0D 40 00 01 67 40 00"));
    const std::vector<std::uint8_t> common = editBlock(Motif::Mix, 0x360000);
    ASSERT_EQ(common.size(), nameBefore.size());
    // A mix keeps its name; the switch word has part 15's bit only.
    EXPECT_TRUE(std::equal(common.begin(), common.begin() + 0x0E, nameBefore.begin()));
    EXPECT_EQ(std::vector<std::uint8_t>(common.begin() + 0x60, common.begin() + 0x64),
              hexBytes("00 02 00 00"));
    EXPECT_EQ(editBlock(Motif::Mix, 0x360100), source->getSysex(0x460100)->copyData());
    EXPECT_NE(editBlock(Motif::Mix, 0x360300), source->getSysex(0x460300)->copyData());
    EXPECT_EQ(rig.instrument.errorCount(), 0) << rig.instrument.errors().join('\n').toStdString();
}

TEST_F(VoiceCopyAgainstInstrument, InstrumentTakesWideParametersOnlyWhole)
{
    VirtualInstrument& vi = rig.instrument;
    const std::vector<std::uint8_t> part = vi.block(0x4F00, 0x310000);
    const std::vector<std::uint8_t> common = vi.block(0x5F00, 0x360000);
    // The message, then the parameter it falls into, its size, and where the message starts.
    const std::tuple<const char*, const char*, int, const char*> refused[] = {
        {"F0 43 10 7F 00 31 00 2E 36 F7", "31002E", 2, "31002E"},
        {"F0 43 10 7F 00 31 00 2F 00 36 F7", "31002E", 2, "31002F"},
        {"F0 43 10 7F 00 31 00 2D 00 00 36 F7", "31002E", 2, "31002D"},
        {"F0 43 10 7F 00 36 00 60 00 01 F7", "360060", 4, "360060"},
        {"F0 43 10 7F 00 36 04 21 05 F7", "360420", 2, "360421"},
    };
    QStringList expected;
    for (const auto& [message, parameter, size, at] : refused) {
        vi.receive(hexBytes(message));
        expected << QString::asprintf(
            "bad length: 0x%s is a %d-byte parameter and changes only whole, got %d "
            "data bytes at 0x%s: %s",
            parameter, size, int(hexBytes(message).size()) - 9, at, message);
    }
    EXPECT_EQ(vi.errors(), expected);
    EXPECT_EQ(vi.block(0x4F00, 0x310000), part);
    EXPECT_EQ(vi.block(0x5F00, 0x360000), common);

    vi.receive(hexBytes("F0 43 10 7F 00 31 00 32 00 7F F7"));
    vi.receive(hexBytes("F0 43 10 7F 00 36 00 5C 01 02 03 04 F7"));
    vi.receive(hexBytes("F0 43 10 7F 00 36 00 60 00 01 02 03 F7"));
    EXPECT_EQ(vi.errorCount(), 5);
    const std::vector<std::uint8_t> changedPart = vi.block(0x4F00, 0x310000);
    EXPECT_EQ(std::vector<std::uint8_t>(changedPart.begin() + 0x32, changedPart.begin() + 0x34),
              hexBytes("00 7F"));
    const std::vector<std::uint8_t> changed = vi.block(0x5F00, 0x360000);
    EXPECT_EQ(std::vector<std::uint8_t>(changed.begin() + 0x5C, changed.begin() + 0x64),
              hexBytes("01 02 03 04 00 01 02 03"));
}
