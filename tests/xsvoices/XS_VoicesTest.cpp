// The voice banks of a library: where voices are filed, and how they are counted and found.
#include "VoiceTestSupport.h"

#include "motif/documents/XS_Voices.h"

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
    EXPECT_EQ(voices.createBank(0x3F08), voices.createBank(0x3F08));
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
    EXPECT_TRUE(voices.lookupVoice(0x3F2800) == empty && !voices.lookupVoice(0x3F0803));

    // A voice with a held id fills the held object, wherever that one is filed, and reads back
    // through readPatch.
    XS_Voice* misfiled = voices.createBank(0x3F09)->voices().append(voiceAt(Patch(0x3F0A, 7), false));
    auto incoming = voiceAt(Patch(0x3F0A, 7), true, MotifXS);
    incoming->content_name = QStringLiteral("Incoming");
    EXPECT_EQ(voices.addVoice(std::move(incoming)), misfiled);
    XS_Voice copy(MotifXF);
    ASSERT_TRUE(copy.readPatch(voices, Patch(0x3F0A, 7)));
    EXPECT_EQ(copy.model() + copy.content_name + copy.data().toString(), "Motif XSIncoming01 02");
}
