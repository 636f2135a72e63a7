// Importing audio: where a single file and the instruments of a multi-sample file land, which
// ids they take, and what is refused.
#include "X0vTestSupport.h"
#include "audio/AudioFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace audiofiles;

namespace {

class X0V_DocumentImport : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(writeFile(piano, wav(QByteArray("\x64\x00\x65\x00\xFF\x7F", 6)))); }

    QTemporaryDir dir;
    QString piano = dir.filePath(QStringLiteral("Piano C3.wav"));
    ScriptedInterface script;
};

} // namespace

// Where an audio file lands, what it keeps and the files refused are the x0v_waves and x0v_keybanks
// transcripts'; here the slots the command line does not offer.
TEST_F(X0V_DocumentImport, SlotsTheModelLacksTakeNothing)
{
    auto document = library(XsType);
    EXPECT_EQ(document->importWaveform(1, -1, piano) + document->importWaveform(2, 0, piano) +
                  library(S90Type)->importWaveform(1, 0, piano),
              0);
    EXPECT_EQ(document->waves().count(), 0);
    EXPECT_TRUE(script.calls.isEmpty());
}

TEST_F(X0V_DocumentImport, InstrumentsTakeConsecutiveSlots)
{
    // Grand has two zones, Silent none (so no sample to make a key bank of), Bass one.
    const QString path = corpus("fuzz_samplebank/instruments.sf2");

    auto document = library(XsType);
    EXPECT_EQ(document->importWaveform(1, 10, path), 2);
    EXPECT_EQ(waveSlots(*document, 1, 13, 10), "11:Grand 12:Bass 13:");
    const XS_Waveform* grand = waveAt(*document, 1, 10);
    ASSERT_EQ(grand->keybanks().count(), 2);
    EXPECT_EQ(grand->keybanks().at(0)->note_hi * 100 + grand->keybanks().at(1)->left().size(), 5940);
    // Instruments past the end of the bank take no slot and stop nothing.
    EXPECT_EQ(document->importWaveform(1, 1023, path), 1);
    EXPECT_EQ(waveSlots(*document, 1, 1024, 1023), "1024:Grand");
    EXPECT_EQ(script.calls.filter(QStringLiteral("step")).size(), 6);
    EXPECT_TRUE(script.calls.filter(QStringLiteral("warning")).isEmpty());
}
