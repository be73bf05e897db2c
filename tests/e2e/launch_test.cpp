// The real program from its arguments to its end, on the offscreen platform: automatic mode
// launches the launch folder's enabled files in the order of their names, then the command,
// each in the launch folder; the single-instance lock; the end of the session; no display.
#include <csignal>
#include <gtest/gtest.h>
#include <poll.h>
#include <thread>

#include "Harness.h"

namespace e2e {
namespace {

// Run twice: the third file waits until the test opens its gate after both runs, so it still
// runs when the second starts, and a lock it had inherited would end the second at once.
TEST(AutomaticMode, LaunchesEnabledFilesInOrderThenTheCommandInTheLaunchFolder)
{
    Sandbox s;
    s.Logger("launch folder/01e_first.sh", "first");
    s.Logger("launch folder/02d_skipped.sh", "skipped");
    s.Logger("launch folder/03e_third step.sh", "third", s / "gate");
    s.WriteSettings("Command=" + s.Logger("tools/cmd.sh", "cmd") +
                    "\nOptions=one \"two words\" 'x y'\nSeconds=1\nTopDir=" + s / "launch folder" +
                    "\n");
    for (int run = 0; run < 2; ++run)
        EXPECT_EQ(s.Hanavo({"-a"}, "offscreen")->Wait(kTimeout), 0) << s.Stderr();
    s.Write("gate", "");
    const std::string at = s.At("launch folder");
    Strings once = {"first" + at, "third" + at, "cmd [one] [two words] [x y]" + at}, twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(s.Launched(6), twice);
}

// The letter A anywhere in the raw arguments selects automatic mode, also inside the toolkit's
// own options, which the toolkit takes out before the program sees its arguments. Here with no
// place for the lock (the runtime folder is a file, a folder stands where the lock would go
// beside the settings): one line says so and the program goes on.
TEST(AutomaticMode, TheLetterAInTheRawArgumentsAndNoPlaceForTheLock)
{
    for (const Strings& args : {Strings{"x", "Auto"}, Strings{"-platform", "offscreen"}}) {
        SCOPED_TRACE(args[0]);
        Sandbox s;
        s.WriteSettings("Seconds=1\nCommand=" + s.Logger("cmd.sh", "cmd") + "\n");
        s.MakeDir("XDG_CONFIG_HOME/Quillmere/Hanavo.lock");
        const std::string file = s.Write("file", "");
        EXPECT_EQ(s.Hanavo(args, "offscreen", {"XDG_RUNTIME_DIR=" + file})->Wait(kTimeout), 0);
        EXPECT_EQ(s.Launched(1), Strings{"cmd" + s.At("HOME")});
        const std::string err = s.Stderr();
        EXPECT_TRUE(err.find("lock") < err.find('\n')) << err;
    }
}

// One line on stderr and a failure exit, not the toolkit's abort; nothing launched or written.
TEST(NoDisplay, OneLineOnStderrAndAFailureExit)
{
    Sandbox s;
    s.WriteSettings("Seconds=1\nCommand=" + s.Logger("cmd.sh", "cmd") + "\n");
    const std::string stored = s.Settings();
    EXPECT_GT(s.Hanavo({"-a"}, "")->Wait(kTimeout).value_or(-1), 0) << "0 is success, < 0 a signal";
    const std::string err = s.Stderr();
    EXPECT_TRUE(err.size() > 1 && err.find('\n') == err.size() - 1) << err;
    EXPECT_EQ(s.Settings(), stored);
    EXPECT_EQ(s.Log(), "");
}

// The session ends while a launch waits for a session bus that takes the connection and never
// answers: the program ends at once with its settings saved, and launches nothing more.
TEST(SessionEnd, SigtermDuringALaunchThatWaitsForTheBusSavesAndLaunchesNothingMore)
{
    Sandbox s;
    const std::string busPath = s / "bus";
    const int bus = testing_support::ListeningSocket(busPath);
    s.Write("launch/01e_io.example.Late.desktop",
            "[Desktop Entry]\nType=Application\nName=Late\nDBusActivatable=true\nExec=" +
                s.Logger("late.sh", "late") + "\n");
    s.Logger("launch/02e_next.sh", "next");
    s.WriteSettings("Seconds=1\nTopDir=" + s / "launch" + "\nCommand=" + s.Logger("cmd.sh", "cmd") +
                    "\n");
    auto hanavo = s.Hanavo({"-a"}, "offscreen", {"DBUS_SESSION_BUS_ADDRESS=unix:path=" + busPath});
    // The launch is waiting once its connection sits in the bus's queue.
    pollfd waiting = {bus, POLLIN, 0};
    ASSERT_TRUE(PollUntil([&] { return ::poll(&waiting, 1, 0) == 1; }, kTimeout)) << s.Stderr();
    hanavo->Signal(SIGTERM);
    EXPECT_EQ(hanavo->Wait(kTimeout), 0) << s.Stderr();
    EXPECT_TRUE(s.Saved("Foreground=1")) << s.Settings();
    ::close(bus); // a launch given up would now fall back to starting the program itself
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(s.Log(), "");
}

} // namespace
} // namespace e2e
