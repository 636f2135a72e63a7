// Load and store of a Motif XF voice-and-waveform library of about 1 GiB (every one of the 4224
// waveform slots with sample data, 512 voices playing them), against copying the same file with
// cp in the same run; peak memory of the load and store against the file size; and the time of
// 'motif x0v info' per GiB. Each measurement runs in a child process of its own.
//   build/bin/bench_x0v [--mib=N] [--dir=FOLDER]
#include "BenchSupport.h"
#include "CliApp.h"
#include "motif/documents/X0V_Document.h"
#include "motif/documents/XS_Keybank.h"
#include "motif/documents/XS_Voice.h"
#include "motif/documents/XS_VoiceBank.h"
#include "motif/documents/XS_WaveBank.h"
#include "motif/documents/XS_Waveform.h"

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

// The command line as a user runs it, in-process; its listing is kept, not printed.
bench::ChildRun info(const fs::path& library)
{
    return bench::inChild([&] {
        std::ostringstream out, err;
        const int code = CliApp().run({"x0v", "info", library.string()}, out, err);
        std::printf("  info: %zu bytes of listing%s%s\n", out.str().size(),
                    code == 0 ? "" : ", failed: ", err.str().c_str());
        return code == 0;
    });
}

} // namespace

int main(int argc, char** argv)
{
    bench::Options options;
    if (!bench::parseOptions(argc, argv, "bench_x0v", options)) return 2;
    QCoreApplication application(argc, argv);
    const std::uint64_t bytesPerWave = std::max<std::uint64_t>(2, (options.mib << 20) / WaveSlots);
    const double approxBytes = double(bytesPerWave) * WaveSlots;
    if (!bench::roomFor(options.dir, approxBytes, 3.5, "bench_x0v")) return 1;
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
        const bench::ChildRun listed = info(original);
        std::printf("info: %.0f ms per GiB%s\n", listed.seconds * 1000 / (size / (1 << 30)),
                    listed.ok ? "" : " (FAILED)");
        ok = same && listed.ok;
    } else {
        std::fprintf(stderr, "bench_x0v: cannot write %s\n", original.c_str());
    }
    fs::remove_all(work);
    return ok ? 0 : 1;
}
