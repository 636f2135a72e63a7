#include "LibraryEditor.h"

#include "LibraryAudition.h"
#include "LibraryTables.h"

#include "core/SourceFile.h"
#include "core/UserInterface.h"
#include "motif/librarian/X0vLibrary.h"
#include "motif/librarian/X0vLint.h"
#include "motif/librarian/X0vRepairs.h"

#include <QAction>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QSplitter>
#include <QTableView>
#include <QThread>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

std::vector<LibraryEditor*>& editors()
{
    static std::vector<LibraryEditor*> list;
    return list;
}

LibraryEditor::Answer askWithBox(QWidget* parent, const QString& title, const QString& text, bool withCancel)
{
    const auto buttons =
        QMessageBox::Yes | QMessageBox::No | (withCancel ? QMessageBox::Cancel : QMessageBox::NoButton);
    switch (QMessageBox::question(parent, title, text, buttons, QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return LibraryEditor::Answer::Yes;
    case QMessageBox::No:
        return LibraryEditor::Answer::No;
    default:
        return LibraryEditor::Answer::Cancel;
    }
}

QTableView* slotView(SlotTable* model, const QString& name, QWidget* parent)
{
    auto* view = new QTableView(parent);
    view->setModel(model);
    view->setAccessibleName(name);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setDragDropMode(QAbstractItemView::DragDrop);
    // Files from a file manager are copied in: a move would have the file manager delete them.
    view->setDefaultDropAction(Qt::CopyAction);
    view->setDragDropOverwriteMode(true);
    view->setAcceptDrops(true);
    view->setDropIndicatorShown(true);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setStretchLastSection(true);
    // Columns fit what the first slots hold, and never shrink below a bank name.
    view->horizontalHeader()->setMinimumSectionSize(
        view->fontMetrics().horizontalAdvance(QStringLiteral("DR:USER__")));
    view->horizontalHeader()->setResizeContentsPrecision(256);
    view->setWordWrap(false);
    return view;
}

} // namespace

LibraryEditor::Ask LibraryEditor::ask;

LibraryEditor::Answer LibraryEditor::question(const QString& title, const QString& text, bool withCancel)
{
    return ask ? ask(this, title, text, withCancel) : askWithBox(this, title, text, withCancel);
}

LibraryEditor::LibraryEditor(QWidget* parent)
    : QWidget(parent), voices_(new VoiceTable(library_, this)), waves_(new WaveTable(library_, this)),
      voiceView_(slotView(voices_, tr("Voices"), this)), waveView_(slotView(waves_, tr("Waveforms"), this)),
      lint_(new QListWidget(this)), banner_(new QLabel(this)), audition_(new LibraryAudition(this))
{
    editors().push_back(this);
    voices_->onMove = [this](const SlotTable& from, int bank, int target, int fromBank,
                             const std::vector<int>& positions) {
        // Voices dragged out of another open library are pasted, with their waveforms.
        for (const LibraryEditor* source : openEditors())
            if (source != this && &from == source->voices_) {
                pasteVoices(*source, Bank(fromBank), positions, Bank(bank), target);
                return;
            }
        if (fromBank != bank) {
            error(this, tr("voices move only within their bank; copy and paste them into another one"),
                  tr("Move voices"));
            return;
        }
        moveVoices(Bank(bank), target, positions);
    };
    waves_->onMove = [this](const SlotTable& from, int bank, int target, int fromBank,
                            const std::vector<int>& positions) {
        if (&from != waves_)
            error(this,
                  tr("waveforms go into another library with the voices that play them: drag or paste those "
                     "voices"),
                  tr("Move waveforms"));
        else
            moveWaves(bank, target, fromBank, positions);
    };
    waves_->onFiles = [this](int bank, int position, const QStringList& paths) {
        importFiles(bank, position, paths);
    };
    voices_->onFiles = [this](int, int, const QStringList&) {
        error(this, tr("drop audio files on the waveform list: they become waveforms there"),
              tr("Import audio"));
    };

    lint_->setAccessibleName(tr("Lint"));
    lint_->setMaximumHeight(fontMetrics().height() * 6);
    banner_->setWordWrap(true);
    banner_->setAccessibleName(tr("Library state"));
    banner_->hide();
    auto* tables = new QSplitter(Qt::Horizontal, this);
    tables->addWidget(voiceView_);
    tables->addWidget(waveView_);
    tables->setStretchFactor(0, 3);
    tables->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    buildActions();
    layout->addWidget(banner_);
    layout->addWidget(tables, 1);
    layout->addWidget(new QLabel(tr("Lint"), this));
    layout->addWidget(lint_);
    connect(&undo_, &QUndoStack::cleanChanged, this, [this] { emit titleChanged(title()); });
}

LibraryEditor::~LibraryEditor()
{
    std::erase(editors(), this);
    // The stack says it is clean as it goes, when the editor is no longer one to ask for a title.
    undo_.disconnect(this);
    // The views and tables are children, which go after the members: they must not outlive the
    // library they read.
    delete voiceView_;
    delete waveView_;
    delete voices_;
    delete waves_;
}

std::vector<LibraryEditor*> LibraryEditor::openEditors() { return editors(); }

const QString& LibraryEditor::cancelled()
{
    static const QString text = QStringLiteral("cancelled; the library is unchanged");
    return text;
}

QString LibraryEditor::title() const
{
    return QFileInfo(path_).fileName() + (isModified() ? QStringLiteral(" *") : QString());
}

QString LibraryEditor::open(const QString& path)
{
    if (const QString error = X0vLibrary::read(library_, path); !error.isEmpty()) return error;
    path_ = path;
    readOnly_.clear();
    damageRefusal_ = X0vLibrary::writeRefusal(library_, path, path);
    undo_.clear();
    current_.reset();
    keep(X0vState::take(library_));
    QStringList references;
    for (const auto& reference : X0vRepairs::dangling(library_))
        references << X0vRepairs::describe(reference);
    if (!references.isEmpty()) {
        const QString text =
            tr("These elements play waveforms the library does not hold: %1.\n\nSwitch them off to edit the "
               "library? Undo switches them on again. Otherwise the library opens for reading only.")
                .arg(references.join(QStringLiteral(", ")));
        if (question(tr("Open library"), text, false) == Answer::Yes)
            edit(tr("Switch off %1 elements").arg(references.size()), [](X0V_Document& library) {
                X0vRepairs::repair(library);
                return QString();
            });
        else
            readOnly_ = tr("%1 opens for reading only: voices play waveforms it does not hold. Open it again "
                           "and let the editor switch those elements off to edit it.")
                            .arg(QFileInfo(path).fileName());
    }
    showLibrary();
    voiceView_->resizeColumnsToContents();
    waveView_->resizeColumnsToContents();
    return QString();
}

QString LibraryEditor::writeTo(const QString& target)
{
    // A damaged file holds only what could be read: writing it over itself would lose the rest.
    if (!damageRefusal_.isEmpty() &&
        QFileInfo(target).canonicalFilePath() == QFileInfo(path_).canonicalFilePath())
        return damageRefusal_;
    // A library of a gigabyte takes a while to write: the window goes on drawing meanwhile, and
    // the editor takes no edit until the file is in place. The writer stores the state of the
    // last edit, which nothing changes, so it never reads the library the window reads.
    QString error;
    setEnabled(false);
    QEventLoop waiting;
    std::unique_ptr<QThread> writer(
        QThread::create([&error, state = current_, target] { error = state->store(target); }));
    connect(writer.get(), &QThread::finished, &waiting, &QEventLoop::quit);
    writer->start();
    waiting.exec();
    writer->wait();
    setEnabled(true);
    if (!error.isEmpty()) return error;
    // The library and its undo steps go on reading their samples from the file the save replaced,
    // which stays open; the next save compares with the file now at the path.
    const QString stored = QFileInfo(target).canonicalFilePath();
    for (const auto& held : sources_)
        if (const auto source = held.lock();
            source && QFileInfo(source->path()).canonicalFilePath() == stored)
            source->pathReplaced();
    if (stored != QFileInfo(path_).canonicalFilePath()) damageRefusal_.clear();
    path_ = target;
    undo_.setClean();
    emit titleChanged(title());
    return QString();
}

QString LibraryEditor::save()
{
    const QString error = writeTo(path_);
    if (!error.isEmpty())
        ::error(this, error + tr("; use Save As to write another file"), tr("Save library"));
    return error;
}

QString LibraryEditor::saveAs(const QString& path)
{
    const QString error = writeTo(path);
    if (!error.isEmpty()) ::error(this, error, tr("Save library"));
    return error;
}

bool LibraryEditor::maybeClose()
{
    if (!isModified()) return true;
    audition_->stop();
    switch (question(
        tr("Close library"),
        tr("%1 has edits that are not saved. Save them before closing?").arg(QFileInfo(path_).fileName()),
        true)) {
    case Answer::Yes:
        return save().isEmpty();
    case Answer::No:
        return true;
    default:
        return false;
    }
}

QString LibraryEditor::edit(const QString& text, const std::function<QString(X0V_Document&)>& change)
{
    if (!readOnly_.isEmpty()) {
        error(this, readOnly_, text);
        return readOnly_;
    }
    if (const QString why = change(library_); !why.isEmpty()) {
        restore(current_);
        if (why != cancelled()) error(this, why, text);
        return why;
    }
    library_.updateEntries();
    StateCommand::State after = X0vState::take(library_, current_.get());
    if (after->sameAs(*current_)) return cancelled();
    undo_.push(new StateCommand(text, current_, after,
                                [this](const StateCommand::State& state) { restore(state); }));
    keep(std::move(after));
    showLibrary();
    voiceView_->resizeColumnsToContents();
    waveView_->resizeColumnsToContents();
    return QString();
}

void LibraryEditor::restore(const StateCommand::State& state)
{
    state->restore(library_);
    current_ = state;
    showLibrary();
}

void LibraryEditor::keep(StateCommand::State state)
{
    for (const auto& source : state->sources())
        if (std::none_of(sources_.begin(), sources_.end(),
                         [&](const std::weak_ptr<SourceFile>& held) { return held.lock() == source; }))
            sources_.push_back(source);
    std::erase_if(sources_, [](const std::weak_ptr<SourceFile>& held) { return held.expired(); });
    current_ = std::move(state);
}

void LibraryEditor::showLibrary()
{
    voices_->refresh();
    waves_->refresh();
    lint_->clear();
    for (const Damage& part : library_.damage()) lint_->addItem(tr("damage: %1").arg(part.toString()));
    for (const auto& finding : X0vLint::check(library_))
        lint_->addItem(QStringLiteral("%1: %2").arg(X0vLint::kindName(finding.kind), finding.text));
    if (lint_->count() == 0) lint_->addItem(tr("no problems found"));
    const QString state = !readOnly_.isEmpty() ? readOnly_ : damageRefusal_;
    banner_->setText(state);
    banner_->setVisible(!state.isEmpty());
    emit titleChanged(title());
}

void LibraryEditor::selectSlots(QTableView& view, int bank, int first, int count)
{
    const auto& table = static_cast<const SlotTable&>(*view.model());
    view.clearSelection();
    for (int p = first; p < first + count; ++p)
        if (const int row = table.rowOf(bank, p); row >= 0)
            view.selectionModel()->select(table.index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    if (const int row = table.rowOf(bank, first); row >= 0) view.scrollTo(table.index(row, 0));
}

std::vector<int> LibraryEditor::selectedPositions(const QTableView& view, int& bank) const
{
    const auto& model = static_cast<const SlotTable&>(*view.model());
    QModelIndexList rows = view.selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    std::vector<int> positions;
    for (const QModelIndex& row : rows) {
        const SlotTable::Slot& slot = model.slot(row.row());
        if (positions.empty()) bank = slot.bank;
        if (slot.bank == bank) positions.push_back(slot.position);
    }
    return positions;
}
