#include "emulator/VirtualInstrument.h"

#include "InstrumentBench.h"
#include "emulator/EsWire.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <utility>

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
    const std::pair<Model, std::uint8_t> models[] = {
        {Model::ES6, 0x69}, {Model::ES7, 0x6A}, {Model::ES8, 0x6B}};
    for (const auto& [model, member] : models) {
        Bench bench(model);
        const MidiBytes reply{0xF0,   0x7E, 0x00, 0x06, 0x02, 0x43, 0x00, 0x41,
                              member, 0x05, 0x00, 0x00, 0x00, 0x01, 0xF7};
        for (std::uint8_t device : {0x00, 0x7F})
            EXPECT_EQ(bench.ask({0xF0, 0x7E, device, 0x06, 0x01, 0xF7}), Replies{reply});
        EXPECT_EQ(bench.instrument.errorCount(), 0);
    }
    EXPECT_EQ(VirtualInstrument::modelFromName(" motif es6 "), Model::ES6);
    EXPECT_EQ(VirtualInstrument::modelFromName("MOTIFES8"), Model::ES8);
    EXPECT_EQ(VirtualInstrument::modelFromName("Motif XS7"), std::nullopt);
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
    EXPECT_FALSE(vi.localOn());
    EXPECT_EQ(vi.receiveChannel(), 15);
    EXPECT_EQ(vi.partVolume(0x10), -1);
    EXPECT_EQ(vi.errorCount(), 0);
    EXPECT_EQ(vi.log()[1].description, "parameter change: mode (0x0A0001) = 3");

    // Out of range: an error, and the value stays.
    bench.ask(change(0x0A, 0x00, 0x01, 5));
    bench.ask(change(0x00, 0x00, 0x09, 2));
    bench.ask(change(0x00, 0x00, 0x0A, 16));
    EXPECT_EQ(vi.errors(),
              (QStringList{
                  "value 5 out of range 0-4 for mode (0x0A0001): F0 43 10 7F 00 0A 00 01 05 F7",
                  "value 2 out of range 0-1 for local control (0x000009): F0 43 10 7F 00 00 00 09 02 F7",
                  "value 16 out of range 0-15 for receive channel (0x00000A): F0 43 10 7F 00 00 00 0A 10 F7",
              }));
    EXPECT_EQ(vi.mode(), 3);
}

TEST(VirtualInstrument, TracksPatchSelectionAndSongSelect)
{
    Bench bench;
    VirtualInstrument& vi = bench.instrument;
    EXPECT_EQ(vi.selected(0), Selection{});
    EXPECT_EQ(vi.songSelect(), -1);

    // Bank select waits for the program change.
    bench.ask({0xB0, 0x00, 0x3F});
    bench.ask({0xB0, 0x20, 0x08});
    EXPECT_EQ(vi.selected(0), Selection{});
    bench.ask({0xC0, 0x05});
    EXPECT_EQ(vi.selected(0), (Selection{63, 8, 5}));

    // Channels are independent.
    bench.ask({0xBF, 0x00, 0x7F});
    bench.ask({0xBF, 0x20, 0x00});
    bench.ask({0xCF, 0x10});
    bench.ask({0xC3, 0x07});
    EXPECT_EQ(vi.selected(15), (Selection{127, 0, 16}));
    EXPECT_EQ(vi.selected(3), (Selection{-1, -1, 7}));
    EXPECT_EQ(vi.selected(0), (Selection{63, 8, 5}));

    bench.ask({0xF3, 0x03});
    EXPECT_EQ(vi.songSelect(), 3);

    // Playing is accepted and logged, nothing more.
    EXPECT_EQ(bench.ask({0x91, 0x3C, 0x64}), Replies{});
    EXPECT_EQ(bench.ask({0xFE}), Replies{});
    EXPECT_EQ(vi.errorCount(), 0);
    EXPECT_EQ(vi.log()[2].description, "program change, channel 1: 5");
}

TEST(VirtualInstrument, ReportsPanelChangesToTheHost)
{
    Bench bench;
    VirtualInstrument& vi = bench.instrument;
    vi.pressMode(3);
    EXPECT_EQ(bench.received, Replies{change(0x0A, 0x00, 0x01, 0x03)});
    EXPECT_EQ(vi.mode(), 3);
    bench.received.clear();
    vi.pressMaster(5);
    EXPECT_EQ(bench.received, Replies{change(0x0A, 0x00, 0x00, 0x05)});
    EXPECT_EQ(vi.master(), 5);

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
    EXPECT_EQ(bench.received, Replies{});
    EXPECT_EQ(vi.mode(), 4);
    EXPECT_EQ(vi.errors(), QStringList{"panel: value 5 out of range 0-4 for mode (0x0A0001)"});
}

TEST(VirtualInstrument, CountsEveryMalformedMessageAndCarriesOn)
{
    Bench bench;
    VirtualInstrument& vi = bench.instrument;
    QStringList sunk;
    vi.setErrorSink([&](const QString& text) { sunk.append(text); });

    const std::vector<std::pair<MidiBytes, QString>> cases{
        {{0xF0, 0x43, 0x00, 0x7F, 0x00, 0x00, 0x00, 0x0E, 0x0F, 0x00, 0x00, 0xF7},
         "bad checksum 0x00 in bulk dump to 0x0E0F00 (expected 0x63): F0 43 00 7F 00 00 00 0E 0F 00 00 F7"},
        {{0xF0, 0x43, 0x00, 0x7F, 0x00, 0x00, 0x00, 0x0E, 0x0A, 0x00, 0x68, 0xF7},
         "bulk header 0x0E0A00: bulk control 0x0A00 names no location of this instrument: "
         "F0 43 00 7F 00 00 00 0E 0A 00 68 F7"},
        {{0xF0, 0x43, 0x20, 0x7F, 0x00, 0x0E, 0x0A, 0x00, 0xF7},
         "dump request for 0x0E0A00: bulk control 0x0A00 names no location of this instrument: "
         "F0 43 20 7F 00 0E 0A 00 F7"},
        {{0xF0, 0x43, 0x10, 0x7F, 0x01, 0x0A, 0x00, 0x01, 0x01, 0xF7},
         "wrong model id 7F 01 (expected 7F 00): F0 43 10 7F 01 0A 00 01 01 F7"},
        {change(0x12, 0x34, 0x56, 0x00),
         "unknown address 0x123456 in parameter change: F0 43 10 7F 00 12 34 56 00 F7"},
        {request(0x37, 0x10, 0x0D),
         "unknown address 0x37100D in parameter request: F0 43 30 7F 00 37 10 0D F7"},
        {{0xF0, 0x43, 0x10, 0x7F, 0x00, 0x0A, 0x00, 0x01, 0x01, 0x02, 0xF7},
         "bad length: mode (0x0A0001) takes 1 data byte, got 2: F0 43 10 7F 00 0A 00 01 01 02 F7"},
        {{0xF0, 0x41, 0x10, 0x42, 0x12, 0xF7}, "wrong manufacturer 0x41 (expected 0x43): F0 41 10 42 12 F7"},
        {{0xF0, 0x43, 0x10}, "SysEx without F7 at the end (truncated or unterminated): F0 43 10"},
        {{0xF0, 0x43, 0x10, 0xF7}, "truncated parameter change: 4 bytes, at least 10 needed: F0 43 10 F7"},
        {{0xC0}, "bad length: program change takes 2 bytes, got 1: C0"},
        {{0xB0, 0x00, 0x80}, "status byte 0x80 at offset 2 inside control change: B0 00 80"},
        {{0x40, 0x00}, "data byte 0x40 without a status byte: 40 00"},
        {{0xF7}, "F7 without F0: F7"},
        {{0xF5}, "undefined status byte 0xF5: F5"},
        {{}, "empty message"},
    };
    QStringList expected;
    for (const auto& [bytes, error] : cases) {
        EXPECT_EQ(bench.ask(bytes), Replies{}) << error.toStdString();
        expected.append(error);
    }
    EXPECT_EQ(vi.errorCount(), int(cases.size()));
    EXPECT_EQ(vi.errors(), expected);
    EXPECT_EQ(sunk, expected);
    EXPECT_EQ(vi.log()[3].description, "error: wrong model id 7F 01 (expected 7F 00)");

    // Nothing was stored, and the instrument still answers.
    EXPECT_EQ(vi.mode(), 0);
    EXPECT_EQ(vi.selected(0), Selection{});
    EXPECT_EQ(bench.ask(request(0x0A, 0x00, 0x01)), Replies{change(0x0A, 0x00, 0x01, 0)});
}

TEST(VirtualInstrument, FollowsItsAttachment)
{
    // Declared first: the transports outlive the instrument.
    auto other = LoopbackTransport::createPair("host 2", "instrument 2");
    Bench bench;
    MidiBytes echoed;
    other.first->setReceiver([&](MidiBytes message) { echoed = std::move(message); });

    // Listening moves to the new input, and answers go to the new output.
    bench.instrument.attach(*other.second, *bench.cable.second);
    EXPECT_EQ(bench.ask(request(0x0A, 0x00, 0x01)), Replies{});
    EXPECT_TRUE(bench.instrument.log().empty());
    other.first->send(request(0x00, 0x00, 0x09));
    EXPECT_EQ(bench.received, Replies{change(0x00, 0x00, 0x09, 1)});
    EXPECT_TRUE(echoed.empty());

    // A reply the port refuses is an error, not a silent loss.
    bench.cable.first.reset();
    bench.instrument.receive(request(0x00, 0x00, 0x09));
    EXPECT_EQ(bench.instrument.errors(),
              QStringList{"could not send on instrument (port closed): F0 43 10 7F 00 00 00 09 01 F7"});
}

TEST(VirtualInstrument, TakesInputOnAPortThreadWhileTheStateIsRead)
{
    Bench bench;
    std::atomic<bool> done = false;
    std::thread port([&] {
        for (int i = 0; i < 200; ++i)
            bench.cable.first->send(change(0x0A, 0x00, 0x00, std::uint8_t(i % 128)));
        done = true;
    });
    while (!done) {
        EXPECT_LE(bench.instrument.log().size(), 200u);
        EXPECT_LE(bench.instrument.master(), 127);
    }
    port.join();
    EXPECT_EQ(bench.instrument.log().size(), 200u);
    EXPECT_EQ(bench.instrument.master(), 199 % 128);
    EXPECT_EQ(bench.instrument.errorCount(), 0);
}
