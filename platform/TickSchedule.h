// When the ticks of a repeating timer are due: tick N at start + N * interval on a steady clock,
// so that lateness never adds up. A wake-up after several missed deadlines gives one tick, not a
// burst, and the next wait aims at the next deadline still ahead.
#pragma once

#include <chrono>

namespace platform {

class TickSchedule
{
public:
    using Clock = std::chrono::steady_clock;

    TickSchedule(Clock::time_point start, std::chrono::milliseconds interval);

    struct Wake
    {
        bool tick;                       // deliver a tick now
        std::chrono::milliseconds delay; // then wait this long before waking again
    };
    // Called whenever the timer wakes up.
    Wake OnWake(Clock::time_point now);

    // The wait from start to the first deadline.
    std::chrono::milliseconds FirstDelay() const { return m_interval; }
    // Index of the next deadline (1 for the first).
    long long NextIndex() const { return m_next; }

private:
    Clock::time_point Deadline(long long index) const { return m_start + index * m_interval; }

    Clock::time_point m_start;
    std::chrono::milliseconds m_interval;
    long long m_next = 1;
};

} // namespace platform
