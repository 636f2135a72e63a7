// The voice copier's messages: every write in order, the groups the options select, the drum kit
// differences, the hand-over between voices and drum kits, and the copies it refuses.
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

    // What one copy sends, as "address:data".
    QStringList copy(BulkDump* source, VoiceCopierInfo info, int mode, bool asDrum = false)
    {
        wire.received.clear();
        if (asDrum)
            device.CopyDrumES(source, &info, mode);
        else
            device.CopyVoiceES(source, &info, mode);
        return changesOf(wire.received);
    }

    static VoiceCopierInfo only(bool name, bool voice, bool arp, bool fx, bool insfx,
                                Patch patch = Patch(0x3F08, 5))
    {
        VoiceCopierInfo info;
        info.voice = patch;
        info.copyname = name;
        info.copyvoice = voice;
        info.copyarp = arp;
        info.copyfx = fx;
        info.copyinsfx = insfx;
        return info;
    }

    WireRecorder wire;
    Motif device;
    std::unique_ptr<MotifDump> voice = makeSource(device, false);
    std::unique_ptr<MotifDump> drum = makeSource(device, true);
};

// The changes whose address starts with one of the prefixes.
QStringList within(const QStringList& changes, const QStringList& prefixes)
{
    QStringList out;
    for (const QString& change : changes)
        for (const QString& prefix : prefixes)
            if (change.startsWith(prefix)) out << change;
    return out;
}

} // namespace

TEST_F(VoiceCopy, EveryOptionSendsItsGroupInOrder)
{
    const QStringList sent = copy(voice.get(), only(true, true, true, true, true), Motif::PerformanceMode);
    if (qEnvironmentVariableIsSet("MOTIF_GOLDEN")) {
        QFile golden(VoiceCopyGolden);
        ASSERT_TRUE(golden.open(QIODevice::WriteOnly | QIODevice::Text));
        golden.write((sent.join(QLatin1Char('\n')) + QLatin1Char('\n')).toLatin1());
    }
    const QStringList all = expectedVoiceCopy();
    EXPECT_EQ(sent, all);
    EXPECT_EQ(wire.lines().at(46), "F0 43 10 7F 00 30 00 60 00 20 00 01 F7");
    // Without the insertion effects the A/D input bit of the switch word stays clear; without the
    // voice group the switch word is left alone, even with the insertion effects.
    QStringList voiceAlone = all.mid(12, 84);
    ASSERT_EQ(voiceAlone[34], "300060:00 20 00 01");
    voiceAlone[34] = "300060:00 00 00 01";
    const std::pair<VoiceCopierInfo, QStringList> groups[] = {
        {only(true, false, false, false, false), all.mid(0, 12)},
        {only(false, true, false, false, false), voiceAlone},
        {only(false, false, true, false, false), all.mid(96, 24)},
        {only(false, false, false, true, false), all.mid(120, 39)},
        {only(false, false, false, false, true), all.mid(159, 34)},
    };
    for (std::size_t i = 0; i < std::size(groups); ++i)
        EXPECT_EQ(copy(voice.get(), groups[i].first, Motif::PerformanceMode), groups[i].second)
            << "group " << i;
}

TEST_F(VoiceCopy, MixesTakeNoNameAndLiveAtTheirOwnAddresses)
{
    VoiceCopierInfo info = only(true, true, true, true, true);
    info.part = 15;
    for (int mode : {Motif::VoiceMode, Motif::PatternMode, Motif::SongMode, Motif::MasterMode}) {
        const QStringList sent = copy(voice.get(), info, mode);
        ASSERT_EQ(sent.size(), 181) << mode;
        QStringList expected = expectedVoiceCopy().mid(12);
        for (QString& change : expected) {
            change.replace(QRegularExpression("^30"), "36").replace(QRegularExpression("^3100"), "370F");
        }
        expected[expected.indexOf("360060:00 20 00 01")] = "360060:00 22 00 00";
        EXPECT_EQ(sent, expected) << mode;
    }
}

TEST_F(VoiceCopy, ArpeggioSwitchDecidesPartByte1F)
{
    const VoiceCopierInfo info = only(false, true, false, false, false);
    EXPECT_EQ(within(copy(voice.get(), info, Motif::PerformanceMode), {"31001F"}), QStringList{"31001F:7F"});
    Sysex* name = voice->getSysex(0x407000);
    name->setDataAt(0x16, 0x00);
    name->updateChecksum();
    EXPECT_EQ(within(copy(voice.get(), info, Motif::PerformanceMode), {"31001F"}), QStringList{"31001F:7D"});
}

TEST_F(VoiceCopy, DrumKitsDifferInSevenPartBytes)
{
    const VoiceCopierInfo kit = only(true, true, true, true, true, Patch(0x3F28, 7));
    const QStringList sent = copy(drum.get(), kit, Motif::PerformanceMode, true);
    QStringList expected = expectedVoiceCopy();
    const std::pair<const char*, const char*> differences[] = {
        {"310001:08", "310001:28"}, {"310002:05", "310002:07"}, {"310004:63", "310004:01"},
        {"310009:65", "310009:62"}, {"31000A:66", "31000A:63"}, {"310012:6B", "310012:64"},
        {"310013:6C", "310013:65"}, {"31001A:68", "31001A:00"}, {"31001B:69", "31001B:00"},
        {"31001C:67", "31001C:00"}, {"310026:4A", "310026:40"}};
    for (const auto& [voiceChange, drumChange] : differences) {
        const int at = expected.indexOf(voiceChange);
        ASSERT_GE(at, 0) << voiceChange;
        expected[at] = drumChange;
    }
    EXPECT_EQ(sent, expected);
    // The other drum banks are drum kits too, and every way in reaches the same copy.
    EXPECT_EQ(copy(drum.get(), kit, Motif::PerformanceMode, false), expected);
    for (unsigned short bank : {0x3F20, 0x7F00}) {
        const QStringList preset = copy(drum.get(), only(false, true, false, false, false, Patch(bank, 0)),
                                        Motif::PerformanceMode, true);
        EXPECT_EQ(preset.size(), 84);
        EXPECT_EQ(within(preset, {"310004", "31001A", "31001B", "31001C"}),
                  (QStringList{"310004:01", "31001A:00", "31001B:00", "31001C:00"}));
    }
}

TEST_F(VoiceCopy, EachKindHandsOverToTheOther)
{
    const VoiceCopierInfo user1 = only(true, true, true, true, true);
    // A voice bank read as a drum kit is copied as a voice, from the voice's blocks.
    EXPECT_EQ(copy(voice.get(), user1, Motif::PerformanceMode, true), expectedVoiceCopy());
    // A drum bank with a voice's dump: the drum blocks are missing, so nothing goes out.
    EXPECT_TRUE(
        copy(voice.get(), only(true, true, true, true, true, Patch(0x3F28, 0)), Motif::PerformanceMode)
            .isEmpty());
    // A bank of neither kind is copied as whatever was asked for.
    const VoiceCopierInfo performanceBank = only(false, true, false, false, false, Patch(0x3F40, 1));
    EXPECT_EQ(copy(voice.get(), performanceBank, Motif::PerformanceMode).size(), 84);
    EXPECT_TRUE(copy(voice.get(), performanceBank, Motif::PerformanceMode, true).isEmpty());
    EXPECT_EQ(copy(drum.get(), performanceBank, Motif::PerformanceMode, true).size(), 84);
}

TEST_F(VoiceCopy, NothingIsSentWithoutEverySourceBlock)
{
    const Patch user(0x3F08, 5), kit(0x3F28, 0);
    const std::tuple<const MotifDump*, Patch, std::uint32_t> leftOut[] = {
        {voice.get(), user, 0x407000}, {voice.get(), user, 0x400000}, {voice.get(), user, 0x400100},
        {voice.get(), user, 0x400200}, {voice.get(), user, 0x400300}, {voice.get(), user, 0x400400},
        {drum.get(), kit, 0x460300}};
    for (const auto& [source, patch, address] : leftOut) {
        BulkDump missing;
        for (int i = 0; i < source->count(); ++i)
            if (source->at(i)->getAddress() != address) missing.append(source->at(i)->clone());
        EXPECT_TRUE(
            copy(&missing, only(true, true, true, true, true, patch), Motif::PerformanceMode).isEmpty())
            << std::hex << address;
    }

    // A block too short for the bytes read counts as missing: the last name byte read is 4A.
    BulkDump shortName(*voice);
    MotifSysex* name = static_cast<MotifSysex*>(shortName.getSysex(0x407000));
    name->prepareBulkDump(0x407000, name->dataToString().left(0x4A * 3 - 1));
    ASSERT_EQ(name->dataSize(), 0x4A);
    EXPECT_TRUE(copy(&shortName, only(true, false, false, false, false), Motif::PerformanceMode).isEmpty());

    EXPECT_TRUE(copy(nullptr, only(true, true, true, true, true), Motif::PerformanceMode).isEmpty());
    device.CopyVoiceES(voice.get(), nullptr, Motif::PerformanceMode);
    EXPECT_TRUE(wire.received.empty());
}

TEST_F(VoiceCopy, PartsTheModeDoesNotHaveAreRefused)
{
    VoiceCopierInfo info = only(false, true, false, false, false);
    for (int part : {-1, 4, 15}) {
        info.part = part;
        EXPECT_TRUE(copy(voice.get(), info, Motif::PerformanceMode).isEmpty()) << part;
    }
    info.part = 16;
    EXPECT_TRUE(copy(voice.get(), info, Motif::SongMode).isEmpty());
    // The last part of a performance: its block, and its bit beside the A/D input's in the switch word.
    info.part = 3;
    info.copyinsfx = true;
    EXPECT_EQ(within(copy(voice.get(), info, Motif::PerformanceMode), {"310300", "300060"}),
              (QStringList{"300060:00 20 00 08", "310300:3F"}));
}
