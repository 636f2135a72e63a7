#pragma once

#include <QString>

class QTabWidget;

// Opens the library file at `path` in a new tab of `tabs` and makes it current.
void openLibraryTab(QTabWidget* tabs, const QString& path);
