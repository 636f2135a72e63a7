#pragma once

#include <QMainWindow>
#include <memory>

class FilesPane;
class InstrumentLink;
class InstrumentPane;
class MonitorPane;
class PatchPane;
class Motif;
class QMenu;
class QTabWidget;

// The librarian's window: the instrument beside a folder of patch files, the MIDI monitor, and
// one tab per open library file. Work with the instrument runs on the link's thread.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    InstrumentLink& link() { return *link_; }
    InstrumentPane* instrumentPane() const { return instrument_; }
    FilesPane* filesPane() const { return files_; }
    MonitorPane* monitorPane() const { return monitor_; }
    PatchPane* patchPane() const { return patch_; }
    QTabWidget* tabs() const { return tabs_; }
    // Shows the instrument (0), the monitor (1) or a library tab (2 and on).
    void showTab(int index);
    void openLibrary(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void plugInBoards();

    // The device's tables for reading files and the plug-in board setup, on the window's thread.
    std::unique_ptr<Motif> tables_;
    InstrumentLink* link_;
    QTabWidget* tabs_;
    InstrumentPane* instrument_;
    FilesPane* files_;
    MonitorPane* monitor_;
    PatchPane* patch_;
    class RecentMenu* recentLibraries_ = nullptr;
    class RecentMenu* recentFolders_ = nullptr;
};
