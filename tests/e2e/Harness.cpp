#include "Harness.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace e2e {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

} // namespace

void WriteFile(const std::string& path, const std::string& content, bool executable)
{
    fs::create_directories(fs::path(path).parent_path());
    if (!(std::ofstream(path, std::ios::binary | std::ios::trunc) << content))
        throw std::runtime_error("cannot write " + path);
    if (executable)
        fs::permissions(path, fs::perms::owner_exec | fs::perms::group_exec, fs::perm_options::add);
}

bool Exists(const std::string& path)
{
    return fs::exists(fs::symlink_status(path));
}

// Everything the child needs is prepared before fork: between fork and exec only
// async-signal-safe calls run.
Process::Process(const Command& command)
{
    std::vector<char*> argv, envp;
    for (const auto& arg : command.argv)
        argv.push_back(const_cast<char*>(arg.c_str()));
    for (const auto& var : command.env)
        envp.push_back(const_cast<char*>(var.c_str()));
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const char* out = command.out.empty() ? "/dev/null" : command.out.c_str();
    const char* err = command.err.empty() ? "/dev/null" : command.err.c_str();
    const pid_t parent = getpid();

    m_pid = fork();
    if (m_pid < 0)
        throw std::runtime_error("fork failed");
    if (m_pid == 0) {
        setpgid(0, 0);
        // The test may be killed by its timeout: take the child with it.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        const int fds[3] = {open("/dev/null", O_RDONLY),
                            open(out, O_WRONLY | O_CREAT | O_TRUNC, 0644),
                            open(err, O_WRONLY | O_CREAT | O_TRUNC, 0644)};
        for (int fd = 0; fd < 3; ++fd)
            if (fds[fd] < 0 || dup2(fds[fd], fd) < 0)
                _exit(127);
        if (!command.cwd.empty() && chdir(command.cwd.c_str()) != 0)
            _exit(127);
        // A runner may ignore or block signals (nohup); the child gets the defaults.
        for (int sig = 1; sig < NSIG; ++sig)
            signal(sig, SIG_DFL);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        execvpe(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    setpgid(m_pid, m_pid);
}

// Politely first: a killed Xvfb would leave its lock and socket behind in /tmp.
Process::~Process()
{
    if (Running()) {
        kill(-m_pid, SIGTERM);
        if (!Wait(3s))
            kill(-m_pid, SIGKILL);
        Wait(5s);
    }
}

std::optional<int> Process::Wait(Milliseconds timeout)
{
    PollUntil(
        [this] {
            int status = 0;
            if (!m_code && waitpid(m_pid, &status, WNOHANG) == m_pid)
                m_code = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
            return m_code.has_value();
        },
        timeout);
    return m_code;
}

void Process::Signal(int signal)
{
    if (Running())
        kill(m_pid, signal);
}

Sandbox::Sandbox()
{
    std::string pattern = fs::temp_directory_path().string() + "/hanavo-e2e-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp " + pattern + " failed");
    m_root = pattern;
    for (const char* name : {"home", "config", "data", "data-dirs", "config-dirs", "cache"})
        fs::create_directory(Path(name));
    // The toolkit complains on stderr about a runtime folder others may read.
    fs::create_directory(RuntimeDir());
    fs::permissions(RuntimeDir(), fs::perms::owner_all);
}

Sandbox::~Sandbox()
{
    std::error_code ignored;
    fs::remove_all(m_root, ignored);
}

// One "Name=value" line each, as a person would write them.
void Sandbox::WriteSettings(const Settings& values) const
{
    std::string text = "[Settings]\n";
    for (const auto& [key, value] : values)
        text += key + "=" + value + "\n";
    WriteFile(SettingsPath(), text);
}

// The values of the group: the rest of each line after '=', the first of a name wins. The
// tests' values have no blanks at either end.
Settings Sandbox::ReadSettings() const
{
    Settings values;
    bool inSection = false;
    for (const auto& line : Lines(ReadFile(SettingsPath()))) {
        const auto equals = line.find('=');
        if (line.front() == '[')
            inSection = line == "[Settings]";
        else if (inSection && equals != std::string::npos)
            values.emplace(line.substr(0, equals), line.substr(equals + 1));
    }
    return values;
}

std::string Sandbox::WriteLogger(const std::string& path, const std::string& tag,
                                 const std::string& gate) const
{
    WriteFile(path, testing_support::LoggerScript(tag, Path("launch.log"), gate), true);
    return path;
}

std::vector<std::string> Sandbox::Launched(std::size_t count) const
{
    return testing_support::InStartOrder(
        testing_support::WaitForLines(Path("launch.log"), count, 15s));
}

std::vector<std::string> Sandbox::Environment(const std::string& display) const
{
    std::vector<std::string> env = {
        "HOME=" + Path("home"),
        "XDG_CONFIG_HOME=" + Path("config"),
        "XDG_CONFIG_DIRS=" + Path("config-dirs"),
        "XDG_DATA_HOME=" + Path("data"),
        "XDG_DATA_DIRS=" + Path("data-dirs"),
        "XDG_CACHE_HOME=" + Path("cache"),
        "XDG_RUNTIME_DIR=" + RuntimeDir(),
        "LANG=C.UTF-8",
    };
    if (display == "offscreen")
        env.push_back("QT_QPA_PLATFORM=offscreen");
    else if (!display.empty())
        env.push_back("DISPLAY=" + display);
    // Passed on: where programs are, where temporary files go, the sanitizers' options.
    for (const char* name : {"PATH", "TMPDIR", "ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"})
        if (const char* value = std::getenv(name))
            env.push_back(std::string(name) + "=" + value);
    return env;
}

std::unique_ptr<Process> Sandbox::Hanavo(const std::vector<std::string>& args,
                                         const std::string& display,
                                         const std::string& binary) const
{
    Command command{{binary},
                    Environment(display),
                    Path("hanavo.out"),
                    Path("hanavo.err"),
                    Path("home")}; // as at login: started in the home folder
    command.argv.insert(command.argv.end(), args.begin(), args.end());
    return std::make_unique<Process>(command);
}

Sandbox::Output Sandbox::Run(std::vector<std::string> argv, const std::string& display) const
{
    Process helper({std::move(argv), Environment(display), Path("run.out"), Path("run.err")});
    const auto code = helper.Wait(kTimeout);
    return {code, ReadFile(Path("run.out")), ReadFile(Path("run.err"))};
}

XServer::XServer(const Sandbox& sandbox, bool windowManager) : m_sandbox(sandbox)
{
    // -displayfd: the server picks a free display itself and prints its number when ready.
    // -noreset: the server must not reset whenever the last of the short-lived clients leaves.
    m_xvfb = std::make_unique<Process>(Command{
        {"Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"},
        sandbox.Environment(""),
        sandbox.Path("xvfb.display"),
        sandbox.Path("xvfb.log")});
    const std::string number = sandbox.Path("xvfb.display");
    if (!PollUntil([&] { return ReadFile(number).find('\n') != std::string::npos; }, kTimeout))
        throw std::runtime_error("Xvfb did not start: " + ReadFile(sandbox.Path("xvfb.log")));
    m_display = ":" + Lines(ReadFile(number)).front();
    if (!windowManager)
        return;

    // The window manager's themes and configuration come from the system.
    auto env = sandbox.Environment(m_display);
    std::erase_if(env, [](const std::string& var) {
        return var.starts_with("XDG_DATA_DIRS=") || var.starts_with("XDG_CONFIG_DIRS=");
    });
    m_wm = std::make_unique<Process>(
        Command{{"openbox", "--sm-disable"}, env, "", sandbox.Path("openbox.log")});
    // openbox announces itself before it manages windows, and a window mapped in between can
    // stay unmapped for good: ready once it frames a probe window.
    for (int attempt = 0; attempt < 10; ++attempt) {
        const std::string title = "wm-probe-" + std::to_string(attempt);
        auto probe = Start({"xmessage", "-title", title, "probe"}, "wm-probe");
        if (PollUntil(
                [&] {
                    const auto ids = Find(title);
                    return ids.size() == 1 &&
                           Client({"xprop", "-id", ids[0], "_NET_FRAME_EXTENTS"}).find(" = ") !=
                               std::string::npos;
                },
                3s))
            return;
    }
    throw std::runtime_error("openbox does not manage windows: " +
                             ReadFile(sandbox.Path("openbox.log")));
}

std::string XServer::Client(std::vector<std::string> argv) const
{
    return m_sandbox.Run(std::move(argv), m_display).out;
}

std::unique_ptr<Process> XServer::Start(std::vector<std::string> argv,
                                        const std::string& name) const
{
    return std::make_unique<Process>(Command{std::move(argv), m_sandbox.Environment(m_display), "",
                                             m_sandbox.Path(name + ".err")});
}

std::vector<std::string> XServer::Find(const std::string& title) const
{
    std::string regex = "^";
    for (char c : title) {
        if (std::strchr(".[]{}()\\*+?^$|", c))
            regex += '\\';
        regex += c;
    }
    return Lines(Client({"xdotool", "search", "--onlyvisible", "--name", regex + "$"}));
}

std::string XServer::WaitForWindow(const std::string& title) const
{
    std::vector<std::string> ids;
    PollUntil([&] { return (ids = Find(title)).size() == 1; }, kTimeout);
    return ids.size() == 1 ? ids[0] : std::string();
}

bool XServer::IsAbove(const std::string& id, const std::string& other) const
{
    // "_NET_CLIENT_LIST_STACKING(WINDOW): window id # 0x400006, 0x600006", bottom to top.
    const std::string list = Client({"xprop", "-root", "_NET_CLIENT_LIST_STACKING"});
    std::vector<std::string> ids;
    for (auto at = list.find("0x"); at != std::string::npos; at = list.find("0x", at + 2))
        ids.push_back(std::to_string(std::stoul(list.substr(at), nullptr, 16)));
    const auto a = std::find(ids.begin(), ids.end(), id),
               b = std::find(ids.begin(), ids.end(), other);
    return a != ids.end() && b != ids.end() && a > b;
}

void XServer::Keys(const std::string& id, const std::vector<std::string>& keys) const
{
    Client({"xdotool", m_wm ? "windowactivate" : "windowfocus", "--sync", id});
    std::vector<std::string> argv = {"xdotool", "key", "--clearmodifiers", "--delay", "60"};
    argv.insert(argv.end(), keys.begin(), keys.end());
    Client(argv);
}

} // namespace e2e
