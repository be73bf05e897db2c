// Runs the real hanavo binary the way a user meets it: a temporary home, its own X server
// (Xvfb, optionally with openbox) or the offscreen platform, the settings file written before
// and read after, windows found and keys pressed with xdotool. Every process a test starts is
// in a process group of its own and dies with the test.
#pragma once

#include <chrono>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;
using Milliseconds = std::chrono::milliseconds;

// Generous limits: they only catch a program that hangs, they never measure speed.
constexpr Milliseconds kStartTimeout = 30s;
constexpr Milliseconds kExitTimeout = 30s;

// A folder under $TMPDIR (or /tmp), removed with everything in it.
class TempDir
{
public:
    explicit TempDir(const std::string& prefix = "hanavo-e2e");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::string ReadFile(const std::string& path);
// Creates the parent folders; mode applies to the file.
void WriteFile(const std::string& path, const std::string& content, mode_t mode = 0644);
void MakeDirs(const std::string& path, mode_t mode = 0755);
bool Exists(const std::string& path);
std::string RealPath(const std::string& path);
// Modification time in nanoseconds, or -1 when the file is missing.
long long MTimeNs(const std::string& path);
// Files of a folder (names only, dot entries left out), sorted.
std::vector<std::string> ListFolder(const std::string& path);

struct ExitStatus
{
    bool exited = false; // false: ended by a signal
    int code = 0;        // exit code, or the signal number
    bool Ok() const { return exited && code == 0; }
};
std::string Describe(const ExitStatus& status);

struct Command
{
    std::vector<std::string> argv; // argv[0] is looked up in PATH when it has no slash
    std::vector<std::string> env;  // the whole environment of the child
    std::string stdoutPath;        // empty: /dev/null
    std::string stderrPath;        // empty: /dev/null
    int inheritFd = -1;            // a descriptor the child keeps open under the same number
    std::string cwd;               // empty: the test's own
};

// A child in a process group of its own; it is killed (with its group) when the test process
// dies or when this object goes away while it still runs.
class Process
{
public:
    explicit Process(const Command& command);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t Pid() const { return m_pid; }
    // Waits until the child ends or the timeout passes.
    std::optional<ExitStatus> Wait(Milliseconds timeout);
    bool Running();
    void Signal(int signal);
    // SIGTERM to the group, then SIGKILL when it has not ended after the grace period.
    void Stop(Milliseconds grace = 3s);

private:
    pid_t m_pid = -1;
    std::optional<ExitStatus> m_status;
};

struct Output
{
    std::optional<ExitStatus> status; // empty when it had to be killed after the timeout
    std::string out;
    std::string err;
};
// Runs a short helper command to its end, capturing what it prints.
Output Run(const Command& command, Milliseconds timeout = 10s);

// Polls until the predicate holds or the timeout passes; returns its last result.
template <typename Predicate> bool PollUntil(Predicate predicate, Milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (predicate())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        struct timespec pause = {0, 20'000'000};
        nanosleep(&pause, nullptr);
    }
}

// The settings store file: section [Settings] of an INI file in QSettings' escaping.
using Settings = std::map<std::string, std::string>;
std::string IniEscape(const std::string& value);
std::string IniUnescape(const std::string& raw);
std::string FormatSettings(const Settings& values);
// Values of section [Settings]; missing file gives an empty map.
Settings ParseSettings(const std::string& text);

// One line of the launch log: "<pid> <rest>".
struct LogLine
{
    pid_t pid = 0;
    std::string text;
};
// The log's lines in the order their processes were started (by pid, aware of wrap-around).
std::vector<std::string> InStartOrder(const std::string& logContent);

class XServer;

// Per test: a private home and XDG folders, the settings file, launch folders, scripts.
class Sandbox
{
public:
    Sandbox();

    const std::string& Root() const { return m_root.Path(); }
    std::string Home() const { return m_root / "home"; }
    std::string ConfigHome() const { return m_root / "config"; }
    std::string RuntimeDir() const { return m_root / "runtime"; }
    std::string SettingsPath() const { return ConfigHome() + "/Quillmere/Hanavo.conf"; }
    std::string LogPath() const { return m_root / "launch.log"; }
    std::string Path(const std::string& name) const { return m_root / name; }

    void WriteSettings(const Settings& values) const;
    Settings ReadSettings() const;
    bool HasSettings() const { return Exists(SettingsPath()); }

    // A shell script that appends "<pid> <tag> [arg]... @<working folder>" to the launch log
    // in one write, after sleeping `delaySeconds` when non-zero.
    std::string WriteLogger(const std::string& path, const std::string& tag,
                            int delaySeconds = 0) const;
    std::string Log() const { return Exists(LogPath()) ? ReadFile(LogPath()) : std::string(); }
    // Polls until the log holds at least `count` lines.
    bool WaitForLogLines(std::size_t count, Milliseconds timeout = 15s) const;

    // The environment for a program of this sandbox. display: an X display name, or empty.
    std::vector<std::string> Environment(const std::string& display) const;
    // Puts a folder in front of PATH for the programs started from now on.
    void PrependPath(const std::string& folder) { m_pathPrefix = folder + ":" + m_pathPrefix; }

private:
    TempDir m_root;
    std::string m_pathPrefix;
};

// How hanavo finds a screen.
enum class Screen
{
    X11,       // the given X server
    Offscreen, // QT_QPA_PLATFORM=offscreen and no DISPLAY
    None,      // no DISPLAY, no WAYLAND_DISPLAY, no QT_QPA_PLATFORM
};

std::string HanavoBinary();

// Starts hanavo with the arguments in the sandbox, its output kept in files of the sandbox.
std::unique_ptr<Process> StartHanavo(const Sandbox& sandbox, std::vector<std::string> args,
                                     Screen screen, const XServer* x = nullptr,
                                     const std::string& binary = HanavoBinary());
// What the last StartHanavo in this sandbox printed on stderr.
std::string HanavoStderr(const Sandbox& sandbox);

// An Xvfb display of its own, optionally with openbox managing it.
class XServer
{
public:
    XServer(const Sandbox& sandbox, bool windowManager);
    ~XServer();

    const std::string& Display() const { return m_display; }
    bool HasWindowManager() const { return m_wm != nullptr; }

    // Runs an X client (xdotool, xprop, ...) on this display.
    Output Client(std::vector<std::string> argv, Milliseconds timeout = 10s) const;
    // Starts a lasting X client on this display; its output goes to <name>.out and <name>.err
    // in the sandbox.
    std::unique_ptr<Process> Start(std::vector<std::string> argv, const std::string& name) const;

    // Ids of the windows whose WM_NAME matches the extended regular expression (mapped or
    // not, or only those shown).
    std::vector<std::string> Find(const std::string& nameRegex, bool onlyShown = false) const;
    // The one shown window matching the regex, once there is one; empty after the timeout.
    std::string WaitForWindow(const std::string& nameRegex,
                              Milliseconds timeout = kStartTimeout) const;
    // Until no window matching the regex is shown.
    bool WaitUntilGone(const std::string& nameRegex, Milliseconds timeout = kExitTimeout) const;
    std::string WindowName(const std::string& id) const;

    // Gives the window the keyboard focus as a user would (through the window manager when
    // there is one), then types the keys with XTEST ("Escape", "Tab", "ctrl+a", "space").
    void Keys(const std::string& id, const std::vector<std::string>& keys) const;
    void Type(const std::string& id, const std::string& text) const;

    // A property of the window as xprop prints it.
    std::string Property(const std::string& id, const std::string& name) const;
    // Saves the window's picture (frame excluded) as a PNG.
    bool Screenshot(const std::string& id, const std::string& path) const;

private:
    void Focus(const std::string& id) const;

    const Sandbox& m_sandbox;
    std::unique_ptr<Process> m_xvfb;
    std::unique_ptr<Process> m_wm;
    std::string m_display;
};

// ERE for an exact window name; the regex characters of the title are escaped.
std::string ExactName(const std::string& title);

inline const std::string kTitleStopped = "Hanavo(停止中)";
inline const std::string kTitleCounting = "Hanavo(秒読中)";

} // namespace e2e
