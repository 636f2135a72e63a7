#include "DumpTestSupport.h"

#include "motif/Motif.h"
#include "motif/MotifDump.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {
class MotifDumpCategory : public ::testing::Test {
protected:
    MotifDumpCategory() { voice.init(); }

    void setCategoryBytes(PatchDump& dump, int main, int sub)
    {
        dump.first()->setDataAt(12, std::uint8_t(main));
        dump.first()->setDataAt(13, std::uint8_t(sub));
    }

    Motif device;
    VoiceDump voice{&device};
};
} // namespace

TEST_F(MotifDumpCategory, ReadsMainAndSubFromTheNameBlock)
{
    EXPECT_EQ(voice.getCategoryData(), 0);
    EXPECT_EQ(voice.name(true), "--:Init Voice");
    setCategoryBytes(voice, 0x01, 0x02);
    EXPECT_EQ(voice.getCategoryData(), 130);
    EXPECT_EQ(voice.printCategory(false), "Ap");
    EXPECT_EQ(voice.printCategory(true), "Ap:E.GRAND");
    EXPECT_EQ(voice.name(true), "Ap:Init Voice");

    // A sub-category the table lacks falls back to the main category's short name.
    setCategoryBytes(voice, 0x01, 0x7F);
    EXPECT_EQ(voice.printCategory(true), "Ap");
    setCategoryBytes(voice, 100, 0);
    EXPECT_EQ(voice.getCategoryData(), 12800);
    EXPECT_EQ(voice.printCategory(true), "??");
}

TEST_F(MotifDumpCategory, StoresTheCategoryAndRenewsTheChecksum)
{
    voice.setCategoryData(130);
    EXPECT_EQ(dataHex(voice.first(), 12, 2), "01 02");
    EXPECT_EQ(voice.getCategoryData(), 130);
    EXPECT_TRUE(voice.first()->checksumValid());
    // Each byte keeps its seven bits.
    voice.setCategoryData(0x3FFF + 0x4000);
    EXPECT_EQ(dataHex(voice.first(), 12, 2), "7F 7F");

    EXPECT_TRUE(voice.setCategory("Or:PIPE"));
    EXPECT_EQ(voice.getCategoryData(), 3 * 128 + 2);
    EXPECT_TRUE(voice.first()->checksumValid());
    EXPECT_FALSE(voice.setCategory("Or:PIPES"));
    EXPECT_EQ(voice.getCategoryData(), 3 * 128 + 2);
}

TEST_F(MotifDumpCategory, DumpsWithoutACategoryAnswerNothing)
{
    MixDump mix(&device);
    mix.init();
    MasterDump master(&device);
    master.init();
    const std::vector<std::uint8_t> mixBytes = mix.toBytes();
    for (MotifDump* dump : {static_cast<MotifDump*>(&mix), static_cast<MotifDump*>(&master)})
        EXPECT_EQ(QString::number(dump->getCategoryData()) + dump->printCategory(true), "-1");
    EXPECT_EQ(mix.name(true), "Init Multi");
    mix.setCategoryData(130);
    // The table knows the name, so the answer is yes, but nothing is stored.
    EXPECT_TRUE(mix.setCategory("Ap:E.GRAND"));
    EXPECT_EQ(mix.toBytes(), mixBytes);

    // A name block too short to hold the sub-category.
    VoiceDump shortName(&device);
    shortName.addBulkDump(0x407000, "41 42 43 44 45 46 47 48 49 4A 00 00 01");
    EXPECT_EQ(shortName.getCategoryData(), -1);
    const std::vector<std::uint8_t> before = shortName.toBytes();
    shortName.setCategoryData(130);
    EXPECT_EQ(shortName.toBytes(), before);

    // Without a device there are no tables to name a category.
    VoiceDump orphan(nullptr);
    orphan.addBulkDump(0x407000, "41 42 43 44 45 46 47 48 49 4A 00 00 01 02");
    EXPECT_EQ(orphan.getCategoryData(), 130);
    EXPECT_EQ(orphan.printCategory(false), "");
    EXPECT_FALSE(orphan.setCategory("Ap"));
    EXPECT_FALSE(orphan.selectCategory(nullptr, QPoint()));
}

TEST_F(MotifDumpCategory, PicksTheCategoryFromAMenu)
{
    ensureApplication();
    voice.setCategoryData(130);
    QStringList shown;
    QString checked;
    whenMenuShows([&](QMenu* menu) {
        for (QAction* action : menu->actions()) {
            shown << action->text();
            if (action->isChecked()) checked = action->text();
        }
        menu->setActiveAction(menu->actions().at(8));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    EXPECT_TRUE(voice.selectCategory(nullptr, QPoint(10, 10)));
    EXPECT_EQ(checked, "Ap:E.GRAND");
    EXPECT_EQ(shown.at(8), "Or:PIPE");
    EXPECT_EQ(dataHex(voice.first(), 12, 2), "03 02");
    EXPECT_TRUE(voice.first()->checksumValid());

    whenMenuShows([](QMenu* menu) { QTest::keyClick(menu, Qt::Key_Escape); });
    EXPECT_FALSE(voice.selectCategory(nullptr, QPoint(10, 10)));
    EXPECT_EQ(dataHex(voice.first(), 12, 2), "03 02");
}
