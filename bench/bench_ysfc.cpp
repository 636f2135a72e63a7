// 'motif ysfc copy' of a container of about 512 MiB made of large opaque waveform items, against
// copying the same file with cp in the same run. The copy writes a temporary file that is
// flushed to the disk before the rename, so cp followed by an fsync of the copy is the
// reference, and cp alone is shown beside it. Peak memory of the copy, in a child process of its
// own, is measured against the file size; the copy must be the original byte for byte.
//   build/bin/bench_ysfc [--mib=N] [--dir=FOLDER] [--keep]
#include "BenchSupport.h"
#include "core/Archive.h"
#include "motif/documents/XS_Document.h"
#include "motif/documents/XS_Entry.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kItemSize = 16u << 20;

void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(std::uint8_t(value >> shift));
}

void putId(std::vector<std::uint8_t>& out, const char* id)
{
    // Byte by byte: GCC 12 mistakes a range insert after clear() for an overflow.
    for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(id[i]));
}

// Writes the file piece by piece, so that the generator never holds it: header, catalogue, the
// waveform-image entries, then the data chunk of `items` blocks of 16 MiB.
bool generate(const fs::path& path, std::uint32_t items)
{
    std::vector<std::uint8_t> entries;
    for (std::uint32_t i = 0; i < items; ++i) {
        XS_Entry entry;
        entry.data_size = std::int32_t(kItemSize);
        entry.data_offset = std::int32_t(12 + i * (kItemSize + 8));
        entry.content_number = std::int32_t(i + 1);
        entry.content_name = QStringLiteral("0:Wave %1").arg(i + 1);
        entry.filename = QString::asprintf("%04u-Waveform.wim", i + 1);
        Archive record;
        entry.toArchive(QStringLiteral("Motif XF"), record);
        putId(entries, "Entr");
        entries.insert(entries.end(), record.bytes().begin(), record.bytes().end());
    }
    std::vector<std::uint8_t> head;
    const char signature[16] = "YAMAHA-YSFC";
    const char version[16] = "1.0.2";
    head.insert(head.end(), signature, signature + 16);
    head.insert(head.end(), version, version + 16);
    put32(head, 16);
    head.insert(head.end(), 28, 0xFF);
    const std::uint32_t ewim = 0x50;
    const std::uint32_t dwim = ewim + 12 + std::uint32_t(entries.size());
    putId(head, "EWIM");
    put32(head, ewim);
    putId(head, "DWIM");
    put32(head, dwim);
    putId(head, "EWIM");
    put32(head, 4 + std::uint32_t(entries.size()));
    put32(head, items);
    head.insert(head.end(), entries.begin(), entries.end());
    putId(head, "DWIM");
    put32(head, 4 + items * (8 + kItemSize));
    put32(head, items);

    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(head.data(), 1, head.size(), file) == head.size();
    std::vector<std::uint8_t> block(8 + kItemSize);
    for (std::uint32_t i = 0; ok && i < items; ++i) {
        block.clear();
        putId(block, "Data");
        put32(block, kItemSize);
        // Sample-like bytes that differ per item: nothing a file system could store sparsely.
        for (std::uint32_t k = 0; k < kItemSize; ++k)
            block.push_back(std::uint8_t((k * 2654435761u + i) >> 13));
        ok = std::fwrite(block.data(), 1, block.size(), file) == block.size();
    }
    return std::fclose(file) == 0 && ok;
}

} // namespace

int main(int argc, char** argv)
{
    bench::Options options;
    options.mib = 512;
    if (!bench::parseOptions(argc, argv, "bench_ysfc", options)) return 2;
    QCoreApplication application(argc, argv);
    const std::uint32_t items = std::uint32_t(std::clamp<std::uint64_t>(options.mib / 16, 1, 255));
    const double approxBytes = double(items) * double(kItemSize);
    // The original, the cp copy and the library's four copies.
    if (!bench::roomFor(options.dir, approxBytes, 6.5, "bench_ysfc")) return 1;
    const fs::path work = options.dir / ("bench_ysfc." + std::to_string(getpid()));
    fs::create_directories(work);
    const fs::path original = work / "library.X3W";

    bool ok = false;
    if (generate(original, items)) {
        const double size = double(fs::file_size(original));
        std::printf("file: %.2f GiB, %u data items of %u MiB\n", size / (1 << 30), items, kItemSize >> 20);
        const bench::CopyReference copy = bench::copyReference(original, work / "copied");
        // Each run writes a new file, as cp does: replacing one would add the freeing of the old.
        const auto copied = [&](int run) { return work / ("copy" + std::to_string(run) + ".X3W"); };
        const bench::ChildRun ysfcCopy = bench::medianChild([&](int run) {
            return bench::runCli({"ysfc", "copy", original.string(), copied(run).string()});
        });
        const bool same =
            ysfcCopy.ok && bench::run({"cmp", "-s", original.string(), copied(0).string()}) >= 0;
        std::printf("cp: %.3f s, cp + fsync: %.3f s\n", copy.cp, copy.cpSync);
        std::printf("ysfc copy: %.3f s, %.1f MiB peak, output %s\n", ysfcCopy.seconds,
                    bench::mib(ysfcCopy.peakBytes),
                    same ? "identical to the input" : "DIFFERS from the input");
        bench::ratioHeader();
        bool met = bench::ratioRow("ysfc copy + fsync / (cp + fsync)", ysfcCopy.seconds / copy.cpSync, 1.2);
        met &= bench::ratioRow("ysfc copy peak RSS / file size", ysfcCopy.peakBytes / size, 0.05);
        std::printf("%s\n", met ? "every target met" : "targets MISSED");
        ok = same;
    } else {
        std::fprintf(stderr, "bench_ysfc: cannot write %s\n", original.c_str());
    }
    if (!options.keep) fs::remove_all(work);
    return ok ? 0 : 1;
}
