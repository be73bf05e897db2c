// Starting files as the desktop does, on a desktop of the tests' own: programs run detached
// and clean, everything else opens through GIO, and every failure comes back with its code.
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
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace testing_support;
namespace fs = std::filesystem;
namespace seam = platform::linux_testing;

namespace {

using Arguments = std::vector<std::string>;

// Set up once per process, before GIO first reads it: *.txt and folders open with
// "gio [$MARK] [files] [path]", hanavotest: addresses with "gio [$MARK] [url] [address]", all
// logged to `log`. Nothing of the machine's own desktop is visible.
struct Desktop
{
    TempDir root;
    std::string log = root / "launch.log";
    // Also says so when it does not lead a session of its own (field 6 of its stat).
    std::string gio =
        root.Write("gio",
                   "#!/bin/sh\n[ \"$(cut -d' ' -f6 /proc/$$/stat)\" = $$ ] || "
                   "set -- 'not leading a session' \"$@\"\nexec '" +
                       root.WriteLogger("logger", "gio", log) + "' \"$HANAVO_TEST_MARK\" \"$@\"\n",
                   true);
    Desktop()
    {
        UseEmptyDesktop(root);
        root.Write("xdg-data/mime/globs2", "50:text/plain:*.txt\n");
        for (const char* app : {"files %F\nMimeType=text/plain;inode/directory;\n",
                                "url %u\nMimeType=x-scheme-handler/hanavotest;\n"})
            root.Write("xdg-data/applications/" + std::string(app, 3) + ".desktop",
                       "[Desktop Entry]\nType=Application\nName=A\nExec=" + gio + " " + app);
        root.Write("xdg-config/mimeapps.list", "[Default Applications]\ntext/plain=fil.desktop\n"
                                               "inode/directory=fil.desktop\n"
                                               "x-scheme-handler/hanavotest=url.desktop\n");
        setenv("XDG_CONFIG_DIRS", (root / "xdg-dirs").c_str(), 1);
        setenv("HOME", root.Path().c_str(), 1);
        setenv("GIO_USE_VFS", "local", 1);
        setenv("HANAVO_TEST_MARK", "now", 1);
        for (const char* name : {"DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY",
                                 "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION"})
            unsetenv(name);
    }
};

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

struct ShellExecuteTest : testing::Test
{
    ShellExecuteTest()
    {
        fs::remove(desktop.log);
        setenv("PATH", (bin + ":/usr/bin:/bin").c_str(), 1);
        fs::current_path(work);
    }
    ~ShellExecuteTest() override
    {
        setenv("PATH", path.c_str(), 1);
        seam::SetSpawnFailure({});
        seam::ClearStartEnvironment();
        seam::SetLaunchDeadline(std::chrono::seconds(5));
        seam::ClearSessionEnd();
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }

    static int Launch(const std::string& file, const std::string* params = nullptr,
                      const char* directory = nullptr, const char* verb = nullptr)
    {
        std::string folder = directory ? directory : "";
        return platform::ShellOpen(verb, file, params, directory ? &folder : nullptr);
    }
    // What the log holds for a start of `tag` with `args` in `folder`.
    std::string Line(const std::string& tag, const Arguments& args, std::string folder = {}) const
    {
        std::string line = tag;
        for (const std::string& arg : args)
            line += " [" + arg + "]";
        return line + " @" + (folder.empty() ? work : folder);
    }
    // The starts logged, in the order they started, once there are `count` (or after a while).
    std::vector<std::string> Started(std::size_t count) const
    {
        return InStartOrder(WaitForLines(desktop.log, count));
    }

    const Desktop& desktop = []() -> const Desktop& {
        static const Desktop shared;
        return shared;
    }();
    TempDir dir;
    const std::string work = dir.MakeDir("work"), sub = dir.MakeDir("work/sub"),
                      bin = dir.MakeDir("bin");
    CwdGuard cwd;
    std::string path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
    const std::set<pid_t> otherChildren = Children(); // of other tests in this process
};

TEST_F(ShellExecuteTest, ReportsEachFailureWithItsCode)
{
    dir.Write("work/notes.txt", "notes");
    dir.Write("work/data.bin", std::string("\0\1\2\3\xff\xfe\0\0", 8));
    dir.Write("work/elf", std::string("\x7f") + "ELF but nothing a loader could use", true);
    dir.Write("work/no-interpreter", "#!/nonexistent/hanavo-sh\n", true);
    dir.Write("work/bad-interpreter", "#!" + dir.Write("interpreter", "no execute bit") + "\n",
              true);
    dir.Write("work/broken.desktop", "this is not a desktop entry\n");
    dir.Write("work/missing-program.desktop",
              "[Desktop Entry]\nType=Application\nName=Gone\nExec=/nonexistent/hanavo-app\n");
    dir.Write("bin/not-executable", "#!/bin/sh\n"); // only programs count in PATH
    // Link entries lead on at most eight deep: l0 leads through nine to the logger.
    const auto link = [&](const std::string& name, const std::string& target) {
        dir.Write("work/" + name,
                  "[Desktop Entry]\nType=Link\nName=L\nURL=file://" + target + "\n");
    };
    link("ping.desktop", work + "/pong.desktop");
    link("pong.desktop", work + "/ping.desktop");
    for (int i = 0; i < 9; ++i)
        link("l" + std::to_string(i) + ".desktop",
             i < 8 ? work + "/l" + std::to_string(i + 1) + ".desktop"
                   : dir.WriteLogger("work/prog", "l1", desktop.log));
    // "no_scheme://x": '_' cannot be in a scheme, so it is a path whose folder is missing.
    const std::pair<int, std::vector<const char*>> cases[] = {
        {2,
         {"", "hanavo-no-such-program", "./missing", "no-interpreter", "missing-program.desktop",
          "not-executable", "ping.desktop", "l0.desktop"}},
        {3, {"no-folder/x", "notes.txt/x", "no_scheme://x"}},
        {5, {"bad-interpreter"}},
        {11, {"elf", "broken.desktop"}},
        {31, {"data.bin", "nosuchscheme://somewhere", "MailTo:someone@example.org"}}};
    for (const auto& [code, files] : cases)
        for (const char* file : files)
            EXPECT_EQ(Launch(file), code) << file;
    EXPECT_EQ(Launch("notes.txt", nullptr, "missing-folder"), 3);
    EXPECT_EQ(Launch("notes.txt", nullptr, nullptr, "print"), 31);

    // What the kernel refuses a start with, injected where the program would be started.
    const std::pair<int, int> errors[] = {{EACCES, 5}, {EPERM, 5},    {ENOMEM, 8},
                                          {EAGAIN, 8}, {ENOEXEC, 11}, {ELIBBAD, 11}};
    for (auto [error, code] : errors) {
        seam::SetSpawnFailure([error = error](const std::string&) { return error; });
        EXPECT_EQ(Launch("prog"), code) << "errno " << error;
    }
    seam::SetSpawnFailure({});
    EXPECT_GT(Launch("l1.desktop"), 32);
    EXPECT_EQ(Started(1), Arguments{Line("l1", {})});
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
    // changed since the start.
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
    std::string start[] = {"HANAVO_TEST_MARK=start", "PATH=/usr/bin:/bin", "ODD=a = \xff"};
    char* envp[] = {start[0].data(), start[1].data(), start[2].data(), nullptr};
    platform::RecordStartEnvironment(envp);

    std::string params = "30";
    int code = Launch("/bin/sleep", &params);
    sigaction(SIGUSR2, &savedAction, nullptr);
    pthread_sigmask(SIG_SETMASK, &savedMask, nullptr);
    dup2(savedStdin, 0);
    for (int fd : {savedStdin, pipeFds[0], pipeFds[1]})
        close(fd);

    EXPECT_GT(code, 32);
    std::set<pid_t> started = Children(otherChildren);
    started.erase(other);
    ASSERT_EQ(started.size(), 1u);
    pid_t pid = *started.begin();
    std::string proc = "/proc/" + std::to_string(pid);
    // Asleep, it has finished starting: arguments set up, the loader's descriptors closed.
    PollUntil([&] { return ReadFile(proc + "/stat").find(") S ") != std::string::npos; },
              std::chrono::seconds(10));
    EXPECT_EQ(ReadFile(proc + "/cmdline"), std::string("/bin/sleep\0"
                                                       "30\0",
                                                       14));
    EXPECT_EQ(ReadFile(proc + "/environ"), start[0] + '\0' + start[1] + '\0' + start[2] + '\0');
    EXPECT_EQ(getsid(pid), pid);
    EXPECT_EQ(fs::read_symlink(proc + "/fd/0").string(), "/dev/null");
    EXPECT_EQ(std::distance(fs::directory_iterator(proc + "/fd"), fs::directory_iterator()), 3);
    const std::string status = ReadFile(proc + "/status");
    for (const char* mask : {"\nSigBlk:\t0000000000000000\n", "\nSigIgn:\t0000000000000000\n"})
        EXPECT_NE(status.find(mask), std::string::npos) << status;

    kill(pid, SIGKILL);
    // A zombie keeps its /proc entry until it is waited for.
    EXPECT_TRUE(PollUntil([&] { return !fs::exists(proc); }, std::chrono::seconds(10)))
        << "zombie left behind";
    int otherStatus = 0;
    EXPECT_EQ(waitpid(other, &otherStatus, 0), other);
    EXPECT_TRUE(WIFEXITED(otherStatus) && WEXITSTATUS(otherStatus) == 7);

    // Through GIO as well.
    dir.Write("work/notes.txt", "notes");
    EXPECT_GT(Launch("notes.txt"), 32);
    EXPECT_EQ(Started(1), Arguments{Line("gio", {"start", "files", work + "/notes.txt"})});
}

// Programs get their arguments byte for byte, found in the folder first, then in PATH;
// documents, folders, addresses and desktop entries open with their application. Nothing of a
// name or an argument ever reaches a shell.
TEST_F(ShellExecuteTest, StartsProgramsAndOpensEverythingElse)
{
    const std::string params = "'$(touch pwned)' \"`touch pwned`;\" -rf \xff\xfe \\$HOME ''";
    const Arguments arguments = {"$(touch pwned)", "`touch pwned`;", "-rf",
                                 "\xff\xfe",       "$HOME",          ""};
    std::vector<std::string> expected;
    for (const std::string name : {"with space'\"$(touch pwned)", "\xff;raw&&b", "-leading.sh"}) {
        const std::string tag = "h" + std::to_string(expected.size());
        dir.WriteLogger("work/" + name, tag, desktop.log);
        EXPECT_GT(Launch(name, &params), 32) << name;
        expected.push_back(Line(tag, arguments));
    }
    dir.WriteLogger("bin/hanavo-cmd", "path", desktop.log);
    dir.WriteLogger("bin/both", "path-both", desktop.log);
    dir.WriteLogger("work/both", "folder-both", desktop.log);
    dir.WriteLogger("work/sub/prog", "sub", desktop.log);
    const std::tuple<const char*, const char*, std::string> programs[] = {
        {"hanavo-cmd", nullptr, Line("path", {})},
        {"both", nullptr, Line("folder-both", {})},
        {"prog", "sub", Line("sub", {}, sub)},
        {"sub/prog", "", Line("sub", {})}};
    for (const auto& [file, directory, line] : programs) {
        EXPECT_GT(Launch(file, nullptr, directory), 32) << file;
        expected.push_back(line);
    }

    // The execute bit without a program's header, and a script without the execute bit: both
    // are documents, opened and never run.
    dir.Write("work/notes.txt", "notes");
    dir.Write("work/a b'c\"$(touch pwned)\xff.txt", "text");
    dir.Write("work/marked", "touch ran\n", true);
    dir.Write("work/script", "#!/bin/sh\ntouch ran\n");
    dir.Write("work/app.desktop",
              "[Desktop Entry]\nType=Application\nName=App\nExec=" + desktop.gio + " entry\n");
    dir.Write("work/link.desktop", "[Desktop Entry]\nType=Link\nName=L\nURL=hanavotest://linked\n");
    for (const char* file : {"hanavotest://place/x?y=1", "app.desktop", "link.desktop"})
        EXPECT_GT(Launch(file, nullptr, nullptr, "OPEN"), 32) << file;
    expected.insert(expected.end(), {Line("gio", {"now", "url", "hanavotest://place/x?y=1"}),
                                     Line("gio", {"now", "entry"}),
                                     Line("gio", {"now", "url", "hanavotest://linked"})});
    for (const std::string document :
         {"notes.txt", "a b'c\"$(touch pwned)\xff.txt", "sub", "marked", "script"}) {
        EXPECT_GT(Launch(document), 32) << document;
        expected.push_back(Line("gio", {"now", "files", work + "/" + document}));
    }
    EXPECT_EQ(Started(expected.size()), expected);
    EXPECT_FALSE(fs::exists(work + "/pwned"));
    EXPECT_FALSE(fs::exists(work + "/ran"));
    EXPECT_TRUE(
        PollUntil([&] { return Children(otherChildren).empty(); }, std::chrono::seconds(10)))
        << "zombie left behind";
}

// A D-Bus-started application whose session bus accepts the connection and then never
// answers: the launch is given up after the deadline, and never starts the program later when
// the bus finally fails. (The end of the session during such a launch: the end-to-end tests.)
TEST_F(ShellExecuteTest, GivesUpALaunchThatWaitsForASilentSessionBus)
{
    const int bus = ListeningSocket(dir / "bus");
    setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + dir / "bus").c_str(), 1);
    dir.Write("work/io.example.Late.desktop",
              "[Desktop Entry]\nType=Application\nName=Late\nDBusActivatable=true\nExec=" +
                  desktop.gio + " late\n");
    seam::SetLaunchDeadline(std::chrono::milliseconds(300));
    EXPECT_EQ(Launch("io.example.Late.desktop"), 28);

    // The bus goes away: the launch given up fails in the background and starts nothing.
    ::close(bus);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    dir.WriteLogger("work/prog", "prog", desktop.log);
    // Once the session ends nothing starts, not even a plain program.
    platform::NoteSessionEnd();
    EXPECT_EQ(Launch("prog"), 28);
    seam::ClearSessionEnd();
    EXPECT_GT(Launch("prog"), 32);
    EXPECT_EQ(Started(1), Arguments{Line("prog", {})});
}

TEST(SplitArguments, SplitsAtBlanksAndRemovesQuotesAndEscapes)
{
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"a\"b c\"d'e  f'g", {"ab cde  fg"}}, // quotes join adjacent text
        {"a \"\" b ''", {"a", "", "b", ""}},
        {"a\\ b \\\"a\\' \\\\", {"a b", "\"a'", "\\"}},
        {"\"a\\\"b\\\\c\\d\"", {"a\"b\\cd"}},
        {"'a\\b' 'c\\'", {"a\\b", "c\\"}}, // no escapes inside single quotes
        {"'say \"hi\"' \"it's\"", {"say \"hi\"", "it's"}},
        {"a \"b  c", {"a", "b  c"}}, // an unclosed quote runs to the end
        {"a 'b \"c", {"a", "b \"c"}},
        {"a\\", {"a\\"}},
        {"\xff\xfe 'a\nb'", {"\xff\xfe", "a\nb"}},
    };
    for (const auto& [text, words] : cases)
        EXPECT_EQ(platform::SplitArguments(text), words) << text;
}

} // namespace
