// What a musician does with a Motif XF voice-and-waveform library of about 1 GiB (every one of
// the 4224 waveform slots with sample data, 512 voices playing them), against what the system
// takes to read or copy the same bytes, measured in the same run: listing it ('motif x0v info'
// against cat), renaming one voice ('motif x0v rename', which stores the library, against cp and
// an fsync), loading and storing it whole, and importing a quarter of its size in WAV files into
// an empty library (against copying those files and an fsync). Peak memory is measured against
// the file size. Each measurement runs in a child process of its own.
//   build/bin/bench_x0v [--mib=N] [--dir=FOLDER] [--keep]
#include "BenchSupport.h"
#include "motif/documents/X0V_Document.h"
#include "motif/documents/XS_Keybank.h"
#include "motif/documents/XS_Voice.h"
#include "motif/documents/XS_VoiceBank.h"
#include "motif/documents/XS_WaveBank.h"
#include "motif/documents/XS_Waveform.h"
#include "motif/librarian/X0vLibrary.h"
#include "motif/librarian/X0vSlots.h"

#include <QCoreApplication>

#include <cstring>
#include <sstream>

namespace {

namespace fs = std::filesystem;

constexpr int XfType = 6;
constexpr int WaveSlots = 4224;
constexpr int VoiceBanks = 4;

// Every waveform gets one mono key bank of noise-like 16-bit frames, so that nothing compresses
// or is stored sparsely; every voice plays eight waveforms spread over the three banks.
bool generate(const fs::path& path, std::uint64_t bytesPerWave)
{
    X0V_Document document;
    document.newDocument(XfType);
    document.initSlots(XfType);
    const QString model = document.model();
    int id = 0;
    for (int bank = 1; bank <= 3; ++bank) {
        for (const auto& waveform : document.waves().getBank(bank)->waveforms()) {
            ++id;
            waveform->setName(QStringLiteral("Wave %1").arg(id));
            auto keybank = std::make_unique<XS_Keybank>();
            keybank->left().allocate(int(bytesPerWave & ~std::uint64_t(1)));
            std::uint8_t* bytes = keybank->left().data();
            std::uint32_t seed = std::uint32_t(id);
            for (std::uint64_t k = 0; k < bytesPerWave / 2 * 2; ++k) {
                seed = seed * 1664525u + 1013904223u;
                bytes[k] = std::uint8_t(seed >> 24);
            }
            keybank->validateKeybank();
            waveform->addKeybank(std::move(keybank));
        }
    }
    int voiceNumber = 0;
    for (int bank = 0; bank < VoiceBanks; ++bank) {
        for (const auto& voice : document.voices().getBank(Bank(XS_Voice::FirstUserBank + bank))->voices()) {
            voice->initVoice();
            voice->setName(QStringLiteral("Voice %1").arg(++voiceNumber));
            for (int element = 0; element < 8; ++element) {
                voice->setElementUsed(element, true);
                voice->setElementWaveform(model, element, 1 + (voiceNumber * 8 + element) * 37 % WaveSlots);
            }
        }
    }
    return document.storeFile(QString::fromStdString(path.string()));
}

// The command line as a user runs it, in a child; its listing is kept, not printed.
bench::ChildRun command(const std::vector<std::string>& args)
{
    return bench::medianChild([&](int) { return bench::runCli(args); });
}

// Renames the first voice of USER1 as the command line does (opened for an edit, renamed, stored
// atomically with its fsync), timing load, edit and store.
bench::ChildRun renameVoice(const fs::path& library)
{
    return bench::medianTimedChild([&](double& seconds) {
        const auto start = std::chrono::steady_clock::now();
        const QString path = QString::fromStdString(library.string());
        auto document = std::make_unique<X0V_Document>();
        QStringList repaired;
        QString label;
        const bool ok = X0vLibrary::openForEdit(*document, path, path, false, repaired).isEmpty() &&
                        X0vSlots::renameVoice(*document, "USER1:0", "Renamed", label).isEmpty() &&
                        X0vLibrary::save(*document, path).isEmpty();
        seconds = bench::seconds(std::chrono::steady_clock::now() - start);
        return ok;
    });
}

void put32le(std::FILE* file, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) std::fputc(int(value >> shift & 0xFF), file);
}

// 16-bit stereo WAV files of noise at 44100 Hz, `count` of `bytes` each, as a sampler exports.
std::vector<fs::path> writeWavs(const fs::path& dir, int count, std::uint32_t bytes)
{
    fs::create_directories(dir);
    std::vector<fs::path> paths;
    std::vector<std::uint8_t> data(bytes);
    for (int i = 0; i < count; ++i) {
        std::uint32_t seed = std::uint32_t(i + 1);
        for (std::uint8_t& byte : data) byte = std::uint8_t((seed = seed * 1664525u + 1013904223u) >> 24);
        const fs::path path = dir / ("sample" + std::to_string(i) + ".wav");
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) return {};
        std::fwrite("RIFF", 1, 4, file);
        put32le(file, 36 + bytes);
        std::fwrite("WAVEfmt ", 1, 8, file);
        for (std::uint32_t field : {16u, 1u | 2u << 16, 44100u, 44100u * 4, 4u | 16u << 16})
            put32le(file, field);
        std::fwrite("data", 1, 4, file);
        put32le(file, bytes);
        const bool written = std::fwrite(data.data(), 1, data.size(), file) == data.size();
        if (std::fclose(file) != 0 || !written) return {};
        paths.push_back(path);
    }
    return paths;
}

// Imports every file into the user waveform bank of a new XF library and stores it.
bool import(const std::vector<fs::path>& wavs, const fs::path& library)
{
    const auto start = std::chrono::steady_clock::now();
    X0V_Document document;
    document.newDocument(XfType);
    document.initSlots(XfType);
    for (std::size_t i = 0; i < wavs.size(); ++i)
        if (X0vSlots::importWave(document, 1, int(i), QString::fromStdString(wavs[i].string()), false)
                .added != 1)
            return false;
    const auto imported = std::chrono::steady_clock::now();
    const bool stored = document.storeFile(QString::fromStdString(library.string()));
    std::printf("  import %.3f s, store %.3f s\n", bench::seconds(imported - start),
                bench::seconds(std::chrono::steady_clock::now() - imported));
    return stored;
}

} // namespace

int main(int argc, char** argv)
{
    bench::Options options;
    if (!bench::parseOptions(argc, argv, "bench_x0v", options)) return 2;
    QCoreApplication application(argc, argv);
    const std::uint64_t bytesPerWave = std::max<std::uint64_t>(2, (options.mib << 20) / WaveSlots);
    const double approxBytes = double(bytesPerWave) * WaveSlots;
    if (!bench::roomFor(options.dir, approxBytes, 4.5, "bench_x0v")) return 1;
    const fs::path work = options.dir / ("bench_x0v." + std::to_string(getpid()));
    fs::create_directories(work);
    const fs::path original = work / "library.X0W";

    bool ok = false;
    // The generator holds the whole library: it runs in a child, so that the measurements after it
    // start from a small parent.
    if (bench::inChild([&] { return generate(original, bytesPerWave); }).ok) {
        const double size = double(fs::file_size(original));
        std::printf("file: %.2f GiB, %d waveforms of %.0f KiB, %d voices\n", size / (1 << 30), WaveSlots,
                    double(bytesPerWave) / 1024, VoiceBanks * 128);
        const bool same = bench::compareWithCopy<X0V_Document>(
            original, work,
            [](X0V_Document& document, const QString& path) { return document.loadLibrary(path); });
        const bench::CopyReference copy = bench::copyReference(original, work / "copied");
        const double cat = bench::medianRun({"sh", "-c", "cat '" + original.string() + "' > /dev/null"});
        const bench::ChildRun listed = command({"x0v", "info", original.string()});
        const fs::path renamed = work / "renamed.X0W";
        fs::copy_file(original, renamed);
        // Files just written are flushed first, so that their writeback does not share the disk
        // with what is measured.
        bench::run({"sync"});
        const bench::ChildRun rename = renameVoice(renamed);
        // The command as a user runs it also closes the file it replaced, whose cached pages the
        // system then frees.
        const bench::ChildRun renameCommand =
            command({"x0v", "rename", renamed.string(), "--voice", "USER1:0", "Renamed again"});

        const auto wavBytes = std::uint32_t(std::min<std::uint64_t>(options.mib << 20, 1ull << 31) / 4 / 32);
        const std::vector<fs::path> wavs = writeWavs(work / "wavs", 32, wavBytes & ~3u);
        bench::run({"sync"});
        const double cpWavs =
            bench::run({"cp", "-r", (work / "wavs").string(), (work / "wavs-copied").string()}) +
            bench::run({"sh", "-c", "sync '" + (work / "wavs-copied").string() + "'/*"});
        bench::run({"sync"});
        const bench::ChildRun imported = bench::inChild([&] { return import(wavs, work / "imported.X0W"); });

        std::printf("cat: %.3f s, cp: %.3f s, cp + fsync: %.3f s\n", cat, copy.cp, copy.cpSync);
        std::printf("x0v info: %.3f s, %.1f MiB peak\n", listed.seconds, bench::mib(listed.peakBytes));
        std::printf("voice rename (load, edit, store, fsync): %.3f s, %.1f MiB peak; 'motif x0v rename' "
                    "until it exits: %.3f s, %.1f MiB peak\n",
                    rename.seconds, bench::mib(rename.peakBytes), renameCommand.seconds,
                    bench::mib(renameCommand.peakBytes));
        std::printf("import of %zu WAV files (%.0f MiB): %.3f s; cp + fsync of them: %.3f s\n", wavs.size(),
                    bench::mib(double(wavBytes) * 32), imported.seconds, cpWavs);
        bench::ratioHeader();
        bool met = bench::ratioRow("x0v info time / cat time", listed.seconds / cat, 0.2);
        met &= bench::ratioRow("x0v info peak RSS / file size", listed.peakBytes / size, 0.05);
        met &= bench::ratioRow("voice rename peak RSS / file size",
                               std::max(rename.peakBytes, renameCommand.peakBytes) / size, 0.05);
        met &= bench::ratioRow("voice rename (load, edit, store, fsync) / (cp + fsync)",
                               rename.seconds / copy.cpSync, 1.2);
        met &= bench::ratioRow("import of WAV files / (cp of them + fsync)", imported.seconds / cpWavs, 3);
        std::printf("%s\n", met ? "every target met" : "targets MISSED");
        ok = same && listed.ok && rename.ok && renameCommand.ok && imported.ok && !wavs.empty();
    } else {
        std::fprintf(stderr, "bench_x0v: cannot write %s\n", original.c_str());
    }
    if (!options.keep) fs::remove_all(work);
    return ok ? 0 : 1;
}
