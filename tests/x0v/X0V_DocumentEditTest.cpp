// Editing a library: the moving rule, renumbering after a reorder, voices following their
// waveforms through reorders, moves, pastes and deletes, and the messages when an edit cannot be
// done.
#include "X0vTestSupport.h"

#include <gtest/gtest.h>
#include <limits>

class X0V_DocumentEdit : public ::testing::Test {
protected:
    ScriptedInterface script;
};

TEST_F(X0V_DocumentEdit, ReorganizeMovesByTheRuleAndRenumbers)
{
    auto document = library(XsType);
    for (int p = 0; p < 5; ++p) putVoice(*document, User1, p, QString::number(p));
    // The positions move in the order given, behind one another.
    int target = 5;
    EXPECT_TRUE(document->reorganizeVoices(User1, target, {4, 0}));
    QStringList names;
    for (int p = 0; p < 6; ++p) names << voiceAt(*document, User1, p)->name().trimmed();
    EXPECT_EQ(names.join(' ') + "|" + QString::number(target), "1 2 3 4 0 |3");
    // Every slot takes the id of its place: the voice from program 4 is program 3 now.
    EXPECT_EQ(voiceAt(*document, User1, 3)->filename, "3F0803-Voice.vce");
    // A bank that tracks its changes reports a move that changes nothing, and is not renumbered.
    document->voices().getBank(User2)->voices().setTracking(true);
    target = 0;
    EXPECT_FALSE(document->reorganizeVoices(User2, target, {0}));
    EXPECT_EQ(voiceAt(*document, User2, 0)->filename, "");
    EXPECT_FALSE(document->reorganizeVoices(0x3F0B, target, {0}));
}

TEST_F(X0V_DocumentEdit, MovedWaveformsGoAfterTheLastOneOfTheOtherBank)
{
    auto document = library(XfType);
    for (const auto& [bank, p, name] : {std::tuple{1, 0, "A"}, {1, 1, "B"}, {1, 2, "C"}, {2, 0, "Flash"}})
        putWave(waveAt(*document, bank, p), QLatin1String(name));
    XS_Voice* voice = putVoice(*document, User1, 0, QStringLiteral("V"), {1, 3, 129});

    EXPECT_TRUE(document->moveWaves({2, 0}, 1, 2));
    EXPECT_EQ(waveSlots(*document, 2, 4) + " " + waveSlots(*document, 1, 3),
              "129:Flash 130:C 131:A 132: 1: 2:B 3:");
    EXPECT_EQ(elementWaves(*document, *voice, 3), std::vector<int>({131, 130, 129}));
    EXPECT_FALSE(document->moveWaves({1}, 1, 1) || document->moveWaves({1}, 1, 4));
    EXPECT_TRUE(script.calls.isEmpty());

    // FL2 full: nothing moves.
    for (const auto& waveform : document->waves().getBank(3)->waveforms()) waveform->create();
    EXPECT_FALSE(document->moveWaves({1}, 1, 3));
    EXPECT_EQ(script.calls, QStringList({"error Move Waveforms|Not available space in destination bank"}));
    EXPECT_EQ(waveSlots(*document, 1, 2), "1: 2:B");
    EXPECT_EQ(waveAt(*document, 3, 2047)->name(), "New Waveform");
}

TEST_F(X0V_DocumentEdit, PasteWavesStopsAtTheEndOfTheBank)
{
    auto source = library(XsType);
    Vector<const XS_Waveform*> waveforms;
    for (int i = 0; i < 5; ++i)
        waveforms.push_back(putWave(waveAt(*source, 1, 10 + i), QStringLiteral("W%1").arg(i)));

    auto document = library(XfType);
    EXPECT_EQ(document->pasteWaves(1, 126, waveforms), 2);
    EXPECT_EQ(waveSlots(*document, 1, 128, 125), "126: 127:W0 128:W1");
    EXPECT_EQ(document->pasteWaves(2, -1, waveforms), 5);
    EXPECT_EQ(waveSlots(*document, 2, 1), "129:W0");
    EXPECT_EQ(document->pasteWaves(4, 0, waveforms) + document->pasteWaves(1, 0, {}) +
                  document->pasteWaves(1, std::numeric_limits<int>::max(), waveforms),
              0);
}

TEST_F(X0V_DocumentEdit, PastedVoicesBringTheirWaveformsOrUseTheirTwins)
{
    auto source = library(XsType);
    putWave(waveAt(*source, 1, 6), QStringLiteral("Strings"), 300);
    putWave(waveAt(*source, 1, 8), QStringLiteral("Brass"), 200);
    const XS_Voice* first = putVoice(*source, User1, 0, QStringLiteral("Both"), {7, 9});
    const XS_Voice* second = putVoice(*source, User1, 1, QStringLiteral("Strings"), {7});
    const XS_Voice* kit = putVoice(*source, DrumUser, 0, QStringLiteral("Kit"));
    auto document = library(XsType);
    putWave(waveAt(*document, 1, 0), QStringLiteral("Other"));
    putWave(waveAt(*document, 1, 4), QStringLiteral("Strings"), 300);
    const Vector<const XS_Waveform*> waveforms{waveAt(*source, 1, 6), waveAt(*source, 1, 8)};

    EXPECT_EQ(document->pasteVoices(User2, 10, {first, second}, waveforms), 2);
    // Strings is the library's own at id 5; Brass goes after the last used slot.
    EXPECT_EQ(waveSlots(*document, 1, 7), "1:Other 2: 3: 4: 5:Strings 6:Brass 7:");
    const XS_Voice* pasted = voiceAt(*document, User2, 10);
    EXPECT_EQ(pasted->filename, "3F090A-Voice.vce");
    EXPECT_EQ(elementWaves(*document, *pasted, 2), std::vector<int>({5, 6}));
    EXPECT_EQ(pasted->rel_filenames, QStringList({"0005-Waveform.wfm", "0006-Waveform.wfm"}));
    // Every waveform has a twin now: none is pasted again. Slots past the bank are skipped.
    EXPECT_EQ(document->pasteVoices(User1, 127, {second, first}, waveforms), 1);
    EXPECT_EQ(document->waves().count(), 3);

    // Mismatches change nothing.
    auto xf = library(XfType);
    EXPECT_EQ(document->pasteVoices(User1, 0, {kit}, {}) + xf->pasteVoices(User1, 0, {first}, waveforms), 0);
    EXPECT_EQ(xf->waves().count(), 0);
    EXPECT_EQ(script.calls.filter(QStringLiteral("error")),
              QStringList({"error Paste Voices|Type mismatch", "error Paste Voices|Model mismatch"}));
    // No bank has room for the waveforms: nothing changes.
    script.calls.clear();
    for (int p = 6; p < 1024; ++p) waveAt(*document, 1, p)->create();
    waveAt(*document, 1, 4)->deleteData();
    EXPECT_EQ(document->pasteVoices(User1, 0, {first}, waveforms), 0);
    EXPECT_EQ(script.calls.filter(QStringLiteral("warning")),
              QStringList({"warning Paste Waveforms|Not available space to paste waveforms"}));
    EXPECT_FALSE(voiceAt(*document, User1, 0)->hasData() || waveAt(*document, 1, 4)->hasData());
}

TEST_F(X0V_DocumentEdit, DeletedWaveformsHandTheirVoicesToATwinOrLeaveThemForValidation)
{
    auto document = library(XfType);
    for (const auto& [bank, p, name, frames] :
         {std::tuple{1, 0, "Pad", 100}, {1, 1, "Solo", 100}, {2, 9, "Pad", 100}, {1, 3, "Pad", 99}})
        putWave(waveAt(*document, bank, p), QLatin1String(name), frames);
    XS_Voice* voice = putVoice(*document, User1, 0, QStringLiteral("V"), {1, 2, 4});
    document->deleteWaves(1, {0});
    EXPECT_EQ(elementWaves(*document, *voice, 3), std::vector<int>({138, 2, 4}));

    // Twins deleted together do not stand in for one another.
    putWave(waveAt(*document, 1, 0), QStringLiteral("Pad"), 100);
    putWave(waveAt(*document, 1, 5), QStringLiteral("Pad"), 100);
    voice->setElementWaveform(document->model(), 0, 1);
    document->deleteWaves(2, {9});
    document->deleteWaves(1, {0, 1, 3, 5});
    EXPECT_EQ(elementWaves(*document, *voice, 3), std::vector<int>({1, 2, 4}));
    EXPECT_EQ(document->waves().count(), 0);
    EXPECT_TRUE(script.calls.isEmpty());
    document->validateDocument();
    EXPECT_EQ(script.calls, QStringList({"warning |Removed invalid waveform indexes!"}));
    EXPECT_EQ(elementWaves(*document, *voice, 3), std::vector<int>({0, 0, 0}));
    EXPECT_TRUE(voice->rel_filenames.isEmpty());
}
