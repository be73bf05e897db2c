#include "platform/linux/Spawn.h"

#include "platform/Os.h"
#include "platform/linux/LinuxOs.h"
#include "platform/linux/LinuxTesting.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <new>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace platform {
namespace {

std::optional<std::vector<std::string>>& StartEnvironment()
{
    static std::optional<std::vector<std::string>> environment;
    return environment;
}

std::function<int(const std::string&)>& SpawnFailureHook()
{
    static std::function<int(const std::string&)> hook;
    return hook;
}

// Waits for the programs Hanavo started, and only for those, so that none stays a zombie
// while Hanavo runs; the children of GIO and Qt are theirs to wait for. One thread sleeps in
// poll() on a pidfd per child.
class ChildReaper
{
public:
    // The running reaper, started on first use; null when its thread cannot be started.
    static ChildReaper* Get();
    void Watch(pid_t pid);

private:
    struct Child
    {
        pid_t pid;
        int pidfd; // -1 when the kernel gives none: the child is then looked at now and then
    };

    explicit ChildReaper(int wakeFd) : m_wakeFd(wakeFd) {}
    [[noreturn]] void Run();

    std::mutex m_mutex;
    std::vector<Child> m_added;
    int m_wakeFd;
};

ChildReaper* ChildReaper::Get()
{
    static std::mutex startMutex;
    // Never destroyed: the thread sleeps in it until the process ends.
    static ChildReaper* reaper = nullptr;
    std::lock_guard lock(startMutex);
    if (reaper)
        return reaper;
    int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd < 0)
        return nullptr;
    auto* candidate = new (std::nothrow) ChildReaper(wakeFd);
    if (!candidate) {
        close(wakeFd);
        return nullptr;
    }
    // The thread takes no signals: they belong to the threads that handle them.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    bool started = true;
    try {
        std::thread(&ChildReaper::Run, candidate).detach();
    } catch (const std::system_error&) {
        started = false;
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (!started) {
        close(wakeFd);
        delete candidate;
        return nullptr;
    }
    reaper = candidate;
    return reaper;
}

void ChildReaper::Watch(pid_t pid)
{
    // Through syscall(): glibc 2.36 declares pidfd_open without C linkage.
    int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    {
        std::lock_guard lock(m_mutex);
        m_added.push_back({pid, pidfd});
    }
    std::uint64_t one = 1;
    ssize_t written = write(m_wakeFd, &one, sizeof one);
    (void)written; // the counter cannot overflow; a failed wake-up is caught by the next one
}

void ChildReaper::Run()
{
    std::vector<Child> children;
    std::vector<pollfd> fds;
    for (;;) {
        fds.assign(1, pollfd{m_wakeFd, POLLIN, 0});
        bool sweep = false;
        for (const Child& child : children) {
            if (child.pidfd >= 0)
                fds.push_back({child.pidfd, POLLIN, 0});
            else
                sweep = true;
        }
        if (poll(fds.data(), fds.size(), sweep ? 200 : -1) < 0 && errno != EINTR)
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        std::uint64_t count;
        while (read(m_wakeFd, &count, sizeof count) > 0) {
        }
        {
            std::lock_guard lock(m_mutex);
            children.insert(children.end(), m_added.begin(), m_added.end());
            m_added.clear();
        }
        std::erase_if(children, [](const Child& child) {
            bool ended;
            if (child.pidfd >= 0) {
                // By pidfd: it names our child even if its pid were reused meanwhile.
                siginfo_t info = {};
                int result =
                    waitid(P_PIDFD, static_cast<id_t>(child.pidfd), &info, WEXITED | WNOHANG);
                ended = result < 0 || info.si_pid != 0;
            } else {
                int status;
                ended = waitpid(child.pid, &status, WNOHANG) != 0;
            }
            // Reaped, or no longer ours to wait for (ECHILD when SIGCHLD is ignored).
            if (ended && child.pidfd >= 0)
                close(child.pidfd);
            return ended;
        });
    }
}

// Every signal, also the two that the C library keeps for itself and that sigfillset leaves
// out: posix_spawn would leave those ignored in the child, and a started program is owed
// default dispositions for all signals. Sets the bits of the kernel's signal set directly.
void FillSignalSet(sigset_t& set)
{
    sigfillset(&set);
    constexpr int kBits = 8 * sizeof(unsigned long);
    auto* words = reinterpret_cast<unsigned long*>(&set);
    for (int signal = 1; signal < NSIG; ++signal)
        words[(signal - 1) / kBits] |= 1ul << ((signal - 1) % kBits);
}

// Owns the posix_spawn attribute objects for one start.
struct SpawnSetup
{
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    int error = 0;
    bool haveActions = false;
    bool haveAttributes = false;

    explicit SpawnSetup(const std::string* directory)
    {
        error = posix_spawn_file_actions_init(&actions);
        haveActions = error == 0;
        if (error == 0) {
            error = posix_spawnattr_init(&attributes);
            haveAttributes = error == 0;
        }
        if (error == 0)
            error = posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        if (error == 0 && directory)
            error = posix_spawn_file_actions_addchdir_np(&actions, directory->c_str());
        // Qt and GLib hold many descriptors, not all close-on-exec.
        if (error == 0)
            error = posix_spawn_file_actions_addclosefrom_np(&actions, 3);
        sigset_t all, none;
        FillSignalSet(all);
        sigemptyset(&none);
        if (error == 0)
            error = posix_spawnattr_setsigdefault(&attributes, &all);
        if (error == 0)
            error = posix_spawnattr_setsigmask(&attributes, &none);
        if (error == 0)
            error = posix_spawnattr_setflags(
                &attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~SpawnSetup()
    {
        if (haveAttributes)
            posix_spawnattr_destroy(&attributes);
        if (haveActions)
            posix_spawn_file_actions_destroy(&actions);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
};

std::vector<char*> Pointers(const std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    pointers.reserve(texts.size() + 1);
    for (const std::string& text : texts)
        pointers.push_back(const_cast<char*>(text.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

void RecordStartEnvironment(char** envp)
{
    // No environment at all is not a start environment: the current one stays in use.
    if (!envp)
        return;
    std::vector<std::string> environment;
    for (char** entry = envp; entry && *entry; ++entry)
        environment.emplace_back(*entry);
    StartEnvironment() = std::move(environment);
}

namespace linux_detail {

bool HasStartEnvironment()
{
    return StartEnvironment().has_value();
}

std::vector<std::string> LaunchEnvironment()
{
    if (HasStartEnvironment())
        return *StartEnvironment();
    std::vector<std::string> environment;
    for (char** entry = environ; entry && *entry; ++entry)
        environment.emplace_back(*entry);
    return environment;
}

int SpawnDetached(const std::string& path, const std::vector<std::string>& argv,
                  const std::string* directory)
{
    if (const auto& hook = SpawnFailureHook()) {
        if (int error = hook(path))
            return error;
    }
    ChildReaper* reaper = ChildReaper::Get();
    if (!reaper)
        return EAGAIN;
    SpawnSetup setup(directory);
    if (setup.error != 0)
        return setup.error;
    std::vector<char*> args = Pointers(argv);
    std::vector<char*> environment;
    char** envp = environ;
    if (HasStartEnvironment()) {
        environment = Pointers(*StartEnvironment());
        envp = environment.data();
    }
    pid_t pid = -1;
    int error =
        posix_spawn(&pid, path.c_str(), &setup.actions, &setup.attributes, args.data(), envp);
    if (error == 0)
        reaper->Watch(pid);
    return error;
}

} // namespace linux_detail

namespace linux_testing {

void SetSpawnFailure(std::function<int(const std::string& path)> failure)
{
    SpawnFailureHook() = std::move(failure);
}

void ClearStartEnvironment()
{
    StartEnvironment().reset();
}

} // namespace linux_testing
} // namespace platform
