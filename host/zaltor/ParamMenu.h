#pragma once

#include <QPoint>

class DeviceTable;
class QWidget;

// Lets the user pick one row of a device table from a pop-up menu, the way a value is chosen
// for a parameter whose values the table names.
class ParamMenu {
public:
    // Shows the rows `first` through `last` of the table (`last` -1: through the table's last
    // row) at the screen position, with the row `current` checked and placed under the pointer.
    // Answers the chosen row's index in the table, or -1 when the menu was dismissed, the table
    // is null or the range holds no row.
    static int getValue(QWidget* parent, QPoint position, const DeviceTable* table, int current, int first,
                        int last);
};
