#pragma once

#include <QByteArray>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

class Sample;

// The chunks that carry a sample's instrument settings in audio files, which the audio library
// does not handle itself: WAV "smpl" and "inst", AIFF "INST" and "MARK", and "zltr" with what
// neither has a field for (volume, pan, coarse tune, sample start).
class SampleChunks {
public:
    enum Container { Wav, Aiff };

    struct Chunk {
        QByteArray id;
        std::vector<std::uint8_t> data;
    };
    // The bytes of a chunk of the file (at most what its reader asks for), empty when absent.
    using Lookup = std::function<std::vector<std::uint8_t>(const QByteArray& id)>;

    static std::vector<Chunk> write(const Sample& sample, Container container);
    // Sets the sample's settings from the chunks that are there and complete; settings without
    // a chunk keep their values.
    static void read(Sample& sample, Container container, const Lookup& lookup);

    // Largest part of a chunk that read() looks at; the rest of a chunk is never loaded.
    static constexpr std::size_t MaxChunkBytes = 4096;

private:
    static void readWav(Sample& sample, const Lookup& lookup);
    static void readAiff(Sample& sample, const Lookup& lookup);
    static void readOwn(Sample& sample, std::span<const std::uint8_t> data);
};
