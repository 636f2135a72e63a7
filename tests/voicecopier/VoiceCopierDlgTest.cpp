// The voice copier's settings dialog offscreen: it starts from what the profile holds, and only
// accepting changes the record and the profile.
#include "dumps/DumpTestSupport.h"

#include "core/Application.h"
#include "motif/Motif.h"
#include "motif/VoiceCopierDlg.h"
#include "zaltor/MidiPatchEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class VoiceCopierSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureApplication();
        Application::setProfilePath(profile);
    }
    void TearDown() override { Application::setProfilePath({}); }

    static QList<int> fieldsOf(const VoiceCopierInfo& info)
    {
        return {int(info.voice.value()), info.copyvoice, info.part, info.copyname, info.copyarp, info.copyfx,
                info.copyinsfx};
    }
    static void store(const char* key, int value) { Application::writeProfileInt("VoiceCopier", key, value); }
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

TEST_F(VoiceCopierSettings, AcceptingReturnsWhatTheProfileHeldAndStoresTheChanges)
{
    // Any number but 0 is a set flag.
    store("voice", int(Patch(0x3F08, 5).value()));
    store("part", 2);
    store("copyname", 0);
    store("copyarp", 7);
    VoiceCopierInfo info;
    EXPECT_TRUE(run(info, Motif::PerformanceMode, [](VoiceCopierDlg& dialog) {
        dialog.findChildren<QCheckBox*>()[3]->setChecked(false);
        dialog.accept();
    }));
    EXPECT_EQ(fieldsOf(info), (QList<int>{0x3F0805, 1, 2, 0, 1, 1, 0}));

    // A song's mix has 16 parts and no name to copy into: the flag stored before stays. The part
    // combo is the dialog's own child, the voice selector's are deeper.
    store("copyname", 1);
    EXPECT_TRUE(run(info, Motif::SongMode, [](VoiceCopierDlg& dialog) {
        dialog.findChild<MidiPatchEdit*>()->setPatch(Patch(0x3F28, 3));
        dialog.findChild<QComboBox*>(QString(), Qt::FindDirectChildrenOnly)->setCurrentIndex(15);
        dialog.accept();
    }));
    EXPECT_EQ(fieldsOf(info), (QList<int>{0x3F2803, 1, 15, 1, 1, 1, 0}));
    VoiceCopierInfo saved;
    saved.fromRegistry(Patch());
    EXPECT_EQ(fieldsOf(saved), fieldsOf(info));
    // A part stored from a mix falls back to the first part of a performance.
    EXPECT_TRUE(run(info, Motif::PerformanceMode, [](VoiceCopierDlg& dialog) { dialog.accept(); }));
    EXPECT_EQ(info.part, 0);
}

TEST_F(VoiceCopierSettings, CancelLeavesTheProfileAndTheRecordAlone)
{
    VoiceCopierInfo info;
    info.part = 9;
    EXPECT_FALSE(run(info, Motif::SongMode, [](VoiceCopierDlg& dialog) {
        dialog.findChild<QComboBox*>(QString(), Qt::FindDirectChildrenOnly)->setCurrentIndex(5);
        dialog.reject();
    }));
    EXPECT_EQ(info.part, 9);
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
    ASSERT_TRUE(dialog.grab().save(QStringLiteral(MOTIF_SOURCE_DIR "/docs/images/voice-copier.png")));
}
