// The voice copier's settings in the profile and the dialog that edits them, offscreen: what it
// offers in each mode, what it loads, and what accepting and cancelling leave behind.
#include "dumps/DumpTestSupport.h"

#include "core/Application.h"
#include "motif/Motif.h"
#include "motif/VoiceCopierDlg.h"
#include "zaltor/MidiPatchEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString Section = "VoiceCopier";
const QStringList Keys{"voice", "copyvoice", "part", "copyname", "copyarp", "copyfx", "copyinsfx"};
constexpr int Unset = -99;

class VoiceCopierSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureApplication();
        Application::setProfilePath(profile);
    }
    void TearDown() override { Application::setProfilePath({}); }

    static int stored(const QString& key) { return Application::readProfileInt(Section, key, Unset); }
    static QList<int> storedAll()
    {
        QList<int> out;
        for (const QString& key : Keys) out << stored(key);
        return out;
    }
    // The record's fields in the order of Keys.
    static QList<int> fieldsOf(const VoiceCopierInfo& info)
    {
        return {int(info.voice.value()), info.copyvoice, info.part, info.copyname, info.copyarp, info.copyfx,
                info.copyinsfx};
    }
    static void store(const QString& key, int value) { Application::writeProfileInt(Section, key, value); }

    // The destination part combo: the dialog's own, not one of the voice selector's.
    static QComboBox* partBox(VoiceCopierDlg& dialog)
    {
        return dialog.findChild<QComboBox*>(QString(), Qt::FindDirectChildrenOnly);
    }
    static QList<QCheckBox*> boxes(VoiceCopierDlg& dialog) { return dialog.findChildren<QCheckBox*>(); }
    static QStringList partTexts(VoiceCopierDlg& dialog)
    {
        QStringList out;
        for (int i = 0; i < partBox(dialog)->count(); ++i) out << partBox(dialog)->itemText(i);
        return out;
    }

    // Runs GetVoiceCopierInfo; `act` works the dialog once it shows, and closes it.
    bool run(VoiceCopierInfo& info, int mode, std::function<void(VoiceCopierDlg&)> act)
    {
        bool acted = false;
        std::function<void(int)> poll = [&](int tries) {
            QTimer::singleShot(10, [&, tries] {
                if (auto* dialog = qobject_cast<VoiceCopierDlg*>(QApplication::activeModalWidget())) {
                    act(*dialog);
                    acted = true;
                } else if (tries > 0) {
                    poll(tries - 1);
                }
            });
        };
        poll(200);
        const bool accepted = GetVoiceCopierInfo(info, mode, &device, nullptr);
        EXPECT_TRUE(acted);
        return accepted;
    }

    QTemporaryDir dir;
    QString profile = dir.filePath("motif.ini");
    Motif device;
};

} // namespace

TEST_F(VoiceCopierSettings, RecordTravelsThroughTheProfile)
{
    VoiceCopierInfo fresh;
    fresh.fromRegistry(Patch(0x3F01, 9));
    EXPECT_EQ(fieldsOf(fresh), (QList<int>{0x3F0109, 1, 0, 1, 1, 1, 1}));
    EXPECT_EQ(storedAll(), QList<int>(Keys.size(), Unset));

    VoiceCopierInfo info;
    info.voice = Patch(0x3F28, 3);
    info.part = 11;
    info.copyname = false;
    info.copyinsfx = false;
    info.toRegistry();
    EXPECT_EQ(storedAll(), (QList<int>{0x3F2803, 1, 11, 0, 1, 1, 0}));
    // Any number but 0 is a set flag.
    store("copyarp", 5);
    VoiceCopierInfo back;
    back.fromRegistry(Patch(0x3F01, 9));
    EXPECT_EQ(fieldsOf(back), fieldsOf(info));
}

TEST_F(VoiceCopierSettings, DialogOffersThePartsOfTheModeAndShowsTheProfile)
{
    VoiceCopierDlg performance(Motif::PerformanceMode, &device, nullptr);
    EXPECT_EQ(performance.windowTitle(), "Voice Copier");
    EXPECT_EQ(partTexts(performance), (QStringList{"1", "2", "3", "4"}));
    QStringList texts;
    for (QCheckBox* box : boxes(performance)) {
        texts << box->text();
        EXPECT_TRUE(box->isChecked() && !box->isHidden()) << box->text().toStdString();
    }
    EXPECT_EQ(texts, (QStringList{"Copy voice name", "Copy voice", "Copy system effects",
                                  "Copy insert FX to A/D Input", "Copy arpeggios"}));
    EXPECT_EQ(performance.findChild<MidiPatchEdit*>()->patch(), Patch(0x3F00, 0));

    // A pattern's mix has a name to copy into, a song's has not.
    VoiceCopierDlg pattern(Motif::PatternMode, &device, nullptr);
    EXPECT_EQ(partTexts(pattern).size(), 16);
    EXPECT_EQ(partTexts(pattern).last(), "16");
    EXPECT_FALSE(boxes(pattern).first()->isHidden());
    VoiceCopierDlg song(Motif::SongMode, &device, nullptr);
    EXPECT_EQ(partTexts(song).size(), 16);
    EXPECT_TRUE(boxes(song).first()->isHidden());
    EXPECT_FALSE(boxes(song)[1]->isHidden());

    // What the profile holds shows in a new dialog.
    store("voice", int(Patch(0x3F08, 5).value()));
    store("part", 2);
    store("copyname", 0);
    store("copyfx", 0);
    store("copyarp", 7);
    VoiceCopierDlg dialog(Motif::PerformanceMode, &device, nullptr);
    EXPECT_EQ(dialog.findChild<MidiPatchEdit*>()->patch(), Patch(0x3F08, 5));
    EXPECT_EQ(partBox(dialog)->currentIndex(), 2);
    QList<bool> checked;
    for (QCheckBox* box : boxes(dialog)) checked << box->isChecked();
    EXPECT_EQ(checked, (QList<bool>{false, true, false, true, true}));

    // A part stored from a mix falls back to the first part of a performance.
    const auto partShown = [this](int part, int mode) {
        store("part", part);
        return partBox(*std::make_unique<VoiceCopierDlg>(mode, &device, nullptr))->currentIndex();
    };
    EXPECT_EQ(partShown(12, Motif::PerformanceMode), 0);
    EXPECT_EQ(partShown(12, Motif::SongMode), 12);
    EXPECT_EQ(partShown(-1, Motif::SongMode), 0);
}

TEST_F(VoiceCopierSettings, CancelLeavesTheProfileAndTheRecordAlone)
{
    VoiceCopierInfo info;
    info.part = 9;
    info.copyvoice = false;
    const QList<int> before = fieldsOf(info);
    EXPECT_FALSE(run(info, Motif::SongMode, [](VoiceCopierDlg& dialog) {
        boxes(dialog)[2]->setChecked(false);
        partBox(dialog)->setCurrentIndex(5);
        dialog.reject();
    }));
    EXPECT_EQ(fieldsOf(info), before);
    EXPECT_FALSE(QFile::exists(profile));
}

TEST_F(VoiceCopierSettings, AcceptStoresAllSevenSettings)
{
    VoiceCopierInfo info;
    EXPECT_TRUE(run(info, Motif::PerformanceMode, [](VoiceCopierDlg& dialog) {
        dialog.findChild<MidiPatchEdit*>()->setPatch(Patch(0x3F28, 3));
        partBox(dialog)->setCurrentIndex(3);
        boxes(dialog)[2]->setChecked(false);
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    }));
    EXPECT_EQ(fieldsOf(info), (QList<int>{0x3F2803, 1, 3, 1, 1, 0, 1}));
    // Every key is written, also those that kept their defaults.
    EXPECT_EQ(storedAll(), fieldsOf(info));

    // A song's dialog hides the name box; the flag stored before stays as it was.
    store("copyname", 0);
    EXPECT_TRUE(run(info, Motif::SongMode, [](VoiceCopierDlg& dialog) {
        partBox(dialog)->setCurrentIndex(15);
        dialog.accept();
    }));
    EXPECT_EQ(fieldsOf(info), (QList<int>{0x3F2803, 1, 15, 0, 1, 0, 1}));
    EXPECT_EQ(storedAll(), fieldsOf(info));
}

// Renders the dialog for the documentation:
//   build-dir/tests/voicecopier/test_voicecopier --gtest_also_run_disabled_tests
//   --gtest_filter='*Screenshot*'
TEST_F(VoiceCopierSettings, DISABLED_SavesTheScreenshot)
{
    store("voice", int(Patch(0x3F08, 5).value()));
    VoiceCopierDlg dialog(Motif::PerformanceMode, &device, nullptr);
    dialog.show();
    QApplication::processEvents();
    const QString path = QStringLiteral(MOTIF_SOURCE_DIR "/docs/images/voice-copier.png");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    ASSERT_TRUE(dialog.grab().save(path));
}
