// The voice banks of a library: where voices are filed, how they are counted and found, and the
// waveforms a voice reaches through them.
#include "VoiceTestSupport.h"

#include "motif/documents/XS_Voices.h"
#include "motif/documents/XS_Waveform.h"
#include "motif/documents/XS_Waves.h"

#include <gtest/gtest.h>
#include <memory>

namespace {
std::unique_ptr<XS_Voice> voiceAt(const Patch& patch, bool withData, const QString& model = MotifXF)
{
    auto voice = std::make_unique<XS_Voice>(model);
    voice->setPatch(patch);
    if (withData) voice->setData(Buffer{0x01, 0x02});
    return voice;
}
} // namespace

TEST(XS_Voices, BanksSlotsAndLookups)
{
    XS_Voices voices;
    XS_VoiceBank* user1 = voices.createBank(0x3F08);
    EXPECT_EQ(voices.createBank(0x3F08), user1);
    // Voices go to the bank of their patch; a new bank is appended after the existing ones.
    XS_Voice* empty = voices.addVoice(voiceAt(Patch(0x3F28, 0), false));
    XS_Voice* kit = voices.addVoice(voiceAt(Patch(0x3F28, 1), true));
    XS_Voice* first = voices.addVoice(voiceAt(Patch(0x3F08, 0), true));
    voices.addVoice(voiceAt(Patch(0x3F08, 1), false));
    XS_Voice* third = voices.addVoice(voiceAt(Patch(0x3F08, 2), true));
    EXPECT_EQ(voices.addVoice(voiceAt(Patch::fromValue(0), true)), nullptr);
    ASSERT_EQ(voices.banks().count(), 2);
    EXPECT_EQ(voices.banks().at(1)->id(), 0x3F28);
    // Counting skips the slots without data, over banks in their order; looking up does not.
    EXPECT_EQ(voices.count(), 3);
    EXPECT_EQ(
        (std::vector{voices.getByIndex(0), voices.getByIndex(1), voices.getByIndex(2), voices.getByIndex(3)}),
        (std::vector<XS_Voice*>{first, third, kit, nullptr}));
    EXPECT_EQ(voices.lookupVoice(0x3F2800), empty);
    EXPECT_EQ(voices.lookupVoice(0x3F0803), nullptr);

    // A voice with a held id fills the held object, wherever that one is filed, and reads back
    // through readPatch.
    XS_Voice* misfiled = voices.createBank(0x3F09)->voices().append(voiceAt(Patch(0x3F0A, 7), false));
    auto incoming = voiceAt(Patch(0x3F0A, 7), true, MotifXS);
    incoming->content_name = QStringLiteral("Incoming");
    EXPECT_EQ(voices.addVoice(std::move(incoming)), misfiled);
    EXPECT_EQ(voices.getBank(0x3F0A), nullptr);
    XS_Voice copy(MotifXF);
    ASSERT_TRUE(copy.readPatch(voices, Patch(0x3F0A, 7)));
    EXPECT_EQ(copy.model() + copy.content_name + copy.data().toString(), "Motif XSIncoming01 02");
    EXPECT_FALSE(copy.readPatch(voices, Patch(0x3F0A, 8)));
}

TEST(XS_Voices, WaveformSummaryAndInvalidReferences)
{
    XS_Waves waves;
    auto strings = std::make_unique<XS_Waveform>(QString(), 1, 7, MotifXF);
    strings->create();
    strings->setName(QStringLiteral("007:Strings"));
    waves.addWave(MotifXF, std::move(strings));
    auto flash = std::make_unique<XS_Waveform>(QString(), 3, 5, MotifXF);
    flash->create();
    flash->setName(QStringLiteral("Brass"));
    waves.addWave(MotifXF, std::move(flash));
    // A slot without data counts as missing.
    waves.addWave(MotifXF, std::make_unique<XS_Waveform>(QString(), 2, 1, MotifXF));

    XS_Voice voice(MotifXF);
    voice.setData(blankBlock(MotifXF, 5));
    for (const auto& [element, memory, number] :
         {std::tuple{0, 3, 5}, {1, 1, 7}, {2, 2, 1}, {3, 1, 9}, {4, 1, 7}})
        setElement(voice, element, memory, number);
    EXPECT_EQ(voice.waveformInfo(MotifXF, waves), "FL1:1|--------|FL2:5|Brass|USR:7|Strings|USR:9|--------");
    // The elements are switched off, their memory and number stay.
    EXPECT_TRUE(voice.removeInvalidWaveforms(MotifXF, waves));
    EXPECT_EQ(QString::number(voice.isElementUsed(3)) + QString::number(voice.elementWave(3)), "09");
    EXPECT_EQ(voice.rel_filenames, QStringList({"0007-Waveform.wfm", "2181-Waveform.wfm"}));
    EXPECT_EQ(voice.waveformInfo(MotifXF, waves), "FL2:5|Brass|USR:7|Strings");
    voice.rel_filenames = QStringList({"kept"});
    EXPECT_FALSE(voice.removeInvalidWaveforms(MotifXF, waves));
    EXPECT_EQ(voice.rel_filenames, QStringList({"kept"}));
}
