#include "DumpTestSupport.h"

#include "motif/Motif.h"
#include "zaltor/ParamMenu.h"

#include <QTest>
#include <gtest/gtest.h>

TEST(ParamMenu, OffersARangeOfRowsAndAnswersTheTableIndex)
{
    ensureApplication();
    Motif device;
    const DeviceTable* table = device.createTable("CATEGORIES");
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->count(), 17);

    QStringList shown;
    whenMenuShows([&](QMenu* menu) {
        for (QAction* action : menu->actions()) shown << action->text() + (action->isChecked() ? "*" : "");
        menu->setActiveAction(menu->actions().at(1));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    EXPECT_EQ(ParamMenu::getValue(nullptr, QPoint(0, 0), table, 3, 2, 4), 3);
    EXPECT_EQ(shown, (QStringList{"Kb", "Or*", "Gt"}));

    shown.clear();
    whenMenuShows([&](QMenu* menu) {
        for (QAction* action : menu->actions()) shown << action->text() + (action->isChecked() ? "*" : "");
        menu->setActiveAction(menu->actions().last());
        QTest::keyClick(menu, Qt::Key_Return);
    });
    EXPECT_EQ(ParamMenu::getValue(nullptr, QPoint(0, 0), table, -1, 15, -1), 16);
    EXPECT_EQ(shown, (QStringList{table->row(15)->name, table->row(16)->name}));

    whenMenuShows([](QMenu* menu) { menu->close(); });
    EXPECT_EQ(ParamMenu::getValue(nullptr, QPoint(0, 0), table, 0, 0, -1), -1);

    // Nothing to offer: no menu shows.
    EXPECT_EQ(ParamMenu::getValue(nullptr, QPoint(0, 0), nullptr, 0, 0, -1), -1);
    EXPECT_EQ(ParamMenu::getValue(nullptr, QPoint(0, 0), table, 0, 17, -1), -1);
    EXPECT_EQ(ParamMenu::getValue(nullptr, QPoint(0, 0), table, 0, 5, 4), -1);
}
