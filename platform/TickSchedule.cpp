#include "platform/TickSchedule.h"

namespace platform {
namespace {

// A whole number of milliseconds not shorter than the duration, so a wait never ends early.
std::chrono::milliseconds CeilMs(TickSchedule::Clock::duration d)
{
    auto ms = std::chrono::ceil<std::chrono::milliseconds>(d);
    return ms.count() < 0 ? std::chrono::milliseconds(0) : ms;
}

} // namespace

TickSchedule::TickSchedule(Clock::time_point start, std::chrono::milliseconds interval)
    : m_start(start), m_interval(interval.count() > 0 ? interval : std::chrono::milliseconds(1))
{
}

TickSchedule::Wake TickSchedule::OnWake(Clock::time_point now)
{
    if (now < Deadline(m_next))
        return {false, CeilMs(Deadline(m_next) - now)};
    // The next deadline still ahead: skipped ones are not made up for.
    long long passed = (now - m_start) / m_interval;
    m_next = passed + 1;
    return {true, CeilMs(Deadline(m_next) - now)};
}

} // namespace platform
