// A repeating timer that does not drift: a single-shot precise Qt timer re-armed for each next
// deadline of a TickSchedule.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>

#include "platform/TickSchedule.h"

namespace platform {

class PreciseTimer : public QObject
{
    Q_OBJECT
public:
    PreciseTimer(std::chrono::milliseconds interval, std::function<void()> onTick,
                 QObject* parent = nullptr);

    void Start();
    void Stop();
    bool IsActive() const { return m_timer.isActive(); }

private:
    void OnTimeout();

    QTimer m_timer;
    std::chrono::milliseconds m_interval;
    std::function<void()> m_onTick;
    std::optional<TickSchedule> m_schedule;
};

} // namespace platform
