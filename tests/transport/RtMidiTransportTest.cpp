#include "zaltor/RtMidiTransport.h"
#include "TestSupport.h"
#include "zaltor/MidiInbox.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

namespace {

using Api = RtMidiTransport::Api;

// Waits for the next message of this status (channel aside), handing on the others.
bool waitFor(MidiInbox& inbox, std::uint8_t status, MidiBytes* got, int ms = 5000)
{
    return inbox.waitFor(
        [status](const MidiBytes& m) { return !m.empty() && (m[0] & 0xF0) == (status & 0xF0); }, ms, got);
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
    const QStringList sources = RtMidiTransport::inputNames(Api::Jack).filter(client);
    ASSERT_EQ(sources.size(), 1);
    const QString source = sources[0];
    const QString sink = client + ":in";
    EXPECT_TRUE(source.endsWith(":out") && RtMidiTransport::outputNames(Api::Jack).contains(sink));
    ASSERT_EQ(jack_connect(jack.get(), source.toUtf8().constData(), sink.toUtf8().constData()), 0);

    MidiInbox loopInbox;
    loop->setReceiver([&](MidiBytes message) { loopInbox.push(std::move(message)); });
    const MidiBytes note{0x90, 0x3C, 0x64};
    MidiBytes sysex(1000, 0x55);
    sysex.front() = 0xF0;
    sysex.back() = 0xF7;
    // A connection takes effect in a later cycle of the server, and what is sent before then is
    // lost: on a busy machine the first note can miss it. Notes go round until one arrives, and
    // every wait after that accepts only the message it waits for.
    MidiBytes got;
    bool wired = false;
    for (int attempt = 0; attempt < 25 && !wired; ++attempt) {
        ASSERT_TRUE(loop->send(note));
        wired = waitFor(loopInbox, 0x90, &got, 200);
    }
    ASSERT_TRUE(wired);
    EXPECT_EQ(got, note);
    ASSERT_TRUE(loop->send(sysex));
    ASSERT_TRUE(waitFor(loopInbox, 0xF0, &got));
    EXPECT_EQ(got, sysex);

    // A host finds those ports by part of their names, in either letter case.
    auto host = RtMidiTransport::open(client.toUpper(), client, &error, Api::Jack);
    ASSERT_NE(host, nullptr) << error.toStdString();
    EXPECT_EQ(host->name(), source + " / " + sink);
    MidiInbox hostInbox;
    host->setReceiver([&](MidiBytes message) { hostInbox.push(std::move(message)); });
    ASSERT_TRUE(host->send(MidiBytes{0xC0, 0x05}));
    ASSERT_TRUE(waitFor(loopInbox, 0xC0, &got));
    EXPECT_EQ(got, (MidiBytes{0xC0, 0x05}));
    ASSERT_TRUE(loop->send(sysex));
    ASSERT_TRUE(waitFor(hostInbox, 0xF0, &got));
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
