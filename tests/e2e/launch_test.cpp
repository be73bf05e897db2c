// Automatic mode, unattended as at login: the launch folder's enabled files in the order of
// their names, then the command with its arguments, each started in the launch folder; a
// failed launch answered as a user would.
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

#include "Harness.h"

namespace e2e {
namespace {

std::string At(const std::string& folder)
{
    return " @" + std::filesystem::canonical(folder).string();
}

// The letter A in any case anywhere in the raw arguments selects automatic mode, also in a
// later argument or inside the toolkit's own options, which the toolkit strips before the
// program sees its arguments. With nothing to launch it ends at once, writing nothing.
TEST(AutomaticMode, AnyArgumentWithTheLetterAAndNothingToLaunchEndsAtOnce)
{
    for (const auto& args : {std::vector<std::string>{"x", "Auto"}, {"-platform", "xcb"}}) {
        SCOPED_TRACE(args[0] + " " + args[1]);
        Sandbox s;
        XServer x(s, false);
        EXPECT_EQ(s.Hanavo(args, x.Display())->Wait(kTimeout), 0) << s.Stderr();
        EXPECT_FALSE(Exists(s.SettingsPath()));
    }
}

TEST(AutomaticMode, LaunchesEnabledFilesInOrderThenTheCommandInTheLaunchFolder)
{
    Sandbox s;
    const std::string folder = s.Path("launch folder");
    s.WriteLogger(folder + "/01e_first.sh", "first");
    s.WriteLogger(folder + "/02d_skipped.sh", "skipped");
    // Logs only once the test opens the gate after hanavo has ended: it must outlive hanavo.
    s.WriteLogger(folder + "/03e_third step.sh", "third", s.Path("gate"));
    const Settings stored = {{"Command", s.WriteLogger(s.Path("tools/cmd.sh"), "cmd")},
                             {"Options", "one \"two words\" 'x y'"},
                             {"Seconds", "1"},
                             {"TopDir", folder}};
    s.WriteSettings(stored);

    XServer x(s, false);
    auto hanavo = s.Hanavo({"-a"}, x.Display());
    EXPECT_EQ(hanavo->Wait(kTimeout), 0) << s.Stderr();
    WriteFile(s.Path("gate"), "");
    EXPECT_EQ(s.Launched(3),
              (std::vector<std::string>{"first" + At(folder), "third" + At(folder),
                                        "cmd [one] [two words] [x y]" + At(folder)}));
    // Foreground was not stored: written now, so the file was rewritten.
    Settings expected = stored;
    expected["Foreground"] = "1";
    EXPECT_EQ(s.ReadSettings(), expected);
}

// A failed launch needs the user: the message box waits for an answer, then the program ends.
TEST(AutomaticMode, MissingCommandIsReportedAndTheProgramEndsOnceAnswered)
{
    Sandbox s;
    s.WriteSettings({{"Command", "/nonexistent/tool"}, {"Seconds", "1"}});
    XServer x(s, true);
    auto hanavo = s.Hanavo({"-a"}, x.Display());
    const std::string box = x.WaitForWindow("Hanavo");
    ASSERT_FALSE(box.empty()) << "no message box; stderr: " << s.Stderr();
    EXPECT_TRUE(hanavo->Running());
    x.Keys(box, {"Return"});
    EXPECT_EQ(hanavo->Wait(kTimeout), 0) << s.Stderr();
    EXPECT_EQ(s.ReadSettings()["Command"], "/nonexistent/tool");
}

// Starting the program, and starting programs, never loads GIO: documents and desktop entries
// load it when they are launched (the test below launches one).
TEST(Start, TheProgramDoesNotLinkGio)
{
    Sandbox s;
    const Sandbox::Output ldd = s.Run({"ldd", HANAVO_BUILT_BINARY});
    ASSERT_EQ(ldd.code, 0) << ldd.err;
    for (const char* library : {"libgio-2.0", "libgobject-2.0", "libgmodule-2.0"})
        EXPECT_EQ(ldd.out.find(library), std::string::npos) << library << "\n" << ldd.out;
}

// The session ends while a launch waits for a session bus that takes the connection and never
// answers: the program ends at once with its settings saved, and launches nothing more.
TEST(SessionEnd, SigtermDuringALaunchThatWaitsForTheBusSavesAndLaunchesNothingMore)
{
    Sandbox s;
    const std::string busPath = s.Path("bus");
    const int bus = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    busPath.copy(address.sun_path, busPath.size());
    ASSERT_EQ(::bind(bus, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(bus, 8), 0); // never accepted
    WriteFile(s.Path("launch/01e_io.example.Late.desktop"),
              "[Desktop Entry]\nType=Application\nName=Late\nDBusActivatable=true\nExec=" +
                  s.WriteLogger(s.Path("late.sh"), "late") + "\n");
    s.WriteLogger(s.Path("launch/02e_next.sh"), "next");
    s.WriteSettings({{"Seconds", "1"},
                     {"TopDir", s.Path("launch")},
                     {"Command", s.WriteLogger(s.Path("cmd.sh"), "cmd")}});
    Command command{{HANAVO_BUILT_BINARY, "-a"},
                    s.Environment("offscreen"),
                    "",
                    s.Path("hanavo.err"),
                    s.Path("home")};
    command.env.push_back("DBUS_SESSION_BUS_ADDRESS=unix:path=" + busPath);
    Process hanavo(command);
    // The launch is waiting once its connection sits in the bus's queue.
    ASSERT_TRUE(PollUntil(
        [&] {
            pollfd waiting = {bus, POLLIN, 0};
            return ::poll(&waiting, 1, 0) == 1;
        },
        kTimeout))
        << s.Stderr();
    hanavo.Signal(SIGTERM);
    EXPECT_EQ(hanavo.Wait(kTimeout), 0) << s.Stderr();
    EXPECT_EQ(s.ReadSettings().size(), 5u);
    ::close(bus); // a launch given up would now fall back to starting the program itself
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(s.Log(), "");
}

} // namespace
} // namespace e2e
