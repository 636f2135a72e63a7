// The library editor on a generated library: what the tables and the lint panel show, every edit
// undone and redone to the same bytes, drops of rows and of audio files, pasting between open
// libraries, and the rules of the command line (asked before overwriting or switching off,
// damaged files not written over themselves, unsaved edits not lost on closing).
#include "LibraryEditor.h"
#include "LibraryDemo.h"
#include "LibraryTables.h"
#include "OffscreenApplication.h"
#include "ScriptedInterface.h"
#include "TestSupport.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QMimeData>
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
    QString voices(int bank, int first, int end)
    {
        QStringList names;
        for (int p = first; p < end; ++p)
            names << editor.voiceTable().index(editor.voiceTable().rowOf(bank, p), 2).data().toString();
        return names.join(',');
    }
    QStringList lint()
    {
        QStringList lines;
        for (int i = 0; i < editor.lintPanel().count(); ++i) lines << editor.lintPanel().item(i)->text();
        return lines;
    }
    std::vector<std::uint8_t> bytes() { return *LibrarySnapshot::take(editor.library()); }
    bool drop(SlotTable& table, QMimeData* data, int bank, int position)
    {
        const bool accepted = table.dropMimeData(data, Qt::MoveAction, table.rowOf(bank, position), 0, {});
        delete data;
        return accepted;
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
    EXPECT_EQ(lint(), QStringList{"unused: USR:3 (id 4) \"Triangle G3\" is played by no voice"});
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
    EXPECT_EQ(voices(User1, 0, 4), "Renamed,Tri,Hollow Square,");
    EXPECT_EQ(row(editor.voiceTable(), User1, 1), "USER1|1|Tri|0/2048|1 USR:4 \"Tri\"");
    EXPECT_EQ(row(editor.waveTable(), 1, 0), "USR|0|1|||");
    EXPECT_EQ(lint(), QStringList{"no problems found"});
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
    for (int i = 0; i < 6; ++i) editor.undoStack().redo();
    EXPECT_EQ(bytes(), edited);
    EXPECT_EQ(script.calls.filter("error"), QStringList());
}
