#pragma once

#include "zaltor/MidiTransport.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

// Where received messages wait for the host thread. Transports push from their own threads;
// the host drains, or waits for the answer to a request while handing everything else on.
class MidiInbox {
public:
    void push(MidiBytes message);
    std::optional<MidiBytes> pop();
    std::vector<MidiBytes> drain();
    std::size_t size() const;
    void clear();

    // Takes messages in arrival order until `accept` takes one (stored in *out, which may be null)
    // or timeoutMs have passed on the current clock. Messages not accepted are consumed: they go
    // to `other` when given, so nothing that arrives during a request is lost unnoticed.
    // `abandon`, when given, is asked at least once a second whether waiting still makes sense
    // (a port that disappeared will never deliver); answering true ends the wait unsuccessfully.
    bool waitFor(const std::function<bool(const MidiBytes&)>& accept, int timeoutMs, MidiBytes* out,
                 const std::function<void(const MidiBytes&)>& other = {},
                 const std::function<bool()>& abandon = {});

private:
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<MidiBytes> queue_;
};
