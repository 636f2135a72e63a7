// Single audio files are files the user picks; whatever their bytes, reading them must end in an
// error or in a sample whose loops, ranges and settings lie inside what it holds. The same bytes
// are also taken as the answer of a bank's reader program, which the caller must survive whatever
// a hijacked reader sends. The audio library reads from paths, so each input goes through a file.
#include "SampleChecks.h"
#include "zaltor/SampleFileMessage.h"

#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString path = QDir::temp().filePath(QString("fuzz_samplefile-%1").arg(getpid()));
    QString error;
    Instruments answer;
    samplefuzz::check(SampleFileMessage::decode({data, size}, answer, error), answer, error);

    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    Sample sample;
    if (sample.fromFile(path, &error))
        samplefuzz::check(sample);
    else if (sample.isValid() || error.isEmpty())
        __builtin_trap();
    QFile::remove(path);
    return 0;
}
