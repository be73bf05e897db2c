// The real program in a Wayland session without X11, under a headless compositor: the window
// is shown (seen in the protocol trace), a second copy is refused, automatic mode launches,
// and the end of the session saves. With X11 there as well, X11 is taken.
#include <csignal>
#include <gtest/gtest.h>

#include "Harness.h"

namespace e2e {
namespace {

const char kSocket[] = "wayland-hanavo";
// In a sanitizer build: the Wayland client libraries leave allocations behind in plugins that
// are unloaded before the leak check runs, where no suppression can name them. The same
// program's own code is leak-checked in every X11 and offscreen run.
const char kNoLeakCheck[] = "ASAN_OPTIONS=detect_leaks=0";
const Settings kDefaults = {
    {"Command", ""}, {"Foreground", "1"}, {"Options", ""}, {"Seconds", "60"}, {"TopDir", ""}};

// A headless compositor on the sandbox's runtime folder.
class Compositor
{
public:
    explicit Compositor(const Sandbox& s)
    {
        m_weston = std::make_unique<Process>(
            Command{{"weston", "--backend=headless-backend.so", "--shell=kiosk-shell.so",
                     "--no-config", std::string("--socket=") + kSocket, "--idle-time=0"},
                    s.Environment(""),
                    s.Path("weston.out"),
                    s.Path("weston.err")});
        if (!PollUntil([&] { return Exists(s.RuntimeDir() + "/" + kSocket); }, kTimeout))
            throw std::runtime_error("weston did not start: " + ReadFile(s.Path("weston.err")));
    }

private:
    std::unique_ptr<Process> m_weston;
};

// Hanavo in the Wayland session; the session asks the toolkit for Wayland by name, as many
// Wayland desktops do. The protocol trace goes to the sandbox's hanavo.err.
std::unique_ptr<Process> Hanavo(const Sandbox& s, const std::vector<std::string>& args,
                                const std::string& x11Display = {})
{
    Command command{{HANAVO_BUILT_BINARY},
                    s.Environment(x11Display),
                    s.Path("hanavo.out"),
                    s.Path("hanavo.err"),
                    s.Path("home")};
    command.env.push_back(std::string("WAYLAND_DISPLAY=") + kSocket);
    command.env.push_back("QT_QPA_PLATFORM=wayland");
    command.env.push_back(kNoLeakCheck);
    command.env.push_back("WAYLAND_DEBUG=client");
    command.argv.insert(command.argv.end(), args.begin(), args.end());
    return std::make_unique<Process>(command);
}

// Whether the trace shows a toplevel window of that title and the desktop entry's application
// id that the compositor configured and that then got its first picture.
bool Shown(const std::string& trace, const std::string& title)
{
    const auto titled = trace.find(".set_title(\"" + title + "\")");
    const auto id = trace.find(".set_app_id(\"io.github.quillmere.Hanavo\")");
    if (titled == std::string::npos || id == std::string::npos)
        return false;
    const auto acked = trace.find(".ack_configure(", titled);
    return acked != std::string::npos &&
           trace.find(".attach(wl_buffer@", acked) != std::string::npos;
}

TEST(Wayland, ShowsTheWindowRefusesASecondCopyAndSavesAtTheSessionEnd)
{
    Sandbox s;
    s.WriteSettings({{"Seconds", "77"}});
    Compositor compositor(s);
    auto hanavo = Hanavo(s, {});
    ASSERT_TRUE(PollUntil([&] { return Shown(s.Stderr(), kTitleStopped); }, kTimeout))
        << s.Stderr();
    const std::string stored = ReadFile(s.SettingsPath());

    // A copy that got as far as saving would write all five values.
    Command second{
        {HANAVO_BUILT_BINARY}, s.Environment(""), "", s.Path("second.err"), s.Path("home")};
    second.env.push_back(std::string("WAYLAND_DISPLAY=") + kSocket);
    second.env.push_back("QT_QPA_PLATFORM=wayland");
    second.env.push_back(kNoLeakCheck);
    EXPECT_EQ(Process(second).Wait(kTimeout), 0) << ReadFile(s.Path("second.err"));
    EXPECT_TRUE(hanavo->Running());
    EXPECT_EQ(ReadFile(s.SettingsPath()), stored);

    hanavo->Signal(SIGTERM);
    EXPECT_EQ(hanavo->Wait(kTimeout), 0);
    Settings expected = kDefaults;
    expected["Seconds"] = "77";
    EXPECT_EQ(s.ReadSettings(), expected);
}

TEST(Wayland, AutomaticModeLaunchesTheFolderAndTheCommand)
{
    Sandbox s;
    s.WriteLogger(s.Path("launch/01e_first.sh"), "first");
    s.WriteSettings({{"Seconds", "1"},
                     {"TopDir", s.Path("launch")},
                     {"Command", s.WriteLogger(s.Path("cmd.sh"), "cmd")}});
    Compositor compositor(s);
    auto hanavo = Hanavo(s, {"-a"});
    EXPECT_EQ(hanavo->Wait(kTimeout), 0) << s.Stderr();
    const auto launched = s.Launched(2);
    ASSERT_EQ(launched.size(), 2u) << s.Log();
    EXPECT_EQ(launched[0].rfind("first ", 0), 0u) << launched[0];
    EXPECT_EQ(launched[1].rfind("cmd ", 0), 0u) << launched[1];
    EXPECT_TRUE(Shown(s.Stderr(), kTitleCounting)) << s.Stderr();
}

// XWayland beside the compositor: X11 is taken although the session names Wayland, so that
// staying in front and the search for a running copy's window keep working.
TEST(Wayland, X11IsPreferredWhereItIsAvailable)
{
    Sandbox s;
    Compositor compositor(s);
    XServer x(s, false);
    auto hanavo = Hanavo(s, {}, x.Display());
    EXPECT_FALSE(x.WaitForWindow(kTitleStopped).empty()) << s.Stderr();
    EXPECT_EQ(s.Stderr().find("set_title"), std::string::npos);
    hanavo->Signal(SIGTERM);
    EXPECT_EQ(hanavo->Wait(kTimeout), 0);
}

} // namespace
} // namespace e2e
