// States of a library opened from a file: put back, they store the bytes the library stored when
// they were taken, without reading a sample no edit touched, also stored over that file.
#include "motif/librarian/X0vState.h"
#include "TestSupport.h"
#include "X0vTestSupport.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

// USR 0-4 hold waveforms A to E, USER1:0 plays A and C, USER1:1 plays B; opened from the file.
std::unique_ptr<X0V_Document> openedLibrary(const QString& path)
{
    auto document = library(XfType);
    for (int p = 0; p < 5; ++p)
        putWave(waveAt(*document, 1, p), QString(QChar('A' + p)), 500 + 100 * p, std::uint8_t(0xA1 + p));
    putVoice(*document, User1, 0, "Voice", {1, 3});
    putVoice(*document, User1, 1, "Other", {2});
    EXPECT_TRUE(document->storeFile(path));
    auto opened = std::make_unique<X0V_Document>();
    EXPECT_TRUE(opened->loadLibrary(path)) << opened->errorText().toStdString();
    return opened;
}

QByteArray stored(X0V_Document& document)
{
    const std::vector<std::uint8_t> bytes = store(document);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

} // namespace

TEST(X0vState, SixEditsUndoneAndRedoneStoreTheSameBytesWithoutReadingUntouchedSamples)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.X0W");
    auto document = openedLibrary(path);
    const std::function<void(X0V_Document&)> edits[] = {
        [](X0V_Document& d) { waveAt(d, 1, 1)->setName("Renamed"); },
        [](X0V_Document& d) {
            int target = 0;
            d.reorganizeWaves(1, target, {3});
        },
        [](X0V_Document& d) { d.deleteVoices(User1, {1}); },
        [](X0V_Document& d) { waveAt(d, 1, 2)->keybanks().at(0)->left().setAt(0, 0xEE); },
        [](X0V_Document& d) {
            d.importWaveform(1, 6, QStringLiteral(MOTIF_SOURCE_DIR "/tests/data/cli/Piano C3.wav"));
        },
        [](X0V_Document& d) { d.deleteWaves(1, {4}); },
    };
    // A is heard before the first state is taken.
    ASSERT_TRUE(waveAt(*document, 1, 0)->keybanks().at(0)->loadSamples());
    std::vector<std::shared_ptr<const X0vState>> states{X0vState::take(*document)};
    std::vector<QByteArray> files{stored(*document)};
    for (const auto& edit : edits) {
        edit(*document);
        states.push_back(X0vState::take(*document, states.back().get()));
        files.push_back(stored(*document));
        EXPECT_NE(files.back(), files[files.size() - 2]) << files.size();
    }
    for (int i = 6; i >= 0; --i) {
        states[std::size_t(i)]->restore(*document);
        EXPECT_EQ(stored(*document), files[std::size_t(i)]) << "undone to " << i;
    }
    // A, D and E were moved and deleted, never edited: the states hold none of their samples.
    for (int p : {0, 3, 4})
        EXPECT_FALSE(waveAt(*document, 1, p)->keybanks().at(0)->channel(0).isLoaded()) << p;
    EXPECT_EQ(waveSlots(*document, 1, 5), "1:A 2:B 3:C 4:D 5:E");
    // Redone one by one, each stored over the file the library was opened from, which the states
    // go on reading; the first state too, after all those stores.
    for (std::size_t i = 1; i <= states.size(); ++i) {
        const std::size_t at = i % states.size();
        states[at]->restore(*document);
        EXPECT_EQ(stored(*document), files[at]) << "redone to " << at;
        ASSERT_EQ(states[at]->store(path), QString());
        EXPECT_EQ(readAll(path), files[at]) << "stored from " << at;
    }
}
