#include "platform/qt/PreciseTimer.h"

namespace platform {

PreciseTimer::PreciseTimer(std::chrono::milliseconds interval, std::function<void()> onTick,
                           QObject* parent)
    : QObject(parent), m_interval(interval), m_onTick(std::move(onTick))
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PreciseTimer::OnTimeout);
}

void PreciseTimer::Start()
{
    m_schedule.emplace(TickSchedule::Clock::now(), m_interval);
    m_timer.start(m_schedule->FirstDelay());
}

void PreciseTimer::Stop()
{
    m_timer.stop();
    m_schedule.reset();
}

void PreciseTimer::OnTimeout()
{
    if (!m_schedule)
        return;
    TickSchedule::Wake wake = m_schedule->OnWake(TickSchedule::Clock::now());
    // Armed before the tick runs, so that ticks go on inside a nested loop the handler opens;
    // the handler may stop the timer.
    m_timer.start(wake.delay);
    if (wake.tick && m_onTick)
        m_onTick();
}

} // namespace platform
