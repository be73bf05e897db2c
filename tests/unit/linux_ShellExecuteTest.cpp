#include "platform/Os.h"
#include "platform/linux/LinuxOs.h"
#include "platform/linux/LinuxTesting.h"
#include "support/TempDir.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using testing_support::ReadFile;
using testing_support::TempDir;
namespace fs = std::filesystem;

namespace {

using Arguments = std::vector<std::string>;

// Records each start in $HANAVO_TEST_LOG_DIR/launch.<pid>, each field NUL-terminated: whether
// it leads a session of its own, its working folder, the path it was started by, its arguments.
const char kLogger[] = R"sh(#!/bin/sh
session() { s=$(cat /proc/$$/stat); set -- ${s##*) }; [ "$4" = $$ ] && echo own || echo other; }
out="$HANAVO_TEST_LOG_DIR/launch.$$"
printf '%s\000' "$(session)" "$(pwd -P)" "$0" "$@" > "$out.tmp" && mv "$out.tmp" "$out"
)sh";

// A desktop of the tests' own, set up once per process before GIO first reads it: *.txt is
// text/plain; it and folders open with "logger files %F", hanavotest: addresses with
// "logger url %u". Nothing of the machine's own desktop is visible. Returns the logger.
const std::string& Handler()
{
    static const TempDir root;
    static const std::string handler = [] {
        std::string logger = root.Write("logger", kLogger, true);
        root.Write("data/mime/globs2", "50:text/plain:*.txt\n");
        root.Write("data/applications/files.desktop",
                   "[Desktop Entry]\nType=Application\nName=Files\nExec=\"" + logger +
                       "\" files %F\nMimeType=text/plain;inode/directory;\n");
        root.Write("data/applications/urls.desktop",
                   "[Desktop Entry]\nType=Application\nName=Urls\nExec=\"" + logger +
                       "\" url %u\nMimeType=x-scheme-handler/hanavotest;\n");
        root.Write("config/mimeapps.list", "[Default Applications]\ntext/plain=files.desktop\n"
                                           "inode/directory=files.desktop\n"
                                           "x-scheme-handler/hanavotest=urls.desktop\n");
        setenv("HOME", root.Path().c_str(), 1);
        setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
        setenv("XDG_DATA_DIRS", root.MakeDir("none").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (root / "none").c_str(), 1);
        setenv("GIO_USE_VFS", "local", 1);
        for (const char* name : {"DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY",
                                 "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION"})
            unsetenv(name);
        return logger;
    }();
    return handler;
}

template <typename Condition> bool WaitUntil(Condition condition)
{
    return testing_support::PollUntil(condition, std::chrono::seconds(10));
}

Arguments SplitAtNul(const std::string& text)
{
    Arguments parts;
    for (std::size_t start = 0, end; (end = text.find('\0', start)) != std::string::npos;
         start = end + 1)
        parts.push_back(text.substr(start, end - start));
    return parts;
}

// The processes this one started, by any thread, has not waited for, and are not in `old`.
std::set<pid_t> Children(const std::set<pid_t>& old = {})
{
    std::set<pid_t> pids;
    for (const auto& task : fs::directory_iterator("/proc/self/task")) {
        std::istringstream in(ReadFile(task.path() / "children"));
        for (pid_t pid; in >> pid;)
            if (!old.count(pid))
                pids.insert(pid);
    }
    return pids;
}

class ShellExecuteTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Handler();
        m_dir.MakeDir("work/sub");
        setenv("HANAVO_TEST_LOG_DIR", m_log.c_str(), 1);
        setenv("PATH", (m_bin + ":/usr/bin:/bin").c_str(), 1);
        fs::current_path(m_work);
    }
    void TearDown() override
    {
        setenv("PATH", m_path.c_str(), 1);
        platform::linux_testing::SetSpawnFailure({});
        platform::linux_testing::ClearStartEnvironment();
        platform::linux_testing::SetLaunchDeadline(std::chrono::seconds(5));
        platform::linux_testing::ClearSessionEnd();
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }

    static int Launch(const std::string& file, const std::string* params = nullptr,
                      const char* directory = nullptr, const char* verb = nullptr)
    {
        std::string folder = directory ? directory : "";
        return platform::ShellOpen(verb, file, params, directory ? &folder : nullptr);
    }

    // What the logger records for a start of `program` (its full path) in `folder`.
    Arguments Start(const std::string& program, Arguments args, std::string folder = {}) const
    {
        args.insert(args.begin(), {"own", folder.empty() ? m_work : folder, program});
        return args;
    }

    // The starts logged, once there are `count` (or after a timeout), in no order.
    std::multiset<Arguments> Launches(std::size_t count) const
    {
        std::vector<fs::path> logs;
        WaitUntil([&] {
            logs.clear();
            for (const auto& entry : fs::directory_iterator(m_log))
                if (entry.path().extension() != ".tmp")
                    logs.push_back(entry.path());
            return logs.size() >= count;
        });
        std::multiset<Arguments> starts;
        for (const fs::path& log : logs) {
            Arguments start = SplitAtNul(ReadFile(log));
            if (start.size() > 2) // the path it was started by, relative to its folder
                start[2] = (fs::path(start[1]) / start[2]).lexically_normal();
            starts.insert(start);
        }
        return starts;
    }

    TempDir m_dir;
    const std::string m_work = m_dir.MakeDir("work"), m_log = m_dir.MakeDir("log"),
                      m_bin = m_dir.MakeDir("bin");
    testing_support::CwdGuard m_cwd;
    std::string m_path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
    const std::set<pid_t> m_otherChildren = Children(); // of other tests in this process
};

TEST_F(ShellExecuteTest, ReportsEachFailureWithItsCode)
{
    m_dir.Write("work/notes.txt", "notes");
    m_dir.Write("work/data.bin", std::string("\0\1\2\3\xff\xfe\0\0", 8));
    m_dir.Write("work/elf", std::string("\x7f") + "ELF but nothing a loader could use", true);
    m_dir.Write("work/no-interpreter", "#!/nonexistent/hanavo-sh\n", true);
    m_dir.Write("work/bad-interpreter", "#!" + m_dir.Write("interpreter", "no execute bit") + "\n",
                true);
    m_dir.Write("work/broken.desktop", "this is not a desktop entry\n");
    m_dir.Write("work/missing-program.desktop",
                "[Desktop Entry]\nType=Application\nName=Gone\nExec=/nonexistent/hanavo-app\n");
    m_dir.Write("bin/not-executable", kLogger); // only programs count in PATH
    const std::pair<int, std::vector<const char*>> cases[] = {
        {2,
         {"", "hanavo-no-such-program", "./missing", "no-interpreter", "missing-program.desktop",
          "not-executable"}},
        {3, {"no-folder/x", "notes.txt/x"}},
        {5, {"bad-interpreter"}},
        {11, {"elf", "broken.desktop"}},
        {31, {"data.bin", "nosuchscheme://somewhere", "mailto:someone@example.org"}}};
    for (const auto& [code, files] : cases)
        for (const char* file : files)
            EXPECT_EQ(Launch(file), code) << file;
    EXPECT_EQ(Launch("notes.txt", nullptr, "missing-folder"), 3);
    EXPECT_EQ(Launch("notes.txt", nullptr, nullptr, "print"), 31);
    EXPECT_TRUE(Launches(0).empty());
}

TEST_F(ShellExecuteTest, ReportsStartFailuresInjectedAtTheSpawnSeam)
{
    m_dir.Write("work/prog", kLogger, true);
    const std::pair<int, int> cases[] = {{EACCES, 5}, {EPERM, 5},    {ENOMEM, 8},
                                         {EAGAIN, 8}, {ENOEXEC, 11}, {ELIBBAD, 11}};
    for (auto [error, code] : cases) {
        std::string seen;
        platform::linux_testing::SetSpawnFailure([&seen, error = error](const std::string& path) {
            seen = path;
            return error;
        });
        EXPECT_EQ(Launch("prog"), code) << "errno " << error;
        EXPECT_EQ(fs::path(seen).filename().string(), "prog");
    }
    EXPECT_TRUE(Launches(0).empty());
}

TEST_F(ShellExecuteTest, StartedProgramRunsDetachedWithACleanStart)
{
    // A child of another part of the process (GIO, Qt) stays theirs to wait for.
    pid_t other = fork();
    ASSERT_GE(other, 0);
    if (other == 0)
        _exit(7);
    // What this process has and a started program must not get: a descriptor without
    // close-on-exec, a pipe as standard input, a blocked and an ignored signal, an environment
    // changed since the start (the log folder the start environment names is the one checked).
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    int savedStdin = dup(0);
    dup2(pipeFds[0], 0);
    sigset_t blocked, savedMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &blocked, &savedMask);
    struct sigaction ignore = {}, savedAction;
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGUSR2, &ignore, &savedAction);
    const Arguments start = {"HANAVO_TEST_LOG_DIR=" + m_log, "PATH=/usr/bin:/bin",
                             "ODD=value with = and \xff"};
    std::vector<char*> envp;
    for (const std::string& entry : start)
        envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);
    platform::RecordStartEnvironment(envp.data());
    setenv("HANAVO_TEST_LOG_DIR", (m_dir / "changed").c_str(), 1);

    std::string params = "30";
    int code = Launch("/bin/sleep", &params);
    sigaction(SIGUSR2, &savedAction, nullptr);
    pthread_sigmask(SIG_SETMASK, &savedMask, nullptr);
    dup2(savedStdin, 0);
    for (int fd : {savedStdin, pipeFds[0], pipeFds[1]})
        close(fd);

    EXPECT_GT(code, 32);
    std::set<pid_t> started = Children(m_otherChildren);
    started.erase(other);
    ASSERT_EQ(started.size(), 1u);
    pid_t pid = *started.begin();
    std::string proc = "/proc/" + std::to_string(pid);
    // Asleep, it has finished starting: arguments set up, the loader's descriptors closed.
    WaitUntil([&] { return ReadFile(proc + "/stat").find(") S ") != std::string::npos; });
    EXPECT_EQ(SplitAtNul(ReadFile(proc + "/cmdline")), (Arguments{"/bin/sleep", "30"}));
    EXPECT_EQ(SplitAtNul(ReadFile(proc + "/environ")), start);
    EXPECT_EQ(getsid(pid), pid);
    EXPECT_EQ(fs::read_symlink(proc + "/fd/0").string(), "/dev/null");
    std::set<std::string> fds;
    for (const auto& entry : fs::directory_iterator(proc + "/fd"))
        fds.insert(entry.path().filename());
    EXPECT_EQ(fds, (std::set<std::string>{"0", "1", "2"}));
    std::string status = ReadFile(proc + "/status");
    EXPECT_NE(status.find("\nSigBlk:\t0000000000000000\n"), std::string::npos) << status;
    EXPECT_NE(status.find("\nSigIgn:\t0000000000000000\n"), std::string::npos) << status;

    kill(pid, SIGKILL);
    // A zombie keeps its /proc entry until it is waited for.
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(proc); })) << "zombie left behind";
    int otherStatus = 0;
    EXPECT_EQ(waitpid(other, &otherStatus, 0), other);
    EXPECT_TRUE(WIFEXITED(otherStatus) && WEXITSTATUS(otherStatus) == 7);

    // Through GIO as well.
    m_dir.Write("work/notes.txt", "notes");
    EXPECT_GT(Launch("notes.txt"), 32);
    EXPECT_EQ(Launches(1), (std::multiset{Start(Handler(), {"files", m_work + "/notes.txt"})}));
}

TEST_F(ShellExecuteTest, PassesHostileNamesAndArgumentsByteForByte)
{
    const std::string names[] = {"with space",   "quote'\"s",     "$(touch pwned)",  "new\nline",
                                 "\xff\xfe raw", "-leading-dash", "a;touch pwned&&b"};
    const std::string params =
        "'$(touch pwned)' \"`touch pwned`\" '; touch pwned' -rf \xff\xfe 'new\nline' \\$HOME ''";
    const Arguments arguments = {"$(touch pwned)", "`touch pwned`", "; touch pwned", "-rf",
                                 "\xff\xfe",       "new\nline",     "$HOME",         ""};
    std::multiset<Arguments> expected;
    for (const std::string& name : names) {
        fs::create_symlink(Handler(), m_work + "/" + name);
        EXPECT_GT(Launch(name, &params), 32) << name;
        expected.insert(Start(m_work + "/" + name, arguments));
    }
    EXPECT_EQ(Launches(std::size(names)), expected);
    EXPECT_FALSE(fs::exists(m_work + "/pwned"));
}

TEST_F(ShellExecuteTest, OpensDocumentsFoldersAddressesAndDesktopEntries)
{
    const std::string hostile = "a b'c\"$(touch pwned)\n-\xff.txt";
    m_dir.Write("work/notes.txt", "notes");
    m_dir.Write("work/" + hostile, "text");
    // The execute bit without a program's header, and a script without the execute bit: both
    // are documents, opened and never run.
    m_dir.Write("work/marked", "touch ran\n", true);
    m_dir.Write("work/script", "#!/bin/sh\ntouch ran\n");
    m_dir.Write("work/app.desktop",
                "[Desktop Entry]\nType=Application\nName=App\nExec=\"" + Handler() + "\" entry\n");
    m_dir.Write("work/link.desktop",
                "[Desktop Entry]\nType=Link\nName=Link\nURL=hanavotest://linked\n");

    std::multiset<Arguments> expected = {Start(Handler(), {"url", "hanavotest://place/x?y=1"}),
                                         Start(Handler(), {"entry"}),
                                         Start(Handler(), {"url", "hanavotest://linked"})};
    for (const char* file : {"hanavotest://place/x?y=1", "app.desktop", "link.desktop"})
        EXPECT_GT(Launch(file, nullptr, nullptr, "open"), 32) << file;
    const std::string documents[] = {"notes.txt", hostile, "sub", "marked", "script"};
    for (const std::string& document : documents) {
        EXPECT_GT(Launch(document), 32) << document;
        expected.insert(Start(Handler(), {"files", m_work + "/" + document}));
    }
    EXPECT_EQ(Launches(expected.size()), expected);
    EXPECT_FALSE(fs::exists(m_work + "/pwned"));
    EXPECT_FALSE(fs::exists(m_work + "/ran"));
    EXPECT_TRUE(WaitUntil([&] { return Children(m_otherChildren).empty(); }))
        << "zombie left behind";
}

// Link entries lead to the next at most eight deep; one that leads back to itself, directly
// or through another, is reported as not found instead of recursing without end.
TEST_F(ShellExecuteTest, FollowsLinkEntriesEightDeepAndReportsCycles)
{
    const auto link = [&](const std::string& name, const std::string& target) {
        m_dir.Write("work/" + name,
                    "[Desktop Entry]\nType=Link\nName=L\nURL=file://" + target + "\n");
    };
    link("self.desktop", m_work + "/self.desktop");
    link("ping.desktop", m_work + "/pong.desktop");
    link("pong.desktop", m_work + "/ping.desktop");
    // l0 -> l1 -> ... -> l8 -> the logger: nine links from l0, eight from l1.
    for (int i = 0; i < 9; ++i)
        link("l" + std::to_string(i) + ".desktop",
             i < 8 ? m_work + "/l" + std::to_string(i + 1) + ".desktop" : Handler());
    for (const char* file : {"self.desktop", "ping.desktop", "l0.desktop"})
        EXPECT_EQ(Launch(file), 2) << file;
    EXPECT_GT(Launch("l1.desktop"), 32);
    EXPECT_EQ(Launches(1), std::multiset<Arguments>{Start(Handler(), {})});
}

// A D-Bus-started application whose session bus accepts the connection and then never
// answers: the launch is given up after the deadline, or at once when the session ends, and
// never starts the program later when the bus finally fails.
TEST_F(ShellExecuteTest, GivesUpALaunchThatWaitsForASilentSessionBus)
{
    const std::string socketPath = m_dir / "bus";
    int bus = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(bus, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(bus, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(bus, 16), 0); // connections queue and are never accepted
    setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + socketPath).c_str(), 1);
    m_dir.Write("work/io.example.Late.desktop",
                "[Desktop Entry]\nType=Application\nName=Late\nDBusActivatable=true\nExec=\"" +
                    Handler() + "\" late\n");

    platform::linux_testing::SetLaunchDeadline(std::chrono::milliseconds(300));
    EXPECT_EQ(Launch("io.example.Late.desktop"), 28);

    platform::linux_testing::SetLaunchDeadline(std::chrono::seconds(30));
    const auto start = std::chrono::steady_clock::now();
    std::thread signal([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        platform::NoteSessionEnd();
    });
    EXPECT_EQ(Launch("io.example.Late.desktop"), 28);
    signal.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    // Once the session ends nothing starts, not even a plain program.
    m_dir.Write("work/prog", kLogger, true);
    EXPECT_EQ(Launch("prog"), 28);

    // The bus goes away: the launches given up fail in the background and start nothing.
    ::close(bus);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(Launches(0).empty());
}

TEST_F(ShellExecuteTest, FindsProgramsInTheFolderFirstThenInPath)
{
    for (const std::string& link :
         {m_bin + "/hanavo-cmd", m_bin + "/both", m_work + "/both", m_work + "/sub/prog"})
        fs::create_symlink(Handler(), link);
    const std::string sub = m_work + "/sub";
    const struct
    {
        const char* file;
        const char* directory;
        std::string program, folder;
    } cases[] = {{"hanavo-cmd", nullptr, m_bin + "/hanavo-cmd", m_work},
                 {"both", nullptr, m_work + "/both", m_work},
                 {"prog", "sub", sub + "/prog", sub},
                 {"./prog", "sub", sub + "/prog", sub},
                 {"sub/prog", "", sub + "/prog", m_work}};
    std::multiset<Arguments> expected;
    for (const auto& c : cases) {
        EXPECT_GT(Launch(c.file, nullptr, c.directory), 32) << c.file;
        expected.insert(Start(c.program, {}, c.folder));
    }
    EXPECT_EQ(Launches(std::size(cases)), expected);
}

} // namespace
