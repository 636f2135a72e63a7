#include "emulator/FaultPlan.h"

#include <algorithm>

std::uint64_t FaultRandom::next()
{
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double FaultRandom::unit() { return double(next() >> 11) * 0x1.0p-53; }

std::uint64_t FaultRandom::below(std::uint64_t n) { return next() % n; }

std::vector<FaultPlan::Sending> FaultPlan::shape(std::vector<MidiBytes> replies)
{
    // A bulk is header, blocks and footer: only a block may go missing.
    if (replies.size() >= 3 && random_.chance(settings_.truncate)) {
        replies.erase(replies.begin() + std::ptrdiff_t(1 + random_.below(replies.size() - 2)));
        ++counts_.truncated;
    }
    std::vector<Sending> out;
    for (MidiBytes& bytes : replies) {
        if (random_.chance(settings_.drop)) {
            ++counts_.dropped;
            continue;
        }
        if (random_.chance(settings_.corrupt)) corrupt(bytes);
        const int copies = random_.chance(settings_.duplicate) ? 2 : 1;
        counts_.duplicated += copies - 1;
        for (int i = 0; i < copies; ++i) {
            int delay = settings_.latencyMs;
            if (settings_.jitterMs > 0)
                delay += int(random_.below(std::uint64_t(2 * settings_.jitterMs + 1))) - settings_.jitterMs;
            out.push_back({bytes, std::max(delay, 0)});
        }
    }
    return out;
}

void FaultPlan::corrupt(MidiBytes& bytes)
{
    // A bulk dump: a byte of its address, data or checksum, all of which the checksum covers (its
    // byte count is left alone: the message stays well-formed). Other SysEx: any byte after the
    // model id. Short messages: a data byte.
    std::size_t first = 1;
    std::size_t end = bytes.size();
    if (bytes.size() >= 7 && bytes.front() == 0xF0) {
        const bool bulk = bytes[1] == 0x43 && (bytes[2] & 0x70) == 0x00;
        first = bulk ? 7 : 5;
        end = bytes.size() - 1;
    }
    if (end <= first) return;
    bytes[first + random_.below(end - first)] ^= std::uint8_t(1u << random_.below(7));
    ++counts_.corrupted;
}
