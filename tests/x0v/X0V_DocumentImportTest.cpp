// Importing audio: where a single file and the instruments of a multi-sample file land, which
// ids they take, and what is refused.
#include "X0vTestSupport.h"
#include "audio/AudioFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace audiofiles;

namespace {

std::vector<std::int16_t> ramp(int count, std::int16_t first)
{
    std::vector<std::int16_t> values;
    for (int i = 0; i < count; ++i) values.push_back(std::int16_t(first + i));
    return values;
}

// The frames little-endian, as WAV holds them.
std::vector<std::uint8_t> bytesOf(const std::vector<std::int16_t>& frames)
{
    std::vector<std::uint8_t> bytes;
    for (const std::int16_t frame : frames) {
        bytes.push_back(std::uint8_t(frame & 0xFF));
        bytes.push_back(std::uint8_t(std::uint16_t(frame) >> 8));
    }
    return bytes;
}

class X0V_DocumentImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::vector<std::uint8_t> frames = bytesOf(ramp(30, 100));
        ASSERT_TRUE(writeFile(piano, wav(QByteArray(reinterpret_cast<const char*>(frames.data()), 60))));
        ASSERT_TRUE(writeFile(text, "not audio"));
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
    EXPECT_EQ(document->importWaveform(1, 0, piano), 1);
    EXPECT_EQ(document->importWaveform(1, 1023, piano), 1);
    EXPECT_EQ(waveSlots(*document, 1, 2) + " " + waveSlots(*document, 1, 1024, 1023),
              "1:Piano C3 2: 1024:Piano C3");
    const XS_Waveform* waveform = waveAt(*document, 1, 0);
    ASSERT_EQ(waveform->keybanks().count(), 1);
    EXPECT_EQ(waveform->keybanks().at(0)->left().vector(), bytesOf(ramp(30, 100)));
    EXPECT_EQ(waveform->keybanks().at(0)->sample_length, 30u);
    // Slots past the bank, banks the model lacks and files of no audio take nothing.
    EXPECT_EQ(document->importWaveform(1, 1024, piano) + document->importWaveform(1, -1, piano) +
                  document->importWaveform(2, 0, piano) + document->importWaveform(1, 5, text) +
                  library(S90Type)->importWaveform(1, 0, piano),
              0);
    EXPECT_EQ(document->waves().count(), 2);
    auto xf = library(XfType);
    EXPECT_EQ(xf->importWaveform(2, 0, piano), 1);
    EXPECT_EQ(waveAt(*xf, 2, 0)->wfmEntry().filename, "0129-Waveform.wfm");
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
    EXPECT_EQ(grand->keybanks().at(0)->note_hi, 59);
    EXPECT_EQ(grand->keybanks().at(1)->left().size(), 40);
    EXPECT_EQ(script.calls.filter(QStringLiteral("step")).size(), 3);

    // Instruments past the end of the bank take no slot and stop nothing.
    script.calls.clear();
    EXPECT_EQ(document->importWaveform(1, 1023, path), 1);
    EXPECT_EQ(waveAt(*document, 1, 1023)->name(), "Grand");
    EXPECT_EQ(script.calls.filter(QStringLiteral("step")).size(), 3);
    EXPECT_TRUE(script.calls.filter(QStringLiteral("warning")).isEmpty());
}

TEST_F(X0V_DocumentImport, AKeybankJoinsTheWaveformItIsImportedInto)
{
    auto document = library(XsType);
    XS_Waveform* waveform = waveAt(*document, 1, 3);
    EXPECT_EQ(document->importKeybank(*waveform, text), nullptr);
    EXPECT_FALSE(waveform->hasData());
    const XS_Keybank* keybank = document->importKeybank(*waveform, piano);
    ASSERT_NE(keybank, nullptr);
    EXPECT_EQ(waveform->keybanks().at(0), keybank);
    EXPECT_EQ(waveform->name() + QString::number(waveform->id()), "New Waveform4");
    waveform->setName(QStringLiteral("Layers"));
    EXPECT_NE(document->importKeybank(*waveform, piano), nullptr);
    EXPECT_EQ(waveform->keybanks().count(), 2);
    EXPECT_EQ(waveform->name(), "Layers");
}
