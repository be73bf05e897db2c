// Runs the real hanavo the way a user meets it: a temporary home, its own X server (Xvfb with
// openbox), a Wayland compositor, the offscreen platform or no display at all, the settings file
// written before and read after, windows found and keys typed with xdotool. Every process a test
// starts is in a process group of its own and dies with the test.
#pragma once

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/TempDir.h"

namespace e2e {

using namespace std::chrono_literals;
using testing_support::PollUntil;
using testing_support::ReadFile;
using Strings = std::vector<std::string>;

// Generous: it only catches a program that hangs, it never measures speed.
constexpr std::chrono::milliseconds kTimeout = 30s;
inline const std::string kTitleStopped = "Hanavo(停止中)";
inline const std::string kTitleCounting = "Hanavo(秒読中)";

// A child with exactly this environment, stdin from /dev/null and its output to files (empty:
// /dev/null). Its group is ended when this object goes, and it dies with the test process.
class Process
{
public:
    Process(const Strings& args, const Strings& env, const std::string& out = {},
            const std::string& err = {}, const std::string& cwd = {})
    {
        // Everything is prepared before fork: in the child only async-signal-safe calls run.
        const auto pointers = [](const Strings& strings) {
            std::vector<char*> pointers;
            for (const auto& text : strings)
                pointers.push_back(const_cast<char*>(text.c_str()));
            return pointers.push_back(nullptr), pointers;
        };
        std::vector<char*> argv = pointers(args), envp = pointers(env);
        const char* files[3] = {"/dev/null", out.empty() ? "/dev/null" : out.c_str(),
                                err.empty() ? "/dev/null" : err.c_str()};
        const pid_t parent = getpid();
        if ((m_pid = fork()) < 0)
            throw std::runtime_error("fork failed");
        if (m_pid == 0) {
            setpgid(0, 0);
            // The test may be killed by its timeout: take the child with it.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            for (int fd = 0; fd < 3; ++fd) {
                const int file =
                    open(files[fd], fd ? O_WRONLY | O_CREAT | O_TRUNC : O_RDONLY, 0644);
                if (getppid() != parent || file < 0 || dup2(file, fd) < 0)
                    _exit(127);
            }
            if (!cwd.empty() && chdir(cwd.c_str()) != 0)
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
    ~Process()
    {
        for (int sig : {SIGTERM, SIGKILL})
            if (Running() && kill(-m_pid, sig) == 0)
                Wait(3s);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Once the child has ended: its exit code, or minus the signal that ended it.
    std::optional<int> Wait(std::chrono::milliseconds timeout)
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
    bool Running() { return !Wait(0ms); }
    void Signal(int signal)
    {
        if (Running())
            kill(m_pid, signal);
    }

private:
    pid_t m_pid;
    std::optional<int> m_code;
};

// Per test: a private home and desktop folders, each named after the variable that points at
// it, the settings file and the launch log.
class Sandbox : public testing_support::TempDir
{
public:
    Sandbox()
    {
        for (const char* var : kFolders)
            MakeDir(var);
        // The toolkit complains on stderr about a runtime folder others may read.
        std::filesystem::permissions(*this / "XDG_RUNTIME_DIR", std::filesystem::perms::owner_all);
    }

    std::string SettingsPath() const { return *this / "XDG_CONFIG_HOME/Quillmere/Hanavo.conf"; }
    std::string Settings() const { return ReadFile(SettingsPath()); }
    // `lines` are "Name=value" lines, each ended by a newline.
    void WriteSettings(const std::string& lines) const
    {
        Write("XDG_CONFIG_HOME/Quillmere/Hanavo.conf", "[Settings]\n" + lines);
    }
    // Whether the settings file holds this "Name=value" line.
    bool Saved(const std::string& line) const
    {
        return Settings().find("\n" + line + "\n") != std::string::npos;
    }

    // A script that logs "<tag> [arg]... @<working folder>" when it runs (see LoggerScript).
    std::string Logger(const std::string& name, const std::string& tag,
                       const std::string& gate = {}) const
    {
        return Write(name, testing_support::LoggerScript(tag, *this / "launch.log", gate), true);
    }
    std::string Log() const { return ReadFile(*this / "launch.log"); }
    // The log's lines in the order their processes started, once there are `count`.
    Strings Launched(std::size_t count) const
    {
        return testing_support::InStartOrder(
            testing_support::WaitForLines(*this / "launch.log", count, 15s));
    }
    // " @" and the real path of a folder of the sandbox, as the loggers write it.
    std::string At(const std::string& folder) const
    {
        return " @" + std::filesystem::canonical(*this / folder).string();
    }

    // display: an X display, "offscreen", or empty for none; `extra` replaces or adds variables.
    Strings Env(const std::string& display, const Strings& extra = {}) const
    {
        Strings env = {"LANG=C.UTF-8",
                       display == "offscreen" ? "QT_QPA_PLATFORM=offscreen" : "DISPLAY=" + display};
        if (display.empty())
            env.pop_back();
        for (const char* var : kFolders)
            env.push_back(var + ("=" + *this / var));
        // Passed on: where programs are, where temporary files go, the sanitizers' options.
        for (const char* name : {"PATH", "TMPDIR", "ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"})
            if (const char* value = std::getenv(name))
                env.push_back(std::string(name) + "=" + value);
        for (const std::string& var : extra) {
            const std::string name = var.substr(0, var.find('=') + 1);
            std::erase_if(env, [&](const std::string& old) { return old.starts_with(name); });
            env.push_back(var);
        }
        return env;
    }
    // Started in the home folder, as at login; its stderr goes to Stderr().
    std::unique_ptr<Process> Hanavo(Strings args, const std::string& display,
                                    const Strings& extra = {},
                                    const std::string& binary = HANAVO_BUILT_BINARY) const
    {
        args.insert(args.begin(), binary);
        return std::make_unique<Process>(args, Env(display, extra), *this / "hanavo.out",
                                         *this / "hanavo.err", *this / "HOME");
    }
    std::string Stderr() const { return ReadFile(*this / "hanavo.err"); }
    // Runs a short helper to its end: its exit code (nothing after the timeout) and its output.
    std::pair<std::optional<int>, std::string> Run(const Strings& argv,
                                                   const std::string& display = {}) const
    {
        const auto code = Process(argv, Env(display), *this / "run.out").Wait(kTimeout);
        return {code, ReadFile(*this / "run.out")};
    }

private:
    static constexpr const char* kFolders[] = {
        "HOME",          "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME",
        "XDG_DATA_DIRS", "XDG_CACHE_HOME",  "XDG_RUNTIME_DIR"};
};

// An Xvfb display of its own, managed by openbox.
class XServer
{
public:
    explicit XServer(const Sandbox& sandbox) : m_sandbox(sandbox)
    {
        // -displayfd: the server picks a free display and prints its number once it is ready.
        // -noreset: no reset whenever the last of the short-lived clients leaves.
        const std::string number = sandbox / "xvfb.display";
        m_xvfb = std::make_unique<Process>(Strings{"Xvfb", "-displayfd", "1", "-screen", "0",
                                                   "1280x1024x24", "-nolisten", "tcp", "-noreset"},
                                           sandbox.Env(""), number, sandbox / "xvfb.log");
        if (!PollUntil([&] { return ReadFile(number).find('\n') != std::string::npos; }, kTimeout))
            throw std::runtime_error("Xvfb did not start: " + ReadFile(sandbox / "xvfb.log"));
        m_display = ":" + ReadFile(number).substr(0, ReadFile(number).find('\n'));
        // The window manager's themes and configuration come from the system. It runs the
        // startup command once it manages windows: one mapped before may stay unmapped for good.
        const std::string ready = sandbox / "openbox.ready";
        m_wm = std::make_unique<Process>(
            Strings{"openbox", "--sm-disable", "--startup", "touch '" + ready + "'"},
            sandbox.Env(m_display,
                        {"XDG_DATA_DIRS=/usr/local/share:/usr/share", "XDG_CONFIG_DIRS=/etc/xdg"}),
            "", sandbox / "openbox.log");
        if (!PollUntil([&] { return std::filesystem::exists(ready); }, kTimeout))
            throw std::runtime_error("openbox did not start: " + ReadFile(sandbox / "openbox.log"));
    }

    const std::string& Display() const { return m_display; }
    // Runs an X client (xdotool, xprop, ...) on this display; returns what it printed.
    std::string Client(const Strings& argv) const { return m_sandbox.Run(argv, m_display).second; }
    // Shown windows with exactly this title, a line each.
    std::string Find(const std::string& title) const
    {
        std::string regex = "^";
        for (char c : title)
            regex += std::string(std::strchr(".[]{}()\\*+?^$|", c) ? "\\" : "") + c;
        return Client({"xdotool", "search", "--onlyvisible", "--name", regex + "$"});
    }
    // The one shown window with this title, once there is one; empty after the timeout.
    std::string WaitForWindow(const std::string& title) const
    {
        std::string ids;
        PollUntil([&] { return std::ranges::count(ids = Find(title), '\n') == 1; }, kTimeout);
        return std::ranges::count(ids, '\n') == 1 ? ids.substr(0, ids.size() - 1) : "";
    }

private:
    const Sandbox& m_sandbox;
    std::unique_ptr<Process> m_xvfb, m_wm;
    std::string m_display;
};

} // namespace e2e
