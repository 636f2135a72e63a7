#pragma once

#include "motif/librarian/PatchFile.h"

#include <QWidget>
#include <cstdint>
#include <vector>

class InstrumentLink;
class Motif;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

// One patch, from a file or fetched from the instrument: type, name, category, the patches a
// performance, mix or master refers to, and its blocks. A file's name and category can be
// changed; the file is rewritten through a temporary file renamed into place.
class PatchPane : public QWidget {
    Q_OBJECT
public:
    PatchPane(InstrumentLink& link, Motif& tables, QWidget* parent = nullptr);
    ~PatchPane() override;

    // Shows a file; false after saying in a message box why it cannot be read.
    bool showFile(const QString& path);
    // Fetches a location ("USER1:5") from the instrument and shows it; `done` runs once it shows.
    void showFetched(const QString& location, std::function<void()> done = {});
    // Renames the file's patch and writes the file; the empty text on success, else what failed.
    QString rename(const QString& name);
    QString setCategory(const QString& category);
    // Asks for another .syx file and shows both patches' blocks side by side.
    void compareWith(const QString& path);

    QString summary() const;
    QListWidget* references() const { return references_; }
    QTreeWidget* blocks() const { return blocks_; }

signals:
    // A reference was double-clicked: the patch it names ("USER1:5").
    void referenceOpened(const QString& location);

private:
    void show(LoadedPatch patch, const QString& source, const QString& path);
    QString writeBack();
    void chooseCategory();

    InstrumentLink& link_;
    Motif& tables_;
    LoadedPatch patch_;
    // The file shown; empty for a patch fetched from the instrument, which has none to rewrite.
    QString path_;
    QLabel* title_;
    QLineEdit* name_;
    QPushButton* rename_;
    QPushButton* category_;
    QPushButton* compare_;
    QListWidget* references_;
    QTreeWidget* blocks_;
};
