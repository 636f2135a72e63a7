#include "LibraryTab.h"

#include "LibraryEditor.h"

#include "core/UserInterface.h"

#include <QFileInfo>
#include <QTabWidget>

void openLibraryTab(QTabWidget* tabs, const QString& path)
{
    const QString file = QFileInfo(path).canonicalFilePath();
    for (int i = 0; i < tabs->count(); ++i)
        if (auto* editor = qobject_cast<LibraryEditor*>(tabs->widget(i));
            editor && QFileInfo(editor->path()).canonicalFilePath() == file && !file.isEmpty()) {
            tabs->setCurrentIndex(i);
            return;
        }
    auto* editor = new LibraryEditor;
    if (const QString why = editor->open(path); !why.isEmpty()) {
        delete editor;
        error(tabs, why + QObject::tr("; open a Motif XS or XF library file (.X0V, .X1V, .X3V)"),
              QObject::tr("Open library"));
        return;
    }
    const int index = tabs->addTab(editor, editor->title());
    tabs->setTabToolTip(index, path);
    QObject::connect(editor, &LibraryEditor::titleChanged, tabs, [tabs, editor](const QString& title) {
        if (const int at = tabs->indexOf(editor); at >= 0) tabs->setTabText(at, title);
    });
    tabs->setCurrentIndex(index);
}

bool closeLibraryTab(QTabWidget* tabs, int index)
{
    auto* editor = qobject_cast<LibraryEditor*>(tabs->widget(index));
    if (!editor || !editor->maybeClose()) return false;
    tabs->removeTab(index);
    editor->deleteLater();
    return true;
}

bool mayCloseLibraryTabs(QTabWidget* tabs)
{
    for (int i = 0; i < tabs->count(); ++i)
        if (auto* editor = qobject_cast<LibraryEditor*>(tabs->widget(i)); editor && !editor->maybeClose())
            return false;
    return true;
}
