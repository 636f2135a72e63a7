#include "WaveTestSupport.h"

#include "motif/documents/XS_Waves.h"

#include <gtest/gtest.h>

namespace {
const QString XF = QStringLiteral("Motif XF");

std::unique_ptr<XS_Waveform> wave(int id, const char* name = "", int frames = 0)
{
    auto w = std::make_unique<XS_Waveform>(QString::fromLatin1(name));
    w->setId(id);
    if (frames) w->addKeybank(makeKeybank(frames));
    return w;
}
} // namespace

TEST(XS_Waves, AddWaveFillsTheSlotOfItsId)
{
    XS_Waves waves;
    EXPECT_FALSE(waves.addWave(XF, wave(0, "none", 2)));
    EXPECT_EQ(waves.banks().count(), 0);

    // A new id goes to the end of the bank its id belongs to.
    ASSERT_TRUE(waves.addWave(XF, wave(130, "second", 2)));
    ASSERT_TRUE(waves.addWave(XF, wave(5)));
    ASSERT_EQ(waves.banks().count(), 2);
    EXPECT_EQ(waves.banks().at(0)->id(), 2);
    EXPECT_EQ(waves.banks().at(1)->id(), 1);

    // An existing id takes a deep copy; the object in the slot stays.
    XS_Waveform* slot = waves.lookupWave(5);
    auto incoming = wave(5, "Loaded", 3);
    incoming->wimEntry().data_size = 62;
    const XS_Keybank* incomingKeybank = incoming->keybanks().at(0);
    ASSERT_TRUE(waves.addWave(XF, std::move(incoming)));
    EXPECT_EQ(waves.lookupWave(5), slot);
    EXPECT_EQ(slot->name() + QString::number(slot->wimEntry().data_size) + QString::number(slot->totalSize()),
              "Loaded626");
    EXPECT_NE(slot->keybanks().at(0), incomingKeybank);
    EXPECT_EQ(waves.banks().at(1)->waveforms().count(), 1);
}

TEST(XS_Waves, SimilarWaveformsShareNameAndSize)
{
    XS_Waves waves;
    waves.addWave(XF, wave(1, "Piano", 4));
    waves.addWave(XF, wave(2, "002:Piano", 4));
    waves.addWave(XF, wave(3, "Piano", 5));
    waves.addWave(XF, wave(4, "Piano"));
    waves.addWave(XF, wave(129, "Piano", 4));
    const auto probe = wave(0, "007:Piano", 4);

    EXPECT_EQ(waves.findSimilar(probe.get(), nullptr), 1);
    const Vector<int> first = {1};
    EXPECT_EQ(waves.findSimilar(probe.get(), &first), 2);
    const Vector<int> most = {1, 2};
    EXPECT_EQ(waves.findSimilar(probe.get(), &most), 129);
    const Vector<int> all = {1, 2, 129};
    EXPECT_EQ(waves.findSimilar(probe.get(), &all), 0);
    // Waveforms without data are never similar, even with the same name and size.
    EXPECT_EQ(waves.findSimilar(wave(0, "Piano").get(), nullptr), 0);
    EXPECT_EQ(waves.findSimilar(wave(0, "Organ", 4).get(), nullptr), 0);
}
