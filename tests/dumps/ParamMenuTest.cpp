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
    ASSERT_EQ(table->count(), 17);

    // Each pick: the rows shown (the current one starred), then the chosen table index.
    QStringList seen;
    for (const auto& [current, first, last, pick] : {std::tuple{3, 2, 4, 1}, std::tuple{-1, 15, -1, 1}}) {
        whenMenuShows([&, pick](QMenu* menu) {
            for (QAction* action : menu->actions()) seen << action->text() + (action->isChecked() ? "*" : "");
            menu->setActiveAction(menu->actions().at(pick));
            QTest::keyClick(menu, Qt::Key_Return);
        });
        seen << QString::number(ParamMenu::getValue(nullptr, QPoint(0, 0), table, current, first, last));
    }
    EXPECT_EQ(seen, (QStringList{"Kb", "Or*", "Gt", "3", table->row(15)->name, table->row(16)->name, "16"}));
    whenMenuShows([](QMenu* menu) { menu->close(); });
    EXPECT_EQ(ParamMenu::getValue(nullptr, QPoint(0, 0), table, 0, 0, -1), -1);

    // Nothing to offer: no menu shows.
    EXPECT_EQ(ParamMenu::getValue(nullptr, QPoint(0, 0), nullptr, 0, 0, -1), -1);
    EXPECT_EQ(ParamMenu::getValue(nullptr, QPoint(0, 0), table, 0, 17, -1), -1);
    EXPECT_EQ(ParamMenu::getValue(nullptr, QPoint(0, 0), table, 0, 5, 4), -1);
}
