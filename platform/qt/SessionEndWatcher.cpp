#include "platform/qt/SessionEndWatcher.h"

#include "platform/linux/LinuxOs.h"

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr int kSignals[3] = {SIGTERM, SIGHUP, SIGINT};

// The one write end the handler may use; a signal handler has no other way to find it.
std::atomic<int> g_signalWriteFd{-1};

extern "C" void OnSessionSignal(int signo)
{
    int saved = errno;
    // A launch waiting for the system learns of it at once, without the event loop.
    NoteSessionEnd();
    int fd = g_signalWriteFd.load();
    if (fd >= 0) {
        unsigned char byte = static_cast<unsigned char>(signo);
        [[maybe_unused]] ssize_t n = ::write(fd, &byte, 1);
    }
    errno = saved;
}

} // namespace

SessionEndWatcher::SessionEndWatcher(std::function<void()> onSessionEnd, QObject* parent)
    : QObject(parent), m_onSessionEnd(std::move(onSessionEnd))
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    int expected = -1;
    if (!g_signalWriteFd.compare_exchange_strong(expected, fds[1])) {
        ::close(fds[0]);
        ::close(fds[1]);
        return;
    }
    m_readFd = fds[0];
    m_writeFd = fds[1];
    m_notifier = new QSocketNotifier(m_readFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SessionEndWatcher::OnReadable);

    struct sigaction action = {};
    action.sa_handler = OnSessionSignal;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: the second signal of a kind takes its default action.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (int i = 0; i < 3; ++i)
        ::sigaction(kSignals[i], &action, &m_previous[i]);
    m_active = true;
}

SessionEndWatcher::~SessionEndWatcher()
{
    if (!m_active)
        return;
    for (int i = 0; i < 3; ++i)
        ::sigaction(kSignals[i], &m_previous[i], nullptr);
    g_signalWriteFd.store(-1);
    delete m_notifier;
    ::close(m_readFd);
    ::close(m_writeFd);
}

void SessionEndWatcher::OnReadable()
{
    unsigned char buffer[64];
    bool any = false;
    while (::read(m_readFd, buffer, sizeof buffer) > 0)
        any = true;
    if (any && m_onSessionEnd)
        m_onSessionEnd();
}

} // namespace platform
