// Libraries cut short: what opens, what is kept and what is reported. That a damaged library is only
// ever written to another file is the x0v_lint transcript's.
#include "X0vTestSupport.h"

#include "core/Archive.h"
#include "motif/documents/XS_DWFIM.h"

#include <gtest/gtest.h>
#include <map>

namespace {

// Where each item of each chunk ends, walking the stored layout: the 64-byte head, the catalogue,
// then chunks of a 12-byte header and items of a tag, a length and the contents.
std::map<std::string, std::vector<std::size_t>> itemEnds(const std::vector<std::uint8_t>& bytes)
{
    std::map<std::string, std::vector<std::size_t>> ends;
    std::size_t at = 0x40 + u32At(bytes, 0x20);
    while (at < bytes.size()) {
        auto& items =
            ends[std::string(bytes.begin() + std::ptrdiff_t(at), bytes.begin() + std::ptrdiff_t(at) + 4)];
        const std::uint32_t count = u32At(bytes, at + 8);
        at += 12;
        for (std::uint32_t i = 0; i < count; ++i) items.push_back(at += 8 + u32At(bytes, at + 4));
    }
    return ends;
}

// Every voice and waveform with data, whole: its place, its entries and every byte of its data.
std::vector<std::string> objects(const X0V_Document& document)
{
    std::vector<std::string> out;
    for (const auto& bank : document.waves().banks())
        for (const auto& wave : bank->waveforms())
            if (wave->hasData()) {
                Archive records;
                wave->dwfim().writeWFM(records);
                wave->dwfim().writeWIM(records);
                out.push_back((QString::number(wave->id()) + ' ' + wave->name() + '\n' +
                               wave->wfmEntry().toString() + wave->wimEntry().toString() + '\n' +
                               hex(records.bytes()))
                                  .toStdString());
            }
    for (const auto& bank : document.voices().banks())
        for (const auto& voice : bank->voices())
            if (voice->hasData())
                out.push_back("voice " +
                              (voice->XS_Entry::toString() + hex(voice->data().vector())).toStdString());
    return out;
}

bool loadBytes(X0V_Document& document, std::vector<std::uint8_t> bytes)
{
    Archive archive(std::move(bytes));
    return document.loadLibrary(archive);
}

} // namespace

TEST(X0vDamage, EveryCutKeepsTheWholeObjectsBeforeItAndStoresAWholeCopy)
{
    // A new library with two waveforms (mono, stereo) and one voice that plays both.
    auto intact = library(XsType);
    putWave(waveAt(*intact, 1, 0), QStringLiteral("Saw"), 6);
    waveAt(*intact, 1, 1)->setName(QStringLiteral("Pad"));
    waveAt(*intact, 1, 1)->addKeybank(makeKeybank(5, true, 0x22));
    putVoice(*intact, User1, 0, QStringLiteral("Lead"), {1, 2});
    const std::vector<std::uint8_t> bytes = store(*intact);
    const std::vector<std::string> whole = objects(*intact);
    ASSERT_EQ(whole.size(), 3u);

    // An object is whole once every item of it lies before the cut.
    const auto ends = itemEnds(bytes);
    const auto endOf = [&](std::initializer_list<const char*> chunks, std::size_t i) {
        std::size_t end = 0;
        for (const char* chunk : chunks) end = std::max(end, ends.at(chunk).at(i));
        return end;
    };
    const std::size_t objectEnds[] = {endOf({"EWFM", "EWIM", "DWFM", "DWIM"}, 0),
                                      endOf({"EWFM", "EWIM", "DWFM", "DWIM"}, 1), endOf({"EVCE", "DVCE"}, 0)};
    X0V_Document cut, copy;
    for (std::size_t length = 0x40; length <= bytes.size(); ++length) {
        ASSERT_TRUE(loadBytes(cut, {bytes.begin(), bytes.begin() + std::ptrdiff_t(length)})) << length;
        std::vector<std::string> expected;
        for (std::size_t i = 0; i < whole.size(); ++i)
            if (objectEnds[i] <= length) expected.push_back(whole[i]);
        ASSERT_EQ(objects(cut), expected) << length;
        EXPECT_EQ(cut.isDamaged(), length < bytes.size()) << length;

        ASSERT_TRUE(loadBytes(copy, store(cut))) << length;
        EXPECT_FALSE(copy.isDamaged()) << length << ": " << copy.damage().front().toString().toStdString();
        EXPECT_EQ(objects(copy), expected) << length;
    }
}
