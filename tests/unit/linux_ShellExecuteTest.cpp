#include "linux_TestSupport.h"
#include "platform/Os.h"
#include "platform/linux/LinuxTesting.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

using namespace linux_test;

namespace {

using Arguments = std::vector<std::string>;

class ShellExecuteTest : public testing::Test
{
protected:
    void SetUp() override
    {
        TestDesktop::Get();
        for (const char* folder : {"work", "log", "probe", "bin"})
            MakeFolder(m_root / folder);
        setenv("HANAVO_TEST_LOG_DIR", Log().c_str(), 1);
        setenv("HANAVO_LINUX_PROBE_DIR", Probe().c_str(), 1);
        const char* path = std::getenv("PATH");
        m_savedPath = path ? path : "/usr/bin:/bin";
        setenv("PATH", (m_root / "bin:/usr/bin:/bin").c_str(), 1);
        m_inside = std::make_unique<CurrentFolder>(Work());
    }

    void TearDown() override
    {
        m_inside.reset();
        unsetenv("HANAVO_LINUX_PROBE_DIR");
        unsetenv("HANAVO_TEST_LOG_DIR");
        unsetenv("HANAVO_TEST_MARKER");
        setenv("PATH", m_savedPath.c_str(), 1);
        platform::linux_testing::SetSpawnFailure({});
        platform::linux_testing::ClearStartEnvironment();
    }

    std::string Work() const { return m_root / "work"; }
    std::string Log() const { return m_root / "log"; }
    std::string Probe() const { return m_root / "probe"; }
    std::string Bin() const { return m_root / "bin"; }

    static int Launch(const std::string& file, const std::string* params = nullptr,
                      const std::string* directory = nullptr, const char* verb = nullptr)
    {
        return platform::ShellExecute(verb, file, params, directory);
    }

    TempFolder m_root;
    std::string m_savedPath;
    std::unique_ptr<CurrentFolder> m_inside;
};

TEST_F(ShellExecuteTest, ReportsEachFailureWithItsCode)
{
    WriteFile(Work() + "/notes.txt", "notes");
    WriteFile(Work() + "/data.bin", std::string("\0\1\2\3\xff\xfe\0\0", 8));
    WriteFile(Work() + "/elf",
              "\x7f"
              "ELF but nothing a loader could use",
              0755);
    WriteFile(Work() + "/no-interpreter", "#!/nonexistent/hanavo-sh\n", 0755);
    WriteFile(m_root / "interpreter", "no execute bit", 0644);
    WriteFile(Work() + "/bad-interpreter", "#!" + (m_root / "interpreter") + "\n", 0755);
    WriteFile(Work() + "/broken.desktop", "this is not a desktop entry\n");
    WriteFile(Work() + "/missing-program.desktop",
              "[Desktop Entry]\nType=Application\nName=Gone\nExec=/nonexistent/hanavo-app\n");
    WriteFile(Bin() + "/not-executable", "#!/bin/sh\n", 0644);
    std::string missingFolder = m_root / "missing-folder";

    EXPECT_EQ(Launch(""), 2);
    EXPECT_EQ(Launch("hanavo-no-such-program"), 2);
    EXPECT_EQ(Launch("not-executable"), 2) << "only executables count in PATH";
    EXPECT_EQ(Launch("./missing"), 2);
    EXPECT_EQ(Launch(Work() + "/missing"), 2);
    EXPECT_EQ(Launch("no-folder/x"), 3);
    EXPECT_EQ(Launch("notes.txt/x"), 3);
    EXPECT_EQ(Launch("notes.txt", nullptr, &missingFolder), 3);
    EXPECT_EQ(Launch("notes.txt", nullptr, nullptr, "print"), 31);
    EXPECT_EQ(Launch("notes.txt", nullptr, nullptr, "edit"), 31);
    EXPECT_EQ(Launch("data.bin"), 31);
    EXPECT_EQ(Launch("nosuchscheme://somewhere"), 31);
    EXPECT_EQ(Launch("mailto:someone@example.org"), 31);
    EXPECT_EQ(Launch("elf"), 11);
    EXPECT_EQ(Launch("no-interpreter"), 2);
    EXPECT_EQ(Launch("bad-interpreter"), 5);
    EXPECT_EQ(Launch("broken.desktop"), 11);
    EXPECT_EQ(Launch("missing-program.desktop"), 2);
    EXPECT_TRUE(ReadLaunches(Log()).empty());
}

TEST_F(ShellExecuteTest, ReportsStartFailuresThatCannotBeProvokedAsRoot)
{
    MakeLink(SelfPath(), Work() + "/prog");
    const std::pair<int, int> cases[] = {{EACCES, 5}, {EPERM, 5},    {ENOMEM, 8},
                                         {EAGAIN, 8}, {ENOEXEC, 11}, {ELIBBAD, 11}};
    for (auto [error, code] : cases) {
        std::string seen;
        platform::linux_testing::SetSpawnFailure([&seen, error = error](const std::string& path) {
            seen = path;
            return error;
        });
        EXPECT_EQ(Launch("prog"), code) << "errno " << error;
        EXPECT_EQ(seen.substr(seen.rfind('/') + 1), "prog");
    }
    EXPECT_TRUE(ReadProbeReports(Probe()).empty());
}

TEST_F(ShellExecuteTest, StartsProgramsDetachedWithAClearState)
{
    // What Hanavo's own process has and a started program must not get: a descriptor without
    // close-on-exec, a pipe as standard input, a blocked and an ignored signal.
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    int savedStdin = dup(0);
    ASSERT_EQ(dup2(pipeFds[0], 0), 0);
    sigset_t blocked, previousMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    sigprocmask(SIG_BLOCK, &blocked, &previousMask);
    struct sigaction ignore = {}, previousAction;
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGUSR2, &ignore, &previousAction);

    std::string params = "one 'two words' \"three\"";
    int code = Launch(SelfPath(), &params);

    sigaction(SIGUSR2, &previousAction, nullptr);
    sigprocmask(SIG_SETMASK, &previousMask, nullptr);
    dup2(savedStdin, 0);
    close(savedStdin);
    close(pipeFds[0]);
    close(pipeFds[1]);

    EXPECT_GT(code, 32);
    std::vector<ProbeReport> reports = WaitForProbeReports(Probe());
    ASSERT_EQ(reports.size(), 1u);
    const ProbeReport& child = reports[0];
    EXPECT_EQ(child.argv, (Arguments{SelfPath(), "one", "two words", "three"}));
    EXPECT_EQ(child.fds, "0,1,2");
    EXPECT_TRUE(child.stdinIsDevNull);
    EXPECT_EQ(child.sid, child.pid);
    EXPECT_EQ(child.blockedSignals, "0000000000000000");
    EXPECT_EQ(child.ignoredSignals, "0000000000000000");
    EXPECT_EQ(child.cwd, Work());
}

TEST_F(ShellExecuteTest, ReapsItsChildrenAndOnlyThem)
{
    // A child of another part of the process (GIO, Qt) stays theirs to wait for.
    pid_t other = fork();
    ASSERT_GE(other, 0);
    if (other == 0)
        _exit(7);

    EXPECT_GT(Launch(SelfPath()), 32);
    std::vector<ProbeReport> reports = WaitForProbeReports(Probe());
    ASSERT_EQ(reports.size(), 1u);
    std::string process = "/proc/" + std::to_string(reports[0].pid);
    // A zombie keeps its /proc entry until it is waited for.
    EXPECT_TRUE(WaitUntil([&] { return !PathExists(process); })) << "zombie left behind";

    int status = 0;
    EXPECT_EQ(waitpid(other, &status, 0), other);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 7);
}

TEST_F(ShellExecuteTest, StartedProgramsGetTheRecordedStartEnvironment)
{
    const Arguments start = {"HANAVO_LINUX_PROBE_DIR=" + Probe(), "HANAVO_TEST_LOG_DIR=" + Log(),
                             "HANAVO_TEST_MARKER=start", "PATH=/usr/bin:/bin",
                             "ODD=value with = and \xff"};
    std::vector<char*> envp;
    for (const std::string& entry : start)
        envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);
    platform::RecordStartEnvironment(envp.data());
    setenv("HANAVO_TEST_MARKER", "changed", 1);
    setenv("HANAVO_TEST_EXTRA", "added later", 1);

    EXPECT_GT(Launch(SelfPath()), 32);
    std::vector<ProbeReport> reports = WaitForProbeReports(Probe());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].environment, start);

    // Through GIO as well.
    WriteFile(Work() + "/notes.txt", "notes");
    EXPECT_GT(Launch("notes.txt"), 32);
    auto launches = WaitForLaunches(Log());
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0],
              (Arguments{"files", Work() + "/notes.txt", "marker=start", "own-session=yes"}));
    unsetenv("HANAVO_TEST_EXTRA");
}

TEST_F(ShellExecuteTest, WithoutRecordedEnvironmentProgramsGetTheCurrentOne)
{
    setenv("HANAVO_TEST_MARKER", "current", 1);
    EXPECT_GT(Launch(SelfPath()), 32);
    std::vector<ProbeReport> reports = WaitForProbeReports(Probe());
    ASSERT_EQ(reports.size(), 1u);
    const Arguments& environment = reports[0].environment;
    EXPECT_NE(std::find(environment.begin(), environment.end(), "HANAVO_TEST_MARKER=current"),
              environment.end());
}

TEST_F(ShellExecuteTest, PassesHostileNamesAndArgumentsByteForByte)
{
    const std::set<std::string> names = {"with space",      "quote'\"s",     "$(touch pwned)",
                                         "new\nline",       "-leading-dash", "\xff\xfe raw",
                                         "a;touch pwned&&b"};
    for (const std::string& name : names)
        MakeLink(SelfPath(), Work() + "/" + name);
    std::string params =
        "'$(touch pwned)' \"`touch pwned`\" '; touch pwned' -rf \xff\xfe 'new\nline' \\$HOME ''";
    for (const std::string& name : names)
        EXPECT_GT(Launch(name, &params), 32) << name;

    std::vector<ProbeReport> reports = WaitForProbeReports(Probe(), names.size());
    ASSERT_EQ(reports.size(), names.size());
    const Arguments expected = {"$(touch pwned)", "`touch pwned`", "; touch pwned", "-rf",
                                "\xff\xfe",       "new\nline",     "$HOME",         ""};
    std::set<std::string> started;
    for (const ProbeReport& child : reports) {
        ASSERT_FALSE(child.argv.empty());
        started.insert(child.argv[0]);
        EXPECT_EQ(Arguments(child.argv.begin() + 1, child.argv.end()), expected);
    }
    EXPECT_EQ(started, names);
    EXPECT_FALSE(PathExists(Work() + "/pwned"));
}

TEST_F(ShellExecuteTest, OpensDocumentsFoldersAndAddressesWithTheirApplications)
{
    const std::string hostile = "a b'c\"$(touch pwned)\n-\xff.txt";
    WriteFile(Work() + "/notes.txt", "notes");
    WriteFile(Work() + "/" + hostile, "text");
    MakeFolder(Work() + "/sub");

    EXPECT_GT(Launch("notes.txt"), 32);
    EXPECT_GT(Launch(hostile, nullptr, nullptr, "open"), 32);
    EXPECT_GT(Launch("sub"), 32);
    EXPECT_GT(Launch("hanavotest://place/x?y=1"), 32);

    auto launches = WaitForLaunches(Log(), 4);
    std::set<Arguments> expected = {
        {"files", Work() + "/notes.txt", "marker=", "own-session=yes"},
        {"files", Work() + "/" + hostile, "marker=", "own-session=yes"},
        {"files", Work() + "/sub", "marker=", "own-session=yes"},
        {"url", "hanavotest://place/x?y=1", "marker=", "own-session=yes"}};
    EXPECT_EQ(std::set<Arguments>(launches.begin(), launches.end()), expected);
    EXPECT_FALSE(PathExists(Work() + "/pwned"));
    EXPECT_TRUE(WaitUntil([] { return !HasChildProcesses(); })) << "zombie left behind";
}

TEST_F(ShellExecuteTest, OnlyProgramsThatLookLikeProgramsAreRun)
{
    // Execute bit without a program's header, and a script without the execute bit: both
    // are documents, opened and never run.
    WriteFile(Work() + "/marked", "touch ran-marked\n", 0755);
    WriteFile(Work() + "/script", "#!/bin/sh\ntouch ran-script\n", 0644);

    EXPECT_GT(Launch("marked"), 32);
    EXPECT_GT(Launch("script"), 32);

    auto launches = WaitForLaunches(Log(), 2);
    std::set<Arguments> expected = {{"files", Work() + "/marked", "marker=", "own-session=yes"},
                                    {"files", Work() + "/script", "marker=", "own-session=yes"}};
    EXPECT_EQ(std::set<Arguments>(launches.begin(), launches.end()), expected);
    EXPECT_FALSE(PathExists(Work() + "/ran-marked"));
    EXPECT_FALSE(PathExists(Work() + "/ran-script"));
}

TEST_F(ShellExecuteTest, DesktopEntriesStartWhatTheyDescribe)
{
    WriteFile(Work() + "/01e_app.desktop", "[Desktop Entry]\nType=Application\nName=App\nExec=\"" +
                                               TestDesktop::Get().Handler() + "\" entry\n");
    WriteFile(Work() + "/02e_link.desktop",
              "[Desktop Entry]\nType=Link\nName=Link\nURL=hanavotest://linked\n");

    EXPECT_GT(Launch("01e_app.desktop"), 32);
    EXPECT_GT(Launch("02e_link.desktop"), 32);

    auto launches = WaitForLaunches(Log(), 2);
    std::set<Arguments> expected = {{"entry", "marker=", "own-session=yes"},
                                    {"url", "hanavotest://linked", "marker=", "own-session=yes"}};
    EXPECT_EQ(std::set<Arguments>(launches.begin(), launches.end()), expected);
}

TEST_F(ShellExecuteTest, LooksInTheFolderFirstThenInPath)
{
    MakeLink(SelfPath(), Bin() + "/hanavo-probe-command");
    MakeLink(SelfPath(), Work() + "/both");
    WriteFile(Bin() + "/both", "#!/bin/sh\ntouch " + Work() + "/path-copy-ran\n", 0755);

    EXPECT_GT(Launch("hanavo-probe-command"), 32);
    EXPECT_GT(Launch("both"), 32);

    std::vector<ProbeReport> reports = WaitForProbeReports(Probe(), 2);
    std::set<std::string> started;
    for (const ProbeReport& child : reports)
        started.insert(child.argv.empty() ? "" : child.argv[0]);
    EXPECT_EQ(started, (std::set<std::string>{"hanavo-probe-command", "both"}));
    EXPECT_FALSE(PathExists(Work() + "/path-copy-ran"));
}

TEST_F(ShellExecuteTest, DirectoryIsWhereTheProgramIsFoundAndRuns)
{
    MakeFolder(Work() + "/sub");
    MakeLink(SelfPath(), Work() + "/sub/prog");
    std::string relative = "sub";
    std::string none;

    EXPECT_GT(Launch("prog", nullptr, &relative), 32);
    EXPECT_GT(Launch("./prog", nullptr, &relative), 32);
    EXPECT_GT(Launch("sub/prog", nullptr, &none), 32);

    std::vector<ProbeReport> reports = WaitForProbeReports(Probe(), 3);
    std::multiset<std::pair<std::string, std::string>> started;
    for (const ProbeReport& child : reports)
        started.insert({child.argv.empty() ? "" : child.argv[0], child.cwd});
    std::multiset<std::pair<std::string, std::string>> expected = {
        {"prog", Work() + "/sub"}, {"./prog", Work() + "/sub"}, {"sub/prog", Work()}};
    EXPECT_EQ(started, expected);
}

} // namespace
