// Runs the real hanavo binary the way a user meets it: a temporary home, its own X server
// (Xvfb, optionally with openbox) or the offscreen platform, the settings file written before
// and read after, windows found and keys pressed with xdotool. Every process a test starts is
// in a process group of its own and dies with the test.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <sys/types.h>
#include <vector>

#include "support/TempDir.h"

namespace e2e {

using namespace std::chrono_literals;
using Milliseconds = std::chrono::milliseconds;

// Generous: it only catches a program that hangs, it never measures speed.
constexpr Milliseconds kTimeout = 30s;

inline const std::string kTitleStopped = "Hanavo(停止中)";
inline const std::string kTitleCounting = "Hanavo(秒読中)";

// A case of a parametrised test, printed and named by its name.
struct Case
{
    const char* name;
};
inline std::ostream& operator<<(std::ostream& out, const Case& c)
{
    return out << c.name;
}
inline auto CaseName = [](const auto& info) { return std::string(info.param.name); };

using testing_support::PollUntil;
using testing_support::ReadFile;
// Creates the parent folders.
void WriteFile(const std::string& path, const std::string& content, bool executable = false);
bool Exists(const std::string& path);

struct Command
{
    std::vector<std::string> argv; // argv[0] is looked up in PATH when it has no slash
    std::vector<std::string> env;  // the whole environment
    std::string out, err;          // files for stdout and stderr; empty: /dev/null
    std::string cwd = {};          // empty: the test's own
};

// A child in a process group of its own, ended with its group when this object goes or the
// test process dies.
class Process
{
public:
    explicit Process(const Command& command);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Once the child has ended: its exit code, or minus the signal that ended it.
    std::optional<int> Wait(Milliseconds timeout);
    bool Running() { return !Wait(0ms); }
    void Signal(int signal);

private:
    pid_t m_pid;
    std::optional<int> m_code;
};

// Section [Settings] of the settings file.
using Settings = std::map<std::string, std::string>;

// Per test: a private home and XDG folders, the settings file, the launch log, hanavo.
class Sandbox
{
public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    std::string Path(const std::string& name) const { return m_root + "/" + name; }
    std::string RuntimeDir() const { return Path("runtime"); }
    std::string SettingsPath() const { return Path("config/Quillmere/Hanavo.conf"); }

    void WriteSettings(const Settings& values) const;
    Settings ReadSettings() const;

    // A shell script that appends "<pid> <tag> [arg]... @<working folder>" to the launch log
    // in one write; with a gate, only once that file exists.
    std::string WriteLogger(const std::string& path, const std::string& tag,
                            const std::string& gate = {}) const;
    std::string Log() const { return ReadFile(Path("launch.log")); }
    // The log's lines without their pids in the order their processes started, once there are
    // `count` of them (or what there is after the timeout).
    std::vector<std::string> Launched(std::size_t count) const;

    // display: an X display, "offscreen" for the toolkit's offscreen platform, or empty for
    // none at all.
    std::vector<std::string> Environment(const std::string& display) const;
    std::unique_ptr<Process> Hanavo(const std::vector<std::string>& args,
                                    const std::string& display,
                                    const std::string& binary = HANAVO_BUILT_BINARY) const;
    // What the last hanavo of this sandbox printed on stderr.
    std::string Stderr() const { return ReadFile(Path("hanavo.err")); }
    // Runs a short helper to its end; returns its exit code (or nothing after a timeout) and
    // what it printed.
    struct Output
    {
        std::optional<int> code;
        std::string out, err;
    };
    Output Run(std::vector<std::string> argv, const std::string& display = {}) const;

private:
    std::string m_root;
};

// An Xvfb display of its own, optionally with openbox managing it.
class XServer
{
public:
    XServer(const Sandbox& sandbox, bool windowManager);

    const std::string& Display() const { return m_display; }
    // Runs an X client (xdotool, xprop, ...) on this display; returns what it printed.
    std::string Client(std::vector<std::string> argv) const;
    // Starts a lasting X client; its stderr goes to <name>.err in the sandbox.
    std::unique_ptr<Process> Start(std::vector<std::string> argv, const std::string& name) const;
    // Shown windows with exactly this title.
    std::vector<std::string> Find(const std::string& title) const;
    // The one shown window with this title, once there is one; empty after the timeout.
    std::string WaitForWindow(const std::string& title) const;
    // Whether the first window is stacked above the second (the window manager's client list).
    bool IsAbove(const std::string& id, const std::string& other) const;
    // Focuses the window as a user would (through the window manager when there is one), then
    // types the keys with XTEST ("Escape", "Tab", "ctrl+a", "4").
    void Keys(const std::string& id, const std::vector<std::string>& keys) const;

private:
    const Sandbox& m_sandbox;
    std::unique_ptr<Process> m_xvfb, m_wm;
    std::string m_display;
};

} // namespace e2e
