// Libraries cut short: what opens, what is kept, what is reported, and that a damaged library is
// only ever written to another file.
#include "X0vTestSupport.h"

#include "core/Archive.h"
#include "motif/documents/XS_DWFIM.h"
#include "motif/librarian/X0vLibrary.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace {

std::uint32_t u32At(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return std::uint32_t(bytes[at]) << 24 | std::uint32_t(bytes[at + 1]) << 16 |
           std::uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
}

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

std::string hex(const std::vector<std::uint8_t>& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()))
        .toHex()
        .toStdString();
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
                out.push_back(QStringLiteral("wave %1 %2\n%3%4")
                                  .arg(wave->id())
                                  .arg(wave->name(), wave->wfmEntry().toString(), wave->wimEntry().toString())
                                  .toStdString() +
                              hex(records.bytes()));
            }
    for (const auto& bank : document.voices().banks())
        for (const auto& voice : bank->voices())
            if (voice->hasData())
                out.push_back("voice " + voice->XS_Entry::toString().toStdString() +
                              hex(voice->data().vector()));
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

TEST(X0vDamage, ADamagedLibraryIsWrittenOnlyToAnotherFile)
{
    auto intact = library(XsType);
    putVoice(*intact, User1, 0, QStringLiteral("Lead"));
    std::vector<std::uint8_t> bytes = store(*intact);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("a.X0V")),
                  other = folder.filePath(QStringLiteral("b.X0V"));
    Archive whole;
    whole.write(bytes);
    ASSERT_TRUE(whole.commit(path));
    X0V_Document document;
    QStringList repaired;
    EXPECT_EQ(X0vLibrary::openForEdit(document, path, path, false, repaired), "");

    bytes.resize(bytes.size() - 1);
    Archive cut;
    cut.write(bytes);
    ASSERT_TRUE(cut.commit(path));
    EXPECT_EQ(X0vLibrary::openForEdit(document, path, other, false, repaired), "");
    EXPECT_EQ(
        X0vLibrary::openForEdit(document, path, folder.path() + "/./a.X0V", false, repaired),
        QStringLiteral(
            "'%1' is damaged (chunk DVCE, item 1, offset %2: the file ends inside item 1 of 1) and "
            "opens read-only: write it to another file to keep a repaired copy of what could be read")
            .arg(path)
            .arg(bytes.size() - intact->voices().getBank(User1)->voices().at(0)->data().size() + 1 - 8));
}
