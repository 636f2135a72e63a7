#include "emulator/VirtualInstrument.h"

#include "InstrumentBench.h"
#include "emulator/EsWire.h"

#include <gtest/gtest.h>

namespace {

using Model = VirtualInstrument::Model;
using Selection = VirtualInstrument::Selection;

using Bench = InstrumentBench;
MidiBytes request(std::uint8_t h, std::uint8_t m, std::uint8_t l)
{
    return {0xF0, 0x43, 0x30, 0x7F, 0x00, h, m, l, 0xF7};
}
MidiBytes change(std::uint8_t h, std::uint8_t m, std::uint8_t l, std::uint8_t v)
{
    return {0xF0, 0x43, 0x10, 0x7F, 0x00, h, m, l, v, 0xF7};
}

} // namespace

TEST(VirtualInstrument, AnswersIdentityAsItsModel)
{
    const std::pair<const char*, const char*> models[] = {{"ES6", "69 05"},           {"motif es7", "6A 05"},
                                                          {"MotifES8", "6B 05"},      {"S90 ES", "70 05"},
                                                          {"Motif-Rack ES", "71 05"}, {"XS", "00 06"}};
    for (const auto& [name, member] : models) {
        Bench bench(QStringLiteral("model=") + name);
        const MidiBytes reply =
            hexBytes((std::string("F0 7E 00 06 02 43 00 41 ") + member + " 00 00 00 01 F7").c_str());
        for (const char* ask : {"F0 7E 00 06 01 F7", "F0 7E 7F 06 01 F7"})
            EXPECT_EQ(bench.ask(hexBytes(ask)), Replies{reply}) << name;
        // Only the Motif ES answers anything else.
        const bool es = bench.instrument.model() <= Model::ES8;
        EXPECT_EQ(bench.ask(request(0x0A, 0x00, 0x01)).size(), es ? 1u : 0u) << name;
        EXPECT_EQ(bench.ask(hexBytes("F0 43 20 7F 00 0E 08 05 F7")).size(), es ? 39u : 0u) << name;
    }
    EXPECT_EQ(VirtualInstrument::modelFromName("Motif XS7"), std::nullopt);
}

TEST(VirtualInstrument, ListensToItsDeviceNumberOnly)
{
    Bench bench("device=3");
    // Another device's requests and changes go unanswered and change nothing.
    for (const char* other :
         {"F0 43 30 7F 00 0A 00 01 F7", "F0 43 11 7F 00 0A 00 01 01 F7", "F0 7E 00 06 01 F7"})
        EXPECT_EQ(bench.ask(hexBytes(other)), Replies{}) << other;
    EXPECT_EQ(bench.instrument.mode(), 0);
    EXPECT_EQ(bench.instrument.log()[1].description, "ignored: addressed to device 2, this is device 3");
    // Its own are answered, and its replies carry its number.
    EXPECT_EQ(bench.ask(hexBytes("F0 43 32 7F 00 0A 00 01 F7")),
              Replies{hexBytes("F0 43 12 7F 00 0A 00 01 00 F7")});
    EXPECT_EQ(bench.ask(hexBytes("F0 7E 02 06 01 F7")).size(), 1u);
    EXPECT_EQ(bench.instrument.errorCount(), 0);
}

TEST(VirtualInstrument, StopsAnsweringAfterItsLastMessage)
{
    Bench bench("die-after=2");
    EXPECT_EQ(bench.ask(request(0x0A, 0x00, 0x01)).size(), 1u);
    EXPECT_FALSE(bench.instrument.stoppedAnswering());
    EXPECT_EQ(bench.ask(hexBytes("F0 43 10 7F 00 0A 00 01 03 F7")), Replies{});
    EXPECT_TRUE(bench.instrument.stoppedAnswering());
    EXPECT_EQ(bench.ask(request(0x0A, 0x00, 0x01)), Replies{});
    EXPECT_EQ(bench.ask(hexBytes("F0 7E 7F 06 01 F7")), Replies{});
    EXPECT_EQ(bench.instrument.log().back().description, "ignored: stopped answering after 2 messages");
}

TEST(VirtualInstrument, KeepsAndAnswersSystemParameters)
{
    Bench bench;
    VirtualInstrument& vi = bench.instrument;
    struct Row {
        std::uint8_t h, m, l, initial, changed;
    };
    const Row rows[] = {{0x0A, 0x00, 0x01, 0, 3},   {0x0A, 0x00, 0x00, 0, 127},  {0x00, 0x00, 0x09, 1, 0},
                        {0x00, 0x00, 0x0A, 0, 15},  {0x37, 0x00, 0x0D, 100, 80}, {0x37, 0x0F, 0x0D, 100, 1},
                        {0x37, 0x60, 0x0D, 100, 0}, {0x37, 0x62, 0x0D, 100, 127}};
    for (const Row& r : rows) {
        EXPECT_EQ(bench.ask(request(r.h, r.m, r.l)), Replies{change(r.h, r.m, r.l, r.initial)});
        EXPECT_EQ(bench.ask(change(r.h, r.m, r.l, r.changed)), Replies{});
        EXPECT_EQ(bench.ask(request(r.h, r.m, r.l)), Replies{change(r.h, r.m, r.l, r.changed)});
    }
    EXPECT_TRUE(!vi.localOn() && vi.receiveChannel() == 15 && vi.partVolume(0x10) == -1);
    EXPECT_EQ(vi.log()[1].description, "parameter change: mode (0x0A0001) = 3");
    // Out of range: an error, and the value stays.
    bench.ask(change(0x0A, 0x00, 0x01, 5));
    bench.ask(change(0x00, 0x00, 0x0A, 16));
    EXPECT_EQ(
        vi.errors(),
        (QStringList{
            "value 5 out of range 0-4 for mode (0x0A0001): F0 43 10 7F 00 0A 00 01 05 F7",
            "value 16 out of range 0-15 for receive channel (0x00000A): F0 43 10 7F 00 00 00 0A 10 F7"}));
    EXPECT_EQ(vi.mode(), 3);
}

TEST(VirtualInstrument, SelectsOnItsReceiveChannelIntoTheEditBuffer)
{
    Bench bench("channel=5");
    VirtualInstrument& vi = bench.instrument;
    const auto nameIn = [&](std::uint16_t editBuffer, std::uint32_t nameBlock) {
        const std::vector<std::uint8_t> bytes = vi.block(editBuffer, nameBlock);
        return std::string(bytes.begin(), bytes.begin() + 10);
    };
    const auto play = [&](std::initializer_list<const char*> messages) {
        for (const char* message : messages) EXPECT_EQ(bench.ask(hexBytes(message)), Replies{}) << message;
    };
    // Channel 1 is not its channel; bank select waits for the program change.
    play({"B0 00 3F", "B0 20 08", "C0 05", "B4 00 3F", "B4 20 09"});
    EXPECT_EQ(vi.selected(0), Selection{});
    EXPECT_EQ(vi.log()[2].description,
              "program change, channel 1: 5 (ignored: the instrument receives on channel 5)");
    play({"C4 11"});
    EXPECT_EQ(vi.selected(4), (Selection{63, 9, 17}));
    EXPECT_EQ(nameIn(0x0F00, 0x407000), "USER2:017 ");
    play({"B4 20 00", "C4 7F"});
    EXPECT_EQ(nameIn(0x0F00, 0x407000), "PRE1:127  ");
    EXPECT_EQ(vi.log().back().description,
              "program change, channel 5: 127, loads PRE1:127 into the voice edit buffer");

    // A performance loads only in Performance mode, a master by number in Master mode.
    play({"B4 20 40", "C4 05"});
    EXPECT_NE(nameIn(0x4F00, 0x300000), "PERF:005  ");
    play({"F0 43 10 7F 00 0A 00 01 01 F7", "C4 06"});
    EXPECT_EQ(nameIn(0x4F00, 0x300000), "PERF:006  ");
    play({"F0 43 10 7F 00 0A 00 01 04 F7", "F0 43 10 7F 00 0A 00 00 03 F7"});
    EXPECT_EQ(nameIn(0x7F00, 0x330000), "MASTER:003");

    // In Song mode every channel is a part's.
    play({"F0 43 10 7F 00 0A 00 01 03 F7", "CF 10", "F3 03"});
    EXPECT_EQ(vi.selected(15), (Selection{-1, -1, 16}));
    EXPECT_EQ(vi.songSelect(), 3);
    EXPECT_EQ(vi.errorCount(), 0);
}

TEST(VirtualInstrument, ReportsPanelChangesToTheHost)
{
    Bench bench;
    VirtualInstrument& vi = bench.instrument;
    vi.pressMode(3);
    vi.pressMaster(5);
    EXPECT_EQ(bench.received, (Replies{change(0x0A, 0x00, 0x01, 0x03), change(0x0A, 0x00, 0x00, 0x05)}));
    EXPECT_TRUE(vi.mode() == 3 && vi.master() == 5);

    // A host that asks back from inside its receiver gets its answer at once.
    bench.received.clear();
    bool asked = false;
    bench.cable.first->setReceiver([&](MidiBytes message) {
        bench.received.push_back(message);
        if (!std::exchange(asked, true)) bench.cable.first->send(request(0x0A, 0x00, 0x01));
    });
    vi.pressMode(4);
    EXPECT_EQ(bench.received, (Replies{change(0x0A, 0x00, 0x01, 0x04), change(0x0A, 0x00, 0x01, 0x04)}));

    bench.received.clear();
    vi.pressMode(5);
    EXPECT_TRUE(bench.received.empty() && vi.mode() == 4);
    EXPECT_EQ(vi.errors(), QStringList{"panel: value 5 out of range 0-4 for mode (0x0A0001)"});
}

TEST(VirtualInstrument, CountsEveryMalformedMessageAndCarriesOn)
{
    Bench bench;
    VirtualInstrument& vi = bench.instrument;
    QStringList sunk;
    vi.setErrorSink([&](const QString& text) { sunk.append(text); });

    // Each error names the fault, then the bytes.
    const std::pair<const char*, const char*> cases[] = {
        {"F0 43 00 7F 00 00 00 0E 0F 00 00 F7", "bad checksum 0x00 in bulk dump to 0x0E0F00 (expected 0x63)"},
        {"F0 43 10 7F 01 0A 00 01 01 F7", "wrong model id 7F 01 (expected 7F 00)"},
        {"F0 43 10 7F 00 12 34 56 00 F7", "unknown address 0x123456 in parameter change"},
        {"F0 43 30 7F 00 37 10 0D F7", "unknown address 0x37100D in parameter request"},
        {"F0 43 10 7F 00 0A 00 01 01 02 F7", "bad length: mode (0x0A0001) takes 1 data byte, got 2"},
        {"F0 41 10 42 12 F7", "wrong manufacturer 0x41 (expected 0x43)"},
        {"F0 43 10 F7", "truncated parameter change: 4 bytes, at least 10 needed"},
        {"C0", "bad length: program change takes 2 bytes, got 1"},
        {"B0 00 80", "status byte 0x80 at offset 2 inside control change"},
        {"40 00", "data byte 0x40 without a status byte"},
        {"F7", "F7 without F0"},
        {"F5", "undefined status byte 0xF5"},
    };
    QStringList expected;
    for (const auto& [bytes, error] : cases) {
        EXPECT_EQ(bench.ask(hexBytes(bytes)), Replies{}) << error;
        expected << QString(error) + ": " + bytes;
    }
    EXPECT_EQ(bench.ask({}), Replies{});
    expected << "empty message";
    EXPECT_EQ(vi.errors(), expected);
    EXPECT_EQ(sunk, expected);
    EXPECT_EQ(vi.log()[0].description, "error: bad checksum 0x00 in bulk dump to 0x0E0F00 (expected 0x63)");

    // Nothing was stored, and the instrument still answers.
    EXPECT_EQ(vi.selected(0), Selection{});
    EXPECT_EQ(bench.ask(request(0x0A, 0x00, 0x01)), Replies{change(0x0A, 0x00, 0x01, 0)});
}

TEST(VirtualInstrument, FollowsItsAttachment)
{
    // Declared first: the transports outlive the instrument.
    auto other = LoopbackTransport::createPair("host 2", "instrument 2");
    Bench bench;
    // Listening moves to the new input, and answers go to the new output.
    bench.instrument.attach(*other.second, *bench.cable.second);
    EXPECT_EQ(bench.ask(request(0x0A, 0x00, 0x01)), Replies{});
    other.first->send(request(0x00, 0x00, 0x09));
    EXPECT_EQ(bench.received, Replies{change(0x00, 0x00, 0x09, 1)});
    // A reply the port refuses is an error, not a silent loss.
    bench.cable.first.reset();
    bench.instrument.receive(request(0x00, 0x00, 0x09));
    EXPECT_EQ(bench.instrument.errors(),
              QStringList{"could not send on instrument (port closed): F0 43 10 7F 00 00 00 09 01 F7"});
}
