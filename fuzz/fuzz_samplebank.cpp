// Multi-sample banks (SF2, DLS, GIG) are files the user picks. The library that parses them trusts
// its files and crashes on some, so each bank is read in a child process; whatever the bytes, the
// parent must end with an error or with instruments whose samples lie inside what they hold. A
// process per input makes this target slow, so it takes only what the library could read: RIFF.
#include "SampleChecks.h"

#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <unistd.h>

// The child is a copy of this process, and copying is what each input costs; the sanitizer's
// quarantine of freed memory would be most of what is copied.
extern "C" const char* __asan_default_options()
{
    return "quarantine_size_mb=16";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4 || (std::memcmp(data, "RIFF", 4) != 0 && std::memcmp(data, "RIFX", 4) != 0)) return 0;
    static const QString path = QDir::temp().filePath(QString("fuzz_samplebank-%1").arg(getpid()));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    SampleFile bank;
    QString error;
    samplefuzz::check(bank.fromFile(path, &error), bank.instruments, error);
    QFile::remove(path);
    return 0;
}
