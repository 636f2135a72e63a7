// Backup and restore against the virtual instrument over a modelled 31250-baud cable in both
// directions, in real time. A DIN cable is the bottleneck of every real transfer, so the figure
// that matters is how close the librarian comes to it: elapsed time divided by the wire time of
// the bytes that crossed (10 bits a byte), plus for a restore the pause the device makes after
// every message. 1.00 is the cable's limit.
//
// The whole user memory takes about five minutes on the wire each way, so by default every 8th
// location of every user bank is moved: the same mix of voices, drum kits, performances and
// masters, an eighth of the bytes. --stride=1 moves everything.
//
// The backup is also run through an instrument whose cable drops 1% of its messages and damages
// another 1% (seeded by --seed): there the figure is the elapsed time over the wire time of the
// bytes the clean backup moved, so every request and reply sent again counts against it.
//   build-lib/bin/bench_transfer [--stride=N] [--pacing_ms=N] [--seed=N] [--benchmark_format=json]
#include "motif/librarian/Librarian.h"

#include "emulator/InstrumentSettings.h"
#include "emulator/VirtualInstrument.h"
#include "motif/Motif.h"
#include "zaltor/BulkDump.h"
#include "zaltor/LoopbackTransport.h"
#include "zaltor/PatchDump.h"
#include "zaltor/WireModel.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
int stride = 8;
// The pause after each message of a restore; the device's own unless told otherwise.
int pacingMs = -1;
std::uint64_t seed = 7;

// A device and an instrument joined by a cable; the paced one models the DIN cable both ways.
// An in-process cable delivers on the sender's thread, so the instrument's answer is paced on the
// host's thread too: the host's elapsed time covers both directions.
struct Rig {
    explicit Rig(bool paced, const InstrumentSettings& settings = {}) : instrument(settings)
    {
        auto pair = LoopbackTransport::createPair("host", "instrument");
        host = std::move(pair.first);
        far = std::move(pair.second);
        if (paced) {
            hostWire = std::make_unique<WireModel>(*host);
            farWire = std::make_unique<WireModel>(*far);
        }
        instrument.attach(*far, farWire ? static_cast<MidiTransport&>(*farWire) : *far);
        device.connectPorts(host.get(), hostWire ? static_cast<MidiTransport*>(hostWire.get()) : host.get());
    }
    std::uint64_t bytesOut() const { return hostWire->bytesSent(); }
    std::uint64_t bytesIn() const { return farWire->bytesSent(); }

    std::unique_ptr<LoopbackTransport> host;
    std::unique_ptr<LoopbackTransport> far;
    std::unique_ptr<WireModel> hostWire;
    std::unique_ptr<WireModel> farWire;
    VirtualInstrument instrument;
    Motif device;
};

std::vector<PatchLocation> locations()
{
    Motif device;
    std::vector<PatchLocation> out;
    for (const PatchLocation& location : Librarian(device).userLocations({}))
        if (location.patch.program() % stride == 0) out.push_back(location);
    return out;
}

double seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

double wireSeconds(std::uint64_t bytes) { return double(bytes) * double(WireModel::kByteUs) / 1e6; }

// `wire`: the wire time the ratio is taken against; by default that of the bytes that crossed.
void report(benchmark::State& state, const Rig& rig, std::size_t patches, double elapsed, double pacing,
            double wire = -1)
{
    if (wire < 0) wire = wireSeconds(rig.bytesOut() + rig.bytesIn());
    state.SetIterationTime(elapsed);
    state.counters["patches"] = double(patches);
    state.counters["bytes_out"] = double(rig.bytesOut());
    state.counters["bytes_in"] = double(rig.bytesIn());
    state.counters["wire_s"] = wire;
    state.counters["pacing_s"] = pacing;
    state.counters["elapsed_s"] = elapsed;
    state.counters["ratio"] = elapsed / (wire + pacing);
}

void fetch(benchmark::State& state)
{
    const std::vector<PatchLocation> subset = locations();
    for (auto _ : state) {
        Rig rig(true);
        Librarian librarian(rig.device);
        const auto start = std::chrono::steady_clock::now();
        for (const PatchLocation& location : subset) {
            BulkDump bulk;
            const QString error = librarian.fetch(location, bulk);
            if (!error.isEmpty()) return state.SkipWithError(error.toStdString().c_str());
        }
        report(state, rig, subset.size(), seconds(std::chrono::steady_clock::now() - start), 0);
    }
}

void faultyFetch(benchmark::State& state)
{
    const std::vector<PatchLocation> subset = locations();
    // What a clean backup brings, and the bytes it moves both ways.
    Rig clean(false);
    std::uint64_t cleanBytes = 0;
    clean.device.setMonitor([&](bool, const MidiBytes& message) { cleanBytes += message.size(); });
    Librarian cleanLibrarian(clean.device);
    std::vector<std::vector<std::uint8_t>> expected;
    for (const PatchLocation& location : subset) {
        BulkDump bulk;
        const QString error = cleanLibrarian.fetch(location, bulk);
        if (!error.isEmpty()) return state.SkipWithError(error.toStdString().c_str());
        expected.push_back(bulk.toBytes());
    }
    InstrumentSettings settings;
    settings.setAll(QStringLiteral("drop=0.01,corrupt=0.01,seed=%1").arg(seed));
    for (auto _ : state) {
        Rig rig(true, settings);
        int requests = 0;
        rig.device.setMonitor([&](bool outgoing, const MidiBytes&) { requests += outgoing; });
        Librarian librarian(rig.device);
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < subset.size(); ++i) {
            BulkDump bulk;
            const QString error = librarian.fetch(subset[i], bulk);
            if (!error.isEmpty()) return state.SkipWithError(error.toStdString().c_str());
            if (bulk.toBytes() != expected[i])
                return state.SkipWithError("a patch fetched through faults differs from the clean fetch");
        }
        report(state, rig, subset.size(), seconds(std::chrono::steady_clock::now() - start), 0,
               wireSeconds(cleanBytes));
        const FaultPlan::Counts faults = rig.instrument.faultCounts();
        state.counters["requests"] = requests;
        state.counters["dropped"] = faults.dropped;
        state.counters["corrupted"] = faults.corrupted;
    }
}

void restore(benchmark::State& state)
{
    const std::vector<PatchLocation> subset = locations();
    // What to restore: another instrument's patches, renamed so that every restored location
    // differs from the fresh target's.
    Rig source(false);
    Librarian sourceLibrarian(source.device);
    std::vector<std::unique_ptr<PatchDump>> dumps;
    int messages = 0;
    for (const PatchLocation& location : subset) {
        BulkDump bulk;
        const QString error = sourceLibrarian.fetch(location, bulk);
        if (!error.isEmpty()) return state.SkipWithError(error.toStdString().c_str());
        dumps.push_back(sourceLibrarian.toDump(bulk));
        dumps.back()->setName(QStringLiteral("Restored"));
        messages += dumps.back()->count() + 2;
    }
    for (auto _ : state) {
        Rig rig(true);
        rig.device.setTransmitDelay(pacingMs);
        Librarian librarian(rig.device);
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < subset.size(); ++i) {
            const QString error = librarian.send(subset[i], *dumps[i]);
            if (!error.isEmpty()) return state.SkipWithError(error.toStdString().c_str());
        }
        const double elapsed = seconds(std::chrono::steady_clock::now() - start);
        const auto memory = rig.instrument.userMemory();
        for (const PatchLocation& location : subset) {
            const auto& bytes = memory.at(std::uint16_t(rig.device.getBulkControl(location.patch)));
            if (std::string(bytes.begin(), bytes.begin() + 8) != "Restored")
                return state.SkipWithError("a restored location does not hold what was sent");
        }
        report(state, rig, subset.size(), elapsed, messages * pacingMs / 1000.0);
    }
}

// Takes --stride=N and --pacing_ms=N out of the arguments; the rest are the benchmark library's.
void takeOptions(int& argc, char** argv)
{
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--stride=", 9) == 0)
            stride = std::max(1, std::atoi(argv[i] + 9));
        else if (std::strncmp(argv[i], "--pacing_ms=", 12) == 0)
            pacingMs = std::max(0, std::atoi(argv[i] + 12));
        else if (std::strncmp(argv[i], "--seed=", 7) == 0)
            seed = std::strtoull(argv[i] + 7, nullptr, 10);
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
}
} // namespace

int main(int argc, char** argv)
{
    takeOptions(argc, argv);
    if (pacingMs < 0) pacingMs = Motif().transmitDelay();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::AddCustomContext("locations", stride == 1
                                                 ? "the whole user memory: USER1, USER2, DR:USR, PERF, MASTER"
                                                 : "every " + std::to_string(stride) +
                                                       "th location of USER1, USER2, DR:USR, PERF, MASTER");
    benchmark::AddCustomContext("pacing", std::to_string(pacingMs) + " ms after every message of a restore");
    benchmark::AddCustomContext("faults", "1% of the instrument's messages dropped, 1% damaged, seed " +
                                              std::to_string(seed));
    benchmark::AddCustomContext("targets",
                                "ratio <= 1.05 for the backup, <= 1.10 for the restore, <= 1.15 "
                                "for the backup through faults (against the clean backup's bytes)");
    benchmark::RegisterBenchmark("Backup", fetch)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
    benchmark::RegisterBenchmark("BackupThroughFaults", faultyFetch)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kSecond);
    benchmark::RegisterBenchmark("Restore", restore)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kSecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
