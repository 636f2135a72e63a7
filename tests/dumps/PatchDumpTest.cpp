#include "DumpTestSupport.h"
#include "TestSupport.h"

#include "core/Archive.h"
#include "motif/Motif.h"
#include "motif/MotifDump.h"
#include "motif/MotifSysex.h"

#include <gtest/gtest.h>

namespace {
const char* const Header = "F0 43 00 7F 00 00 00 0E 7F 00 73 F7";
const char* const Name = "F0 43 00 7F 00 00 0D 33 00 00 41 42 43 44 45 46 47 48 49 4A 00 00 00 09 F7";
const char* const Common = "F0 43 00 7F 00 00 02 32 00 00 11 22 19 F7";
const char* const Footer = "F0 43 00 7F 00 00 00 0F 7F 00 72 F7";

std::vector<std::uint8_t> stream(std::initializer_list<const char*> messages)
{
    std::vector<std::uint8_t> out;
    for (const char* message : messages) {
        const MidiBytes bytes = hexBytes(message);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

class PatchDumpTest : public ::testing::Test {
protected:
    bool readSyx(PatchDump& dump, std::vector<std::uint8_t> bytes)
    {
        Archive archive(std::move(bytes));
        return dump.fromArchive(archive, &device, "syx");
    }

    Motif device;
};
} // namespace

TEST_F(PatchDumpTest, ArchivesMessageCountAndLengthPrefixedMessages)
{
    VoiceDump voice(&device), copy(&device);
    voice.init();
    Archive out;
    ASSERT_TRUE(voice.toArchive(out));
    const std::vector<std::uint8_t>& bytes = out.bytes();
    EXPECT_EQ(hex({bytes.data(), 12}), "00 00 00 25 00 00 00 5E F0 43 00 7F");
    EXPECT_EQ(bytes.size(), 4 + 37 * 4 + voice.toBytes().size());
    Archive in(bytes);
    copy.addBulkDump(0x407000, "41");
    ASSERT_TRUE(copy.fromArchive(in, &device));
    EXPECT_TRUE(in.eof() && copy.toBytes() == voice.toBytes());
    EXPECT_NE(dynamic_cast<MotifSysex*>(copy.at(36)), nullptr);
}

// Damaged archives and .syx streams are replayed from fuzz/corpus/fuzz_dump; here only the reasons.
TEST_F(PatchDumpTest, RefusesDamageWithAReasonAndAnEmptyDump)
{
    MasterDump master(&device);
    std::vector<std::uint8_t> cut = stream({Header, Name, Common, Footer});
    cut.resize(cut.size() - 14);
    QStringList reasons;
    for (const auto& [bytes, format] :
         {std::pair<std::vector<std::uint8_t>, const char*>{hexBytes("FFFFFFFF 00000000"), nullptr},
          {hexBytes("00000001 00000002 F043"), nullptr},
          {cut, "syx"},
          {stream({Name, "F0 43 00 F8 7F F7"}), "syx"},
          {stream({Name, "FE", Common}), "syx"},
          {stream({Header, Footer}), "syx"},
          {stream({Name}), "mid"}}) {
        Archive archive(bytes);
        EXPECT_FALSE(format ? master.fromArchive(archive, &device, format)
                            : master.fromArchive(archive, &device));
        EXPECT_TRUE(master.isEmpty());
        reasons << master.errorText();
    }
    EXPECT_EQ(reasons.join('\n'), "The dump announces 4294967295 messages but only 4 bytes follow\n"
                                  "Message 1 of 1 in the dump is not a SysEx message\n"
                                  "The SysEx message at offset 37 is cut short\n"
                                  "The SysEx message at offset 25 is cut short\n"
                                  "Byte FE at offset 25 lies outside any SysEx message\n"
                                  "The file holds no patch data\n"
                                  "Patch dumps cannot be read from \"mid\" files");
    EXPECT_TRUE(readSyx(master, stream({Name})));
    EXPECT_EQ(master.errorText(), "");
}

TEST_F(PatchDumpTest, ReadsSyxStreamsWithoutTheirBulkFrame)
{
    MasterDump master(&device);
    ASSERT_TRUE(readSyx(master, stream({Header, Name, Common, Footer})));
    EXPECT_EQ(master.toBytes(), stream({Name, Common}));
    ASSERT_NE(dynamic_cast<MotifSysex*>(master.at(1)), nullptr);
    EXPECT_EQ(master.at(1)->getAddress(), 0x320000u);
    // Only a leading header and a trailing footer are the frame.
    ASSERT_TRUE(readSyx(master, stream({Name, Header, Footer, Common})));
    EXPECT_EQ(master.count(), 4);
    ASSERT_TRUE(readSyx(master, stream({"F0 43 10 7F 00 0A 00 00 03 F7"})));
    EXPECT_EQ(master.count(), 1);

    // Read from where the archive stands; offsets in reasons count from the file's start.
    const std::vector<std::uint8_t> prefixed = stream({"00 00", Header, Name});
    Archive archive(prefixed), fromStart(prefixed);
    archive.skip(2);
    ASSERT_TRUE(master.fromArchive(archive, &device, "SYX"));
    EXPECT_EQ(master.count(), 1);
    EXPECT_FALSE(master.fromArchive(fromStart, &device, "syx"));
    EXPECT_EQ(master.errorText(), "Byte 00 at offset 0 lies outside any SysEx message");
}

TEST_F(PatchDumpTest, CopiesIntoTheDevicesMessageClass)
{
    BulkDump foreign;
    foreign.append(new Sysex(hexBytes(Name)));
    foreign.append(new Sysex(hexBytes(Common)));
    MasterDump master(&device);
    master.addBulkDump(0x330000, "41");
    master.copyDump(&foreign, &device);
    ASSERT_EQ(master.toBytes(), foreign.toBytes());
    ASSERT_NE(dynamic_cast<MotifSysex*>(master.at(1)), nullptr);
    EXPECT_EQ(master.at(1)->getAddress(), 0x320000u);
    master.copyDump(nullptr, &device);
    // Without a device, the framework's own class.
    master.copyDump(&foreign, nullptr);
    EXPECT_EQ(dynamic_cast<MotifSysex*>(master.at(0)), nullptr);
    EXPECT_EQ(master.toBytes(), foreign.toBytes());
}

TEST_F(PatchDumpTest, NamesLiveInTheFirstMessage)
{
    VoiceDump voice(&device);
    voice.setName("Nothing");
    EXPECT_TRUE(voice.isEmpty() && voice.name(true).isEmpty());
    voice.init();
    voice.setName("Grand");
    EXPECT_EQ(dataHex(voice.first(), 0, 11), "47 72 61 6E 64 20 20 20 20 20 00");
    EXPECT_TRUE(voice.first()->checksumValid());
    EXPECT_EQ(voice.first()->readName(&device), "--:Grand     ");
    voice.setName("Grand Piano Extra");
    EXPECT_EQ(voice.name(), "Grand Pian");
    voice.setName(QString::fromUtf8("Flügel\t"));
    EXPECT_EQ(voice.name(), "Fl?gel?   ");

    // A name block shorter than a name takes what fits.
    MasterDump master(&device);
    master.addBulkDump(0x330000, "41 42 43");
    master.setName("Stage");
    EXPECT_EQ(master.first()->toString(), "F0 43 00 7F 00 00 03 33 00 00 53 74 61 22 F7");
    EXPECT_EQ(master.name(true), "Sta");
    EXPECT_FALSE(master.translateDump(&device, nullptr));
}
