// When the ticks of a repeating timer are due: tick N at start + N * interval on a steady clock,
// so that lateness never adds up. A wake-up after several missed deadlines gives one tick, not a
// burst, and the next wait aims at the next deadline still ahead.
#pragma once

#include <chrono>
#include <cstdint>

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

// The timer rules every backend keeps, as Windows has them. Id 0 asks for a free id, never 0
// itself; setting an id that is in use replaces that timer.
template <class TimerMap> std::uintptr_t TimerKey(unsigned id, const TimerMap& timers)
{
    constexpr std::uintptr_t kFirstFreeTimerId = 0x10000;
    std::uintptr_t key = id;
    if (key == 0) {
        key = kFirstFreeTimerId;
        while (timers.count(key))
            ++key;
    }
    return key;
}

// No interval is shorter than 10 ms.
inline std::chrono::milliseconds TimerInterval(unsigned milliseconds)
{
    return std::chrono::milliseconds(milliseconds < 10u ? 10u : milliseconds);
}

} // namespace platform
