// The device module's SysEx codec against the virtual instrument's independent one, on the same
// messages. Run it and compare the pairs in one run: the ratio is what matters, not the times.
//   build/bin/bench_sysex --benchmark_min_time=0.2
#include "emulator/EsWire.h"
#include "motif/MotifSysex.h"

#include <benchmark/benchmark.h>

namespace {
// A voice common block of typical size (the ES sends blocks of up to a few hundred bytes).
MidiBytes bulkBlock()
{
    std::vector<std::uint8_t> data(200);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = std::uint8_t(i & 0x7F);
    return EsWire::bulkDump(0x400000, data);
}

void AnalyseBulk_Module(benchmark::State& state)
{
    const MidiBytes bytes = bulkBlock();
    for (auto _ : state) {
        MotifSysex message(bytes);
        benchmark::DoNotOptimize(message.checksumValid());
        benchmark::DoNotOptimize(message.getAddress());
    }
}

void AnalyseBulk_Reference(benchmark::State& state)
{
    const MidiBytes bytes = bulkBlock();
    for (auto _ : state) {
        auto parsed = EsWire::parse(bytes);
        benchmark::DoNotOptimize(parsed.message->checksumOk());
    }
}

void BuildBulk_Module(benchmark::State& state)
{
    QString text;
    for (int i = 0; i < 200; ++i) text += QString::asprintf("%02X ", i & 0x7F);
    for (auto _ : state) {
        MotifSysex message;
        message.prepareBulkDump(0x400000, text);
        benchmark::DoNotOptimize(message.size());
    }
}

void BuildBulk_Reference(benchmark::State& state)
{
    std::vector<std::uint8_t> data(200);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = std::uint8_t(i & 0x7F);
    for (auto _ : state) benchmark::DoNotOptimize(EsWire::bulkDump(0x400000, data));
}
} // namespace

BENCHMARK(AnalyseBulk_Module);
BENCHMARK(AnalyseBulk_Reference);
BENCHMARK(BuildBulk_Module);
BENCHMARK(BuildBulk_Reference);
BENCHMARK_MAIN();
