#include "platform/Os.h"
#include "platform/linux/LinuxOs.h"
#include "platform/linux/LinuxTesting.h"
#include "platform/linux/Spawn.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace platform {
namespace {

// Any value above 32 means success.
constexpr int kStarted = 42;

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

struct GObjectDeleter
{
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T> using GRef = std::unique_ptr<T, GObjectDeleter>;

struct GFreeDeleter
{
    void operator()(gpointer memory) const { g_free(memory); }
};
using GText = std::unique_ptr<char, GFreeDeleter>;

struct GErrorDeleter
{
    void operator()(GError* error) const { g_error_free(error); }
};
using GErrorPtr = std::unique_ptr<GError, GErrorDeleter>;

struct GKeyFileDeleter
{
    void operator()(GKeyFile* keys) const { g_key_file_free(keys); }
};

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

int CodeForGError(const GError* error)
{
    if (error->domain == G_SPAWN_ERROR) {
        switch (error->code) {
        case G_SPAWN_ERROR_NOENT:
        case G_SPAWN_ERROR_LOOP:
            return kFileNotFound;
        case G_SPAWN_ERROR_CHDIR:
        case G_SPAWN_ERROR_NOTDIR:
        case G_SPAWN_ERROR_NAMETOOLONG:
            return kPathNotFound;
        case G_SPAWN_ERROR_ACCES:
        case G_SPAWN_ERROR_PERM:
        case G_SPAWN_ERROR_TXTBUSY:
            return kAccessDenied;
        case G_SPAWN_ERROR_NOMEM:
        case G_SPAWN_ERROR_FORK:
        case G_SPAWN_ERROR_TOO_BIG:
        case G_SPAWN_ERROR_MFILE:
        case G_SPAWN_ERROR_NFILE:
            return kOutOfMemory;
        case G_SPAWN_ERROR_NOEXEC:
        case G_SPAWN_ERROR_LIBBAD:
        case G_SPAWN_ERROR_INVAL:
        case G_SPAWN_ERROR_ISDIR:
            return kBadFormat;
        default:
            return kNoAssociation;
        }
    }
    if (error->domain == G_IO_ERROR) {
        switch (error->code) {
        case G_IO_ERROR_NOT_FOUND:
            return kFileNotFound;
        case G_IO_ERROR_PERMISSION_DENIED:
            return kAccessDenied;
        default:
            return kNoAssociation;
        }
    }
    return kNoAssociation;
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

// scheme://... or mailto:..., the texts the desktop opens with the handler of their scheme.
bool LooksLikeUrl(const std::string& text)
{
    if (g_ascii_strncasecmp(text.c_str(), "mailto:", 7) == 0)
        return true;
    std::size_t separator = text.find("://");
    if (separator == std::string::npos || separator == 0 || !g_ascii_isalpha(text[0]))
        return false;
    for (std::size_t i = 1; i < separator; ++i) {
        char c = text[i];
        if (!g_ascii_isalnum(c) && c != '+' && c != '-' && c != '.')
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

GRef<GAppLaunchContext> MakeLaunchContext()
{
    // The plain context adds no startup-notification id, so launching does not depend on a
    // display or a window manager.
    GRef<GAppLaunchContext> context(g_app_launch_context_new());
    if (!linux_detail::HasStartEnvironment())
        return context;
    // Programs started through GIO get the start environment too.
    std::set<std::string> names;
    for (const std::string& entry : linux_detail::LaunchEnvironment()) {
        std::size_t equals = entry.find('=');
        if (equals == std::string::npos)
            continue;
        std::string name = entry.substr(0, equals);
        g_app_launch_context_setenv(context.get(), name.c_str(), entry.c_str() + equals + 1);
        names.insert(std::move(name));
    }
    char** current = g_get_environ();
    for (char** entry = current; *entry; ++entry) {
        std::string name(*entry, std::strcspn(*entry, "="));
        if (!names.count(name))
            g_app_launch_context_unsetenv(context.get(), name.c_str());
    }
    g_strfreev(current);
    return context;
}

// Runs in an application GIO starts, before it executes: a session of its own, as for the
// programs Hanavo starts itself, so that a terminal Hanavo was started from is not its own.
void StartOwnSession(gpointer)
{
    setsid();
}

int Launch(GAppInfo* application, GList* files, GList* uris)
{
    // An application started through D-Bus needs the session bus, and connecting to it waits
    // for as long as the bus keeps silent; it happens here, where the launch can still be
    // dropped, rather than inside GIO's launch.
    if (G_IS_DESKTOP_APP_INFO(application) &&
        g_desktop_app_info_get_boolean(G_DESKTOP_APP_INFO(application),
                                       G_KEY_FILE_DESKTOP_KEY_DBUS_ACTIVATABLE)) {
        GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
        if (bus)
            g_object_unref(bus);
    }
    if (!CommitLaunch())
        return kTimedOut;
    GRef<GAppLaunchContext> context = MakeLaunchContext();
    GError* failure = nullptr;
    gboolean launched;
    if (G_IS_DESKTOP_APP_INFO(application)) {
        // Files go as URIs, as g_app_info_launch() passes them; GIO maps them back to paths
        // for applications that take paths.
        GList* fileUris = nullptr;
        for (GList* file = files; file; file = file->next)
            fileUris = g_list_append(fileUris, g_file_get_uri(G_FILE(file->data)));
        launched = g_desktop_app_info_launch_uris_as_manager(
            G_DESKTOP_APP_INFO(application), uris ? uris : fileUris, context.get(),
            G_SPAWN_SEARCH_PATH, StartOwnSession, nullptr, nullptr, nullptr, &failure);
        g_list_free_full(fileUris, g_free);
    } else {
        launched = uris ? g_app_info_launch_uris(application, uris, context.get(), &failure)
                        : g_app_info_launch(application, files, context.get(), &failure);
    }
    if (launched)
        return kStarted;
    GErrorPtr error(failure);
    return error ? CodeForGError(error.get()) : kNoAssociation;
}

int OpenWithDefaultApplication(const std::string& path)
{
    GRef<GFile> file(g_file_new_for_path(path.c_str()));
    std::string type;
    GRef<GFileInfo> info(g_file_query_info(file.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                           G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
    if (info && g_file_info_get_content_type(info.get())) {
        type = g_file_info_get_content_type(info.get());
    } else {
        GText guessed(g_content_type_guess(path.c_str(), nullptr, 0, nullptr));
        type = guessed ? guessed.get() : "";
    }
    GRef<GAppInfo> application(g_app_info_get_default_for_type(type.c_str(), FALSE));
    if (!application)
        return kNoAssociation;
    GList files = {file.get(), nullptr, nullptr};
    return Launch(application.get(), &files, nullptr);
}

int StartPath(const std::string& path, const std::string& file,
              const std::vector<std::string>& arguments, const std::string* folder, int links);

// links: how many link entries led here.
int OpenUrl(const std::string& url, int links)
{
    GText scheme(g_uri_parse_scheme(url.c_str()));
    if (!scheme)
        return kFileNotFound;
    if (g_ascii_strcasecmp(scheme.get(), "file") == 0) {
        GText path(g_filename_from_uri(url.c_str(), nullptr, nullptr));
        if (!path)
            return kFileNotFound;
        return StartPath(path.get(), path.get(), {}, nullptr, links);
    }
    GRef<GAppInfo> application(g_app_info_get_default_for_uri_scheme(scheme.get()));
    if (!application)
        return kNoAssociation;
    GList uris = {const_cast<char*>(url.c_str()), nullptr, nullptr};
    return Launch(application.get(), nullptr, &uris);
}

// Whether an application entry names a program that is not installed; GIO refuses to load such
// an entry, but for the user the program is missing, not the entry broken.
bool NamesMissingProgram(GKeyFile* keys)
{
    const char* group = G_KEY_FILE_DESKTOP_GROUP;
    for (const char* key : {G_KEY_FILE_DESKTOP_KEY_TRY_EXEC, G_KEY_FILE_DESKTOP_KEY_EXEC}) {
        GText command(g_key_file_get_string(keys, group, key, nullptr));
        gchar** argv = nullptr;
        if (!command || !g_shell_parse_argv(command.get(), nullptr, &argv, nullptr))
            continue;
        GText found(g_find_program_in_path(argv[0]));
        g_strfreev(argv);
        if (!found)
            return true;
    }
    return false;
}

int StartDesktopEntry(const std::string& path, int links)
{
    GRef<GDesktopAppInfo> application(g_desktop_app_info_new_from_filename(path.c_str()));
    if (application)
        return Launch(G_APP_INFO(application.get()), nullptr, nullptr);
    std::unique_ptr<GKeyFile, GKeyFileDeleter> keys(g_key_file_new());
    if (!g_key_file_load_from_file(keys.get(), path.c_str(), G_KEY_FILE_NONE, nullptr))
        return kBadFormat;
    const char* group = G_KEY_FILE_DESKTOP_GROUP;
    GText type(g_key_file_get_string(keys.get(), group, G_KEY_FILE_DESKTOP_KEY_TYPE, nullptr));
    if (!type)
        return kBadFormat;
    if (std::strcmp(type.get(), G_KEY_FILE_DESKTOP_TYPE_LINK) == 0) {
        // A link entry names an address rather than a program. Entries that link to each
        // other would never end: a chain this long is reported as not found.
        GText url(g_key_file_get_string(keys.get(), group, G_KEY_FILE_DESKTOP_KEY_URL, nullptr));
        GText scheme(url ? g_uri_parse_scheme(url.get()) : nullptr);
        if (!scheme)
            return kBadFormat;
        return links < kMaxLinks ? OpenUrl(url.get(), links + 1) : kFileNotFound;
    }
    if (std::strcmp(type.get(), G_KEY_FILE_DESKTOP_TYPE_APPLICATION) == 0 &&
        NamesMissingProgram(keys.get()))
        return kFileNotFound;
    return kBadFormat;
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
    if (verb && *verb && g_ascii_strcasecmp(verb, "open") != 0)
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
