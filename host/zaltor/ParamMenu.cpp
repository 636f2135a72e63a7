#include "zaltor/ParamMenu.h"

#include "zaltor/DeviceTable.h"

#include <QMenu>
#include <algorithm>

int ParamMenu::getValue(QWidget* parent, QPoint position, const DeviceTable* table, int current, int first,
                        int last)
{
    if (!table) return -1;
    const int from = std::max(first, 0);
    const int to = last < 0 ? table->count() - 1 : std::min(last, table->count() - 1);
    if (from > to) return -1;
    QMenu menu(parent);
    QAction* checked = nullptr;
    for (int i = from; i <= to; ++i) {
        QAction* action = menu.addAction(table->row(i)->name);
        action->setCheckable(true);
        action->setChecked(i == current);
        action->setData(i);
        if (i == current) checked = action;
    }
    const QAction* chosen = menu.exec(position, checked);
    return chosen ? chosen->data().toInt() : -1;
}
