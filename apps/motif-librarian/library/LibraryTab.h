#pragma once

#include <QString>

class QTabWidget;

// The library editor as a tab of the main window: one tab per open file.
//
// Opens the library at `path` in a new tab and shows it, or shows its tab when it is open; a
// file that cannot be opened is named in a message box and no tab is added.
void openLibraryTab(QTabWidget* tabs, const QString& path);
// Closes the tab at `index` when it holds a library editor that may go (unsaved edits are saved
// or dropped as the user chooses); false when the user kept it or it is no library tab.
bool closeLibraryTab(QTabWidget* tabs, int index);
// Whether every library tab may close, asking about each with unsaved edits: for the window's
// close.
bool mayCloseLibraryTabs(QTabWidget* tabs);
