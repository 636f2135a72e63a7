#include "zaltor/RtMidiTransport.h"
#include "TestSupport.h"
#include "zaltor/MidiInbox.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

namespace {

using Api = RtMidiTransport::Api;

constexpr int kWaitMs = 5000;

bool anything(const MidiBytes&) { return true; }

bool isSysex(const MidiBytes& message) { return !message.empty() && message.front() == 0xF0; }

bool isProgramChange(const MidiBytes& message)
{
    return !message.empty() && (message.front() & 0xF0) == 0xC0;
}

MidiTransport::Receiver into(MidiInbox& inbox)
{
    return [&inbox](MidiBytes message) { inbox.push(std::move(message)); };
}

QString findPort(const QStringList& names, const QString& prefix, const QString& suffix)
{
    const auto found = std::find_if(names.begin(), names.end(), [&](const QString& name) {
        return name.startsWith(prefix) && name.endsWith(suffix);
    });
    return found == names.end() ? QString() : *found;
}

} // namespace

TEST(RtMidiTransport, OpenNeedsAPort)
{
    QString error;
    EXPECT_EQ(RtMidiTransport::open(QString(), QString(), &error), nullptr);
    EXPECT_EQ(error, "Name a MIDI input or output port to open.");
}

// Over real JACK MIDI ports; scripts/start-jack.sh starts a dummy server.
TEST(RtMidiTransport, CarriesMessagesOverJack)
{
    const auto jack = jackClient();
    if (!jack) GTEST_SKIP() << "no JACK server runs";

    // A program offering ports, wired from its output back to its input.
    const QString client = QStringLiteral("zaltor-loop-%1").arg(::getpid());
    QString error;
    auto loop = RtMidiTransport::openVirtual(client, &error, Api::Jack);
    ASSERT_NE(loop, nullptr) << error.toStdString();
    EXPECT_EQ(loop->api(), Api::Jack);
    EXPECT_EQ(loop->name(), client);
    const QString source = findPort(RtMidiTransport::inputNames(Api::Jack), client, ":out");
    const QString sink = client + ":in";
    ASSERT_FALSE(source.isEmpty());
    ASSERT_TRUE(RtMidiTransport::outputNames(Api::Jack).contains(sink));
    const std::vector<RtMidiTransport::Port> ports = RtMidiTransport::listPorts();
    EXPECT_TRUE(std::any_of(ports.begin(), ports.end(), [&](const RtMidiTransport::Port& port) {
        return port.api == Api::Jack && !port.input && port.name == sink;
    }));
    ASSERT_EQ(jack_connect(jack.get(), source.toUtf8().constData(), sink.toUtf8().constData()), 0);

    MidiInbox loopInbox;
    loop->setReceiver(into(loopInbox));
    const MidiBytes note{0x90, 0x3C, 0x64};
    MidiBytes sysex(1000);
    for (std::size_t i = 0; i < sysex.size(); ++i) sysex[i] = static_cast<std::uint8_t>((i * 7) & 0x7F);
    sysex.front() = 0xF0;
    sysex.back() = 0xF7;
    // A connection takes effect in a later cycle of the server, and what is sent before then is
    // lost: on a busy machine the first note can miss it. Notes go round until one arrives, and
    // every wait after that accepts only the message it waits for.
    MidiBytes got;
    bool wired = false;
    for (int attempt = 0; attempt < kWaitMs / 200 && !wired; ++attempt) {
        ASSERT_TRUE(loop->send(note));
        wired = loopInbox.waitFor(anything, 200, &got);
    }
    ASSERT_TRUE(wired);
    EXPECT_EQ(got, note);
    ASSERT_TRUE(loop->send(sysex));
    ASSERT_TRUE(loopInbox.waitFor(isSysex, kWaitMs, &got));
    EXPECT_EQ(got, sysex);

    // A host finds those ports by part of their names, in either letter case.
    auto host = RtMidiTransport::open(client.toUpper(), client, &error, Api::Jack);
    ASSERT_NE(host, nullptr) << error.toStdString();
    EXPECT_EQ(host->name(), source + " / " + sink);
    MidiInbox hostInbox;
    host->setReceiver(into(hostInbox));
    ASSERT_TRUE(host->send(MidiBytes{0xC0, 0x05}));
    ASSERT_TRUE(loopInbox.waitFor(isProgramChange, kWaitMs, &got));
    EXPECT_EQ(got, (MidiBytes{0xC0, 0x05}));
    ASSERT_TRUE(loop->send(sysex));
    ASSERT_TRUE(hostInbox.waitFor(isSysex, kWaitMs, &got));
    EXPECT_EQ(got, sysex);
    EXPECT_EQ(host->droppedBytes(), 0u);

    // JACK's ring buffer cannot take this; RtMidi would drop it without a word.
    EXPECT_FALSE(host->send(MidiBytes(20000, 0x00)));
    EXPECT_EQ(host->lastError(), "A 20000-byte message is too long for JACK MIDI (at most 16379 bytes).");

    EXPECT_EQ(RtMidiTransport::open("no-such-port", QString(), &error, Api::Jack), nullptr);
    EXPECT_TRUE(error.startsWith("No JACK MIDI input port matches \"no-such-port\"; available: "))
        << error.toStdString();
    const auto inputOnly = RtMidiTransport::open(source, QString(), &error, Api::Jack);
    ASSERT_NE(inputOnly, nullptr) << error.toStdString();
    EXPECT_FALSE(inputOnly->send(MidiBytes{0xFA}));
    EXPECT_EQ(inputOnly->lastError(), "No MIDI output port is open on " + source + ".");
}
