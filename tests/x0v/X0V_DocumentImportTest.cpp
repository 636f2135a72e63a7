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
Bytes bytesOf(const std::vector<std::int16_t>& frames)
{
    Bytes bytes;
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
        ASSERT_TRUE(writeFile(piano, wav(1, 16, 44100, bytesOf(ramp(30, 100)))));
        ASSERT_TRUE(writeFile(text, Bytes{'n', 'o', 't', ' ', 'a', 'u', 'd', 'i', 'o'}));
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
    const std::vector<Sf2Sample> samples = {
        {"Low", ramp(40, 10), 22050, 48, 0, 4, 36},
        {"High", ramp(20, -5), 44100, 72, 0, 2, 18},
        {"Bass", ramp(25, 300), 11025, 36, 0, 1, 24},
    };
    // The second instrument has no zone, so no sample to make a key bank of.
    const std::vector<Sf2Instrument> instruments = {
        {"Grand", {{0, 0, 59, 1, 127, {}}, {1, 60, 127, 1, 127, {}}}},
        {"Silent", {}},
        {"Bass", {{2, 0, 127, 1, 127, {}}}},
    };
    const QString path = dir.filePath(QStringLiteral("set.sf2"));
    ASSERT_TRUE(writeFile(path, sf2(samples, instruments)));

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
