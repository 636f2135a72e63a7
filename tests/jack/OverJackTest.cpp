// The librarian and the virtual instrument on real JACK MIDI ports, as two programs would meet.
// scripts/start-jack.sh starts a dummy server; without one these tests skip.
#include "TestSupport.h"

#include "emulator/VirtualInstrument.h"
#include "motif/Motif.h"
#include "zaltor/RtMidiTransport.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace {
using Api = RtMidiTransport::Api;
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
