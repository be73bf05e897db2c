#include "platform/Os.h"
#include "platform/linux/GioLaunch.h"
#include "platform/linux/LinuxOs.h"
#include "platform/linux/LinuxTesting.h"
#include "platform/linux/Spawn.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace platform {
namespace {

// Any value above 32 means success.
constexpr int kStarted = gio_launch::kLaunched;

// Links followed from one link entry to the next at most; a longer chain is taken for a cycle.
constexpr int kMaxLinks = 8;

std::atomic<bool> g_sessionEnded{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

std::chrono::milliseconds& LaunchDeadline()
{
    static std::chrono::milliseconds deadline{5000};
    return deadline;
}

// One launch run on a thread of its own, so that its caller can stop waiting for it.
struct PendingLaunch
{
    std::function<int()> launch;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool givenUp = false; // the caller stopped waiting: nothing may be started any more
    int result = kTimedOut;
};

// The launch being run on this thread, if any.
thread_local std::shared_ptr<PendingLaunch> t_pending;

// Called just before a launch starts anything: false when its caller has given it up, so that
// a launch reported as failed never starts a program later on.
bool CommitLaunch()
{
    if (!t_pending)
        return true;
    std::lock_guard lock(t_pending->mutex);
    return !t_pending->givenUp;
}

int CodeForErrno(int error)
{
    switch (error) {
    case 0:
        return kStarted;
    case ENOENT:
    case ELOOP:
        return kFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
        return kPathNotFound;
    case EACCES:
    case EPERM:
    case ETXTBSY:
        return kAccessDenied;
    case ENOMEM:
    case EAGAIN:
    case E2BIG:
    case EMFILE:
    case ENFILE:
        return kOutOfMemory;
    default: // ENOEXEC, ELIBBAD, EINVAL, EISDIR: the file cannot be run as a program
        return kBadFormat;
    }
}

std::string FolderOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool Exists(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0;
}

// The code for a path that stat() could not reach: a missing folder part is "path not found".
int CodeForMissingPath(const std::string& path, int error)
{
    if (error == ENOENT) {
        struct stat status;
        if (stat(FolderOf(path).c_str(), &status) == 0 && S_ISDIR(status.st_mode))
            return kFileNotFound;
        return kPathNotFound;
    }
    int code = CodeForErrno(error);
    return code == kBadFormat ? kFileNotFound : code;
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsAsciiAlpha(char c)
{
    return AsciiLower(c) >= 'a' && AsciiLower(c) <= 'z';
}

// Whether text begins with prefix, ASCII letters compared without regard to case.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (AsciiLower(text[i]) != AsciiLower(prefix[i]))
            return false;
    return true;
}

// scheme://... or mailto:..., the texts the desktop opens with the handler of their scheme.
bool LooksLikeUrl(const std::string& text)
{
    if (StartsWithIgnoringCase(text, "mailto:"))
        return true;
    std::size_t separator = text.find("://");
    if (separator == std::string::npos || separator == 0 || !IsAsciiAlpha(text[0]))
        return false;
    for (std::size_t i = 1; i < separator; ++i) {
        char c = text[i];
        if (!IsAsciiAlpha(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

// The first executable regular file of that name in PATH; empty when there is none.
std::string SearchPath(const std::string& name)
{
    const char* variable = std::getenv("PATH");
    std::string list = variable ? variable : "/bin:/usr/bin";
    std::size_t start = 0;
    for (;;) {
        std::size_t end = list.find(':', start);
        std::string folder = list.substr(start, end == std::string::npos ? end : end - start);
        // An empty entry is the current folder.
        std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
        struct stat status;
        if (stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
            faccessat(AT_FDCWD, candidate.c_str(), X_OK, AT_EACCESS) == 0)
            return candidate;
        if (end == std::string::npos)
            return {};
        start = end + 1;
    }
}

// A program is a file we may execute that starts like one: an ELF image or a "#!" script.
// Other files with the execute bit (texts copied from removable media, for example) are
// opened as documents.
bool IsProgram(const std::string& path)
{
    if (faccessat(AT_FDCWD, path.c_str(), X_OK, AT_EACCESS) != 0)
        return false;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return errno == EACCES; // execute-only: only the kernel can tell
    char header[4];
    ssize_t length = read(fd, header, sizeof header);
    close(fd);
    static const char kElf[] = {0x7f, 'E', 'L', 'F'};
    return (length >= 2 && header[0] == '#' && header[1] == '!') ||
           (length == 4 && std::memcmp(header, kElf, sizeof kElf) == 0);
}

std::string Absolute(const std::string& path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    char folder[PATH_MAX];
    if (!getcwd(folder, sizeof folder))
        return {};
    return std::string(folder) + "/" + path;
}

// The context of a launch through the module: the start environment, when one was recorded.
struct GioContext
{
    std::vector<std::string> environment;
    gio_launch::Context context{CommitLaunch, nullptr};

    GioContext()
    {
        if (linux_detail::HasStartEnvironment()) {
            environment = linux_detail::LaunchEnvironment();
            context.environment = &environment;
        }
    }
    GioContext(const GioContext&) = delete;
    GioContext& operator=(const GioContext&) = delete;
};

int OpenWithDefaultApplication(const std::string& path)
{
    const gio_launch::Api* gio = gio_launch::Module();
    if (!gio)
        return kNoAssociation;
    GioContext launch;
    return gio->openDocument(launch.context, path);
}

int StartPath(const std::string& path, const std::string& file,
              const std::vector<std::string>& arguments, const std::string* folder, int links);

// links: how many link entries led here.
int OpenUrl(const std::string& url, int links)
{
    const gio_launch::Api* gio = gio_launch::Module();
    if (!gio)
        return kNoAssociation;
    GioContext launch;
    std::string path;
    const int result = gio->openUrl(launch.context, url, path);
    return result == gio_launch::kFollowPath ? StartPath(path, path, {}, nullptr, links) : result;
}

int StartDesktopEntry(const std::string& path, int links)
{
    const gio_launch::Api* gio = gio_launch::Module();
    if (!gio)
        return kNoAssociation;
    GioContext launch;
    std::string url;
    const int result = gio->startDesktopEntry(launch.context, path, url);
    if (result != gio_launch::kFollowUrl)
        return result;
    // Entries that link to each other would never end: a chain this long is reported as not
    // found.
    return links < kMaxLinks ? OpenUrl(url, links + 1) : kFileNotFound;
}

int StartPath(const std::string& path, const std::string& file,
              const std::vector<std::string>& arguments, const std::string* folder, int links)
{
    struct stat status;
    if (stat(path.c_str(), &status) != 0)
        return CodeForMissingPath(path, errno);
    bool regular = S_ISREG(status.st_mode);
    if (regular && path.size() > 8 && path.compare(path.size() - 8, 8, ".desktop") == 0)
        return StartDesktopEntry(path, links);
    if (!regular || !IsProgram(path))
        return OpenWithDefaultApplication(path);
    // The child changes to its folder before it executes, so a relative path must not depend
    // on ours.
    std::string program = folder ? Absolute(path) : path;
    if (program.empty())
        return kPathNotFound;
    // A bare name such as "-n.sh" would reach a script's interpreter as an option: the kernel
    // hands it the path it was executed by, so that path always holds a slash.
    if (program.find('/') == std::string::npos)
        program = "./" + program;
    std::vector<std::string> argv;
    argv.reserve(arguments.size() + 1);
    argv.push_back(file);
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    if (!CommitLaunch())
        return kTimedOut;
    return CodeForErrno(linux_detail::SpawnDetached(program, argv, folder));
}

int OpenNow(const char* verb, const std::string& file, const std::string* params,
            const std::string* directory)
{
    if (verb && *verb && !(std::strlen(verb) == 4 && StartsWithIgnoringCase(verb, "open")))
        return kNoAssociation;
    if (file.empty() || file.find('\0') != std::string::npos)
        return kFileNotFound;
    const std::string* folder = directory && !directory->empty() ? directory : nullptr;
    if (folder) {
        struct stat status;
        if (folder->find('\0') != std::string::npos || stat(folder->c_str(), &status) != 0 ||
            !S_ISDIR(status.st_mode))
            return kPathNotFound;
    }
    std::vector<std::string> arguments =
        params ? SplitArguments(*params) : std::vector<std::string>();

    std::string path = folder && file[0] != '/' ? *folder + "/" + file : file;
    // A file of that name in the folder comes first; an address is never looked up in PATH.
    if (LooksLikeUrl(file) && !Exists(path))
        return OpenUrl(file, 0);
    if (file.find('/') == std::string::npos && !Exists(path)) {
        path = SearchPath(file);
        if (path.empty())
            return kFileNotFound;
    }
    return StartPath(path, file, arguments, folder, 0);
}

// Runs the launch on a thread of its own and waits for it until the deadline or the end of the
// session, whichever comes first. A launch given up goes on alone, but starts nothing.
int WithinDeadline(std::function<int()> launch)
{
    auto pending = std::make_shared<PendingLaunch>();
    pending->launch = std::move(launch);
    std::thread worker;
    try {
        worker = std::thread([pending] {
            t_pending = pending;
            const int result = pending->launch();
            std::lock_guard lock(pending->mutex);
            pending->result = result;
            pending->done = true;
            pending->finished.notify_all();
        });
    } catch (const std::system_error&) {
        return kOutOfMemory;
    }
    std::unique_lock lock(pending->mutex);
    const auto deadline = std::chrono::steady_clock::now() + LaunchDeadline();
    // In short steps: a signal handler cannot wake a condition variable.
    constexpr auto kStep = std::chrono::milliseconds(50);
    while (!pending->done && !g_sessionEnded.load()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            break;
        pending->finished.wait_for(
            lock, std::min<std::chrono::steady_clock::duration>(deadline - now, kStep));
    }
    if (pending->done) {
        lock.unlock();
        worker.join();
        return pending->result;
    }
    pending->givenUp = true;
    lock.unlock();
    worker.detach();
    return kTimedOut;
}

} // namespace

int StartFile(const char* verb, const std::string& file, const std::string* params,
              const std::string* directory)
{
    // Nothing more starts once the session ends.
    if (g_sessionEnded.load())
        return kTimedOut;
    std::string ownFile = file;
    std::optional<std::string> ownParams, ownDirectory;
    if (params)
        ownParams = *params;
    if (directory)
        ownDirectory = *directory;
    std::string ownVerb = verb ? verb : "";
    const bool hasVerb = verb != nullptr;
    // Everything by value: a launch given up outlives this call.
    return WithinDeadline([=] {
        return OpenNow(hasVerb ? ownVerb.c_str() : nullptr, ownFile,
                       ownParams ? &*ownParams : nullptr, ownDirectory ? &*ownDirectory : nullptr);
    });
}

void NoteSessionEnd() noexcept
{
    g_sessionEnded.store(true);
}

bool SessionEndNoted() noexcept
{
    return g_sessionEnded.load();
}

namespace gio_launch {

namespace {

// The module beside this program: the one built with it while the program lies in its build
// tree, else the installed one. Never looked up in a library path, where another file of that
// name could stand in for it.
std::string ModulePath()
{
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return kModuleName;
    const std::string program(self, static_cast<std::size_t>(length));
    const std::string buildTree = HANAVO_BUILD_DIR "/";
    if (program.compare(0, buildTree.size(), buildTree) == 0)
        return HANAVO_BUILT_MODULE;
    return FolderOf(program) + "/" HANAVO_MODULE_FROM_BIN "/" + kModuleName;
}

} // namespace

const Api* Module()
{
    // Loaded once, by whichever caller needs it first, and kept: GIO is not made to be unloaded.
    static const Api* const api = []() -> const Api* {
        void* module = dlopen(ModulePath().c_str(), RTLD_NOW | RTLD_LOCAL);
        void* entry = module ? dlsym(module, kEntryPoint) : nullptr;
        if (!entry) {
            std::fprintf(stderr,
                         "hanavo: cannot open documents, desktop entries or the trash: %s\n",
                         dlerror());
            return nullptr;
        }
        return reinterpret_cast<EntryPoint>(entry)();
    }();
    return api;
}

} // namespace gio_launch

namespace linux_testing {

void SetLaunchDeadline(std::chrono::milliseconds deadline)
{
    LaunchDeadline() = deadline;
}

void ClearSessionEnd()
{
    g_sessionEnded.store(false);
}

} // namespace linux_testing
} // namespace platform
