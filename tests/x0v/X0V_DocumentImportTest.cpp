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
    void SetUp() override
    {
        ASSERT_TRUE(writeFile(piano, wav(QByteArray("\x64\x00\x65\x00\xFF\x7F", 6))));
        ASSERT_TRUE(writeFile(text, "not"));
    }

    QTemporaryDir dir;
    QString piano = dir.filePath(QStringLiteral("Piano C3.wav"));
    QString text = dir.filePath(QStringLiteral("notes.txt"));
    ScriptedInterface script;
};

} // namespace

TEST_F(X0V_DocumentImport, AnAudioFileBecomesTheWaveformOfItsSlot)
{
    auto document = library(XsType);
    EXPECT_EQ(document->importWaveform(1, 0, piano) + document->importWaveform(1, 1023, piano), 2);
    EXPECT_EQ(waveSlots(*document, 1, 2) + " " + waveSlots(*document, 1, 1024, 1023),
              "1:Piano C3 2: 1024:Piano C3");
    const XS_Keybank* keybank = waveAt(*document, 1, 0)->keybanks().at(0);
    EXPECT_EQ(keybank->left().toString() + " " + QString::number(keybank->sample_length),
              "64 00 65 00 FF 7F 3");
    // Slots past the bank, banks the model lacks and files of no audio take nothing.
    EXPECT_EQ(document->importWaveform(1, 1024, piano) + document->importWaveform(1, -1, piano) +
                  document->importWaveform(2, 0, piano) + document->importWaveform(1, 5, text) +
                  library(S90Type)->importWaveform(1, 0, piano),
              0);
    EXPECT_EQ(document->waves().count(), 2);
    // A key bank joins the waveform it is imported into.
    XS_Waveform* waveform = waveAt(*document, 1, 3);
    EXPECT_EQ(document->importKeybank(*waveform, text), nullptr);
    const XS_Keybank* imported = document->importKeybank(*waveform, piano);
    EXPECT_EQ(imported, waveform->keybanks().at(0));
    EXPECT_EQ(waveSlots(*document, 1, 4, 3), "4:New Waveform");
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
