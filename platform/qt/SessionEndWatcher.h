// The end of the desktop session reaches a Linux program as SIGTERM, SIGHUP or SIGINT. The
// handler only writes to a pipe; the event loop reads it and calls back, so the program can end
// its modal runs and save its settings as after Close. A second signal of the same kind ends
// the process the default way, for a program that no longer answers.
#pragma once

#include <QObject>
#include <csignal>
#include <functional>

class QSocketNotifier;

namespace platform {

class SessionEndWatcher : public QObject
{
    Q_OBJECT
public:
    explicit SessionEndWatcher(std::function<void()> onSessionEnd, QObject* parent = nullptr);
    ~SessionEndWatcher() override;
    SessionEndWatcher(const SessionEndWatcher&) = delete;
    SessionEndWatcher& operator=(const SessionEndWatcher&) = delete;

    // False when the signals could not be taken over (another watcher has them, or no pipe).
    bool IsActive() const { return m_active; }

private:
    void OnReadable();

    std::function<void()> m_onSessionEnd;
    QSocketNotifier* m_notifier = nullptr;
    int m_readFd = -1;
    int m_writeFd = -1;
    bool m_active = false;
    struct sigaction m_previous[3] = {};
};

} // namespace platform
