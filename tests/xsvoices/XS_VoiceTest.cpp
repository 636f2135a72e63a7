#include "VoiceTestSupport.h"

#include "motif/Motif.h"
#include "motif/documents/XS_Voice.h"

#include <QResource>
#include <gtest/gtest.h>
#include <limits>

TEST(XS_Voice, TemplatesHoldTheirNameCategoriesAndElements)
{
    XS_Voice voice(MotifXS);
    EXPECT_EQ(voice.elementCount(MotifXS), -1);
    EXPECT_EQ(voice.getCategory1(), -1);

    voice.initVoice();
    const Buffer& block = voice.data();
    ASSERT_EQ(block.size(), 1640);
    EXPECT_EQ(voice.name(), "Full Concert Grand  ");
    EXPECT_EQ(voice.getCategory1(), 0);
    EXPECT_EQ(voice.getCategory2(), 16 * 128);
    // Four leading parts, each after its length, up to the element count.
    EXPECT_EQ(block.readValue(0, 4), 124u);
    EXPECT_EQ(block.readValue(352, 4), 48u);
    EXPECT_EQ(voice.elementCount(MotifXS), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(block.readValue(XS_Voice::elementOffset(MotifXS, i), 4), 140u) << i;
        EXPECT_TRUE(voice.isElementUsed(i)) << i;
        EXPECT_EQ(voice.elementMem(i), 0) << i;
        EXPECT_EQ(voice.elementWave(i), i + 1) << i;
    }
    EXPECT_EQ(block.readValue(1560, 4), 76u);
    EXPECT_TRUE(voice.waveforms(MotifXS).empty());

    // The templates have 140-byte elements whatever the voice's model.
    XS_Voice kit(MotifXF);
    kit.initDrumKit();
    ASSERT_EQ(kit.data().size(), 11000);
    EXPECT_EQ(kit.name(), "Power Standard Kit 1");
    EXPECT_EQ(kit.elementCount(MotifXS), 73);
    EXPECT_EQ(kit.data().readValueR(XS_Voice::elementOffset(MotifXS, 72) + 140, 2), 73u);
    EXPECT_EQ(kit.data().readValue(10920, 4), 76u);

    kit.initVoice();
    EXPECT_EQ(kit.data(), voice.data());
}

TEST(XS_Voice, ElementLayoutFollowsTheModel)
{
    EXPECT_EQ(XS_Voice::elementOffset(MotifXS, 1), 552);
    EXPECT_EQ(XS_Voice::elementOffset(MotifXF, 1), 556);
    EXPECT_EQ(XS_Voice::elementOffset(S90XS, 2), 704);
    EXPECT_EQ(XS_Voice::elementOffset(RackXS, 72), 10776);
    EXPECT_EQ(XS_Voice::elementOffset(QString(), 1), 552);

    // The element fields sit at +4, +5 and +S of the voice's own model's layout.
    XS_Voice voice(S90XS);
    voice.setData(blankBlock(S90XS, 3));
    EXPECT_EQ(voice.elementCount(S90XS), 3);
    setElement(voice, 1, 1, 0x0201);
    EXPECT_EQ(voice.data().toString().mid(560 * 3, 5), "01 01");
    EXPECT_EQ(voice.data().toString().mid(700 * 3, 5), "01 02");
    setElement(voice, 0, 1, 7);
    setElement(voice, 2, 2, 7);
    // The S90 XS plays no user waveforms.
    EXPECT_EQ(voice.elementWaveform(S90XS, 0), 0);
    EXPECT_TRUE(voice.waveforms(S90XS).empty());

    voice.setElementUsed(1, false);
    EXPECT_EQ(voice.data().at(560), 0);
}

TEST(XS_Voice, ElementMemoryAndNumberGiveTheWaveformId)
{
    XS_Voice xf(MotifXF);
    xf.setData(blankBlock(MotifXF, 5));
    setElement(xf, 0, 3, 5);
    setElement(xf, 1, 2, 1);
    setElement(xf, 2, 1, 128);
    setElement(xf, 3, 1, 129);
    setElement(xf, 4, 0, 5);
    EXPECT_EQ(xf.waveforms(MotifXF), (std::vector<int>{128, 129, 2181}));
    EXPECT_EQ(xf.elementWaveform(MotifXF, 3), 0);
    // Memory 3 belongs to the Motif XF only.
    EXPECT_EQ(xf.elementWaveform(MotifXS, 0), 0);

    // Writing an id sets memory and number, low byte first, and leaves the used flag alone.
    xf.setElementUsed(4, false);
    xf.setElementWaveform(MotifXF, 4, 2181);
    const int e4 = XS_Voice::elementOffset(MotifXF, 4);
    EXPECT_EQ(xf.data().toString().mid((e4 + 4) * 3, 5), "00 03");
    EXPECT_EQ(xf.data().toString().mid((e4 + 144) * 3, 5), "05 00");
    EXPECT_EQ(xf.elementWaveform(MotifXF, 4), 0);
    xf.setElementUsed(4, true);
    EXPECT_EQ(xf.elementWaveform(MotifXF, 4), 2181);
    xf.setElementWaveform(MotifXF, 4, 4224);
    EXPECT_EQ(xf.elementMem(4), 3);
    EXPECT_EQ(xf.elementWave(4), 2048);

    // Id 0 or below switches the element off; memory and number stay.
    xf.setElementWaveform(MotifXF, 1, 0);
    EXPECT_FALSE(xf.isElementUsed(1));
    EXPECT_EQ(xf.elementWave(1), 1);
    xf.setElementWaveform(MotifXF, 2, -3);
    EXPECT_FALSE(xf.isElementUsed(2));

    XS_Voice xs(MotifXS);
    xs.setData(blankBlock(MotifXS, 3));
    setElement(xs, 0, 1, 1024);
    setElement(xs, 1, 2, 1);
    setElement(xs, 2, 1, 1025);
    EXPECT_EQ(xs.waveforms(MotifXS), (std::vector<int>{1024}));
    xs.setElementWaveform(MotifXS, 1, 300);
    EXPECT_EQ(xs.elementMem(1), 1);
    EXPECT_EQ(xs.elementWave(1), 300);

    // Without data nothing is read or written.
    XS_Voice empty(MotifXF);
    empty.setElementWaveform(MotifXF, 0, 2181);
    EXPECT_FALSE(empty.hasData());
    EXPECT_EQ(empty.elementWaveform(MotifXF, 0), 0);
}

TEST(XS_Voice, WaveformListsAndRemapping)
{
    XS_Voice voice(MotifXF);
    voice.setData(blankBlock(MotifXF, 6));
    setElement(voice, 0, 1, 5);
    setElement(voice, 1, 3, 5);
    setElement(voice, 2, 2, 2);
    setElement(voice, 3, 1, 5);
    setElement(voice, 4, 1, 9);
    voice.setElementUsed(4, false);
    const auto plays = [&voice] {
        std::vector<int> ids;
        for (int i = 0; i < 5; ++i) ids.push_back(voice.elementWaveform(MotifXF, i));
        return ids;
    };
    EXPECT_EQ(voice.waveforms(MotifXF), (std::vector<int>{5, 130, 2181}));
    voice.updateWaveformInfo(MotifXF);
    EXPECT_EQ(voice.rel_filenames,
              QStringList({"0005-Waveform.wfm", "0130-Waveform.wfm", "2181-Waveform.wfm"}));

    // The first position of an old id decides; ids not listed stay; elements that are off stay.
    voice.remapWaveforms(MotifXF, {2181, 5, 2181, 9}, {129, 7, 1, 10});
    EXPECT_EQ(plays(), (std::vector<int>{7, 129, 130, 7, 0}));
    EXPECT_EQ(voice.elementWave(4), 9);
    EXPECT_EQ(voice.rel_filenames,
              QStringList({"0007-Waveform.wfm", "0129-Waveform.wfm", "0130-Waveform.wfm"}));

    // A new id of 0 switches the element off; an old id without a new one is left as it is.
    voice.remapWaveforms(MotifXF, {130, 7}, {0});
    EXPECT_EQ(plays(), (std::vector<int>{7, 129, 0, 7, 0}));
    EXPECT_EQ(voice.rel_filenames, QStringList({"0007-Waveform.wfm", "0129-Waveform.wfm"}));

    // With no old ids only the names are renewed.
    voice.rel_filenames = QStringList({"stale"});
    voice.remapWaveforms(MotifXF, {}, {});
    EXPECT_EQ(voice.rel_filenames, QStringList({"0007-Waveform.wfm", "0129-Waveform.wfm"}));

    XS_Voice empty(MotifXF);
    empty.rel_filenames = QStringList({"kept"});
    empty.remapWaveforms(MotifXF, {5}, {6});
    EXPECT_EQ(empty.rel_filenames, QStringList({"kept"}));
}

TEST(XS_Voice, HostileElementCountStopsAtTheBlockEnd)
{
    XS_Voice voice(MotifXF);
    Buffer block = blankBlock(MotifXF, 2);
    block.setAt(404, 0x7F);
    block.setAt(405, 0xFF);
    voice.setData(block);
    setElement(voice, 1, 1, 3);
    EXPECT_EQ(voice.elementCount(MotifXF), 0x7FFF0002);
    EXPECT_EQ(voice.waveforms(MotifXF), (std::vector<int>{3}));
    EXPECT_EQ(voice.elementWaveform(MotifXF, std::numeric_limits<int>::max()), 0);
    EXPECT_FALSE(voice.isElementUsed(std::numeric_limits<int>::min()));
    voice.setElementWaveform(MotifXF, std::numeric_limits<int>::max(), 5);
    EXPECT_EQ(voice.data().size(), block.size());

    // An element whose wave number the block cuts off is not walked.
    XS_Voice shortVoice(MotifXF);
    shortVoice.setData(Buffer(voice.data().data(), XS_Voice::elementOffset(MotifXF, 1) + 145));
    EXPECT_EQ(shortVoice.elementWaveform(MotifXF, 1), 3);
    EXPECT_TRUE(shortVoice.waveforms(MotifXF).empty());
}

TEST(XS_Voice, IdsPatchesAndBanks)
{
    XS_Voice voice(MotifXS);
    voice.setId(0x3F0805);
    EXPECT_EQ(voice.filename, "3F0805-Voice.vce");
    EXPECT_EQ(voice.patch(), Patch(0x3F, 8, 5));
    EXPECT_EQ(voice.bankName(), "USER1");
    // A new patch renumbers the entry but keeps the file name.
    voice.setPatch(Patch(0x3F28, 31));
    EXPECT_EQ(voice.content_number, 0x3F281F);
    EXPECT_EQ(voice.filename, "3F0805-Voice.vce");
    EXPECT_EQ(voice.bankType(), XS_Voice::DrumBankType);
    EXPECT_EQ(voice.bankName(), "DR:USER");

    // The first and last banks of each type and the ones just outside.
    QStringList types;
    for (Bank bank : {0x3F00, 0x3F0F, 0x3F10, 0x3F20, 0x3F2F, 0x3F30, 0x3E08})
        types << QString::number(XS_Voice::BankType(bank));
    EXPECT_EQ(types.join(' '), "1 1 0 2 2 0 0");
    // The Motif XF alone has a fourth user bank, the S90 XS only the drum kits.
    EXPECT_EQ(XS_Voice::BankName(MotifXS, 0x3F0B), "");
    EXPECT_EQ(XS_Voice::BankName(MotifXF, 0x3F0B), "USER4");
    EXPECT_EQ(XS_Voice::BankName(S90XS, 0x3F08), "");
}

TEST(XS_Voice, NameAndCategoriesInTheBlock)
{
    // Without a block there is nowhere to write.
    XS_Voice voice(MotifXS);
    voice.setName(QStringLiteral("Lost"));
    EXPECT_FALSE(voice.hasData());

    voice.initVoice();
    voice.content_name = QStringLiteral("Entry");
    voice.setName(QStringLiteral("A Very Long Voice Name Indeed"));
    EXPECT_EQ(voice.name(), "A Very Long Voice Na");
    EXPECT_EQ(voice.content_name, "Entry");
    voice.setName(QStringLiteral("Pad"));
    EXPECT_EQ(voice.data().toString(24).mid(12),
              "50 61 64 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");

    voice.setCategory1(130);
    voice.setCategory2(16 * 128 + 3);
    EXPECT_EQ(voice.data().toString(36).right(11), "01 02 10 03");

    Motif device;
    EXPECT_EQ(voice.printCategory(&device), "Ap:E.GRAND");
    voice.setCategory(QStringLiteral("Co:SEQ"), &device);
    EXPECT_EQ(voice.getCategory1(), 16 * 128 + 2);
    voice.setCategory(QStringLiteral("No Such Category"), &device);
    voice.setCategory(QStringLiteral("Ap:A.PIANO"), nullptr);
    EXPECT_EQ(voice.data().toString(36).right(11), "10 02 10 03");
    EXPECT_EQ(voice.printCategory(nullptr), "");
}

TEST(XS_Voice, SerialisedFormKeepsTheModelAndEntry)
{
    XS_Voice voice(MotifXF);
    voice.setData(Buffer{0x01, 0x02, 0x03});
    voice.setId(0x3F0805);
    voice.content_name = QStringLiteral("Pad");
    voice.data_size = 3;
    voice.rel_filenames = QStringList({"w"});
    Archive out;
    voice.toArchive(out);
    EXPECT_EQ(hex(out.bytes()), "4D 6F 74 69 66 20 58 46 00 00 00 00 2D 00 00 00 00 00 00 00 03 00 00 00 00 "
                                "00 00 00 00 00 3F 08 05 00 00 50 61 64 00 33 46 30 38 30 35 2D 56 6F 69 "
                                "63 65 2E 76 63 65 00 77 00 00 00 00 03 01 02 03");

    // A voice without a model takes the one read.
    Archive in(out.bytes());
    XS_Voice copy;
    ASSERT_TRUE(copy.fromArchive(in));
    EXPECT_TRUE(in.eof());
    EXPECT_EQ(copy.model(), MotifXF);
    EXPECT_EQ(copy.data(), voice.data());
    EXPECT_EQ(copy.info(), voice.info());

    // A voice of another model reads the model text and nothing more.
    Archive other(out.bytes());
    XS_Voice xs(MotifXS);
    EXPECT_FALSE(xs.fromArchive(other));
    EXPECT_EQ(other.pos(), 9);
    EXPECT_EQ(xs.model(), MotifXS);
    EXPECT_FALSE(xs.hasData());

    // The Motif XS record has no filter byte.
    XS_Voice asXS(voice);
    asXS.setModel(MotifXS);
    Archive xsOut;
    asXS.toArchive(xsOut);
    EXPECT_EQ(xsOut.bytes().size(), out.bytes().size() - 1);

    // A cut block fails without taking a partial block.
    std::vector<std::uint8_t> cut = out.bytes();
    cut.pop_back();
    Archive truncated(cut);
    XS_Voice broken;
    EXPECT_FALSE(broken.fromArchive(truncated));
    EXPECT_TRUE(truncated.failed());
    EXPECT_FALSE(broken.hasData());
}
