#pragma once

#include "zaltor/MidiTransport.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// Sends messages later, on a thread of its own, so that a slow cable never holds up the thread
// that received the request. Messages leave in the order they were posted, as on a MIDI cable:
// one is never sent before an earlier one, whatever their delays.
class DelayLine {
public:
    using Send = std::function<void(const MidiBytes&)>;

    explicit DelayLine(Send send);
    // Messages still waiting are not sent.
    ~DelayLine();
    DelayLine(const DelayLine&) = delete;
    DelayLine& operator=(const DelayLine&) = delete;

    void post(MidiBytes bytes, int delayMs);

private:
    using Time = std::chrono::steady_clock::time_point;
    void run();

    Send send_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::pair<Time, MidiBytes>> queue_;
    Time last_{};
    bool stopping_ = false;
    std::thread thread_;
};
