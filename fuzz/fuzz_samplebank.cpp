// Multi-sample banks (SF2, DLS, GIG) are files the user picks. The library that parses them trusts
// its files: run in the fuzzer's own process it crashes within a few hundred inputs (the seed
// unknown_generator.sf2 crashes it at once), which is why the application reads each bank in a
// reader program of its own. This target reads banks as the application does, a process per input;
// whatever the bytes, the caller must end with an error or with instruments whose samples lie
// inside what they hold. Only RIFF files can be banks, so other inputs are not worth a process.
#include "SampleChecks.h"

#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <unistd.h>

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
