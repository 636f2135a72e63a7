#include "emulator/FaultPlan.h"

#include "InstrumentBench.h"
#include "emulator/DelayLine.h"
#include "emulator/EsWire.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using Sendings = std::vector<FaultPlan::Sending>;

// One bulk of a header, `blocks` blocks of distinct data and a footer.
std::vector<MidiBytes> bulk(int blocks)
{
    std::vector<MidiBytes> out{EsWire::bulkDump(0x0E0805, {})};
    for (int i = 0; i < blocks; ++i) {
        const std::uint8_t data[] = {std::uint8_t(i), 0x40, 0x7F};
        out.push_back(EsWire::bulkDump(0x400000 + std::uint32_t(i), data));
    }
    out.push_back(EsWire::bulkDump(0x0F0805, {}));
    return out;
}

FaultSettings settings(const char* text) { return InstrumentBench::parsed(text).faults; }

} // namespace

TEST(FaultPlan, SeededDecisionsRepeatAtTheirRates)
{
    const auto run = [](const FaultSettings& s) {
        FaultPlan plan(s);
        Sendings all;
        for (int i = 0; i < 2000; ++i) {
            for (FaultPlan::Sending& sending : plan.shape(bulk(8))) all.push_back(std::move(sending));
        }
        return std::pair{all, plan.counts()};
    };
    const auto [first, counts] = run(settings("drop=0.05,corrupt=0.05,duplicate=0.05,seed=7"));
    EXPECT_EQ(run(settings("drop=0.05,corrupt=0.05,duplicate=0.05,seed=7")).first, first);
    EXPECT_NE(run(settings("drop=0.05,corrupt=0.05,duplicate=0.05,seed=8")).first, first);
    // 20000 messages: 5% is 1000, give or take a few standard deviations (31).
    for (int count : {counts.dropped, counts.corrupted, counts.duplicated}) EXPECT_NEAR(count, 1000, 120);
    EXPECT_EQ(first.size(), std::size_t(20000 - counts.dropped + counts.duplicated));

    // A corrupted block stays well-formed but fails its checksum; some went out twice.
    int corrupted = 0;
    for (const FaultPlan::Sending& sending : first) {
        const EsParse parsed = EsWire::parse(sending.bytes);
        ASSERT_TRUE(parsed.message.has_value()) << parsed.error.toStdString();
        corrupted += !parsed.message->checksumOk();
    }
    EXPECT_TRUE(corrupted >= counts.corrupted && corrupted <= counts.corrupted + counts.duplicated);
}

TEST(FaultPlan, TruncateLeavesOutExactlyOneBlock)
{
    FaultPlan plan(settings("truncate=1"));
    for (int i = 0; i < 50; ++i) {
        const std::vector<MidiBytes> sent = bulk(5);
        const Sendings got = plan.shape(sent);
        ASSERT_EQ(got.size(), 6u);
        EXPECT_TRUE(got.front().bytes == sent.front() && got.back().bytes == sent.back());
        std::size_t kept = 0;
        for (std::size_t j = 1; j + 1 < sent.size(); ++j) kept += got[kept + 1].bytes == sent[j];
        EXPECT_EQ(kept, 4u);
    }
    // A single reply is no bulk.
    EXPECT_EQ(plan.shape({EsWire::bulkDump(0x0E0805, {})}).size(), 1u);
    EXPECT_EQ(plan.counts().truncated, 50);
}

TEST(FaultPlan, DelaysStayInOrderAndWithinTheJitter)
{
    FaultPlan plan(settings("latency=30,jitter=10"));
    int low = 100, high = 0;
    for (const FaultPlan::Sending& sending : plan.shape(bulk(200))) {
        low = std::min(low, sending.delayMs);
        high = std::max(high, sending.delayMs);
    }
    EXPECT_TRUE(low == 20 && high == 40) << low << " " << high;

    // The line never lets a message overtake an earlier one, and holds each for its delay.
    std::vector<MidiBytes> got;
    std::mutex mutex;
    const auto start = std::chrono::steady_clock::now();
    {
        DelayLine line([&](const MidiBytes& bytes) {
            std::lock_guard lock(mutex);
            got.push_back(bytes);
        });
        line.post({0x01}, 60);
        line.post({0x02}, 0);
        while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(500)) {
            std::lock_guard lock(mutex);
            if (got.size() == 2) break;
        }
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(60));
    EXPECT_EQ(got, (std::vector<MidiBytes>{{0x01}, {0x02}}));
}

TEST(InstrumentSettings, TakesTheOptionKeysAndNamesWhatItRefuses)
{
    InstrumentSettings s;
    EXPECT_EQ(s.setAll("drop=0.01, corrupt=0.02,seed=7,model=S90ES,device=16,die-after=0"), QString());
    EXPECT_TRUE(s.faults.drop == 0.01 && s.faults.corrupt == 0.02 && s.faults.seed == 7 &&
                s.model == VirtualInstrument::Model::S90ES && s.device == 16 && s.dieAfter == 0);
    EXPECT_EQ(s.setAll("drop=1.5"), "bad value '1.5' for drop: a probability from 0 to 1");
    EXPECT_EQ(s.setAll("channel=0"), "bad value '0' for channel: a whole number from 1 to 16");
    EXPECT_EQ(s.setAll("seed"), "'seed' is not key=value");
    EXPECT_TRUE(s.set("dorp", "1").startsWith("unknown setting 'dorp' (known: model, device, channel,"));
    EXPECT_EQ(s.faults.drop, 0.01);
}
