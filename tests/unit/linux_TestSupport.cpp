#include "linux_TestSupport.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace linux_test {
namespace {

[[noreturn]] void Fail(const std::string& what)
{
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

std::string Hex(const std::string& bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char c : bytes) {
        text += kDigits[c >> 4];
        text += kDigits[c & 15];
    }
    return text;
}

std::string Unhex(const std::string& text)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2)
        bytes += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
    return bytes;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::string::npos)
            end = text.size();
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string ReadAll(const char* path)
{
    std::string content;
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return content;
    char buffer[4096];
    ssize_t length;
    while ((length = read(fd, buffer, sizeof buffer)) > 0)
        content.append(buffer, static_cast<std::size_t>(length));
    close(fd);
    return content;
}

std::string StatusField(const std::string& status, const std::string& name)
{
    std::size_t at = status.find("\n" + name + ":");
    if (at == std::string::npos)
        return {};
    at += name.size() + 2;
    while (at < status.size() && (status[at] == ' ' || status[at] == '\t'))
        ++at;
    return status.substr(at, status.find('\n', at) - at);
}

// When a test starts this program as a launched program (HANAVO_LINUX_PROBE_DIR set), it
// writes what it was given to probe.<pid> in that folder and ends before any test runs:
// descriptors, standard input, session, signals, arguments, environment, folder.
int ProbeIfAsked()
{
    const char* folder = std::getenv("HANAVO_LINUX_PROBE_DIR");
    if (!folder)
        return 0;
    // The descriptors first, before the report opens any of its own.
    std::vector<int> fds;
    if (DIR* listing = opendir("/proc/self/fd")) {
        while (const dirent* entry = readdir(listing)) {
            int fd = std::atoi(entry->d_name);
            if (entry->d_name[0] != '.' && fd != dirfd(listing))
                fds.push_back(fd);
        }
        closedir(listing);
    }
    std::sort(fds.begin(), fds.end());
    std::string fdText;
    for (int fd : fds)
        fdText += (fdText.empty() ? "" : ",") + std::to_string(fd);
    struct stat input, null;
    bool devNull = fstat(0, &input) == 0 && stat("/dev/null", &null) == 0 &&
                   S_ISCHR(input.st_mode) && input.st_rdev == null.st_rdev;
    std::string status = ReadAll("/proc/self/status");
    char cwd[PATH_MAX] = "";
    if (!getcwd(cwd, sizeof cwd))
        cwd[0] = '\0';

    std::string report = "pid=" + std::to_string(getpid()) + "\n";
    report += "sid=" + std::to_string(getsid(0)) + "\n";
    report += "cwd=" + Hex(cwd) + "\n";
    report += std::string("stdin=") + (devNull ? "devnull" : "other") + "\n";
    report += "fds=" + fdText + "\n";
    report += "sigblk=" + StatusField(status, "SigBlk") + "\n";
    report += "sigign=" + StatusField(status, "SigIgn") + "\n";
    std::string argv;
    for (const std::string& argument : Split(ReadAll("/proc/self/cmdline"), '\0'))
        argv += Hex(argument) + ",";
    report += "argv=" + argv + "\n";
    std::string environment;
    for (char** entry = environ; *entry; ++entry)
        environment += Hex(*entry) + ",";
    report += "env=" + environment + "\n";

    std::string path = std::string(folder) + "/probe." + std::to_string(getpid());
    int fd = open((path + ".tmp").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
        ssize_t written = write(fd, report.data(), report.size());
        close(fd);
        if (written == static_cast<ssize_t>(report.size()))
            rename((path + ".tmp").c_str(), path.c_str());
    }
    _exit(0);
}

[[maybe_unused]] const int g_probed = ProbeIfAsked();

std::vector<std::string> FilesStartingWith(const std::string& folder, const std::string& prefix)
{
    std::vector<std::string> names;
    if (DIR* listing = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(listing)) {
            std::string name = entry->d_name;
            if (name.rfind(prefix, 0) == 0 && name.find(".tmp") == std::string::npos)
                names.push_back(folder + "/" + name);
        }
        closedir(listing);
    }
    return names;
}

} // namespace

TempFolder::TempFolder()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/hanavo-linux-XXXXXX";
    if (!mkdtemp(pattern.data()))
        Fail("mkdtemp");
    m_path = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

CurrentFolder::CurrentFolder(const std::string& path)
{
    char previous[PATH_MAX];
    if (!getcwd(previous, sizeof previous))
        Fail("getcwd");
    m_previous = previous;
    if (chdir(path.c_str()) != 0)
        Fail("chdir " + path);
}

CurrentFolder::~CurrentFolder()
{
    if (chdir(m_previous.c_str()) != 0)
        std::perror("chdir back");
}

void WriteFile(const std::string& path, const std::string& content, mode_t mode)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0)
        Fail("open " + path);
    bool complete =
        write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    close(fd);
    if (!complete || chmod(path.c_str(), mode) != 0)
        Fail("write " + path);
}

std::string ReadFile(const std::string& path)
{
    return ReadAll(path.c_str());
}

bool PathExists(const std::string& path)
{
    struct stat status;
    return lstat(path.c_str(), &status) == 0;
}

void MakeFolder(const std::string& path)
{
    if (mkdir(path.c_str(), 0755) != 0)
        Fail("mkdir " + path);
}

void MakeLink(const std::string& target, const std::string& path)
{
    if (symlink(target.c_str(), path.c_str()) != 0)
        Fail("symlink " + path);
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(5ms);
    }
}

bool HasChildProcesses()
{
    bool found = false;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (const dirent* task = readdir(tasks)) {
            if (task->d_name[0] != '.' &&
                !ReadFile(std::string("/proc/self/task/") + task->d_name + "/children").empty())
                found = true;
        }
        closedir(tasks);
    }
    return found;
}

std::string SelfPath()
{
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0)
        Fail("readlink /proc/self/exe");
    return std::string(path, static_cast<std::size_t>(length));
}

std::vector<ProbeReport> ReadProbeReports(const std::string& folder)
{
    std::vector<ProbeReport> reports;
    for (const std::string& path : FilesStartingWith(folder, "probe.")) {
        ProbeReport report;
        for (const std::string& line : Split(ReadFile(path), '\n')) {
            std::size_t equals = line.find('=');
            std::string key = line.substr(0, equals);
            std::string value = line.substr(equals + 1);
            if (key == "pid")
                report.pid = std::stoi(value);
            else if (key == "sid")
                report.sid = std::stoi(value);
            else if (key == "cwd")
                report.cwd = Unhex(value);
            else if (key == "stdin")
                report.stdinIsDevNull = value == "devnull";
            else if (key == "fds")
                report.fds = value;
            else if (key == "sigblk")
                report.blockedSignals = value;
            else if (key == "sigign")
                report.ignoredSignals = value;
            else if (key == "argv" || key == "env") {
                auto& list = key == "argv" ? report.argv : report.environment;
                for (const std::string& item : Split(value, ','))
                    list.push_back(Unhex(item));
            }
        }
        reports.push_back(std::move(report));
    }
    return reports;
}

std::vector<ProbeReport> WaitForProbeReports(const std::string& folder, std::size_t count)
{
    WaitUntil([&] { return FilesStartingWith(folder, "probe.").size() >= count; });
    return ReadProbeReports(folder);
}

TestDesktop::TestDesktop()
{
    const std::string& root = m_root.Path();
    std::string home = root + "/home";
    std::string data = home + "/.local/share";
    std::string config = home + "/.config";
    std::error_code error;
    for (const std::string& folder :
         {data + "/applications", data + "/mime", config, home + "/.cache", root + "/data",
          root + "/config", root + "/log"}) {
        std::filesystem::create_directories(folder, error);
        if (error)
            throw std::runtime_error("cannot create " + folder);
    }
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("XDG_CACHE_HOME", (home + "/.cache").c_str(), 1);
    setenv("XDG_DATA_DIRS", (root + "/data").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (root + "/config").c_str(), 1);
    // No session bus, display, desktop or VFS modules of the machine take part.
    setenv("GIO_USE_VFS", "local", 1);
    for (const char* name : {"DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY",
                             "XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION"})
        unsetenv(name);

    // The MIME database as update-mime-database would leave it, reduced to the one glob.
    WriteFile(data + "/mime/globs2", "50:text/plain:*.txt\n");

    m_handler = root + "/handler";
    WriteFile(m_handler,
              "#!/bin/sh\n"
              "dir=\"${HANAVO_TEST_LOG_DIR:-" +
                  root +
                  "/log}\"\n"
                  "out=\"$dir/launch.$$\"\n"
                  "{ printf '%s\\000' \"$@\"; printf 'marker=%s\\000' \"$HANAVO_TEST_MARKER\"; "
                  "} > \"$out.tmp\"\n"
                  // Fields 1 and 6 of /proc/<pid>/stat: the process and its session.
                  "set -- $(cat /proc/$$/stat)\n"
                  "[ \"$1\" = \"$6\" ] && leader=yes || leader=no\n"
                  "printf 'own-session=%s\\000' \"$leader\" >> \"$out.tmp\"\n"
                  "mv \"$out.tmp\" \"$out\"\n",
              0755);
    WriteFile(data + "/applications/hanavo-files.desktop",
              "[Desktop Entry]\nType=Application\nName=Hanavo test files\n"
              "Exec=\"" +
                  m_handler +
                  "\" files %F\n"
                  "MimeType=text/plain;inode/directory;\n");
    WriteFile(data + "/applications/hanavo-urls.desktop",
              "[Desktop Entry]\nType=Application\nName=Hanavo test addresses\n"
              "Exec=\"" +
                  m_handler +
                  "\" url %u\n"
                  "MimeType=x-scheme-handler/hanavotest;\n");
    WriteFile(config + "/mimeapps.list", "[Default Applications]\n"
                                         "text/plain=hanavo-files.desktop\n"
                                         "inode/directory=hanavo-files.desktop\n"
                                         "x-scheme-handler/hanavotest=hanavo-urls.desktop\n");
}

const TestDesktop& TestDesktop::Get()
{
    static const TestDesktop desktop;
    return desktop;
}

std::vector<std::vector<std::string>> ReadLaunches(const std::string& folder)
{
    std::vector<std::vector<std::string>> launches;
    for (const std::string& path : FilesStartingWith(folder, "launch.")) {
        std::string content = ReadFile(path);
        std::vector<std::string> arguments;
        std::size_t start = 0;
        for (std::size_t end; (end = content.find('\0', start)) != std::string::npos;
             start = end + 1)
            arguments.push_back(content.substr(start, end - start));
        launches.push_back(std::move(arguments));
    }
    return launches;
}

std::vector<std::vector<std::string>> WaitForLaunches(const std::string& folder, std::size_t count)
{
    WaitUntil([&] { return FilesStartingWith(folder, "launch.").size() >= count; });
    return ReadLaunches(folder);
}

} // namespace linux_test
