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
    EXPECT_EQ(voices.addVoice(nullptr), nullptr);
    ASSERT_EQ(voices.banks().count(), 2);
    EXPECT_EQ(voices.banks().at(1)->id(), 0x3F28);
    EXPECT_EQ(user1->count(), 2);

    // Counting skips the slots without data, over banks in their order.
    EXPECT_EQ(voices.getByIndex(0), first);
    EXPECT_EQ(voices.getByIndex(1), third);
    EXPECT_EQ(voices.getByIndex(2), kit);
    EXPECT_EQ(voices.getByIndex(3), nullptr);
    // Looking up finds slots without data too.
    EXPECT_EQ(voices.lookupVoice(0x3F2800), empty);
    EXPECT_EQ(voices.lookupVoice(0x3F0803), nullptr);

    // A voice with a held id fills the held object, wherever that one is filed.
    XS_VoiceBank* user2 = voices.createBank(0x3F09);
    XS_Voice* misfiled = user2->voices().append(voiceAt(Patch(0x3F0A, 7), false));
    auto incoming = voiceAt(Patch(0x3F0A, 7), true, MotifXS);
    incoming->content_name = QStringLiteral("Incoming");
    incoming->item_index = 12;
    EXPECT_EQ(voices.addVoice(std::move(incoming)), misfiled);
    EXPECT_EQ(voices.getBank(0x3F0A), nullptr);
    EXPECT_EQ(misfiled->model(), MotifXS);
    EXPECT_EQ(misfiled->content_name, "Incoming");
    EXPECT_EQ(misfiled->item_index, 12);
    EXPECT_EQ(misfiled->data(), (Buffer{0x01, 0x02}));
}

TEST(XS_Voices, ReadPatchCopiesTheHeldVoice)
{
    XS_Voices voices;
    auto source = voiceAt(Patch(0x3F09, 4), true, MotifXS);
    source->content_name = QStringLiteral("Source");
    source->rel_filenames = QStringList({"0001-Waveform.wfm"});
    voices.addVoice(std::move(source));

    XS_Voice voice(MotifXF);
    ASSERT_TRUE(voice.readPatch(voices, Patch(0x3F09, 4)));
    EXPECT_EQ(voice.model(), MotifXS);
    EXPECT_EQ(voice.info(), voices.lookupVoice(0x3F0904)->info());
    EXPECT_EQ(voice.data(), (Buffer{0x01, 0x02}));

    XS_Voice other(MotifXF);
    EXPECT_FALSE(other.readPatch(voices, Patch(0x3F09, 5)));
    EXPECT_EQ(other.id(), 0);
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
    setElement(voice, 0, 3, 5);
    setElement(voice, 1, 1, 7);
    setElement(voice, 2, 2, 1);
    setElement(voice, 3, 1, 9);
    setElement(voice, 4, 1, 7);
    EXPECT_EQ(voice.waveformInfo(MotifXF, waves), "FL1:1|--------|FL2:5|Brass|USR:7|Strings|USR:9|--------");

    voice.rel_filenames = QStringList({"stale"});
    // The elements are switched off, their memory and number stay.
    EXPECT_TRUE(voice.removeInvalidWaveforms(MotifXF, waves));
    EXPECT_FALSE(voice.isElementUsed(3));
    EXPECT_EQ(voice.elementWave(3), 9);
    EXPECT_EQ(voice.rel_filenames, QStringList({"0007-Waveform.wfm", "2181-Waveform.wfm"}));
    EXPECT_EQ(voice.waveformInfo(MotifXF, waves), "FL2:5|Brass|USR:7|Strings");

    voice.rel_filenames = QStringList({"kept"});
    EXPECT_FALSE(voice.removeInvalidWaveforms(MotifXF, waves));
    EXPECT_EQ(voice.rel_filenames, QStringList({"kept"}));

    XS_Voice empty(MotifXF);
    EXPECT_EQ(empty.waveformInfo(MotifXF, waves), "");
    EXPECT_FALSE(empty.removeInvalidWaveforms(MotifXF, waves));
}
