#include "zaltor/WireModel.h"

#include "core/Clock.h"

bool WireModel::send(std::span<const std::uint8_t> message)
{
    const std::int64_t us = static_cast<std::int64_t>(message.size()) * kByteUs;
    bytesSent_ += message.size();
    wireTimeUs_ += us;
    owedUs_ += us;
    const std::int64_t wholeMs = owedUs_ / 1000;
    if (wholeMs > 0) {
        owedUs_ -= wholeMs * 1000;
        Clock::current().sleepMs(static_cast<int>(wholeMs));
    }
    return inner_.send(message);
}
