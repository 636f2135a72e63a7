// A voice block: its templates, the element layout of each model, the waveform ids its elements
// play and their remapping after edits, its banks, name and categories. Hostile blocks and the
// clipboard form's round trip are fuzz_arp's.
#include "VoiceTestSupport.h"

#include "motif/Motif.h"
#include "motif/documents/XS_Voice.h"

#include <gtest/gtest.h>

TEST(XS_Voice, TemplatesHoldTheirNameCategoriesAndElements)
{
    XS_Voice voice(MotifXS);
    EXPECT_EQ(voice.elementCount(MotifXS), -1);
    voice.initVoice();
    ASSERT_EQ(voice.data().size(), 1640);
    EXPECT_EQ(voice.name(), "Full Concert Grand  ");
    EXPECT_EQ(voice.getCategory2(), 16 * 128);
    EXPECT_EQ(voice.elementCount(MotifXS), 8);
    QString elements;
    for (int i = 0; i < 8; ++i)
        elements += QStringLiteral("%1:%2:%3 ")
                        .arg(voice.isElementUsed(i))
                        .arg(voice.elementMem(i))
                        .arg(voice.elementWave(i));
    EXPECT_EQ(elements, "1:0:1 1:0:2 1:0:3 1:0:4 1:0:5 1:0:6 1:0:7 1:0:8 ");
    // Preset waveforms only: the voice plays no user waveform.
    EXPECT_TRUE(voice.waveforms(MotifXS).empty());

    XS_Voice kit(MotifXF);
    kit.initDrumKit();
    ASSERT_EQ(kit.data().size(), 11000);
    EXPECT_EQ(kit.name(), "Power Standard Kit 1");
    EXPECT_EQ(kit.elementCount(MotifXS), 73);
}

TEST(XS_Voice, ElementLayoutFollowsTheModel)
{
    EXPECT_EQ(QStringLiteral("%1 %2 %3 %4 %5")
                  .arg(XS_Voice::elementOffset(MotifXS, 1))
                  .arg(XS_Voice::elementOffset(MotifXF, 1))
                  .arg(XS_Voice::elementOffset(S90XS, 2))
                  .arg(XS_Voice::elementOffset(RackXS, 72))
                  .arg(XS_Voice::elementOffset(QString(), 1)),
              "552 556 704 10776 552");
    // The element fields sit at +4, +5 and +S of the voice's own model's layout, the number
    // low byte first.
    XS_Voice voice(S90XS);
    voice.setData(blankBlock(S90XS, 3));
    setElement(voice, 1, 1, 0x0201);
    EXPECT_EQ(voice.data().toString().mid(560 * 3, 5) + voice.data().toString().mid(700 * 3, 6),
              "01 0101 02 ");
    voice.setElementUsed(1, false);
    EXPECT_EQ(voice.data().at(560), 0);
}

TEST(XS_Voice, ElementMemoryAndNumberGiveTheWaveformId)
{
    // Memory 1 is the user bank, 2 and 3 the Motif XF's flash banks; 0 is preset.
    XS_Voice xf(MotifXF);
    xf.setData(blankBlock(MotifXF, 6));
    for (const auto& [element, memory, number] :
         {std::tuple{0, 3, 5}, {1, 2, 1}, {2, 1, 128}, {3, 1, 129}, {4, 0, 5}, {5, 3, 2049}})
        setElement(xf, element, memory, number);
    EXPECT_EQ(xf.waveforms(MotifXF), (std::vector<int>{128, 129, 2181}));
    EXPECT_EQ(xf.elementWaveform(MotifXS, 0), 0);
    XS_Voice xs(MotifXS);
    xs.setData(blankBlock(MotifXS, 3));
    for (const auto& [element, memory, number] : {std::tuple{0, 1, 1024}, {1, 2, 1}, {2, 1, 1025}})
        setElement(xs, element, memory, number);
    EXPECT_EQ(xs.waveforms(MotifXS), (std::vector<int>{1024}));

    // Writing an id sets memory and number and leaves the used flag alone; id 0 or below
    // switches the element off and keeps memory and number.
    xf.setElementUsed(4, false);
    xf.setElementWaveform(MotifXF, 4, 2181);
    EXPECT_EQ(xf.elementWaveform(MotifXF, 4), 0);
    xf.setElementUsed(4, true);
    EXPECT_EQ(xf.elementWaveform(MotifXF, 4), 2181);
    xf.setElementWaveform(MotifXF, 4, 4224);
    xf.setElementWaveform(MotifXF, 1, 0);
    xf.setElementWaveform(MotifXF, 2, -3);
    EXPECT_EQ(QStringLiteral("%1:%2 %3%4:%5")
                  .arg(xf.elementMem(4))
                  .arg(xf.elementWave(4))
                  .arg(xf.isElementUsed(1))
                  .arg(xf.isElementUsed(2))
                  .arg(xf.elementWave(1)),
              "3:2048 00:1");
    xs.setElementWaveform(MotifXS, 1, 300);
    EXPECT_EQ(xs.elementMem(1) * 1000 + xs.elementWave(1), 1300);
}

TEST(XS_Voice, WaveformListsAndRemapping)
{
    XS_Voice voice(MotifXF);
    voice.setData(blankBlock(MotifXF, 6));
    for (const auto& [element, memory, number] :
         {std::tuple{0, 1, 5}, {1, 3, 5}, {2, 2, 2}, {3, 1, 5}, {4, 1, 9}})
        setElement(voice, element, memory, number);
    voice.setElementUsed(4, false);
    const auto plays = [&voice] {
        std::vector<int> ids;
        for (int i = 0; i < 5; ++i) ids.push_back(voice.elementWaveform(MotifXF, i));
        return ids;
    };
    EXPECT_EQ(voice.waveforms(MotifXF), (std::vector<int>{5, 130, 2181}));

    // The first position of an old id decides; ids not listed stay; elements that are off stay.
    voice.remapWaveforms(MotifXF, {2181, 5, 2181, 9}, {129, 7, 1, 10});
    EXPECT_EQ(plays(), (std::vector<int>{7, 129, 130, 7, 0}));
    EXPECT_EQ(voice.elementWave(4), 9);
    // A new id of 0 switches the element off; an old id without a new one is left as it is.
    voice.remapWaveforms(MotifXF, {130, 7}, {0});
    EXPECT_EQ(plays(), (std::vector<int>{7, 129, 0, 7, 0}));
    EXPECT_EQ(voice.rel_filenames, QStringList({"0007-Waveform.wfm", "0129-Waveform.wfm"}));
    // With no old ids only the names are renewed.
    voice.rel_filenames = QStringList({"stale"});
    voice.remapWaveforms(MotifXF, {}, {});
    EXPECT_EQ(voice.rel_filenames, QStringList({"0007-Waveform.wfm", "0129-Waveform.wfm"}));
}

TEST(XS_Voice, IdsBanksNameAndCategories)
{
    XS_Voice voice(MotifXS);
    voice.setId(0x3F0805);
    EXPECT_EQ(voice.filename + voice.bankName(), "3F0805-Voice.vceUSER1");
    // A new patch renumbers the entry but keeps the file name.
    voice.setPatch(Patch(0x3F28, 31));
    EXPECT_EQ(voice.content_number, 0x3F281F);
    EXPECT_EQ(voice.filename + voice.bankName(), "3F0805-Voice.vceDR:USER");
    // The first and last banks of each type and the ones just outside; the Motif XF alone has a
    // fourth user bank, the S90 XS only the drum kits.
    QStringList banks;
    for (Bank bank : {0x3F00, 0x3F0F, 0x3F10, 0x3F20, 0x3F2F, 0x3F30, 0x3E08})
        banks << QString::number(XS_Voice::BankType(bank));
    banks << XS_Voice::BankName(MotifXS, 0x3F0B) << XS_Voice::BankName(MotifXF, 0x3F0B)
          << XS_Voice::BankName(S90XS, 0x3F08);
    EXPECT_EQ(banks.join(' '), "1 1 0 2 2 0 0  USER4 ");

    voice.initVoice();
    voice.setName(QStringLiteral("A Very Long Voice Name Indeed"));
    EXPECT_EQ(voice.name(), "A Very Long Voice Na");
    voice.setName(QStringLiteral("Pad"));
    EXPECT_EQ(voice.data().toString(24).mid(12),
              "50 61 64 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
    voice.setCategory1(130);
    voice.setCategory2(16 * 128 + 3);
    EXPECT_EQ(voice.data().toString(36).right(11), "01 02 10 03");
    Motif device;
    EXPECT_EQ(voice.printCategory(&device), "Ap:E.GRAND");
    voice.setCategory(QStringLiteral("Co:SEQ"), &device);
    voice.setCategory(QStringLiteral("No Such Category"), &device);
    EXPECT_EQ(voice.data().toString(36).right(11), "10 02 10 03");
}
