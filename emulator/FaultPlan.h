#pragma once

#include "zaltor/MidiTransport.h"

#include <cstdint>
#include <vector>

// How unreliable the instrument's cable is: each probability is per outgoing message, except
// truncate, which is per bulk reply.
struct FaultSettings {
    int latencyMs = 0;
    int jitterMs = 0;
    double drop = 0;
    double corrupt = 0;
    double duplicate = 0;
    double truncate = 0;
    std::uint64_t seed = 1;

    bool delays() const { return latencyMs > 0 || jitterMs > 0; }
};

// splitmix64: the same numbers from the same seed on every standard library, which the
// distributions of <random> do not promise.
class FaultRandom {
public:
    explicit FaultRandom(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    // Uniform in [0, 1).
    double unit();
    // Uniform in [0, n); n > 0.
    std::uint64_t below(std::uint64_t n);
    // True with probability p; draws nothing when p is 0, so that a fault that is off does not
    // change the decisions of the others.
    bool chance(double p) { return p > 0 && unit() < p; }

private:
    std::uint64_t state_;
};

// Decides, message by message and repeatably for a seed, what the cable does to the instrument's
// replies: drops one, flips a bit of one data byte (so that a checksum fails), sends one twice,
// delays one, or leaves out one block of a bulk.
class FaultPlan {
public:
    struct Sending {
        MidiBytes bytes;
        int delayMs = 0;
        bool operator==(const Sending&) const = default;
    };
    struct Counts {
        int dropped = 0;
        int corrupted = 0;
        int duplicated = 0;
        int truncated = 0;
    };

    explicit FaultPlan(const FaultSettings& settings) : settings_(settings), random_(settings.seed) {}

    // What reaches the cable of the replies to one message, in order. A bulk (header, blocks,
    // footer) is one such batch.
    std::vector<Sending> shape(std::vector<MidiBytes> replies);
    const FaultSettings& settings() const { return settings_; }
    Counts counts() const { return counts_; }

private:
    void corrupt(MidiBytes& bytes);

    FaultSettings settings_;
    FaultRandom random_;
    Counts counts_;
};
