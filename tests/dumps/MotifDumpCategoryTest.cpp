#include "DumpTestSupport.h"

#include "motif/Motif.h"
#include "motif/MotifDump.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {
class MotifDumpCategory : public ::testing::Test {
protected:
    MotifDumpCategory() { voice.init(); }

    // The category as the name block holds it, with what the dump reads from it.
    QString seen()
    {
        return dataHex(voice.first(), 12, 2) + QString(voice.first()->checksumValid() ? " ok " : " bad ") +
               QString::number(voice.getCategoryData()) + " " + voice.name(true);
    }

    Motif device;
    VoiceDump voice{&device};
};
} // namespace

// Reading, naming and setting a voice's category are the patch_files transcript's.
TEST_F(MotifDumpCategory, EachByteKeepsItsSevenBits)
{
    voice.setCategoryData(0x3FFF + 0x4000);
    EXPECT_EQ(dataHex(voice.first(), 12, 2), "7F 7F");
}

TEST_F(MotifDumpCategory, DumpsWithoutACategoryAnswerNothing)
{
    MixDump mix(&device);
    mix.init();
    const std::vector<std::uint8_t> mixBytes = mix.toBytes();
    EXPECT_EQ(QString::number(mix.getCategoryData()) + mix.printCategory(true) + mix.name(true),
              "-1Init Multi");
    // The table knows the name, so the answer is yes, but nothing is stored.
    mix.setCategoryData(130);
    EXPECT_TRUE(mix.setCategory("Ap:E.GRAND"));
    EXPECT_EQ(mix.toBytes(), mixBytes);

    // A name block too short to hold the sub-category.
    VoiceDump shortName(&device);
    shortName.addBulkDump(0x407000, "41 42 43 44 45 46 47 48 49 4A 00 00 01");
    shortName.setCategoryData(130);
    EXPECT_EQ(shortName.getCategoryData(), -1);

    // Without a device there are no tables to name a category.
    VoiceDump orphan(nullptr);
    orphan.addBulkDump(0x407000, "41 42 43 44 45 46 47 48 49 4A 00 00 01 02");
    EXPECT_EQ(QString::number(orphan.getCategoryData()) + orphan.printCategory(false), "130");
    EXPECT_FALSE(orphan.setCategory("Ap") || orphan.selectCategory(nullptr, QPoint()));
}

TEST_F(MotifDumpCategory, PicksTheCategoryFromAMenu)
{
    ensureApplication();
    voice.setCategoryData(130);
    QStringList shown;
    whenMenuShows([&](QMenu* menu) {
        for (QAction* action : menu->actions()) shown << action->text() + (action->isChecked() ? "*" : "");
        menu->setActiveAction(menu->actions().at(8));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    EXPECT_TRUE(voice.selectCategory(nullptr, QPoint(10, 10)));
    EXPECT_EQ(shown.at(8) + " " + shown.filter("*").join(' '), "Or:PIPE Ap:E.GRAND*");
    EXPECT_EQ(seen(), "03 02 ok 386 Or:Init Voice");
    whenMenuShows([](QMenu* menu) { QTest::keyClick(menu, Qt::Key_Escape); });
    EXPECT_FALSE(voice.selectCategory(nullptr, QPoint(10, 10)));
    EXPECT_EQ(seen(), "03 02 ok 386 Or:Init Voice");
}
