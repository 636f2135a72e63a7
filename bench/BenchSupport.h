#pragma once
// What the file benchmarks share: running a program for its wall time, and running a piece of
// the library in a child process, so that its peak resident size is its own and not the
// generator's or another measurement's.
#include "CliApp.h"

#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace bench {

namespace fs = std::filesystem;

inline double seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// Runs a program and answers its wall time, or a negative time when it failed.
inline double run(std::vector<std::string> args)
{
    // What the parent printed must not be printed again by the child.
    std::fflush(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const double elapsed = seconds(std::chrono::steady_clock::now() - start);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? elapsed : -1.0;
}

struct ChildRun {
    bool ok = false;
    double seconds = 0;
    // The child's peak resident size.
    double peakBytes = 0;
};

// Runs `work` in a fresh child process; it answers whether it succeeded. The child starts with the
// parent's resident pages, so the parent should hold nothing large when it calls this.
inline ChildRun inChild(const std::function<bool()>& work)
{
    // What the parent printed must not be printed again by the child.
    std::fflush(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const bool ok = work();
        std::fflush(stdout);
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    ChildRun result;
    result.seconds = seconds(std::chrono::steady_clock::now() - start);
    // ru_maxrss is in KiB on Linux.
    result.peakBytes = double(usage.ru_maxrss) * 1024.0;
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

// As inChild, but the time is the one `work` measures itself (into its argument), so that what
// the child does after its measured part (freeing what it held, exiting) is not counted.
inline ChildRun timedInChild(const std::function<bool(double&)>& work)
{
    void* shared = mmap(nullptr, sizeof(double), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED) return {};
    auto* measured = static_cast<double*>(shared);
    *measured = 0;
    ChildRun run = inChild([&] { return work(*measured); });
    run.seconds = *measured;
    munmap(shared, sizeof(double));
    return run;
}

// The run of median time of three runs of timedInChild(work).
inline ChildRun medianTimedChild(const std::function<bool(double&)>& work)
{
    std::vector<ChildRun> runs;
    for (int i = 0; i < 3; ++i) {
        // What the run before freed is committed (and discarded, on a disk mounted so) first.
        run({"sync"});
        runs.push_back(timedInChild(work));
    }
    std::sort(runs.begin(), runs.end(),
              [](const ChildRun& a, const ChildRun& b) { return a.seconds < b.seconds; });
    return runs[1];
}

struct CopyReference {
    double cp = 0;     // median of three copies, the page cache warm
    double cpSync = 0; // one copy flushed to the disk, as the library's store is
};

inline CopyReference copyReference(const fs::path& original, const fs::path& copied)
{
    run({"sync"});
    // The first copy warms the page cache for every run after it.
    run({"cp", original.string(), copied.string()});
    std::vector<double> times;
    for (int i = 0; i < 3; ++i) {
        fs::remove(copied);
        times.push_back(run({"cp", original.string(), copied.string()}));
    }
    std::sort(times.begin(), times.end());
    fs::remove(copied);
    CopyReference reference;
    reference.cp = times[1];
    run({"sync"});
    reference.cpSync = run({"cp", original.string(), copied.string()}) + run({"sync", copied.string()});
    fs::remove(copied);
    return reference;
}

// False, with a message, when the folder cannot hold `factor` times `bytes`.
inline bool roomFor(const fs::path& dir, double bytes, double factor, const char* program)
{
    if (double(fs::space(dir).available) >= factor * bytes) return true;
    std::fprintf(stderr, "%s: %s has less than %.1f GiB free\n", program, dir.c_str(),
                 factor * bytes / (1 << 30));
    return false;
}

// The median wall time of three runs of a program, after one that warms the page cache.
inline double medianRun(const std::vector<std::string>& args)
{
    run(args);
    std::vector<double> times;
    for (int i = 0; i < 3; ++i) times.push_back(run(args));
    std::sort(times.begin(), times.end());
    return times[1];
}

// The command line as a user runs it, in-process; its output is kept, not printed, and a failure
// is reported. True when the command succeeded.
inline bool runCli(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int code = CliApp().run(args, out, err);
    if (code != 0) std::printf("  %s failed: %s\n", args[1].c_str(), err.str().c_str());
    return code == 0;
}

// The run of median time of three runs of work(0), work(1), work(2) in children, after one of
// work(3) that warms the caches, as medianRun does for the programs they are measured against.
inline ChildRun medianChild(const std::function<bool(int)>& work)
{
    inChild([&] { return work(3); });
    std::vector<ChildRun> runs;
    for (int i = 0; i < 3; ++i) runs.push_back(inChild([&] { return work(i); }));
    std::sort(runs.begin(), runs.end(),
              [](const ChildRun& a, const ChildRun& b) { return a.seconds < b.seconds; });
    return runs[1];
}

// One row of a benchmark's table of ratios against the targets it must meet.
inline bool ratioRow(const char* measure, double ratio, double target)
{
    const bool met = ratio <= target;
    std::printf("| %-62s | %7.3f | <= %-4g | %-6s |\n", measure, ratio, target, met ? "met" : "MISSED");
    return met;
}

inline void ratioHeader()
{
    std::printf("| %-62s | %7s | %-7s | %-6s |\n", "measure", "ratio", "target", "");
    std::printf("|%s|%s|%s|%s|\n", std::string(64, '-').c_str(), std::string(9, '-').c_str(),
                std::string(9, '-').c_str(), std::string(8, '-').c_str());
}

inline double mib(double bytes) { return bytes / (1 << 20); }

inline void printRatios(const ChildRun& loadStore, const CopyReference& reference, double fileSize)
{
    std::printf("cp: %.3f s (median of 3), cp + fsync: %.3f s\n", reference.cp, reference.cpSync);
    std::printf("load + store: %.3f s\n", loadStore.seconds);
    std::printf("time(load+store) / time(cp)         = %.2f (target <= 1.5)\n",
                loadStore.seconds / reference.cp);
    std::printf("time(load+store) / time(cp + fsync) = %.2f\n", loadStore.seconds / reference.cpSync);
    std::printf("peak RSS / file size                = %.2f (%.2f GiB; target <= 1.1)\n",
                loadStore.peakBytes / fileSize, loadStore.peakBytes / (1 << 30));
}

struct Options {
    std::uint64_t mib = 1024;
    fs::path dir = fs::temp_directory_path();
    // Leaves the generated files behind, for a profiler.
    bool keep = false;
};

// --mib=N and --dir=FOLDER; false, with the usage, for anything else.
inline bool parseOptions(int argc, char** argv, const char* program, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--mib=", 6) == 0)
            options.mib = std::strtoull(argv[i] + 6, nullptr, 10);
        else if (std::strncmp(argv[i], "--dir=", 6) == 0)
            options.dir = argv[i] + 6;
        else if (std::strcmp(argv[i], "--keep") == 0)
            options.keep = true;
        else {
            std::fprintf(stderr, "usage: %s [--mib=N] [--dir=FOLDER] [--keep]\n", program);
            return false;
        }
    }
    return true;
}

// Loads a document with `load(document, path)` and stores it, in a child that reports both times.
template <class DocumentType, class Load>
ChildRun loadAndStore(const fs::path& in, const fs::path& out, Load load)
{
    return inChild([&] {
        const auto t0 = std::chrono::steady_clock::now();
        DocumentType document;
        const bool loaded = load(document, QString::fromStdString(in.string()));
        const auto t1 = std::chrono::steady_clock::now();
        const bool stored = loaded && document.storeFile(QString::fromStdString(out.string()));
        const auto t2 = std::chrono::steady_clock::now();
        std::printf("  load %.3f s, store %.3f s%s%s\n", seconds(t1 - t0), seconds(t2 - t1),
                    stored ? "" : ": ", stored ? "" : document.errorText().toLocal8Bit().constData());
        return stored;
    });
}

// Measures the load and store of `original` against cp and prints the ratios; true when the
// stored file is the original byte for byte.
template <class DocumentType, class Load>
bool compareWithCopy(const fs::path& original, const fs::path& work, Load load)
{
    const double size = double(fs::file_size(original));
    const CopyReference reference = copyReference(original, work / "copied");
    const fs::path stored = work / "stored";
    const ChildRun measured = loadAndStore<DocumentType>(original, stored, load);
    const bool same = measured.ok && run({"cmp", "-s", original.string(), stored.string()}) >= 0;
    std::printf("output %s\n", !measured.ok ? "FAILED"
                               : same       ? "identical to the input"
                                            : "DIFFERS from the input");
    printRatios(measured, reference, size);
    return same;
}

} // namespace bench
