// The voice copier's settings dialog offscreen: it shows what the profile holds, offers the parts
// of the mode, and only accepting changes the record and the profile.
#include "dumps/DumpTestSupport.h"

#include "core/Application.h"
#include "motif/Motif.h"
#include "motif/VoiceCopierDlg.h"
#include "zaltor/MidiPatchEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString Section = "VoiceCopier";
// In the order of fieldsOf.
const QStringList Keys{"voice", "copyvoice", "part", "copyname", "copyarp", "copyfx", "copyinsfx"};

class VoiceCopierSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureApplication();
        Application::setProfilePath(profile);
    }
    void TearDown() override { Application::setProfilePath({}); }

    static QList<int> stored()
    {
        QList<int> out;
        for (const QString& key : Keys) out << Application::readProfileInt(Section, key, -99);
        return out;
    }
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
    // The boxes in the dialog's order: name, voice, system effects, insertion effects, arpeggio.
    static QString boxes(VoiceCopierDlg& dialog)
    {
        QString out;
        for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
            out += box->isHidden() ? '-' : box->isChecked() ? 'x' : 'o';
        return out;
    }

    // Runs GetVoiceCopierInfo; `act` works the dialog once it shows, and closes it.
    bool run(VoiceCopierInfo& info, int mode, const std::function<void(VoiceCopierDlg&)>& act)
    {
        std::function<void()> poll = [&] {
            if (auto* dialog = qobject_cast<VoiceCopierDlg*>(QApplication::activeModalWidget()))
                act(*dialog);
            else
                QTimer::singleShot(10, poll);
        };
        QTimer::singleShot(10, poll);
        return GetVoiceCopierInfo(info, mode, &device, nullptr);
    }

    QTemporaryDir dir;
    QString profile = dir.filePath("motif.ini");
    Motif device;
};

} // namespace

TEST_F(VoiceCopierSettings, ShowsTheProfileAndAcceptingStoresEverySetting)
{
    VoiceCopierDlg fresh(Motif::PerformanceMode, &device, nullptr);
    EXPECT_EQ(fresh.findChild<MidiPatchEdit*>()->patch(), Patch(0x3F00, 0));
    EXPECT_EQ(boxes(fresh), "xxxxx");
    EXPECT_EQ(partBox(fresh)->count(), 4);

    // Any number but 0 is a set flag.
    store("voice", int(Patch(0x3F08, 5).value()));
    store("part", 2);
    store("copyname", 0);
    store("copyfx", 0);
    store("copyarp", 7);
    VoiceCopierInfo info;
    EXPECT_TRUE(run(info, Motif::PerformanceMode, [](VoiceCopierDlg& dialog) {
        EXPECT_EQ(dialog.findChild<MidiPatchEdit*>()->patch(), Patch(0x3F08, 5));
        EXPECT_EQ(partBox(dialog)->currentIndex(), 2);
        EXPECT_EQ(boxes(dialog), "oxoxx");
        dialog.findChild<MidiPatchEdit*>()->setPatch(Patch(0x3F28, 3));
        partBox(dialog)->setCurrentIndex(3);
        dialog.findChildren<QCheckBox*>()[3]->setChecked(false);
        dialog.accept();
    }));
    EXPECT_EQ(fieldsOf(info), (QList<int>{0x3F2803, 1, 3, 0, 1, 0, 0}));
    EXPECT_EQ(stored(), fieldsOf(info));

    // A song's mix has 16 parts and no name to copy into: the flag stored before stays.
    store("copyname", 1);
    EXPECT_TRUE(run(info, Motif::SongMode, [](VoiceCopierDlg& dialog) {
        EXPECT_EQ(partBox(dialog)->count(), 16);
        EXPECT_EQ(boxes(dialog), "-xoox");
        partBox(dialog)->setCurrentIndex(15);
        dialog.accept();
    }));
    EXPECT_EQ(fieldsOf(info), (QList<int>{0x3F2803, 1, 15, 1, 1, 0, 0}));
    EXPECT_EQ(stored(), fieldsOf(info));
    // A part stored from a mix falls back to the first part of a performance.
    EXPECT_EQ(
        partBox(*std::make_unique<VoiceCopierDlg>(Motif::PerformanceMode, &device, nullptr))->currentIndex(),
        0);
}

TEST_F(VoiceCopierSettings, CancelLeavesTheProfileAndTheRecordAlone)
{
    VoiceCopierInfo info;
    info.part = 9;
    info.copyvoice = false;
    const QList<int> before = fieldsOf(info);
    EXPECT_FALSE(run(info, Motif::SongMode, [](VoiceCopierDlg& dialog) {
        dialog.findChildren<QCheckBox*>()[2]->setChecked(false);
        partBox(dialog)->setCurrentIndex(5);
        dialog.reject();
    }));
    EXPECT_EQ(fieldsOf(info), before);
    EXPECT_FALSE(QFile::exists(profile));
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
