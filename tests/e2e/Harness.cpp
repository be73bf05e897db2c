#include "Harness.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace e2e {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const std::string& what)
{
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

std::string Getenv(const char* name, const std::string& fallback = {})
{
    const char* value = std::getenv(name);
    return value ? value : fallback;
}

int PidMax()
{
    std::ifstream in("/proc/sys/kernel/pid_max");
    int value = 0;
    in >> value;
    return value > 0 ? value : 32768;
}

// Everything the child needs is prepared before fork: between fork and exec only
// async-signal-safe calls run.
pid_t Spawn(const Command& command, int outFd, int errFd)
{
    if (command.argv.empty())
        throw std::invalid_argument("empty command");
    std::vector<char*> argv;
    for (const auto& arg : command.argv)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const auto& var : command.env)
        envp.push_back(const_cast<char*>(var.c_str()));
    envp.push_back(nullptr);
    const char* outPath = command.stdoutPath.empty() ? "/dev/null" : command.stdoutPath.c_str();
    const char* errPath = command.stderrPath.empty() ? "/dev/null" : command.stderrPath.c_str();
    const char* cwd = command.cwd.empty() ? nullptr : command.cwd.c_str();
    const pid_t parent = getpid();

    pid_t pid = fork();
    if (pid < 0)
        Fail("fork");
    if (pid == 0) {
        setpgid(0, 0);
        // The test process may be killed by a timeout: take the child with it.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        int in = open("/dev/null", O_RDONLY);
        int out = outFd >= 0 ? outFd : open(outPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = errFd >= 0 ? errFd : open(errPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0)
            _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (cwd && chdir(cwd) != 0)
            _exit(127);
        if (command.inheritFd >= 0)
            fcntl(command.inheritFd, F_SETFD, 0);
        struct sigaction dfl = {};
        dfl.sa_handler = SIG_DFL;
        for (int sig = 1; sig < NSIG; ++sig)
            sigaction(sig, &dfl, nullptr);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        execvpe(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    setpgid(pid, pid);
    return pid;
}

ExitStatus FromWaitStatus(int status)
{
    if (WIFEXITED(status))
        return {true, WEXITSTATUS(status)};
    return {false, WTERMSIG(status)};
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

void AppendUtf8(std::string& out, unsigned long code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string Trim(const std::string& text)
{
    const auto begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos)
        return {};
    const auto end = text.find_last_not_of(" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

std::string ShellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

} // namespace

// --- files --------------------------------------------------------------------------------

TempDir::TempDir(const std::string& prefix)
{
    std::string pattern = Getenv("TMPDIR", "/tmp") + "/" + prefix + "-XXXXXX";
    if (!mkdtemp(pattern.data()))
        Fail("mkdtemp " + pattern);
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void MakeDirs(const std::string& path, mode_t mode)
{
    fs::create_directories(path);
    if (chmod(path.c_str(), mode) != 0)
        Fail("chmod " + path);
}

void WriteFile(const std::string& path, const std::string& content, mode_t mode)
{
    fs::create_directories(fs::path(path).parent_path());
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out)
            throw std::runtime_error("cannot write " + path);
        out << content;
    }
    if (chmod(path.c_str(), mode) != 0)
        Fail("chmod " + path);
}

bool Exists(const std::string& path)
{
    struct stat status;
    return lstat(path.c_str(), &status) == 0;
}

std::string RealPath(const std::string& path)
{
    return fs::canonical(path).string();
}

long long MTimeNs(const std::string& path)
{
    struct stat status;
    if (stat(path.c_str(), &status) != 0)
        return -1;
    return static_cast<long long>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
}

std::vector<std::string> ListFolder(const std::string& path)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// --- processes ----------------------------------------------------------------------------

std::string Describe(const ExitStatus& status)
{
    return status.exited
               ? "exit code " + std::to_string(status.code)
               : "signal " + std::to_string(status.code) + " (" + strsignal(status.code) + ")";
}

Process::Process(const Command& command) : m_pid(Spawn(command, -1, -1)) {}

Process::~Process()
{
    if (!m_status) {
        kill(-m_pid, SIGKILL);
        Wait(5s);
    }
}

std::optional<ExitStatus> Process::Wait(Milliseconds timeout)
{
    PollUntil(
        [this] {
            if (m_status)
                return true;
            int status = 0;
            pid_t done = waitpid(m_pid, &status, WNOHANG);
            if (done == m_pid)
                m_status = FromWaitStatus(status);
            return m_status.has_value();
        },
        timeout);
    return m_status;
}

bool Process::Running()
{
    return !Wait(0ms).has_value();
}

void Process::Signal(int signal)
{
    if (!m_status)
        kill(m_pid, signal);
}

void Process::Stop(Milliseconds grace)
{
    if (m_status)
        return;
    kill(-m_pid, SIGTERM);
    if (!Wait(grace)) {
        kill(-m_pid, SIGKILL);
        Wait(5s);
    }
}

Output Run(const Command& command, Milliseconds timeout)
{
    int outPipe[2], errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0)
        Fail("pipe2");
    if (pipe2(errPipe, O_CLOEXEC) != 0)
        Fail("pipe2");
    pid_t pid = Spawn(command, outPipe[1], errPipe[1]);
    close(outPipe[1]);
    close(errPipe[1]);

    Output output;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    struct pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&output.out, &output.err};
    int open = 2;
    bool timedOut = false;
    while (open > 0) {
        auto left =
            std::chrono::duration_cast<Milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        if (poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR)
            Fail("poll");
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buffer[4096];
            ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (auto& fd : fds)
        if (fd.fd >= 0)
            close(fd.fd);
    if (timedOut)
        kill(-pid, SIGKILL);
    int status = 0;
    if (waitpid(pid, &status, 0) == pid && !timedOut)
        output.status = FromWaitStatus(status);
    return output;
}

// --- the settings file --------------------------------------------------------------------

// QSettings' INI escaping of a string value: backslash and double quote escaped, control
// characters as escapes, other bytes (UTF-8) as they are, and the whole value quoted when it
// holds a list separator or starts or ends with a blank. A leading @ is doubled.
std::string IniEscape(const std::string& value)
{
    std::string text = !value.empty() && value[0] == '@' ? "@" + value : value;
    std::string out;
    bool quote = false;
    bool afterHexEscape = false;
    for (unsigned char c : text) {
        if (c == ';' || c == ',' || c == '=')
            quote = true;
        // A hex digit right after a hex escape would be read as part of it.
        const bool hexEscape = c < 0x20 || c == 0x7F || (afterHexEscape && std::isxdigit(c));
        afterHexEscape = false;
        switch (c) {
        case '"':
        case '\\':
            out += '\\';
            out += static_cast<char>(c);
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (hexEscape) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%x", c);
                out += hex;
                afterHexEscape = true;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    if (quote || (!out.empty() && (out.front() == ' ' || out.back() == ' ')))
        out = "\"" + out + "\"";
    return out;
}

// Reads what QSettings wrote: quotes group, backslash escapes (\\ \" \n \t \xHEX \ooo ...),
// a doubled leading @ stands for one.
std::string IniUnescape(const std::string& raw)
{
    std::string out;
    const std::string text = Trim(raw);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"')
            continue;
        if (c != '\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        char e = text[++i];
        switch (e) {
        case 'a':
            out += '\a';
            break;
        case 'b':
            out += '\b';
            break;
        case 'f':
            out += '\f';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'v':
            out += '\v';
            break;
        case 'x': {
            unsigned long code = 0;
            while (i + 1 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])))
                code = code * 16 + std::stoul(std::string(1, text[++i]), nullptr, 16);
            AppendUtf8(out, code);
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                unsigned long code = static_cast<unsigned long>(e - '0');
                while (i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '7')
                    code = code * 8 + static_cast<unsigned long>(text[++i] - '0');
                AppendUtf8(out, code);
            } else {
                out += e; // \\ \" \' \?
            }
        }
    }
    if (out.size() >= 2 && out[0] == '@' && out[1] == '@')
        out.erase(0, 1);
    return out;
}

std::string FormatSettings(const Settings& values)
{
    std::string text = "[Settings]\n";
    for (const auto& [key, value] : values)
        text += key + "=" + IniEscape(value) + "\n";
    return text;
}

Settings ParseSettings(const std::string& text)
{
    Settings values;
    bool inSection = false;
    for (const auto& rawLine : Lines(text)) {
        const std::string line = Trim(rawLine);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[') {
            inSection = line == "[Settings]";
            continue;
        }
        auto equals = line.find('=');
        if (!inSection || equals == std::string::npos)
            continue;
        values[Trim(line.substr(0, equals))] = IniUnescape(line.substr(equals + 1));
    }
    return values;
}

std::vector<std::string> InStartOrder(const std::string& logContent)
{
    std::vector<LogLine> lines;
    for (const auto& line : Lines(logContent)) {
        auto space = line.find(' ');
        LogLine entry;
        entry.pid = static_cast<pid_t>(std::stol(line.substr(0, space)));
        entry.text = space == std::string::npos ? std::string() : line.substr(space + 1);
        lines.push_back(entry);
    }
    // Pids are handed out in increasing order until they wrap at pid_max; the machine may
    // have a small pid_max, so a run that straddles the wrap is put back in order.
    const pid_t pidMax = PidMax();
    auto [low, high] = std::minmax_element(lines.begin(), lines.end(),
                                           [](auto& a, auto& b) { return a.pid < b.pid; });
    if (!lines.empty() && high->pid - low->pid > pidMax / 2)
        for (auto& line : lines)
            if (line.pid < pidMax / 2)
                line.pid += pidMax;
    std::stable_sort(lines.begin(), lines.end(), [](auto& a, auto& b) { return a.pid < b.pid; });
    std::vector<std::string> texts;
    for (auto& line : lines)
        texts.push_back(line.text);
    return texts;
}

// --- the sandbox --------------------------------------------------------------------------

Sandbox::Sandbox()
{
    for (const char* name : {"home", "config", "data", "data-dirs", "config-dirs", "cache"})
        MakeDirs(m_root / name);
    MakeDirs(RuntimeDir(), 0700);
}

void Sandbox::WriteSettings(const Settings& values) const
{
    WriteFile(SettingsPath(), FormatSettings(values));
}

Settings Sandbox::ReadSettings() const
{
    return HasSettings() ? ParseSettings(ReadFile(SettingsPath())) : Settings();
}

std::string Sandbox::WriteLogger(const std::string& path, const std::string& tag,
                                 int delaySeconds) const
{
    std::string script = "#!/bin/sh\n";
    if (delaySeconds > 0)
        script += "sleep " + std::to_string(delaySeconds) + "\n";
    script += "line=\"$$ " + tag +
              "\"\n"
              "for a in \"$@\"; do line=\"$line [$a]\"; done\n"
              "printf '%s @%s\\n' \"$line\" \"$(pwd -P)\" >> " +
              ShellQuote(LogPath()) + "\n";
    WriteFile(path, script, 0755);
    return path;
}

bool Sandbox::WaitForLogLines(std::size_t count, Milliseconds timeout) const
{
    return PollUntil([&] { return Lines(Log()).size() >= count; }, timeout);
}

std::vector<std::string> Sandbox::Environment(const std::string& display) const
{
    std::vector<std::string> env = {
        "HOME=" + Home(),
        "XDG_CONFIG_HOME=" + ConfigHome(),
        "XDG_CONFIG_DIRS=" + m_root / "config-dirs",
        "XDG_DATA_HOME=" + m_root / "data",
        "XDG_DATA_DIRS=" + m_root / "data-dirs",
        "XDG_CACHE_HOME=" + m_root / "cache",
        "XDG_RUNTIME_DIR=" + RuntimeDir(),
        "PATH=" + m_pathPrefix + Getenv("PATH", "/usr/local/bin:/usr/bin:/bin"),
        "LANG=C.UTF-8",
    };
    if (!display.empty())
        env.push_back("DISPLAY=" + display);
    // Sanitizer builds: the suppressions and options the test itself was given.
    for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS", "TMPDIR"})
        if (const char* value = std::getenv(name))
            env.push_back(std::string(name) + "=" + value);
    return env;
}

// --- hanavo -------------------------------------------------------------------------------

std::string HanavoBinary()
{
    // HANAVO_BINARY names another build of the program to test; by default, the one built
    // beside these tests.
    return Getenv("HANAVO_BINARY", HANAVO_BUILT_BINARY);
}

namespace {
std::string StderrPathOf(const Sandbox& sandbox)
{
    return sandbox.Path("hanavo.err");
}
} // namespace

std::unique_ptr<Process> StartHanavo(const Sandbox& sandbox, std::vector<std::string> args,
                                     Screen screen, const XServer* x, const std::string& binary)
{
    Command command;
    command.argv.push_back(binary);
    command.argv.insert(command.argv.end(), args.begin(), args.end());
    switch (screen) {
    case Screen::X11:
        if (!x)
            throw std::invalid_argument("X11 needs a server");
        command.env = sandbox.Environment(x->Display());
        break;
    case Screen::Offscreen:
        command.env = sandbox.Environment("");
        command.env.push_back("QT_QPA_PLATFORM=offscreen");
        break;
    case Screen::None:
        command.env = sandbox.Environment("");
        break;
    }
    // As at login: the program starts in the home folder.
    command.cwd = sandbox.Home();
    command.stdoutPath = sandbox.Path("hanavo.out");
    command.stderrPath = StderrPathOf(sandbox);
    return std::make_unique<Process>(command);
}

std::string HanavoStderr(const Sandbox& sandbox)
{
    return Exists(StderrPathOf(sandbox)) ? ReadFile(StderrPathOf(sandbox)) : std::string();
}

// --- the X server -------------------------------------------------------------------------

XServer::XServer(const Sandbox& sandbox, bool windowManager) : m_sandbox(sandbox)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        Fail("pipe2");
    Command command;
    // -displayfd: the server picks a free display itself and writes its number when ready.
    // -noreset: the server must not reset whenever the last of the short-lived clients leaves.
    command.argv = {"Xvfb",      "-displayfd", std::to_string(fds[1]),
                    "-screen",   "0",          "1280x1024x24",
                    "-nolisten", "tcp",        "-noreset"};
    command.env = sandbox.Environment("");
    command.stderrPath = sandbox.Path("xvfb.log");
    command.inheritFd = fds[1];
    m_xvfb = std::make_unique<Process>(command);
    close(fds[1]);

    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (number.find('\n') == std::string::npos) {
        auto left =
            std::chrono::duration_cast<Milliseconds>(deadline - std::chrono::steady_clock::now());
        struct pollfd fd = {fds[0], POLLIN, 0};
        if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0)
            break;
        char buffer[32];
        ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        number.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    number = Trim(number.substr(0, number.find('\n')));
    if (number.empty())
        throw std::runtime_error("Xvfb did not start: " + ReadFile(sandbox.Path("xvfb.log")));
    m_display = ":" + number;

    if (windowManager) {
        Command wm;
        wm.argv = {"openbox", "--sm-disable"};
        wm.env = sandbox.Environment(m_display);
        // The window manager's own themes and configuration come from the system.
        for (auto& var : wm.env) {
            if (var.rfind("XDG_DATA_DIRS=", 0) == 0)
                var = "XDG_DATA_DIRS=/usr/local/share:/usr/share";
            if (var.rfind("XDG_CONFIG_DIRS=", 0) == 0)
                var = "XDG_CONFIG_DIRS=/etc/xdg";
        }
        wm.stderrPath = sandbox.Path("openbox.log");
        m_wm = std::make_unique<Process>(wm);
        bool ready = PollUntil(
            [this] {
                auto out = Client({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"});
                return out.status && out.status->Ok() &&
                       out.out.find("window id") != std::string::npos;
            },
            kStartTimeout);
        if (!ready)
            throw std::runtime_error("openbox did not start: " +
                                     ReadFile(sandbox.Path("openbox.log")));
        // openbox announces itself before it manages windows; a window mapped in between can
        // stay unmapped for good. Ready once it frames a probe window.
        ready = false;
        for (int attempt = 0; attempt < 10 && !ready; ++attempt) {
            const std::string title = "wm-probe-" + std::to_string(attempt);
            auto probe = Start({"xmessage", "-title", title, "probe"}, "wm-probe");
            ready = PollUntil(
                [&] {
                    auto ids = Find(ExactName(title), true);
                    return ids.size() == 1 &&
                           Property(ids.front(), "_NET_FRAME_EXTENTS").find(" = ") !=
                               std::string::npos;
                },
                3s);
            probe->Stop();
        }
        if (!ready)
            throw std::runtime_error("openbox does not manage windows: " +
                                     ReadFile(sandbox.Path("openbox.log")));
    }
}

XServer::~XServer()
{
    if (m_wm)
        m_wm->Stop();
    m_xvfb->Stop();
}

Output XServer::Client(std::vector<std::string> argv, Milliseconds timeout) const
{
    Command command;
    command.argv = std::move(argv);
    command.env = m_sandbox.Environment(m_display);
    return Run(command, timeout);
}

std::unique_ptr<Process> XServer::Start(std::vector<std::string> argv,
                                        const std::string& name) const
{
    Command command;
    command.argv = std::move(argv);
    command.env = m_sandbox.Environment(m_display);
    command.stdoutPath = m_sandbox.Path(name + ".out");
    command.stderrPath = m_sandbox.Path(name + ".err");
    return std::make_unique<Process>(command);
}

std::vector<std::string> XServer::Find(const std::string& nameRegex, bool onlyShown) const
{
    std::vector<std::string> argv = {"xdotool", "search"};
    if (onlyShown)
        argv.push_back("--onlyvisible");
    argv.insert(argv.end(), {"--name", nameRegex});
    return Lines(Client(argv).out);
}

std::string XServer::WaitForWindow(const std::string& nameRegex, Milliseconds timeout) const
{
    std::string id;
    PollUntil(
        [&] {
            // A toolkit names its window before it shows it.
            auto ids = Find(nameRegex, true);
            if (ids.size() == 1)
                id = ids.front();
            return !id.empty();
        },
        timeout);
    if (id.empty()) {
        // Say what there was, for the failure message of the caller.
        std::string all, shown;
        for (const auto& found : Find(nameRegex))
            all += " " + found;
        for (const auto& found : Find(nameRegex, true))
            shown += " " + found;
        std::fprintf(stderr, "no single shown window named %s on %s; windows:%s; shown:%s\n",
                     nameRegex.c_str(), m_display.c_str(), all.c_str(), shown.c_str());
    }
    return id;
}

bool XServer::WaitUntilGone(const std::string& nameRegex, Milliseconds timeout) const
{
    return PollUntil([&] { return Find(nameRegex, true).empty(); }, timeout);
}

std::string XServer::WindowName(const std::string& id) const
{
    return Trim(Client({"xdotool", "getwindowname", id}).out);
}

void XServer::Focus(const std::string& id) const
{
    if (m_wm)
        Client({"xdotool", "windowactivate", "--sync", id}, 5s);
    else
        Client({"xdotool", "windowfocus", "--sync", id}, 5s);
}

void XServer::Keys(const std::string& id, const std::vector<std::string>& keys) const
{
    Focus(id);
    std::vector<std::string> argv = {"xdotool", "key", "--clearmodifiers", "--delay", "60"};
    argv.insert(argv.end(), keys.begin(), keys.end());
    Client(argv);
}

void XServer::Type(const std::string& id, const std::string& text) const
{
    Focus(id);
    Client({"xdotool", "type", "--clearmodifiers", "--delay", "60", text});
}

std::string XServer::Property(const std::string& id, const std::string& name) const
{
    return Client({"xprop", "-id", id, name}).out;
}

bool XServer::Screenshot(const std::string& id, const std::string& path) const
{
    auto out = Client({"import", "-window", id, path}, 30s);
    return out.status && out.status->Ok() && Exists(path);
}

std::string ExactName(const std::string& title)
{
    std::string regex = "^";
    for (char c : title) {
        if (std::strchr(".[]{}()\\*+?^$|", c))
            regex += '\\';
        regex += c;
    }
    return regex + "$";
}

} // namespace e2e
