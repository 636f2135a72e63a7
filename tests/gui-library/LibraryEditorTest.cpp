// The library editor on a generated library: what the tables and the lint panel show, every edit
// undone and redone to the same bytes, drops of rows and of audio files, pasting between open
// libraries, and the rules of the command line (asked before overwriting or switching off,
// damaged files not written over themselves, unsaved edits not lost on closing).
#include "LibraryEditor.h"
#include "LibraryDemo.h"
#include "LibraryTab.h"
#include "LibraryTables.h"
#include "OffscreenApplication.h"
#include "ScriptedInterface.h"
#include "TestSupport.h"
#include "audio/AudioFiles.h"
#include "core/Archive.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QMimeData>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

constexpr Bank User1 = 0x3F08, User2 = 0x3F09;

class LibraryEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Sizes are written in the user's locale.
        QLocale::setDefault(QLocale::c());
        ASSERT_EQ(writeDemoLibrary(demo), QString());
        LibraryEditor::ask = [this](QWidget*, const QString& title, const QString& text, bool) {
            asked << title + '|' + text;
            return answers.isEmpty() ? LibraryEditor::Answer::Cancel : answers.takeFirst();
        };
        ASSERT_EQ(editor.open(demo), QString());
    }
    void TearDown() override { LibraryEditor::ask = nullptr; }

    // The cells of a row, joined by '|'.
    static QString row(const SlotTable& table, int bank, int position)
    {
        QStringList cells;
        for (int c = 0; c < table.columnCount(); ++c)
            cells << table.index(table.rowOf(bank, position), c).data().toString();
        return cells.join('|');
    }
    // The names in the slots; the name is the third column from the end in both tables.
    static QString names(SlotTable& table, int bank, int first, int end)
    {
        QStringList names;
        for (int p = first; p < end; ++p)
            names << table.index(table.rowOf(bank, p), table.columnCount() - 3).data().toString();
        return names.join(',');
    }
    static QStringList lint(LibraryEditor& editor)
    {
        QStringList lines;
        for (int i = 0; i < editor.lintPanel().count(); ++i) lines << editor.lintPanel().item(i)->text();
        return lines;
    }
    // What a save would write now.
    std::vector<std::uint8_t> bytes()
    {
        X0V_Document copy;
        X0vState::take(editor.library())->restore(copy);
        Archive archive;
        copy.storeDocument(archive);
        return archive.bytes();
    }
    bool drop(SlotTable& table, QMimeData* data, int bank, int position)
    {
        const bool accepted = table.dropMimeData(data, Qt::MoveAction, table.rowOf(bank, position), 0, {});
        delete data;
        return accepted;
    }
    // What a drag of the slots' rows carries.
    static QMimeData* rows(SlotTable& table, std::initializer_list<std::pair<int, int>> picked)
    {
        QModelIndexList indexes;
        for (const auto& [bank, position] : picked) indexes << table.index(table.rowOf(bank, position), 2);
        return table.mimeData(indexes);
    }
    QMimeData* files(const QStringList& paths)
    {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
        data->setUrls(urls);
        return data;
    }

    // Widgets need the application before the editor is made.
    bool application = (ensureApplication(), true);
    QTemporaryDir dir;
    QString demo = dir.filePath("demo.X3V");
    QString piano = QStringLiteral(MOTIF_SOURCE_DIR "/tests/data/cli/Piano C3.wav");
    ScriptedInterface script;
    QStringList asked;
    QList<LibraryEditor::Answer> answers;
    LibraryEditor editor;
};

} // namespace

TEST_F(LibraryEditorTest, TablesNameWhatElementsPlayAndLintFindsTheUnplayedWaveform)
{
    EXPECT_EQ(row(editor.voiceTable(), User1, 1), "USER1|1|Bright Saw|0/2048|1 USR:2 \"Saw A2\"");
    EXPECT_EQ(row(editor.voiceTable(), User1, 3), "USER1|3|||");
    EXPECT_EQ(row(editor.waveTable(), 1, 3), "USR|3|4|Triangle G3|1|21.5 kB");
    EXPECT_EQ(lint(editor), QStringList{"unused: USR:3 (id 4) \"Triangle G3\" is played by no voice"});
    EXPECT_EQ(editor.title(), "demo.X3V");
}

TEST_F(LibraryEditorTest, EveryEditUndoneAndRedoneGivesTheSameBytes)
{
    std::vector<std::vector<std::uint8_t>> before;
    const auto step = [&](const std::function<QString()>& edit) {
        before.push_back(bytes());
        EXPECT_EQ(edit(), QString());
    };
    step([&] { return editor.moveWaves(1, 3, 1, {0}); });
    // The voice follows its waveform to its new slot.
    EXPECT_EQ(row(editor.voiceTable(), User1, 0), "USER1|0|Pure Sine|0/2048|1 USR:3 \"Sine C3\"");
    step([&] { return editor.deleteVoices(User1, {1}); });
    step([&] { return editor.renameVoice(User1, 0, "Renamed"); });
    step([&] { return editor.renameWave(4, "Tri"); });
    step([&] { return editor.newVoiceFromWave(4, false); });
    // Saw A2 lost its voice with the delete.
    step([&] { return editor.removeUnused(); });
    EXPECT_EQ(names(editor.voiceTable(), User1, 0, 4), "Renamed,Tri,Hollow Square,");
    EXPECT_EQ(row(editor.voiceTable(), User1, 1), "USER1|1|Tri|0/2048|1 USR:4 \"Tri\"");
    EXPECT_EQ(row(editor.waveTable(), 1, 0), "USR|0|1|||");
    EXPECT_EQ(lint(editor), QStringList{"no problems found"});
    EXPECT_EQ(editor.title(), "demo.X3V *");
    const auto edited = bytes();
    // An edit that changes nothing is no step.
    EXPECT_EQ(editor.renameVoice(User1, 0, "Renamed"), "cancelled; the library is unchanged");
    EXPECT_EQ(editor.undoStack().count(), 6);
    for (auto it = before.rbegin(); it != before.rend(); ++it) {
        editor.undoStack().undo();
        EXPECT_EQ(bytes(), *it);
    }
    EXPECT_FALSE(editor.isModified());
    EXPECT_EQ(row(editor.voiceTable(), User1, 1), "USER1|1|Bright Saw|0/2048|1 USR:2 \"Saw A2\"");
    // No edit listened to a sample or changed one, so none was read from the file.
    for (int p = 0; p < 4; ++p)
        EXPECT_FALSE(
            editor.library().waves().getBank(1)->waveforms().at(p)->keybanks().at(0)->channel(0).isLoaded())
            << p;
    for (int i = 0; i < 6; ++i) editor.undoStack().redo();
    EXPECT_EQ(bytes(), edited);
    EXPECT_EQ(script.calls.filter("error"), QStringList());
}

TEST_F(LibraryEditorTest, DroppedAudioBecomesAWaveformAndOverwritesOnlyWhenAgreed)
{
    EXPECT_TRUE(drop(editor.waveTable(), files({piano}), 1, 4));
    EXPECT_EQ(row(editor.waveTable(), 1, 4), "USR|4|5|Piano C3|1|800 bytes");
    const auto imported = bytes();
    answers = {LibraryEditor::Answer::No, LibraryEditor::Answer::Yes};
    for (int i = 0; i < 2; ++i) drop(editor.waveTable(), files({piano}), 1, 0);
    EXPECT_EQ(asked,
              QStringList(2, "Import audio|The import overwrites USR:0 (id 1) \"Sine C3\" replaced, now "
                             "played by USER1:0 \"Pure Sine\". Overwrite?"));
    EXPECT_EQ(row(editor.voiceTable(), User1, 0), "USER1|0|Pure Sine|0/2048|1 USR:1 \"Piano C3\"");
    // The refused overwrite left no step.
    EXPECT_EQ(editor.undoStack().count(), 2);
    editor.undoStack().undo();
    EXPECT_EQ(bytes(), imported);
    // What is no audio, and audio dropped on the voices, is refused with the reason.
    drop(editor.waveTable(), files({demo}), 1, 5);
    drop(editor.voiceTable(), files({piano}), User1, 5);
    EXPECT_EQ(script.calls.filter("error"),
              QStringList(
                  {"error Import demo.X3V|nothing imported from '" + demo +
                       "': it is no readable audio or multi-sample file, or USR has no slot 5",
                   "error Import audio|drop audio files on the waveform list: they become waveforms there"}));
    EXPECT_EQ(bytes(), imported);
}

TEST_F(LibraryEditorTest, DraggedRowsMoveInTheirBankAndWaveformsToTheEndOfAnother)
{
    // The empty slot 4 is not dragged along.
    EXPECT_FALSE(
        drop(editor.voiceTable(), rows(editor.voiceTable(), {{User1, 0}, {User1, 1}, {User1, 4}}), User1, 5));
    EXPECT_EQ(names(editor.voiceTable(), User1, 0, 6), "Hollow Square,,,Pure Sine,Bright Saw,");
    // The moved voices stay selected where they went.
    QStringList selected;
    for (const QModelIndex& index : editor.voiceView().selectionModel()->selectedRows())
        selected << QString::number(editor.voiceTable().slot(index.row()).position);
    EXPECT_EQ(selected, QStringList({"3", "4"}));
    drop(editor.voiceTable(), rows(editor.voiceTable(), {{User1, 0}}), User2, 0);
    EXPECT_EQ(
        script.calls.filter("error"),
        QStringList{
            "error Move voices|voices move only within their bank; copy and paste them into another one"});
    drop(editor.waveTable(), rows(editor.waveTable(), {{1, 1}}), 2, 7);
    EXPECT_EQ(row(editor.waveTable(), 2, 0), "FL1|0|129|Saw A2|1|21.5 kB");
    EXPECT_EQ(row(editor.voiceTable(), User1, 4), "USER1|4|Bright Saw|0/2048|1 FL1:1 \"Saw A2\"");
    EXPECT_EQ(editor.undoStack().count(), 2);
}

TEST_F(LibraryEditorTest, SavingReplacesTheFileAndClosingAsksAboutUnsavedEdits)
{
    const QByteArray original = readAll(demo);
    editor.renameWave(1, "Sine");
    EXPECT_EQ(editor.title(), "demo.X3V *");
    answers = {LibraryEditor::Answer::Cancel, LibraryEditor::Answer::No, LibraryEditor::Answer::Yes};
    EXPECT_FALSE(editor.maybeClose());
    EXPECT_TRUE(editor.maybeClose());
    EXPECT_EQ(readAll(demo), original);
    EXPECT_TRUE(editor.maybeClose());
    EXPECT_EQ(
        asked,
        QStringList(3, "Close library|demo.X3V has edits that are not saved. Save them before closing?"));
    const auto saved = bytes();
    EXPECT_EQ(readAll(demo),
              QByteArray(reinterpret_cast<const char*>(saved.data()), qsizetype(saved.size())));
    EXPECT_EQ(editor.title(), "demo.X3V");
    EXPECT_TRUE(editor.maybeClose());
    EXPECT_EQ(asked.size(), 3);
    const QString nowhere = dir.filePath("gone/demo.X3V");
    EXPECT_EQ(editor.saveAs(nowhere), "cannot write library '" + nowhere + "': Cannot write " + nowhere +
                                          ".tmp: No such file or directory (the original file is unchanged)");
    EXPECT_EQ(editor.path(), demo);
}

TEST_F(LibraryEditorTest, SavesOverItsFileGoOnAndUndoneEditsSaveWhatWasBefore)
{
    const QByteArray original = readAll(demo);
    ASSERT_EQ(editor.renameWave(1, "Sine"), QString());
    ASSERT_EQ(editor.save(), QString());
    const QByteArray renamed = readAll(demo);
    // Then the library holds no sample of the file the saves replaced; its undo steps still do.
    answers = {LibraryEditor::Answer::Yes};
    ASSERT_EQ(editor.deleteWaves(1, {0, 1, 2, 3}), QString());
    ASSERT_EQ(editor.save(), QString());
    const auto emptied = bytes();
    EXPECT_EQ(readAll(demo),
              QByteArray(reinterpret_cast<const char*>(emptied.data()), qsizetype(emptied.size())));
    for (const QByteArray& before : {renamed, original}) {
        editor.undoStack().undo();
        ASSERT_EQ(editor.save(), QString());
        EXPECT_EQ(readAll(demo), before);
    }
    EXPECT_FALSE(editor.isModified());
    EXPECT_EQ(script.calls.filter("error"), QStringList());
}

TEST_F(LibraryEditorTest, ADamagedLibraryIsSavedOnlyToAnotherFile)
{
    const QString cut = dir.filePath("cut.X3V"), copy = dir.filePath("copy.X3V");
    ASSERT_TRUE(audiofiles::writeFile(cut, readAll(demo).left(30000)));
    LibraryEditor damaged;
    ASSERT_EQ(damaged.open(cut), QString());
    const QString refusal =
        "'" + cut +
        "' is damaged (chunk DWIM, item 2, offset 23004: the file ends inside item 2 of 4) and "
        "opens read-only: write it to another file to keep a repaired copy of what could be read";
    EXPECT_EQ(lint(damaged).mid(0, 3),
              QStringList({"damage: chunk DWIM, item 2, offset 23004: the file ends inside item 2 of 4",
                           "damage: chunk EVCE, offset 30000: the file ends before the chunk",
                           "damage: chunk DVCE, offset 30000: the file ends before the chunk"}));
    EXPECT_EQ(damaged.save(), refusal);
    EXPECT_EQ(script.calls.filter("error"),
              QStringList{"error Save library|" + refusal + "; use Save As to write another file"});
    // The copy holds what could be read, and is whole: it may be saved over itself.
    EXPECT_EQ(damaged.saveAs(copy), QString());
    EXPECT_EQ(damaged.save(), QString());
    EXPECT_EQ(readAll(cut).size(), 30000);
}

TEST_F(LibraryEditorTest, ElementsWithoutTheirWaveformAreSwitchedOffOnlyWhenAgreed)
{
    answers = {LibraryEditor::Answer::Yes};
    EXPECT_EQ(editor.deleteWaves(1, {0}), QString());
    EXPECT_EQ(editor.save(), QString());
    answers = {LibraryEditor::Answer::No, LibraryEditor::Answer::Yes};
    LibraryEditor declined, agreed;
    declined.open(demo);
    agreed.open(demo);
    const QString question =
        "Open library|These elements play waveforms the library does not hold: USER1:0 \"Pure "
        "Sine\" element 1 (waveform 1).\n\nSwitch them off to edit the library? Undo switches "
        "them on again. Otherwise the library opens for reading only.";
    EXPECT_EQ(
        asked,
        QStringList({"Delete waveforms|These voices play the waveforms, and the library holds no other copy "
                     "of them: USER1:0 \"Pure Sine\". Delete anyway?",
                     question, question}));
    EXPECT_EQ(declined.deleteVoices(User1, {1}),
              "demo.X3V opens for reading only: voices play waveforms it does not "
              "hold. Open it again and let the editor switch those elements off to "
              "edit it.");
    EXPECT_EQ(script.calls.filter("error"), QStringList{"error Delete 1 Voice|" + declined.readOnlyReason()});
    const QString unused = "unused: USR:3 (id 4) \"Triangle G3\" is played by no voice";
    EXPECT_EQ(lint(agreed), QStringList{unused});
    EXPECT_TRUE(agreed.isModified());
    agreed.undoStack().undo();
    EXPECT_EQ(
        lint(agreed),
        QStringList(
            {"dangling: USER1:0 \"Pure Sine\" plays waveform 1, which the library does not hold", unused}));
}

TEST_F(LibraryEditorTest, CopiedVoicesArePastedIntoAnotherLibraryWithTheirWaveforms)
{
    const QString emptyXf = dir.filePath("empty.X3V"), emptyXs = dir.filePath("empty.X0V");
    for (const auto& [path, type] : {std::pair{emptyXf, 6}, {emptyXs, 0}}) {
        X0V_Document library;
        library.newDocument(type);
        library.initSlots(type);
        ASSERT_TRUE(library.storeFile(path));
    }
    LibraryEditor xf, xs;
    ASSERT_EQ(xf.open(emptyXf) + xs.open(emptyXs), QString());
    const auto select = [](LibraryEditor& into, std::initializer_list<int> programs, Bank bank) {
        into.voiceView().clearSelection();
        for (int p : programs)
            into.voiceView().selectionModel()->select(
                into.voiceTable().index(into.voiceTable().rowOf(bank, p), 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    };
    const auto trigger = [](LibraryEditor& on, QKeySequence::StandardKey key) {
        for (QAction* action : on.actions())
            if (action->shortcut() == QKeySequence(key)) action->trigger();
    };
    select(editor, {0, 2}, User1);
    trigger(editor, QKeySequence::Copy);
    answers = {LibraryEditor::Answer::No};
    for (LibraryEditor* into : {&xf, &xf, &xs}) {
        select(*into, {0}, User2);
        trigger(*into, QKeySequence::Paste);
    }
    // Dragged out of the other library, voices are pasted too; waveforms go only with them.
    drop(xf.voiceTable(), rows(editor.voiceTable(), {{User1, 1}}), User2, 2);
    drop(xf.waveTable(), rows(editor.waveTable(), {{1, 3}}), 1, 5);
    EXPECT_EQ(names(xf.voiceTable(), User2, 0, 4) + "|" + names(xf.waveTable(), 1, 0, 4),
              "Pure Sine,Hollow Square,Bright Saw,|Sine C3,Square E3,Saw A2,");
    EXPECT_EQ(row(xf.voiceTable(), User2, 1), "USER2|1|Hollow Square|0/2048|1 USR:2 \"Square E3\"");
    EXPECT_EQ(asked,
              QStringList{"Paste 2 Voices|The paste overwrites USER2:0 \"Pure Sine\", USER2:1 \"Hollow "
                          "Square\". Overwrite?"});
    EXPECT_EQ(
        script.calls.filter("error"),
        QStringList({"error Paste 2 Voices|the voices come from a Motif XF library and go only into another "
                     "Motif XF library, not into this Motif XS one",
                     "error Move waveforms|waveforms go into another library with the voices that play them: "
                     "drag or paste those voices"}));
    EXPECT_EQ(xf.undoStack().count() + xs.undoStack().count(), 2);
}

TEST_F(LibraryEditorTest, ALibraryOpensInOneTabNamedWithItsUnsavedState)
{
    QTabWidget tabs;
    const QString missing = dir.filePath("missing.X3V");
    for (const QString& path : {demo, demo, missing}) openLibraryTab(&tabs, path);
    ASSERT_EQ(tabs.count(), 1);
    qobject_cast<LibraryEditor*>(tabs.widget(0))->renameWave(1, "Sine");
    EXPECT_EQ(tabs.tabText(0), "demo.X3V *");
    answers = {LibraryEditor::Answer::Cancel, LibraryEditor::Answer::Cancel, LibraryEditor::Answer::No};
    EXPECT_FALSE(closeLibraryTab(&tabs, 0) || mayCloseLibraryTabs(&tabs));
    EXPECT_TRUE(closeLibraryTab(&tabs, 0));
    EXPECT_EQ(tabs.count(), 0);
    EXPECT_EQ(
        script.calls.filter("error"),
        QStringList{"error Open library|cannot open library '" + missing + "': Cannot open " + missing +
                    ": No such file or directory; open a Motif XS or XF library file (.X0V, .X1V, .X3V)"});
}
