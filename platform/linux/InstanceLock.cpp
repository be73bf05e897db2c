// The single-instance lock: a file of the user's locked with flock(). The kernel drops the lock
// when the process ends however it ends, and two copies started at the same instant cannot both
// get it. The descriptor is closed on exec, so programs that Hanavo launches never hold it.
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Os.h"
#include "platform/linux/LinuxOs.h"

namespace platform {
namespace {

constexpr char kLockName[] = "/Hanavo.lock";
constexpr char kSettingsFolder[] = "/Quillmere";

// Held until the process ends.
int g_lock = -1;

// The session's runtime folder, when it is the user's own and nobody else can write to it:
// a folder that others can write to would let them take the lock first.
std::string RuntimeFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat status;
    if (!runtime || runtime[0] != '/' || stat(runtime, &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != geteuid() || (status.st_mode & 022) != 0)
        return {};
    return runtime;
}

enum class Attempt
{
    Acquired,
    Held,
    Failed
};

Attempt LockAt(const std::string& path)
{
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    if (fd < 0)
        return Attempt::Failed;
    struct stat status;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != geteuid()) {
        close(fd);
        return Attempt::Failed;
    }
    int result;
    while ((result = flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (result == 0) {
        g_lock = fd;
        return Attempt::Acquired;
    }
    const int error = errno;
    close(fd);
    return error == EWOULDBLOCK ? Attempt::Held : Attempt::Failed;
}

} // namespace

InstanceLock AcquireInstanceLock()
{
    if (g_lock >= 0)
        return InstanceLock::Acquired;
    // The runtime folder when it can be used, else beside the settings file.
    std::string places[2];
    if (std::string runtime = RuntimeFolder(); !runtime.empty())
        places[0] = runtime + kLockName;
    if (std::string config = ConfigHome(); !config.empty()) {
        const std::string folder = config + kSettingsFolder;
        if (MakeFolders(folder))
            places[1] = folder + kLockName;
    }
    for (const std::string& place : places) {
        if (place.empty())
            continue;
        switch (LockAt(place)) {
        case Attempt::Acquired:
            return InstanceLock::Acquired;
        case Attempt::Held:
            return InstanceLock::HeldElsewhere;
        case Attempt::Failed:
            break;
        }
    }
    return InstanceLock::Unavailable;
}

} // namespace platform
