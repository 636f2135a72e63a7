#pragma once

#include <QWidget>
#include <functional>

class FileList;
class InstrumentLink;
class Motif;
class QLabel;
class QPushButton;

// A folder of patch files (a backup folder or any folder of .syx files) as a list with name,
// type, category and location, and the transfers between the folder and the instrument: backup,
// resume of a stopped backup, verified restore, and patches dragged in from the instrument.
class FilesPane : public QWidget {
    Q_OBJECT
public:
    // `tables` reads the files: parsing a patch needs the device's tables, not the instrument.
    FilesPane(InstrumentLink& link, Motif& tables, QWidget* parent = nullptr);
    ~FilesPane() override;

    void openFolder(const QString& dir);
    QString folder() const { return folder_; }
    FileList* list() const { return list_; }
    // The transfers; `done` runs once the list shows their outcome. Each asks before it replaces
    // anything and says in a message box what failed.
    void backup(const QString& dir, std::function<void()> done = {});
    void resume(std::function<void()> done = {});
    void restore(std::function<void()> done = {});
    // Fetches the locations ("USER1:5") into the folder, one file each, named as a backup names
    // them.
    void fetch(const QStringList& locations, std::function<void()> done = {});
    // Copies patch files into the folder, each written through a temporary file; a file that is
    // no Motif ES patch is refused with the reason, one of the same name replaced after asking.
    void copyIn(const QStringList& paths);
    // Asks for a folder and opens it / backs up into it.
    void chooseFolder();
    void chooseBackupFolder();

signals:
    void folderChanged(const QString& dir);

private:
    void refresh();
    void setButtons();
    bool needsInstrument(const QString& title);

    InstrumentLink& link_;
    Motif& reader_;
    QString folder_;
    QLabel* folderLabel_;
    QPushButton* open_;
    QPushButton* backup_;
    QPushButton* resume_;
    QPushButton* restore_;
    FileList* list_;
};
