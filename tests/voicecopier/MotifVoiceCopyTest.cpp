// The voice copier's messages: every write in order, the groups the options select, the drum kit
// differences, and the copies it refuses.
#include "CopyFixtures.h"
#include "TestSupport.h"

#include "motif/VoiceCopierInfo.h"
#include "zaltor/BulkDump.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

class VoiceCopy : public ::testing::Test {
protected:
    VoiceCopy() { device.connectPorts(nullptr, wire.host.get()); }

    // What one copy sends, as "address:data" ("300060:00 20 00 01"); with prefixes, only the
    // changes whose address starts with one of them.
    QStringList copy(BulkDump* source, VoiceCopierInfo info, int mode, bool asDrum = false,
                     const QStringList& prefixes = {""})
    {
        wire.received.clear();
        asDrum ? device.CopyDrumES(source, &info, mode) : device.CopyVoiceES(source, &info, mode);
        QStringList out;
        for (const MidiBytes& bytes : wire.received) {
            const MotifSysex message(bytes);
            out << QString::asprintf("%06X:", message.getAddress()) + message.dataToString();
        }
        return out.filter(QRegularExpression("^(" + prefixes.join('|') + ")"));
    }

    // The groups as letters: Name, Voice, Arpeggio, system eFfects, Insertion effects.
    static VoiceCopierInfo only(const QString& groups, Patch patch = Patch(0x3F08, 5))
    {
        VoiceCopierInfo info;
        info.voice = patch;
        std::tie(info.copyname, info.copyvoice, info.copyarp, info.copyfx, info.copyinsfx) =
            std::tuple(groups.contains('N'), groups.contains('V'), groups.contains('A'), groups.contains('F'),
                       groups.contains('I'));
        return info;
    }

    WireRecorder wire;
    Motif device;
    std::unique_ptr<MotifDump> voice = makeSource(device, false);
    std::unique_ptr<MotifDump> drum = makeSource(device, true);
    const QStringList all = expectedVoiceCopy();
};

} // namespace

// Every option, alone and together, is the copy_voice transcript's; here what the command line
// cannot reach: a voice read as a drum kit, and the voice's own arpeggio switch.
TEST_F(VoiceCopy, AVoiceReadAsAKitIsCopiedAsAVoiceAndKeepsItsArpeggioSwitch)
{
    EXPECT_EQ(copy(voice.get(), only("NVAFI"), Motif::PerformanceMode), all);
    EXPECT_EQ(copy(voice.get(), only("NVAFI"), Motif::PerformanceMode, true), all);
    EXPECT_EQ(wire.lines().at(46), "F0 43 10 7F 00 30 00 60 00 20 00 01 F7");
    // The voice's arpeggio switch decides part byte 1F.
    fillBlock(voice->getSysex(0x407000), [](int i) { return i == 0x16 ? 0 : i; });
    EXPECT_EQ(copy(voice.get(), only("V"), Motif::PerformanceMode, false, {"31001F"}),
              QStringList{"31001F:7D"});
}

// Mixes, drum kits and the part bytes a kit sets apart from a voice are the copy_voice transcript's;
// here every way in reaches the same copy, and the preset drum banks are drum kits too.
TEST_F(VoiceCopy, DrumKitsAreCopiedAlikeWhicheverWayIn)
{
    const VoiceCopierInfo kit = only("NVAFI", Patch(0x3F28, 7));
    const QStringList expected = copy(drum.get(), kit, Motif::PerformanceMode, true);
    EXPECT_EQ(expected.filter("310004:"), QStringList{"310004:01"});
    EXPECT_EQ(copy(drum.get(), kit, Motif::PerformanceMode, false), expected);
    for (unsigned short bank : {0x3F20, 0x7F00})
        EXPECT_EQ(copy(drum.get(), only("V", Patch(bank, 0)), Motif::PerformanceMode, true,
                       {"310004", "31001A", "31001B", "31001C"}),
                  (QStringList{"310004:01", "31001A:00", "31001B:00", "31001C:00"}));
}

TEST_F(VoiceCopy, NothingIsSentWithoutEverySourceBlockOrIntoAPartTheModeLacks)
{
    VoiceCopierInfo info = only("V");
    for (const auto& [part, mode] :
         {std::pair{-1, Motif::PerformanceMode}, {4, Motif::PerformanceMode}, {16, Motif::SongMode}}) {
        info.part = part;
        EXPECT_TRUE(copy(voice.get(), info, mode).isEmpty()) << part;
    }
    // The last part of a performance: its block, and its bit beside the A/D input's in the switch word.
    info.part = 3;
    info.copyinsfx = true;
    EXPECT_EQ(copy(voice.get(), info, Motif::PerformanceMode, false, {"310300", "300060"}),
              (QStringList{"300060:00 20 00 08", "310300:3F"}));

    // A kit without its insertion A block.
    BulkDump missing;
    for (int i = 0; i < drum->count(); ++i)
        if (drum->at(i)->getAddress() != 0x460300) missing.append(drum->at(i)->clone());
    EXPECT_TRUE(copy(&missing, only("NVAFI", Patch(0x3F28, 0)), Motif::PerformanceMode).isEmpty());
    // A block too short for the bytes read counts as missing: the last name byte read is 4A.
    MotifSysex* name = static_cast<MotifSysex*>(voice->getSysex(0x407000));
    name->prepareBulkDump(0x407000, name->dataToString().left(0x4A * 3 - 1));
    ASSERT_EQ(name->dataSize(), 0x4A);
    EXPECT_TRUE(copy(voice.get(), only("N"), Motif::PerformanceMode).isEmpty());
    EXPECT_TRUE(copy(nullptr, only("NVAFI"), Motif::PerformanceMode).isEmpty());
}
