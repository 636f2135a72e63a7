// The librarian and the virtual instrument on real JACK MIDI ports, as two programs would meet.
// scripts/start-jack.sh starts a dummy server; without one these tests skip.
#include "TestSupport.h"

#include "emulator/VirtualInstrument.h"
#include "motif/Motif.h"
#include "zaltor/RtMidiTransport.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <jack/jack.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

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

// libjack would walk a client's port list on its notification thread while the port is being taken
// off it; a port leaves only a deactivated client, whoever unregisters it (RtMidi above all).
TEST(OverJack, PortsLeaveOnlyADeactivatedClient)
{
    void* const libjack = ::dlopen("libjack.so.0", RTLD_LAZY | RTLD_NOLOAD);
    ASSERT_NE(libjack, nullptr);
    EXPECT_NE(::dlsym(RTLD_DEFAULT, "jack_port_unregister"), ::dlsym(libjack, "jack_port_unregister"));

    auto client = jackClient();
    if (!client) GTEST_SKIP() << "no JACK server runs";
    std::atomic<int> cycles = 0;
    jack_set_process_callback(
        client.get(),
        [](jack_nframes_t, void* count) {
            ++*static_cast<std::atomic<int>*>(count);
            return 0;
        },
        &cycles);
    jack_port_t* port = jack_port_register(client.get(), "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    ASSERT_NE(port, nullptr);
    ASSERT_EQ(jack_activate(client.get()), 0);
    // The dummy server runs a cycle every 21 ms.
    const auto waitForCycles = [&](int tries) {
        for (int i = 0; i < tries && cycles < 3; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };
    waitForCycles(200);
    ASSERT_GE(cycles, 3);

    EXPECT_EQ(jack_port_unregister(client.get(), port), 0);
    cycles = 0;
    waitForCycles(20);
    EXPECT_EQ(cycles, 0);
}
