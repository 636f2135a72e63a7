// A library opened from a file keeps its samples in the file until they are needed: the edits
// store the new bytes and copy every other sample byte for byte, a file changed behind the
// library's back is never stored from, and the copy without kernel help gives the same file.
#include "X0vTestSupport.h"
#include "audio/AudioFiles.h"
#include "core/RangeCopy.h"
#include "motif/librarian/X0vListing.h"
#include "motif/librarian/X0vSlots.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// Waveforms in USR 0-2 of 3000, 2000 and 1000 frames of 0xA1, 0xB2 and 0xC3, played by USER1:0.
QString writeLibrary(const QString& path, std::uint8_t first = 0xA1, int framesOfA = 3000)
{
    auto document = library(XfType);
    putWave(waveAt(*document, 1, 0), "A", framesOfA, first);
    putWave(waveAt(*document, 1, 1), "B", 2000, std::uint8_t(first + 0x11));
    putWave(waveAt(*document, 1, 2), "C", 1000, std::uint8_t(first + 0x22));
    putVoice(*document, User1, 0, "Voice", {1, 3});
    EXPECT_TRUE(document->storeFile(path)) << document->errorText().toStdString();
    return path;
}

// Each USR slot from 0 to 3 as "name:first byte x bytes", "-" for an empty one.
QString samples(X0V_Document& document)
{
    QStringList out;
    for (int p = 0; p < 4; ++p) {
        XS_Waveform* wave = waveAt(document, 1, p);
        if (!wave->hasData()) {
            out << "-";
            continue;
        }
        const Buffer& bytes = wave->keybanks().at(0)->left();
        const bool even = std::all_of(bytes.bytes().begin(), bytes.bytes().end(),
                                      [&](std::uint8_t b) { return b == bytes.at(0); });
        out << QString("%1:%2x%3%4")
                   .arg(wave->name())
                   .arg(bytes.at(0), 2, 16)
                   .arg(bytes.size())
                   .arg(even ? "" : "!");
    }
    return out.join(' ');
}

bool referenced(const X0V_Document& document, int position)
{
    const XS_Waveform* wave = document.waves().getBank(1)->waveforms().at(position);
    return wave->keybanks().at(0)->channel(0).reference() && !wave->keybanks().at(0)->channel(0).isLoaded();
}

std::unique_ptr<X0V_Document> open(const QString& path)
{
    auto document = std::make_unique<X0V_Document>();
    EXPECT_TRUE(document->loadLibrary(path)) << document->errorText().toStdString();
    return document;
}

void setModified(const QString& path, int secondsLater)
{
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    const struct timespec times[2] = {status.st_atim, {status.st_mtim.tv_sec + secondsLater, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

} // namespace

TEST(X0vByReference, EditsStoreTheirBytesAndCopyEveryOtherSample)
{
    QTemporaryDir dir;
    const QString original = writeLibrary(dir.filePath("a.X0W"));
    const QString other = writeLibrary(dir.filePath("b.X0W"), 0x51);
    const QString tone = dir.filePath("D.wav");
    ASSERT_TRUE(audiofiles::writeFile(tone, audiofiles::wav(QByteArray(10, '\x44'))));
    const struct {
        const char* edit;
        std::function<void(X0V_Document&, X0V_Document&)> apply;
        const char* stored;
    } cases[] = {
        {"delete", [](X0V_Document& d, X0V_Document&) { d.deleteWaves(1, {1}); }, "A:a1x6000 - C:c3x2000 -"},
        {"reorganise",
         [](X0V_Document& d, X0V_Document&) {
             int target = 0;
             d.reorganizeWaves(1, target, {2});
         },
         "C:c3x2000 A:a1x6000 B:b2x4000 -"},
        {"paste from another file",
         [](X0V_Document& d, X0V_Document& o) { d.pasteWaves(1, 1, {waveAt(o, 1, 2)}); },
         "A:a1x6000 C:73x2000 C:c3x2000 -"},
        {"import over it",
         [&](X0V_Document& d, X0V_Document&) {
             EXPECT_EQ(X0vSlots::importWave(d, 1, 1, tone, true).added, 1);
         },
         "A:a1x6000 D:44x10 C:c3x2000 -"},
        {"samples edited",
         [](X0V_Document& d, X0V_Document&) { waveAt(d, 1, 1)->keybanks().at(0)->left().setAt(0, 0xEE); },
         "A:a1x6000 B:eex4000! C:c3x2000 -"},
    };
    for (const auto& c : cases) {
        auto document = open(original);
        auto source = open(other);
        c.apply(*document, *source);
        // Only the samples the edit touched were read.
        EXPECT_TRUE(referenced(*document, 0)) << c.edit;
        const QString stored = dir.filePath(QString("%1.X0W").arg(c.edit));
        ASSERT_TRUE(document->storeFile(stored)) << c.edit << document->errorText().toStdString();
        EXPECT_EQ(samples(*open(stored)), c.stored) << c.edit;
    }
}

TEST(X0vByReference, AStoreFromAFileChangedOnDiskIsRefusedAndTouchesNothing)
{
    QTemporaryDir dir;
    const QString path = writeLibrary(dir.filePath("a.X0W"));
    const struct {
        const char* change;
        std::function<void()> apply;
        const char* reason;
    } cases[] = {
        {"rewritten in place",
         [&] {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             file.seek(file.size() - 10);
             file.write("XX");
             file.close();
             setModified(path, 5);
         },
         "was changed by another program"},
        {"cut short", [&] { ASSERT_TRUE(QFile::resize(path, 4000)); }, "was changed by another program"},
        {"replaced",
         [&] {
             writeLibrary(dir.filePath("new.X0W"), 0x31);
             ASSERT_EQ(std::rename(QFile::encodeName(dir.filePath("new.X0W")).constData(),
                                   QFile::encodeName(path).constData()),
                       0);
         },
         "was replaced by another file"},
    };
    for (const auto& c : cases) {
        writeLibrary(path);
        auto document = open(path);
        c.apply();
        const QByteArray changed = readAll(path);
        waveAt(*document, 1, 0)->setName("Renamed");
        EXPECT_FALSE(document->storeFile(path)) << c.change;
        EXPECT_EQ(document->errorText(),
                  QString("Cannot store: %1 %2 since it was opened; open it again and redo the changes")
                      .arg(path, c.reason))
            << c.change;
        EXPECT_EQ(readAll(path), changed) << c.change;
        EXPECT_FALSE(QFileInfo::exists(path + ".tmp")) << c.change;
    }
    // Samples that can no longer be read are refused by an export as by a store.
    writeLibrary(path);
    auto document = open(path);
    ASSERT_TRUE(QFile::resize(path, 4000));
    QString error;
    EXPECT_FALSE(waveAt(*document, 1, 1)->keybanks().at(0)->exportKeybank(dir.filePath("b.wav"), &error));
    EXPECT_EQ(error, path + " was changed by another program since it was opened; open it again and redo "
                            "the changes");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("b.wav")));
}

TEST(X0vByReference, KernelCopyBufferedCopyAndMemoryGiveTheSameFile)
{
    QTemporaryDir dir;
    // More than one step of the copy that goes through a buffer.
    const QString path = writeLibrary(dir.filePath("a.X0W"), 0xA1, 700000);
    const QByteArray written = readAll(path);
    for (bool kernel : {true, false}) {
        RangeCopy::setKernelCopy(kernel);
        const QString stored = dir.filePath(kernel ? "kernel.X0W" : "buffered.X0W");
        EXPECT_TRUE(open(path)->storeFile(stored));
        EXPECT_EQ(readAll(stored), written) << kernel;
        // The container alone keeps every item as a range of the file.
        XS_Document container;
        ASSERT_TRUE(container.loadFile(path));
        EXPECT_TRUE(container.storeFile(stored + ".ysfc"));
        EXPECT_EQ(readAll(stored + ".ysfc"), written) << kernel;
    }
    RangeCopy::setKernelCopy(true);
    const std::vector<std::uint8_t> inMemory = store(*open(path));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(inMemory.data()), qsizetype(inMemory.size())),
              written);
}

TEST(X0vByReference, ALibraryStoredOverItselfStoresAgainAndListsWithoutReadingSamples)
{
    QTemporaryDir dir;
    const QString path = writeLibrary(dir.filePath("a.X0W"));
    auto document = open(path);
    const X0vListing::Listing listing = X0vListing::list(*document);
    EXPECT_EQ(listing.waveforms.size(), 3u);
    auto named = open(path);
    waveAt(*named, 1, 1)->setName(QStringLiteral("Flöte"));
    // The rows are UTF-8 whatever the names hold.
    EXPECT_EQ(X0vListing::rowsText(X0vListing::list(*named)),
              "  USER1:0 \"Voice\" categories 0/0 waveforms 1,3\n"
              "    elements 1 USR:1 \"A\", 2 USR:3 \"C\"\n"
              "    arpeggios off, off, off, off, off\n"
              "  USR:0 id 1 \"A\" 1 Keybank, 6000 bytes\n"
              "  USR:1 id 2 \"Fl\xC3\xB6te\" 1 Keybank, 4000 bytes\n"
              "  USR:2 id 3 \"C\" 1 Keybank, 2000 bytes");
    for (int p = 0; p < 3; ++p) EXPECT_TRUE(referenced(*document, p)) << p;
    for (const char* name : {"First", "Second"}) {
        voiceAt(*document, User1, 0)->setName(name);
        ASSERT_TRUE(document->storeFile(path)) << name << document->errorText().toStdString();
    }
    auto reopened = open(path);
    EXPECT_EQ(voiceAt(*reopened, User1, 0)->name().trimmed(), "Second");
    EXPECT_EQ(samples(*reopened), "A:a1x6000 B:b2x4000 C:c3x2000 -");
}
