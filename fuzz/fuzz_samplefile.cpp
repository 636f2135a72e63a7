// Multi-sample banks and single audio files are files the user picks; whatever their bytes,
// reading them must end in an error or in samples whose loops, ranges and settings lie inside
// what the sample holds. The libraries read from paths, so each input goes through a file. The
// same bytes are also taken as the answer of a bank's reader process, which the parent must
// survive whatever a hijacked child sends.
#include "zaltor/SampleFile.h"
#include "zaltor/SampleFileMessage.h"

#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <unistd.h>

namespace {

bool inMidiRange(int value)
{
    return value >= 0 && value <= 127;
}

void check(const Sample& sample)
{
    const auto frames = std::uint32_t(sample.sampleLength());
    if (!sample.isValid() || sample.sampleStart > frames || sample.loopStart > frames ||
        sample.loopEnd > frames)
        __builtin_trap();
    if (sample.loopMode != Sample::LoopNone && sample.loopEnd <= sample.loopStart) __builtin_trap();
    for (int value : {sample.rootKey, sample.keyLow, sample.keyHigh, sample.velocityLow, sample.velocityHigh,
                      sample.volume, sample.pan, sample.coarseTune, sample.fineTune})
        if (!inMidiRange(value)) __builtin_trap();
}

void check(bool loaded, const Instruments& instruments, const QString& error)
{
    if (!loaded && (!instruments.isEmpty() || error.isEmpty())) __builtin_trap();
    for (const auto& instrument : instruments)
        for (const auto& sample : instrument->samples)
            check(*sample);
}

bool isRiff(const std::uint8_t* data, std::size_t size)
{
    return size >= 4 && (std::memcmp(data, "RIFF", 4) == 0 || std::memcmp(data, "RIFX", 4) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString path = QDir::temp().filePath(QString("fuzz_samplefile-%1").arg(getpid()));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    QString error;
    Instruments answer;
    check(SampleFileMessage::decode({data, size}, answer, error), answer, error);

    // The banks the reader process understands are RIFF files; for anything else a process per
    // input would only slow the search down.
    if (isRiff(data, size)) {
        SampleFile bank;
        check(bank.fromFile(path, &error), bank.instruments, error);
    }

    Sample sample;
    if (sample.fromFile(path, &error))
        check(sample);
    else if (sample.isValid() || error.isEmpty())
        __builtin_trap();
    QFile::remove(path);
    return 0;
}
