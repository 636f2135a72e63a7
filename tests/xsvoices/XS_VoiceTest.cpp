// A voice block: its templates, the element layout of each model, the waveform ids its elements
// play (remapping after edits is the library's edit tests'), its banks, name and categories. Hostile blocks
// and the clipboard form's round trip are fuzz_arp's.
#include "VoiceTestSupport.h"

#include "motif/Motif.h"
#include "motif/documents/XS_Voice.h"

#include <gtest/gtest.h>

TEST(XS_Voice, TemplatesHoldTheirNameCategoriesAndElements)
{
    XS_Voice voice(MotifXS), kit(MotifXF);
    voice.initVoice();
    kit.initDrumKit();
    EXPECT_EQ(QString::asprintf("%d %s %d %d|%d %s %d", voice.data().size(), qPrintable(voice.name()),
                                voice.getCategory2(), voice.elementCount(MotifXS), kit.data().size(),
                                qPrintable(kit.name()), kit.elementCount(MotifXS)),
              "1640 Full Concert Grand   2048 8|11000 Power Standard Kit 1 73");
    // Preset waveforms 1 to 8 only: the voice plays no user waveform.
    EXPECT_EQ(voice.elementMem(7) * 100 + voice.elementWave(7) * 10 + voice.isElementUsed(7), 81);
    EXPECT_TRUE(voice.waveforms(MotifXS).empty());
}

TEST(XS_Voice, ElementLayoutFollowsTheModel)
{
    EXPECT_EQ((std::vector<int>{XS_Voice::elementOffset(MotifXS, 1), XS_Voice::elementOffset(MotifXF, 1),
                                XS_Voice::elementOffset(S90XS, 2),
                                XS_Voice::elementOffset(QStringLiteral("Motif Rack XS"), 72),
                                XS_Voice::elementOffset(QString(), 1)}),
              (std::vector<int>{552, 556, 704, 10776, 552}));
    // The element fields sit at +4, +5 and +S of the voice's own model's layout, the number
    // low byte first.
    XS_Voice voice(S90XS);
    voice.setData(blankBlock(S90XS, 3));
    setElement(voice, 1, 1, 0x0201);
    EXPECT_EQ(voice.data().toString().mid(560 * 3, 5) + voice.data().toString().mid(700 * 3, 6),
              "01 0101 02 ");
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

    // Writing an id sets memory and number and leaves the used flag alone; id 0 or below
    // switches the element off and keeps memory and number.
    xf.setElementUsed(4, false);
    xf.setElementWaveform(MotifXF, 4, 4224);
    xf.setElementWaveform(MotifXF, 1, 0);
    xf.setElementWaveform(MotifXF, 2, -3);
    EXPECT_EQ(QString::asprintf("%d:%d:%d %d%d:%d", xf.elementMem(4), xf.elementWave(4), xf.isElementUsed(4),
                                xf.isElementUsed(1), xf.isElementUsed(2), xf.elementWave(1)),
              "3:2048:0 00:1");
}

TEST(XS_Voice, IdsBanksNameAndCategories)
{
    XS_Voice voice(MotifXS);
    voice.setId(0x3F0805);
    EXPECT_EQ(voice.filename + voice.bankName(), "3F0805-Voice.vceUSER1");
    // A new patch renumbers the entry but keeps the file name.
    voice.setPatch(Patch(0x3F28, 31));
    EXPECT_EQ(voice.filename + voice.bankName() + QString::number(voice.content_number, 16),
              "3F0805-Voice.vceDR:USER3f281f");
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
              "50 61 64 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20");
    voice.setCategory1(130);
    voice.setCategory2(16 * 128 + 3);
    EXPECT_EQ(voice.data().toString(36).right(11), "01 02 10 03");
    Motif device;
    EXPECT_EQ(voice.printCategory(&device), "Ap:E.GRAND");
    voice.setCategory(QStringLiteral("Co:SEQ"), &device);
    voice.setCategory(QStringLiteral("No Such Category"), &device);
    EXPECT_EQ(voice.data().toString(36).right(11), "10 02 10 03");
}
