// Load and store of a library of about 1 GiB made of large opaque waveform items, against the
// cost of copying the same file with cp in the same run. The library classes read the file
// whole and write it through a temporary file that is flushed to the disk before the rename, so
// cp (which does not flush) and cp followed by an fsync of the copy are both given as references.
// Peak memory is measured for the load and store alone, in a child process, against the file
// size.
//   build-bench/bin/bench_ysfc [--mib=N] [--dir=FOLDER]
#include "BenchSupport.h"
#include "core/Archive.h"
#include "motif/documents/XS_Document.h"
#include "motif/documents/XS_Entry.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kItemSize = 16u << 20;

void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(value >> shift));
}

void putId(std::vector<std::uint8_t>& out, const char* id)
{
    // Byte by byte: GCC 12 mistakes a range insert after clear() for an overflow.
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(id[i]));
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

// Loads and stores in a child, which reports the two times itself.
bench::ChildRun loadAndStore(const fs::path& in, const fs::path& out)
{
    return bench::inChild([&] {
        const auto t0 = std::chrono::steady_clock::now();
        XS_Document document;
        const bool loaded = document.loadFile(QString::fromStdString(in.string()));
        const auto t1 = std::chrono::steady_clock::now();
        const bool stored = loaded && document.storeFile(QString::fromStdString(out.string()));
        const auto t2 = std::chrono::steady_clock::now();
        std::printf("  load %.3f s, store %.3f s%s%s\n", bench::seconds(t1 - t0), bench::seconds(t2 - t1),
                    stored ? "" : ": ", stored ? "" : document.errorText().toLocal8Bit().constData());
        return stored;
    });
}

} // namespace

int main(int argc, char** argv)
{
    std::uint64_t mib = 1024;
    fs::path dir = fs::temp_directory_path();
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--mib=", 6) == 0)
            mib = std::strtoull(argv[i] + 6, nullptr, 10);
        else if (std::strncmp(argv[i], "--dir=", 6) == 0)
            dir = argv[i] + 6;
        else {
            std::fprintf(stderr, "usage: bench_ysfc [--mib=N] [--dir=FOLDER]\n");
            return 2;
        }
    }
    const std::uint32_t items = std::uint32_t(std::clamp<std::uint64_t>(mib / 16, 1, 255));
    const double approxBytes = double(items) * double(kItemSize);
    // The original, the cp copy and the library's copy with its temporary file.
    if (!bench::roomFor(dir, approxBytes, 3.5, "bench_ysfc")) return 1;
    const fs::path work = dir / ("bench_ysfc." + std::to_string(getpid()));
    fs::create_directories(work);
    const fs::path original = work / "library.X3W";
    const fs::path copied = work / "copied.X3W";
    const fs::path stored = work / "stored.X3W";

    int result = 1;
    if (generate(original, items)) {
        const double size = double(fs::file_size(original));
        std::printf("file: %.2f GiB, %u data items of %u MiB\n", size / (1 << 30), items, kItemSize >> 20);
        const bench::CopyReference reference = bench::copyReference(original, copied);
        const bench::ChildRun measured = loadAndStore(original, stored);
        const bool same = measured.ok && bench::run({"cmp", "-s", original.string(), stored.string()}) >= 0;
        std::printf("output %s\n", !measured.ok ? "FAILED"
                                   : same       ? "identical to the input"
                                                : "DIFFERS from the input");
        bench::printRatios(measured, reference, size);
        const bool ok = measured.ok;
        result = ok && same ? 0 : 1;
    } else {
        std::fprintf(stderr, "bench_ysfc: cannot write %s\n", original.c_str());
    }
    fs::remove_all(work);
    return result;
}
