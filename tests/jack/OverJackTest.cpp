// The librarian and the virtual instrument on real JACK MIDI ports, as two programs would meet.
// scripts/start-jack.sh starts a dummy server; without one these tests skip.
#include "CliApp.h"
#include "TestSupport.h"

#include "emulator/VirtualInstrument.h"
#include "motif/Motif.h"
#include "zaltor/RtMidiTransport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace {
using Api = RtMidiTransport::Api;

// A port of another process appears in JACK a little after the process starts.
bool waitForPort(const QString& name, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        if (RtMidiTransport::outputNames(Api::Jack).filter(name).size() > 0) return true;
        QThread::msleep(50);
    }
    return false;
}
} // namespace

TEST(OverJack, DeviceTalksToTheInstrumentThroughRealPorts)
{
    if (!jackClient()) GTEST_SKIP() << "no JACK server runs";
    const QString client = QStringLiteral("motif-e2e-es-%1").arg(::getpid());
    QString error;
    auto instrumentPorts = RtMidiTransport::openVirtual(client, &error, Api::Jack);
    ASSERT_NE(instrumentPorts, nullptr) << error.toStdString();
    VirtualInstrument instrument(VirtualInstrument::Model::ES8);
    instrument.attach(*instrumentPorts);

    auto hostPorts = RtMidiTransport::open(client, client, &error, Api::Jack);
    ASSERT_NE(hostPorts, nullptr) << error.toStdString();
    Motif device;
    device.connectPorts(hostPorts.get(), hostPorts.get());
    ASSERT_TRUE(device.identify(2000));
    EXPECT_EQ(device.modelName(), "Motif ES8");
    device.patchChange(Patch(Motif::MasterBank, 3));
    device.setPartVolume(2, 90);
    EXPECT_EQ(device.syncParamRequest(MidiParam(0x37020D, 1), 2000), 90);
    EXPECT_EQ(instrument.master(), 3);
    EXPECT_EQ(instrument.errors(), QStringList{});
    device.connectPorts(nullptr, nullptr);
    instrumentPorts->setReceiver(nullptr);
}

TEST(OverJack, CommandLineReachesTheInstrumentProgram)
{
    if (!jackClient()) GTEST_SKIP() << "no JACK server runs";
    const QString client = QStringLiteral("motif-e2e-emu-%1").arg(::getpid());
    QProcess emu;
    emu.start(MOTIF_CLI_PATH, {"emu", "--model", "ES6", "--seconds", "20", "--name", client});
    ASSERT_TRUE(emu.waitForStarted(5000));
    ASSERT_TRUE(waitForPort(client, 10000)) << emu.readAllStandardError().toStdString();

    std::ostringstream out, err;
    const std::string port = client.toStdString();
    const int code = CliApp().run({"--in", port, "--out", port, "identify"}, out, err);
    EXPECT_EQ(code, 0) << err.str();
    EXPECT_NE(out.str().find("\nMotif ES6\n"), std::string::npos) << out.str();
    emu.terminate();
    ASSERT_TRUE(emu.waitForFinished(5000));
    EXPECT_EQ(emu.exitCode(), 0) << emu.readAllStandardError().toStdString();
    EXPECT_NE(emu.readAllStandardOutput().indexOf("1 messages received, 0 errors"), -1);
}
