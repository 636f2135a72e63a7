#pragma once

#include "StateCommand.h"
#include "motif/documents/X0V_Document.h"

#include <QPointer>
#include <QUndoStack>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class LibraryAudition;
class QLabel;
class QListWidget;
class QTableView;
class SourceFile;
class VoiceTable;
class WaveTable;

// One open XS/XF voice-and-waveform library: its voice and waveform tables, the lint panel, and
// every edit as a step of an undo stack until the library is saved. The rules of the command line
// hold here too: nothing in a slot is overwritten and no voice element is switched off without
// the user agreeing, a damaged file is not written over itself, and a save replaces the file in
// one step.
class LibraryEditor : public QWidget {
    Q_OBJECT
public:
    enum class Answer { Yes, No, Cancel };
    // Asks the user; the editor's questions go through here so that tests answer them. Unset, the
    // questions are message boxes.
    using Ask =
        std::function<Answer(QWidget* parent, const QString& title, const QString& text, bool withCancel)>;
    static Ask ask;

    explicit LibraryEditor(QWidget* parent = nullptr);
    ~LibraryEditor() override;

    // Opens the file; the empty text on success, otherwise what failed. When voices play
    // waveforms the library lacks, the user chooses between switching them off (an edit that
    // can be undone) and reading the library without editing it.
    QString open(const QString& path);
    // Writes the library over its file, or to another one; the empty text on success.
    QString save();
    QString saveAs(const QString& path);
    // Whether the editor may go: without unsaved edits at once, otherwise the user chooses to
    // save, to drop the edits or to keep the editor.
    bool maybeClose();

    const QString& path() const { return path_; }
    bool isModified() const { return !undo_.isClean(); }
    // Why the library cannot be edited, or the empty text.
    const QString& readOnlyReason() const { return readOnly_; }
    QString title() const;
    X0V_Document& library() { return library_; }
    QUndoStack& undoStack() { return undo_; }
    VoiceTable& voiceTable() { return *voices_; }
    WaveTable& waveTable() { return *waves_; }
    QTableView& voiceView() { return *voiceView_; }
    QTableView& waveView() { return *waveView_; }
    QListWidget& lintPanel() { return *lint_; }

    // The edits. Each answers the empty text when it became an undo step, otherwise why the
    // library is as it was (the text also goes to the user).
    QString deleteVoices(Bank bank, const std::vector<int>& positions);
    QString deleteWaves(int bank, const std::vector<int>& positions);
    QString removeUnused();
    // Voices move within their bank; waveforms within theirs, or after the last used slot of
    // another bank. The voices follow their waveforms.
    QString moveVoices(Bank bank, int target, const std::vector<int>& positions);
    QString moveWaves(int toBank, int target, int fromBank, const std::vector<int>& positions);
    // A normal voice (a drum kit in DR:USER) in the first free slot of the first voice bank
    // (DR:USER for a kit) whose first element plays the waveform.
    QString newVoiceFromWave(int waveId, bool drum);
    QString renameVoice(Bank bank, int program, const QString& name);
    QString renameWave(int id, const QString& name);
    // Imports the audio or multi-sample files into the slots from (bank, position) on, one after
    // another; slots that hold waveforms are overwritten only when the user agrees.
    QString importFiles(int bank, int position, const QStringList& paths);
    // Pastes voices of another open library with the waveforms they play, from `start` on.
    QString pasteVoices(const LibraryEditor& source, Bank sourceBank, const std::vector<int>& positions,
                        Bank bank, int start);

    // The open editors, for pasting between them.
    static std::vector<LibraryEditor*> openEditors();

signals:
    // The title or the modified state changed.
    void titleChanged(const QString& title);

private:
    Answer question(const QString& title, const QString& text, bool withCancel);
    // Makes `change` one undo step called `text`; a change that answers a text is taken back and
    // the text shown, unless it is cancelled().
    QString edit(const QString& text, const std::function<QString(X0V_Document&)>& change);
    static const QString& cancelled();
    // After an edit, an undo or a redo: the tables and the lint panel show the library as it is.
    void showLibrary();
    void restore(const StateCommand::State& state);
    // The library as it is now becomes the state edits go back to.
    void keep(StateCommand::State state);
    QString writeTo(const QString& target);
    // Selects `count` slots from `first` on and shows the first: where an edit put something.
    void selectSlots(QTableView& view, int bank, int first, int count);
    // The selected slots of a table, of the bank of the first one.
    std::vector<int> selectedPositions(const QTableView& view, int& bank) const;
    void buildActions();
    void onDelete();
    void onNewVoice();
    void onRename();
    void onCopy();
    void onPaste();
    void onPlay();
    void onSaveAs();
    void onImport();
    // Whether the waveform list is the one the user works in: it has the focus, or the voice list
    // has no selection.
    bool wavesActive() const;

    X0V_Document library_;
    QString path_;
    QString readOnly_;
    // The refusal of writing a damaged file over itself, as found on opening.
    QString damageRefusal_;
    StateCommand::State current_;
    // The files any state of this library referred to: a save over one of them leaves the states
    // that still read from it (undo steps) reading the old file, which the save replaced.
    std::vector<std::weak_ptr<SourceFile>> sources_;
    QUndoStack undo_;
    VoiceTable* voices_;
    WaveTable* waves_;
    QTableView* voiceView_;
    QTableView* waveView_;
    QListWidget* lint_;
    QLabel* banner_;
    LibraryAudition* audition_;
};
