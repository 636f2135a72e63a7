// The commands of the library editor as actions: toolbar buttons, context menus and shortcuts
// that work while the editor has the focus, each reading the selection and calling an edit.
#include "LibraryAudition.h"
#include "LibraryEditor.h"
#include "LibraryTables.h"

#include "core/UserInterface.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLayout>
#include <QPointer>
#include <QTableView>
#include <QToolBar>

namespace {

// What Copy took: voices of one bank of an open library, pasted into any other.
struct VoiceClipboard {
    QPointer<LibraryEditor> source;
    Bank bank = 0;
    std::vector<int> positions;
};

VoiceClipboard& clipboard()
{
    static VoiceClipboard copied;
    return copied;
}

} // namespace

void LibraryEditor::buildActions()
{
    auto* bar = new QToolBar(this);
    bar->setAccessibleName(tr("Library commands"));
    const auto add = [&](const QString& text, const QKeySequence& keys, auto slot, bool onBar = true) {
        auto* action = new QAction(text, this);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        action->setToolTip(QStringLiteral("%1 (%2)").arg(QString(text).remove(QLatin1Char('&')),
                                                         keys.toString(QKeySequence::NativeText)));
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
        if (onBar) bar->addAction(action);
        return action;
    };
    add(tr("&Save"), QKeySequence::Save, [this] { save(); });
    add(tr("Save &As…"), QKeySequence::SaveAs, &LibraryEditor::onSaveAs, false);
    bar->addSeparator();
    auto* undo = undo_.createUndoAction(this, tr("&Undo"));
    auto* redo = undo_.createRedoAction(this, tr("&Redo"));
    undo->setShortcut(QKeySequence::Undo);
    redo->setShortcut(QKeySequence::Redo);
    for (QAction* action : {undo, redo}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        bar->addAction(action);
    }
    bar->addSeparator();
    add(tr("&Delete"), QKeySequence::Delete, &LibraryEditor::onDelete);
    add(tr("Remove &unused"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_U), [this] { removeUnused(); });
    add(tr("&New voice from waveform"), QKeySequence(Qt::CTRL | Qt::Key_N), &LibraryEditor::onNewVoice);
    add(tr("Re&name…"), QKeySequence(Qt::Key_F2), &LibraryEditor::onRename);
    add(tr("&Import audio…"), QKeySequence(Qt::CTRL | Qt::Key_I), &LibraryEditor::onImport);
    add(tr("&Copy voices"), QKeySequence::Copy, &LibraryEditor::onCopy, false);
    add(tr("&Paste voices"), QKeySequence::Paste, &LibraryEditor::onPaste, false);
    add(tr("&Play"), QKeySequence(Qt::Key_Space), &LibraryEditor::onPlay);
    for (QTableView* view : {voiceView_, waveView_}) {
        view->setContextMenuPolicy(Qt::ActionsContextMenu);
        for (QAction* action : actions()) view->addAction(action);
    }
    layout()->addWidget(bar);
}

bool LibraryEditor::wavesActive() const
{
    return waveView_->hasFocus() || !voiceView_->selectionModel()->hasSelection();
}

void LibraryEditor::onDelete()
{
    int bank = 0;
    if (wavesActive()) {
        const std::vector<int> positions = selectedPositions(*waveView_, bank);
        if (!positions.empty()) deleteWaves(bank, positions);
    } else if (const std::vector<int> positions = selectedPositions(*voiceView_, bank); !positions.empty()) {
        deleteVoices(Bank(bank), positions);
    }
}

void LibraryEditor::onNewVoice()
{
    int bank = 0;
    const std::vector<int> positions = selectedPositions(*waveView_, bank);
    if (positions.empty()) {
        error(this, tr("select the waveform the voice is to play"), tr("New voice"));
        return;
    }
    newVoiceFromWave(library_.waves().getBank(bank)->waveforms().at(positions.front())->id(), false);
}

void LibraryEditor::onRename()
{
    int bank = 0;
    const bool waves = wavesActive();
    const std::vector<int> positions = selectedPositions(waves ? *waveView_ : *voiceView_, bank);
    if (positions.empty()) return;
    const int p = positions.front();
    const QString name = waves ? library_.waves().getBank(bank)->waveforms().at(p)->name()
                               : library_.voices().getBank(Bank(bank))->voices().at(p)->name().trimmed();
    bool ok = false;
    const QString given =
        QInputDialog::getText(this, tr("Rename"), tr("Name:"), QLineEdit::Normal, name, &ok);
    if (!ok || given == name) return;
    if (waves)
        renameWave(library_.waves().getBank(bank)->waveforms().at(p)->id(), given);
    else
        renameVoice(Bank(bank), p, given);
}

void LibraryEditor::onImport()
{
    int bank = 0;
    std::vector<int> positions = selectedPositions(*waveView_, bank);
    if (positions.empty()) {
        bank = waves_->rowCount() > 0 ? waves_->slot(0).bank : 0;
        positions.push_back(library_.waves().getBank(bank) ? library_.waves().getBank(bank)->lastIndex() + 1
                                                           : 0);
    }
    const QString path =
        PromptFileOpen(this, tr("Audio and multi-sample files (*.wav *.aif *.aiff *.flac *.sf2 *.dls *.gig)"),
                       tr("Import audio"), QString(), QStringLiteral("library-import"));
    if (!path.isEmpty()) importFiles(bank, positions.front(), {path});
}

void LibraryEditor::onCopy()
{
    int bank = 0;
    std::vector<int> positions = selectedPositions(*voiceView_, bank);
    if (positions.empty()) return;
    clipboard() = {this, Bank(bank), std::move(positions)};
}

void LibraryEditor::onPaste()
{
    const VoiceClipboard& copied = clipboard();
    if (!copied.source) {
        error(this,
              tr("copy voices in an open library first (select them and press %1)")
                  .arg(QKeySequence(QKeySequence::Copy).toString(QKeySequence::NativeText)),
              tr("Paste voices"));
        return;
    }
    int bank = 0;
    const std::vector<int> positions = selectedPositions(*voiceView_, bank);
    if (positions.empty()) {
        error(this, tr("select the voice slot to paste into"), tr("Paste voices"));
        return;
    }
    pasteVoices(*copied.source, copied.bank, copied.positions, Bank(bank), positions.front());
}

void LibraryEditor::onPlay()
{
    int bank = 0;
    const std::vector<int> positions = selectedPositions(*waveView_, bank);
    if (positions.empty()) {
        audition_->stop();
        return;
    }
    const XS_Waveform* wave = library_.waves().getBank(bank)->waveforms().at(positions.front());
    if (!wave->hasData()) return;
    if (const QString why = audition_->toggle(*wave); !why.isEmpty()) error(this, why, tr("Play waveform"));
}

void LibraryEditor::onSaveAs()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Save library as"), path_,
                                                      tr("XS/XF libraries (*.X0V *.X1V *.X3V)"));
    if (!path.isEmpty()) saveAs(path);
}
