// The real program under a virtual X display, reaching 'motif emu' over JACK MIDI ports, as a
// user would start it. Skips without a JACK server (scripts/start-jack.sh) or xvfb-run (Debian's
// xvfb).
#include "TestSupport.h"
#include "WindowFixture.h"
#include "jack/EmuProcess.h"

#include <QComboBox>

#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

TEST(WindowOverJack, ConnectsToTheInstrumentAndDrawsItsNames)
{
    if (!jackClient()) GTEST_SKIP() << "no JACK server runs";
    if (QStandardPaths::findExecutable("xvfb-run").isEmpty()) GTEST_SKIP() << "xvfb-run is not installed";
    const QString client = QStringLiteral("motif-window-%1").arg(::getpid());
    EmuProcess emu(client, {});
    ASSERT_TRUE(emu.ready());
    QTemporaryDir dir;
    const QString picture = dir.filePath("instrument.png");
    QProcess window;
    // A home of its own: the user's settings and name cache must not change what it shows.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", dir.path());
    environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    environment.insert("XDG_CACHE_HOME", dir.filePath("cache"));
    window.setProcessEnvironment(environment);
    const QString program = QFileInfo(MOTIF_CLI_PATH).absolutePath() + "/motif-librarian";
    window.start("xvfb-run", {"-a", program, "--in", client, "--out", client, "--screenshot", picture});
    ASSERT_TRUE(window.waitForFinished(60000));
    EXPECT_EQ(window.exitCode(), 0) << window.readAllStandardError().toStdString();
    EXPECT_EQ(
        QString::fromUtf8(window.readAllStandardOutput()),
        QStringLiteral("Motif ES7, device 1; USER1: \"USER1:000\", \"USER1:001\", \"USER1:002\", ...\n%1\n")
            .arg(picture));
    const QImage image(picture);
    EXPECT_GE(image.width(), 1000);
    EXPECT_GE(image.height(), 640);
}

// The ports as the chooser lists them, each with its system, reach the instrument.
TEST_F(WindowTest, OverJackTheListedPortsReachTheInstrument)
{
    if (!jackClient()) GTEST_SKIP() << "no JACK server runs";
    const QString client = QStringLiteral("motif-ports-%1").arg(::getpid());
    EmuProcess emu(client, {"--model", "ES8"});
    ASSERT_TRUE(emu.ready());
    auto* source = pane().findChild<QComboBox*>();
    source->setCurrentIndex(source->count() - 1);
    QComboBox* in = pane().findChildren<QComboBox*>()[1];
    QComboBox* out = pane().findChildren<QComboBox*>()[2];
    in->setCurrentIndex(in->findText(QStringLiteral("JACK: %1-01:out").arg(client)));
    out->setCurrentIndex(out->findText(QStringLiteral("JACK: %1:in").arg(client)));
    ASSERT_TRUE(finish([&](auto done) { pane().connectInstrument([done](bool) { done(); }); }));
    EXPECT_EQ(pane().identity(), "Motif ES8, device 1");
    EXPECT_EQ(ui.calls, QStringList{});
}
