// Load and store of a library of about 1 GiB made of large opaque waveform items, against the
// cost of copying the same file with cp in the same run. The library classes write through a
// temporary file that is flushed to the disk before the rename, so cp (which does not flush) and
// cp followed by an fsync of the copy are both given as references.
// Peak memory is measured for the load and store alone, in a child process, against the file
// size.
//   build-bench/bin/bench_ysfc [--mib=N] [--dir=FOLDER] [--keep]
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
    if (!bench::parseOptions(argc, argv, "bench_ysfc", options)) return 2;
    const std::uint32_t items = std::uint32_t(std::clamp<std::uint64_t>(options.mib / 16, 1, 255));
    const double approxBytes = double(items) * double(kItemSize);
    // The original, the cp copy and the library's copy with its temporary file.
    if (!bench::roomFor(options.dir, approxBytes, 3.5, "bench_ysfc")) return 1;
    const fs::path work = options.dir / ("bench_ysfc." + std::to_string(getpid()));
    fs::create_directories(work);
    const fs::path original = work / "library.X3W";

    bool same = false;
    if (generate(original, items)) {
        std::printf("file: %.2f GiB, %u data items of %u MiB\n", double(fs::file_size(original)) / (1 << 30),
                    items, kItemSize >> 20);
        same = bench::compareWithCopy<XS_Document>(
            original, work,
            [](XS_Document& document, const QString& path) { return document.loadFile(path); });
    } else {
        std::fprintf(stderr, "bench_ysfc: cannot write %s\n", original.c_str());
    }
    if (!options.keep) fs::remove_all(work);
    return same ? 0 : 1;
}
