#include "zaltor/MidiInbox.h"

#include "core/Clock.h"

#include <algorithm>
#include <chrono>

void MidiInbox::push(MidiBytes message)
{
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(message));
    }
    arrived_.notify_all();
}

std::optional<MidiBytes> MidiInbox::pop()
{
    std::lock_guard lock(mutex_);
    if (queue_.empty()) return std::nullopt;
    MidiBytes message = std::move(queue_.front());
    queue_.pop_front();
    return message;
}

std::vector<MidiBytes> MidiInbox::drain()
{
    std::lock_guard lock(mutex_);
    std::vector<MidiBytes> messages(std::make_move_iterator(queue_.begin()),
                                    std::make_move_iterator(queue_.end()));
    queue_.clear();
    return messages;
}

std::size_t MidiInbox::size() const
{
    std::lock_guard lock(mutex_);
    return queue_.size();
}

void MidiInbox::clear()
{
    std::lock_guard lock(mutex_);
    queue_.clear();
}

bool MidiInbox::waitFor(const std::function<bool(const MidiBytes&)>& accept, int timeoutMs, MidiBytes* out,
                        const std::function<void(const MidiBytes&)>& other,
                        const std::function<bool()>& abandon)
{
    constexpr std::int64_t AbandonCheckMs = 1000;
    Clock& clock = Clock::current();
    // Real time may sleep on the condition and wake the moment a message lands; any other clock
    // only moves when polled, so it is polled.
    const bool realTime = dynamic_cast<SystemClock*>(&clock) != nullptr;
    const std::int64_t deadline = clock.nowMs() + timeoutMs;
    for (;;) {
        // Callbacks run without the lock, so they may push or wait themselves.
        while (std::optional<MidiBytes> message = pop()) {
            if (accept(*message)) {
                if (out) *out = std::move(*message);
                return true;
            }
            if (other) other(*message);
        }
        const std::int64_t left = deadline - clock.nowMs();
        if (left <= 0 || (abandon && abandon())) return false;
        if (realTime) {
            std::unique_lock lock(mutex_);
            arrived_.wait_for(lock, std::chrono::milliseconds(std::min(left, AbandonCheckMs)),
                              [this] { return !queue_.empty(); });
        } else {
            clock.idleMs(1);
        }
    }
}
