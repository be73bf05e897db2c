// The real program on a desktop: an X server with a window manager, a Wayland session under a
// headless compositor, and the Debian package as a user installs it.
#include <gtest/gtest.h>
#include <regex>
#include <sstream>

#include "Harness.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;
const std::string kAppId = "io.github.quillmere.Hanavo";

// The names of the keys an xev window received, in order.
Strings KeysPressed(const std::string& log)
{
    static const std::regex press(R"(KeyPress event[\s\S]*?keysym 0x[0-9a-f]+, (\w+)\))");
    Strings keys;
    for (std::sregex_iterator at(log.begin(), log.end(), press), end; at != end; ++at)
        keys.push_back((*at)[1]);
    return keys;
}

// The keyboard belongs to the user: while Hanavo counts in automatic mode and keeps its window
// in front, every key typed into another program reaches that program (an Enter or Esc given to
// Hanavo would launch everything or cancel the login start), and the count goes on to its end.
// A click still activates it. The session names Wayland, but X11 is there and is taken:
// staying in front and the search for a running copy's window need it.
TEST(AutomaticMode, KeysTypedIntoAnotherWindowStayThereWhileHanavoCountsInFront)
{
    Sandbox s;
    s.WriteSettings("Seconds=8\nCommand=" + s.Logger("cmd.sh", "cmd") + "\n");
    XServer x(s);
    Process xev({"xev", "-name", "other", "-event", "keyboard"}, s.Env(x.Display()), s / "keys");
    const std::string other = x.WaitForWindow("other");
    x.Client({"xdotool", "windowactivate", "--sync", other});

    auto hanavo = s.Hanavo({"-a"}, x.Display(), {"QT_QPA_PLATFORM=wayland"});
    const std::string timer = x.WaitForWindow(kTitleCounting);
    ASSERT_FALSE(timer.empty()) << s.Stderr();
    // Shown without taking the keyboard; then the user goes back to the other window, which
    // the window manager raises over Hanavo's.
    EXPECT_EQ(x.Client({"xdotool", "getactivewindow"}), other + "\n");
    x.Client({"xdotool", "windowactivate", "--sync", other});
    // Keys over more than two ticks of the count, without choosing a window: XTEST gives each
    // to whichever window has the keyboard at that moment.
    const Strings keys = {"a", "Return", "b", "Escape", "space", "c",      "Tab", "Return",
                          "d", "Escape", "e", "Return", "f",     "Escape", "g",   "space"};
    Strings argv = {"xdotool", "key", "--delay", "180"};
    argv.insert(argv.end(), keys.begin(), keys.end());
    x.Client(argv);
    EXPECT_TRUE(PollUntil([&] { return KeysPressed(ReadFile(s / "keys")) == keys; }, 5s))
        << ReadFile(s / "keys");

    // Nothing launched yet, and above the window that has the keyboard: on top
    // of the window manager's stacking list ("... # 0x400006, 0x600006", bottom to top).
    EXPECT_EQ(s.Log(), "");
    const std::string stacking = x.Client({"xprop", "-root", "_NET_CLIENT_LIST_STACKING"});
    std::ostringstream top;
    top << ", 0x" << std::hex << std::stoul(timer) << "\n";
    EXPECT_TRUE(stacking.ends_with(top.str())) << stacking;
    // A click still makes it the active window (on the counter, which does nothing).
    x.Client({"xdotool", "mousemove", "--window", timer, "20", "20", "click", "1"});
    EXPECT_TRUE(PollUntil(
        [&] {
            return x.Client({"xdotool", "getactivewindow"}) == timer + "\n";
        },
        5s));

    EXPECT_EQ(hanavo->Wait(kTimeout), 0) << s.Stderr();
    EXPECT_EQ(s.Launched(1), Strings{"cmd" + s.At("HOME")});
}

// Whether the protocol trace shows a toplevel window of that title and the desktop entry's
// application id that the compositor configured and that then got its first picture.
bool Shown(const std::string& trace, const std::string& title)
{
    const auto titled = trace.find(".set_title(\"" + title + "\")");
    if (trace.find(".set_app_id(\"" + kAppId + "\")") == std::string::npos ||
        titled == std::string::npos)
        return false;
    const auto acked = trace.find(".ack_configure(", titled);
    return acked != std::string::npos &&
           trace.find(".attach(wl_buffer@", acked) != std::string::npos;
}

// A Wayland session without X11, under a headless compositor: the window is shown (seen in the
// protocol trace), a second copy is refused, the end of the session saves, and automatic mode
// launches.
TEST(Wayland, ShowsTheWindowRefusesASecondCopySavesAtTheSessionEndAndLaunches)
{
    Sandbox s;
    Process weston({"weston", "--backend=headless-backend.so", "--shell=kiosk-shell.so",
                    "--no-config", "--socket=wayland-hanavo", "--idle-time=0"},
                   s.Env(""), "", s / "weston.err");
    ASSERT_TRUE(
        PollUntil([&] { return fs::exists(s / "XDG_RUNTIME_DIR/wayland-hanavo"); }, kTimeout))
        << ReadFile(s / "weston.err");
    // The session asks the toolkit for Wayland by name, as many Wayland desktops do. No leak
    // check: the Wayland client libraries leave allocations behind in plugins that are unloaded
    // before it runs, where no suppression can name them; the X11 and offscreen runs check.
    const Strings wayland = {"WAYLAND_DISPLAY=wayland-hanavo", "QT_QPA_PLATFORM=wayland",
                             "ASAN_OPTIONS=detect_leaks=0", "WAYLAND_DEBUG=client"};
    auto hanavo = s.Hanavo({}, "", wayland);
    ASSERT_TRUE(PollUntil([&] { return Shown(s.Stderr(), kTitleStopped); }, kTimeout))
        << s.Stderr();
    // A copy that got as far as saving would write the settings file.
    EXPECT_EQ(Process({HANAVO_BUILT_BINARY}, s.Env("", wayland)).Wait(kTimeout), 0);
    EXPECT_TRUE(hanavo->Running());
    EXPECT_EQ(s.Settings(), "");
    hanavo->Signal(SIGTERM);
    EXPECT_EQ(hanavo->Wait(kTimeout), 0);
    EXPECT_TRUE(s.Saved("Foreground=1")) << s.Settings();

    s.WriteSettings("Seconds=1\nCommand=" + s.Logger("cmd.sh", "cmd") + "\n");
    EXPECT_EQ(s.Hanavo({"-a"}, "", wayland)->Wait(kTimeout), 0) << s.Stderr();
    EXPECT_EQ(s.Launched(1), Strings{"cmd" + s.At("HOME")});
}

// The package unpacked into a scratch root, its files checked with the desktop's own validators,
// and the installed program run. Runs when HANAVO_DEB names the package (make test builds it).
TEST(Package, DependsOnThisReleaseInstallsValidDesktopFilesAndLaunches)
{
    const char* deb = std::getenv("HANAVO_DEB");
    if (!deb)
        GTEST_SKIP() << "HANAVO_DEB is not set: no package to test";
    Sandbox s;
    ASSERT_EQ(s.Run({"dpkg-deb", "-x", deb, s / "root"}).first, 0) << deb;
    const auto installed = [&](const std::string& path) { return s / ("root/usr/" + path); };
    const std::string depends = s.Run({"dpkg-deb", "-f", deb, "Depends"}).second;
    for (const char* needed : {"fonts-ipafont-gothic", "libqt6widgets6", "libc6"})
        EXPECT_NE(depends.find(needed), std::string::npos) << needed << " in: " << depends;

    const std::string entry = installed("share/applications/" + kAppId + ".desktop");
    const std::string autostart = installed("share/doc/hanavo/examples/hanavo-autostart.desktop");
    const std::string metainfo = installed("share/metainfo/" + kAppId + ".metainfo.xml");
    for (const Strings& validator : {Strings{"desktop-file-validate", entry},
                                     {"desktop-file-validate", autostart},
                                     {"appstreamcli", "validate", "--no-net", metainfo}}) {
        const auto [code, out] = s.Run(validator);
        EXPECT_EQ(code, 0) << out;
    }
    // The icon the entry names, in the hicolor theme.
    EXPECT_NE(ReadFile(entry).find("\nIcon=" + kAppId + "\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(installed("share/icons/hicolor/scalable/apps/" + kAppId + ".svg")));
    EXPECT_TRUE(fs::exists(installed("share/doc/hanavo/help/index.html")));

    // The installed program launches the launch folder's files, the desktop entry through the
    // module the program loads for it.
    s.Logger("launch/01e_hello.sh", "hello");
    s.Write("launch/02e_entry.desktop", "[Desktop Entry]\nType=Application\nName=Entry\nExec=" +
                                            s.Logger("entry.sh", "entry") + "\n");
    s.WriteSettings("Seconds=1\nTopDir=" + s / "launch" + "\n");
    EXPECT_EQ(s.Hanavo({"-a"}, "offscreen", {}, installed("bin/hanavo"))->Wait(kTimeout), 0)
        << s.Stderr();
    const Strings launched = s.Launched(2);
    ASSERT_EQ(launched.size(), 2u) << s.Stderr();
    EXPECT_EQ(launched[0], "hello" + s.At("launch"));
    EXPECT_TRUE(launched[1].starts_with("entry ")) << launched[1];
}

} // namespace
} // namespace e2e
