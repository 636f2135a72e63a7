#include "emulator/DelayLine.h"

#include <algorithm>

DelayLine::DelayLine(Send send) : send_(std::move(send)), thread_([this] { run(); }) {}

DelayLine::~DelayLine()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void DelayLine::post(MidiBytes bytes, int delayMs)
{
    {
        std::lock_guard lock(mutex_);
        last_ = std::max(last_, std::chrono::steady_clock::now() + std::chrono::milliseconds(delayMs));
        queue_.emplace_back(last_, std::move(bytes));
    }
    wake_.notify_all();
}

void DelayLine::run()
{
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (queue_.empty()) {
            wake_.wait(lock);
            continue;
        }
        if (wake_.wait_until(lock, queue_.front().first) == std::cv_status::no_timeout) continue;
        if (stopping_ || queue_.empty()) continue;
        MidiBytes bytes = std::move(queue_.front().second);
        queue_.pop_front();
        lock.unlock();
        send_(bytes);
        lock.lock();
    }
}
