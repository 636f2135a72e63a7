// Twins: the waveforms a pasted or orphaned voice may use instead of its own. Where loaded
// waveforms are filed is the library document's.
#include "WaveTestSupport.h"

#include "motif/documents/XS_Waves.h"

#include <gtest/gtest.h>

namespace {
std::unique_ptr<XS_Waveform> wave(int id, const char* name, int frames = 0)
{
    auto w = std::make_unique<XS_Waveform>(QString::fromLatin1(name));
    w->setId(id);
    if (frames) w->addKeybank(makeKeybank(frames));
    return w;
}
} // namespace

TEST(XS_Waves, SimilarWaveformsShareNameAndSize)
{
    const QString xf = QStringLiteral("Motif XF");
    XS_Waves waves;
    for (const auto& [id, name, frames] : {std::tuple{1, "Piano", 4},
                                           {2, "002:Piano", 4},
                                           {3, "Piano", 5},
                                           {4, "Piano", 0},
                                           {129, "Piano", 4}})
        waves.addWave(xf, wave(id, name, frames));
    // The first one not excluded; waveforms without data are never similar.
    const auto probe = wave(0, "007:Piano", 4);
    const Vector<int> first = {1}, all = {1, 2, 129};
    EXPECT_EQ(waves.findSimilar(probe.get(), nullptr) * 100 + waves.findSimilar(probe.get(), &first), 102);
    EXPECT_EQ(waves.findSimilar(probe.get(), &all) + waves.findSimilar(wave(0, "Piano").get(), nullptr) +
                  waves.findSimilar(wave(0, "Organ", 4).get(), nullptr),
              0);
}
