#pragma once

#include "motif/librarian/BankNames.h"

#include <QWidget>
#include <memory>
#include <vector>

class BankTree;
class InstrumentLink;
class Motif;
class NameCache;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTreeWidgetItem;
struct SessionOptions;

// The instrument: which one (the built-in virtual instrument or MIDI ports), connecting,
// who answered, and its banks with the names of their patches. Clicking a patch selects it on
// the instrument; dropping .syx files onto a user location sends them there, verified.
class InstrumentPane : public QWidget {
    Q_OBJECT
public:
    // `tables` names voices in the dialogs, on the window's thread.
    InstrumentPane(InstrumentLink& link, Motif& tables, QWidget* parent = nullptr);
    ~InstrumentPane() override;

    // Connects as the choosers say; `done` runs once the tree is filled (or connecting failed).
    void connectInstrument(std::function<void(bool)> done = {});
    // Chooses the virtual instrument of a model ("Motif ES7") or the ports whose names contain
    // the texts.
    void chooseVirtual(const QString& model);
    void choosePorts(const QString& in, const QString& out);
    // Reads the names of the bank selected in the tree.
    void readSelected();
    // Reads the names of a bank; `done` runs when the tree shows them.
    void readNames(unsigned short bank, std::function<void()> done = {});
    // Sends files to consecutive locations from `target` on, verified; refuses a preset bank or a
    // file of another type with the reason.
    void sendFiles(const QStringList& paths, unsigned short bank, int program,
                   std::function<void()> done = {});
    // The Voice Copier: the dialog asks which part of the performance being edited gets the voice
    // or drum kit at the location and what goes along; the copy is sent to the edit buffer.
    void copyIntoPerformance(unsigned short bank, int program, std::function<void()> done = {});
    // Sends the initial patch of the location's type to it, after asking.
    void initialise(unsigned short bank, int program, std::function<void()> done = {});
    // Selects and shows the patch item of a location ("USER1:5").
    void reveal(const QString& location);
    BankTree* tree() const { return tree_; }
    QString identity() const;

signals:
    // A patch to show in the patch pane: its location was double-clicked.
    void patchOpened(const QString& location);
    void connectedChanged(bool connected);

private:
    void refreshPorts();
    SessionOptions options() const;
    void fillTree(const std::vector<BankNames::Listing>& banks);
    void showNames(unsigned short bank, const std::vector<BankNames::Entry>& names);
    void selectOnInstrument(QTreeWidgetItem* item);
    void onFilesDropped(const QStringList& paths, QTreeWidgetItem* target);
    void contextMenu(const QPoint& position);
    void addPatchActions();

    InstrumentLink& link_;
    Motif& tables_;
    QComboBox* source_;
    QComboBox* in_;
    QComboBox* out_;
    QSpinBox* deviceNumber_;
    QPushButton* connect_;
    QPushButton* readNames_;
    QLabel* identity_;
    BankTree* tree_;
    class QAction* copyAction_ = nullptr;
    class QAction* initAction_ = nullptr;
    std::unique_ptr<NameCache> cache_;
    // The instrument's receive channel is asked once per connection, when a patch is selected.
    bool channelKnown_ = false;
};
