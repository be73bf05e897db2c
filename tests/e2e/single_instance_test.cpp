// Only one copy runs: while the first copy's window exists, a second copy ends at once, shows
// nothing and leaves the settings alone; of two copies started at the same instant exactly one
// runs; what Hanavo launched does not hold it back once Hanavo has ended.
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "Harness.h"

namespace e2e {
namespace {

struct FirstCase : Case
{
    bool x11;
};

class SecondCopy : public testing::TestWithParam<FirstCase>
{
};

TEST_P(SecondCopy, EndsAtOnceWhileTheFirstWindowExists)
{
    const FirstCase& c = GetParam();
    Sandbox s;
    s.WriteSettings({{"Seconds", "77"}});
    std::optional<XServer> x;
    if (c.x11)
        x.emplace(s, true);
    const std::string display = x ? x->Display() : "offscreen";
    auto first = s.Hanavo({}, display);
    std::string window;
    if (x) {
        window = x->WaitForWindow(kTitleStopped);
        ASSERT_FALSE(window.empty()) << s.Stderr();
    } else {
        // Without X11 the first copy's lock alone guards: wait until it holds it.
        const std::string lock = s.RuntimeDir() + "/Hanavo.lock";
        ASSERT_TRUE(PollUntil(
            [&] {
                return Exists(lock) && s.Run({"flock", "-n", lock, "true"}).code != 0;
            },
            kTimeout))
            << s.Stderr();
    }
    // A file with one value: a copy that got as far as saving would write all five.
    const std::string stored = ReadFile(s.SettingsPath());

    EXPECT_EQ(s.Hanavo({}, display)->Wait(kTimeout), 0) << s.Stderr();
    EXPECT_TRUE(first->Running());
    if (x) {
        EXPECT_EQ(x->Find(kTitleStopped), std::vector<std::string>{window});
    }
    EXPECT_EQ(ReadFile(s.SettingsPath()), stored);
}

INSTANTIATE_TEST_SUITE_P(First, SecondCopy,
                         testing::Values(FirstCase{"XvfbOpenbox", true},
                                         FirstCase{"Offscreen", false}),
                         CaseName);

// Both copies wait on one pipe and are woken by the same write, then launch in automatic mode:
// the log shows how many ran.
TEST(SameInstant, ExactlyOneOfTwoCopiesRuns)
{
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        Sandbox s;
        s.WriteSettings({{"Command", s.WriteLogger(s.Path("cmd.sh"), "cmd")}, {"Seconds", "1"}});
        const std::string gate = s.Path("gate");
        ASSERT_EQ(mkfifo(gate.c_str(), 0600), 0);
        // Held open for reading and writing, so that neither copy waits in open().
        const int release = open(gate.c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(release, 0);
        std::unique_ptr<Process> copies[2];
        for (int i = 0; i < 2; ++i)
            copies[i] = std::make_unique<Process>(
                Command{{"sh", "-c", "touch \"$1.$3\"; read -r go < \"$1\"; exec \"$2\" -a", "sh",
                         gate, HANAVO_BUILT_BINARY, std::to_string(i)},
                        s.Environment("offscreen"),
                        "",
                        s.Path("hanavo.err"),
                        s.Path("home")});
        ASSERT_TRUE(
            PollUntil([&] { return Exists(gate + ".0") && Exists(gate + ".1"); }, kTimeout));
        // Both are then reading the pipe by now; a line each, in one write.
        struct timespec settle = {0, 100'000'000};
        nanosleep(&settle, nullptr);
        EXPECT_EQ(write(release, "\n\n", 2), 2);
        for (auto& copy : copies)
            EXPECT_EQ(copy->Wait(kTimeout), 0) << s.Stderr();
        close(release);
        EXPECT_EQ(s.Launched(1), std::vector<std::string>{"cmd @" + s.Path("home")});
    }
}

TEST(SameInstant, ALaunchedProgramDoesNotKeepTheLock)
{
    Sandbox s;
    // Notes its pid, then lives on long after Hanavo.
    WriteFile(s.Path("lasting.sh"),
              "#!/bin/sh\necho \"$$ lasting\" >> '" + s.Path("launch.log") + "'\nexec sleep 60\n",
              true);
    s.WriteSettings({{"Command", s.Path("lasting.sh")}, {"Seconds", "1"}});
    for (std::size_t run = 1; run <= 2; ++run) {
        EXPECT_EQ(s.Hanavo({"-a"}, "offscreen")->Wait(kTimeout), 0) << s.Stderr();
        EXPECT_EQ(s.Launched(run), std::vector<std::string>(run, "lasting")) << "run " << run;
    }
    std::istringstream pids(s.Log());
    for (pid_t pid; pids >> pid;) {
        EXPECT_EQ(kill(pid, 0), 0) << "the first program must still live";
        kill(pid, SIGKILL);
    }
}

// With no place for the lock at all (the runtime folder is a file, and a folder stands where
// the lock file would go beside the settings), one line says so and the program runs as usual.
TEST(SameInstant, WithoutAPlaceForTheLockItSaysSoAndRuns)
{
    Sandbox s;
    s.WriteSettings({{"Command", s.WriteLogger(s.Path("cmd.sh"), "cmd")}, {"Seconds", "1"}});
    std::filesystem::create_directories(s.Path("config/Quillmere/Hanavo.lock"));
    WriteFile(s.Path("file"), "");
    std::vector<std::string> env = s.Environment("offscreen");
    for (std::string& var : env)
        if (var.starts_with("XDG_RUNTIME_DIR="))
            var = "XDG_RUNTIME_DIR=" + s.Path("file");
    Process hanavo(
        Command{{HANAVO_BUILT_BINARY, "-a"}, env, "", s.Path("hanavo.err"), s.Path("home")});
    EXPECT_EQ(hanavo.Wait(kTimeout), 0) << s.Stderr();
    EXPECT_EQ(s.Launched(1), std::vector<std::string>{"cmd @" + s.Path("home")});
    const std::string err = s.Stderr();
    EXPECT_TRUE(err.find("lock") < err.find('\n')) << err;
}

} // namespace
} // namespace e2e
