// Automatic mode, unattended as at login: the launch folder's enabled files in the order of
// their names, then the command with its arguments, each started in the launch folder; the
// message boxes that need a user (a failed launch, a missing folder, msg), answered as one.
#include <cstdio>
#include <gtest/gtest.h>
#include <unistd.h>

#include "Harness.h"

namespace e2e {
namespace {

// Records the top-level windows mapped on a display, as xev prints the root's events.
class MapWatcher
{
public:
    MapWatcher(const Sandbox& sandbox, const XServer& x) : m_output(sandbox.Path("xev.out"))
    {
        m_xev = x.Start(
            {"stdbuf", "-oL", "xev", "-root", "-event", "substructure", "-event", "property"},
            "xev");
        if (!Sync(x))
            throw std::runtime_error("xev did not start");
    }

    // Whether a window was mapped before the last Sync.
    bool SawMap() const { return Content().find("MapNotify") != std::string::npos; }

    // Changes a root property and waits until xev reports it: the server delivers events in
    // order, so everything before the change is then in the output.
    bool Sync(const XServer& x)
    {
        const std::size_t before = Count("(HANAVO_TEST_PROBE)");
        return PollUntil(
            [&] {
                x.Client({"xprop", "-root", "-f", "HANAVO_TEST_PROBE", "32c", "-set",
                          "HANAVO_TEST_PROBE", std::to_string(++m_probes)});
                return Count("(HANAVO_TEST_PROBE)") > before;
            },
            kStartTimeout);
    }

private:
    std::string Content() const { return Exists(m_output) ? ReadFile(m_output) : ""; }
    std::size_t Count(const std::string& word) const
    {
        std::size_t count = 0;
        const std::string text = Content();
        for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
            ++count;
        return count;
    }

    std::string m_output;
    std::unique_ptr<Process> m_xev;
    std::size_t m_probes = 0;
};

// The letter A in any case anywhere in the raw arguments selects automatic mode, also inside
// the toolkit's own options, which the program must test before the toolkit removes them.
struct ModeCase
{
    const char* name;
    std::vector<std::string> args; // "$DISPLAY" stands for the test's display
    bool automatic;
};

void PrintTo(const ModeCase& c, std::ostream* out)
{
    *out << c.name;
}

class ArgumentMode : public testing::TestWithParam<ModeCase>
{
};

TEST_P(ArgumentMode, WithNothingToLaunchAutomaticEndsAtOnceShowingAndWritingNothing)
{
    const ModeCase& c = GetParam();
    Sandbox sandbox;
    XServer x(sandbox, false);
    MapWatcher watcher(sandbox, x);
    std::vector<std::string> args = c.args;
    for (auto& arg : args)
        if (arg == "$DISPLAY")
            arg = x.Display();

    auto hanavo = StartHanavo(sandbox, args, Screen::X11, &x);
    if (c.automatic) {
        auto status = hanavo->Wait(kExitTimeout);
        ASSERT_TRUE(status) << "automatic mode with nothing to launch must end by itself";
        EXPECT_TRUE(status->Ok()) << Describe(*status) << "; stderr: " << HanavoStderr(sandbox);
        ASSERT_TRUE(watcher.Sync(x));
        EXPECT_FALSE(watcher.SawMap()) << "a window was shown";
        EXPECT_FALSE(sandbox.HasSettings()) << "settings were written";
    } else {
        std::string id = x.WaitForWindow(ExactName(kTitleStopped));
        ASSERT_FALSE(id.empty()) << "normal mode shows the window; stderr: "
                                 << HanavoStderr(sandbox);
        EXPECT_TRUE(PollUntil([&] { return watcher.SawMap(); }, 5s));
        x.Keys(id, {"Escape"});
        auto status = hanavo->Wait(kExitTimeout);
        ASSERT_TRUE(status);
        EXPECT_TRUE(status->Ok()) << Describe(*status);
        EXPECT_TRUE(sandbox.HasSettings());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ArgumentMode,
    testing::Values(ModeCase{"DashA", {"-a"}, true}, ModeCase{"SlashCapitalA", {"/A"}, true},
                    ModeCase{"Word", {"auto"}, true}, ModeCase{"SecondArgument", {"x", "a"}, true},
                    ModeCase{"ToolkitPlatformOption", {"-platform", "xcb"}, true},
                    ModeCase{"ToolkitDisplayOption", {"-display", "$DISPLAY"}, true},
                    ModeCase{"NoArguments", {}, false}, ModeCase{"SlashS", {"/s"}, false},
                    ModeCase{"DashX", {"-x"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A window id as xprop prints it.
std::string Hex(const std::string& decimalId)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", std::stoul(decimalId));
    return text;
}

// Ends automatic mode's window and returns how it went.
std::optional<ExitStatus> WaitForEnd(Process& hanavo)
{
    return hanavo.Wait(kExitTimeout);
}

TEST(AutomaticMode, LaunchesEnabledFilesInOrderThenTheCommandInTheLaunchFolder)
{
    Sandbox sandbox;
    const std::string folder = sandbox.Path("launch folder");
    sandbox.WriteLogger(folder + "/01e_first.sh", "first");
    sandbox.WriteLogger(folder + "/02d_skipped.sh", "skipped");
    sandbox.WriteLogger(folder + "/03e_third step.sh", "third");
    // Sleeps, then logs: it must outlive hanavo, which must not wait for it.
    sandbox.WriteLogger(folder + "/04e_late.sh", "late", 4);
    sandbox.WriteLogger(folder + "/.hidden.sh", "hidden");
    const std::string command = sandbox.WriteLogger(sandbox.Path("tools/cmd.sh"), "cmd");
    const Settings stored = {{"Command", command},
                             {"Foreground", "0"},
                             {"Options", "one \"two words\" 'x y'"},
                             {"Seconds", "1"},
                             {"TopDir", folder}};
    sandbox.WriteSettings(stored);
    const long long storedAt = MTimeNs(sandbox.SettingsPath());
    const auto namesBefore = ListFolder(folder);

    XServer x(sandbox, false);
    auto hanavo = StartHanavo(sandbox, {"-a"}, Screen::X11, &x);
    auto status = WaitForEnd(*hanavo);
    ASSERT_TRUE(status) << "automatic mode did not end; stderr: " << HanavoStderr(sandbox);
    EXPECT_TRUE(status->Ok()) << Describe(*status) << "; stderr: " << HanavoStderr(sandbox);
    EXPECT_EQ(sandbox.Log().find("late"), std::string::npos)
        << "hanavo waited for a launched program";

    ASSERT_TRUE(sandbox.WaitForLogLines(4)) << "log:\n" << sandbox.Log();
    const std::string at = " @" + RealPath(folder);
    EXPECT_EQ(InStartOrder(sandbox.Log()),
              (std::vector<std::string>{"first" + at, "third" + at, "late" + at,
                                        "cmd [one] [two words] [x y]" + at}));
    EXPECT_NE(MTimeNs(sandbox.SettingsPath()), storedAt) << "the settings were not rewritten";
    EXPECT_EQ(sandbox.ReadSettings(), stored);
    EXPECT_EQ(ListFolder(folder), namesBefore) << "launching must not rename anything";
}

// A failed launch needs the user: the message box (owned by the timer window, captioned
// "Hanavo") is answered with Return, then the program ends normally.
TEST(AutomaticMode, MissingCommandIsReportedAndAnsweredThenTheProgramEnds)
{
    Sandbox sandbox;
    sandbox.WriteSettings({{"Command", "/nonexistent/tool"}, {"Seconds", "1"}});
    const long long storedAt = MTimeNs(sandbox.SettingsPath());
    XServer x(sandbox, true);
    auto hanavo = StartHanavo(sandbox, {"-a"}, Screen::X11, &x);

    std::string box = x.WaitForWindow(ExactName("Hanavo"));
    ASSERT_FALSE(box.empty()) << "no message box; stderr: " << HanavoStderr(sandbox);
    std::string timer = x.WaitForWindow(ExactName(kTitleStopped));
    ASSERT_FALSE(timer.empty()) << "the timer window must show the stopped title meanwhile";
    EXPECT_EQ(x.Property(box, "WM_TRANSIENT_FOR"),
              "WM_TRANSIENT_FOR(WINDOW): window id # " + Hex(timer) + "\n")
        << "the message box must belong to the timer window";
    EXPECT_TRUE(hanavo->Running());

    x.Keys(box, {"Return"});
    auto status = WaitForEnd(*hanavo);
    ASSERT_TRUE(status) << "answering the message did not end the program";
    EXPECT_TRUE(status->Ok()) << Describe(*status) << "; stderr: " << HanavoStderr(sandbox);
    EXPECT_NE(MTimeNs(sandbox.SettingsPath()), storedAt);
    EXPECT_EQ(sandbox.ReadSettings()["Command"], "/nonexistent/tool");
}

// At login a vanished launch folder must not fail in silence: it is reported, and the
// command still follows once the message is answered.
TEST(AutomaticMode, MissingLaunchFolderIsReportedThenTheCommandRuns)
{
    Sandbox sandbox;
    const std::string command = sandbox.WriteLogger(sandbox.Path("cmd.sh"), "cmd");
    sandbox.WriteSettings(
        {{"Command", command}, {"Seconds", "1"}, {"TopDir", sandbox.Path("gone")}});
    XServer x(sandbox, true);
    auto hanavo = StartHanavo(sandbox, {"-a"}, Screen::X11, &x);

    std::string box = x.WaitForWindow(ExactName("Hanavo"));
    ASSERT_FALSE(box.empty()) << "the missing folder was not reported; stderr: "
                              << HanavoStderr(sandbox);
    EXPECT_EQ(sandbox.Log(), "") << "the command ran before the folder step was answered";
    x.Keys(box, {"Return"});
    auto status = WaitForEnd(*hanavo);
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->Ok()) << Describe(*status) << "; stderr: " << HanavoStderr(sandbox);
    ASSERT_TRUE(sandbox.WaitForLogLines(1));
    EXPECT_EQ(InStartOrder(sandbox.Log()),
              std::vector<std::string>{"cmd @" + RealPath(sandbox.Home())});
}

// The command msg shows its arguments in a message box over a topmost timer window and
// launches nothing, not even a program that happens to be called msg.
TEST(AutomaticMode, MsgShowsTheMessageAndLaunchesNothing)
{
    Sandbox sandbox;
    const std::string bin = sandbox.Path("bin");
    sandbox.WriteLogger(bin + "/msg", "msg-program");
    sandbox.PrependPath(bin);
    sandbox.WriteSettings({{"Command", "msg"}, {"Options", "ようこそ, world"}, {"Seconds", "1"}});
    XServer x(sandbox, true);
    auto hanavo = StartHanavo(sandbox, {"-a"}, Screen::X11, &x);

    std::string box = x.WaitForWindow(ExactName("Hanavo"));
    ASSERT_FALSE(box.empty()) << "no message box; stderr: " << HanavoStderr(sandbox);
    std::string timer = x.WaitForWindow(ExactName(kTitleStopped));
    ASSERT_FALSE(timer.empty());
    EXPECT_TRUE(PollUntil(
        [&] {
            return x.Property(timer, "_NET_WM_STATE").find("_NET_WM_STATE_ABOVE") !=
                   std::string::npos;
        },
        5s))
        << "the timer window is not topmost: " << x.Property(timer, "_NET_WM_STATE");

    x.Keys(box, {"Return"});
    auto status = WaitForEnd(*hanavo);
    ASSERT_TRUE(status) << "closing the message did not end the program";
    EXPECT_TRUE(status->Ok()) << Describe(*status) << "; stderr: " << HanavoStderr(sandbox);
    EXPECT_FALSE(sandbox.WaitForLogLines(1, 1s)) << "launched: " << sandbox.Log();
    EXPECT_EQ(sandbox.ReadSettings()["Options"], "ようこそ, world");
}

// Names are bytes: whatever a file is called, it is launched by that exact name and nothing
// in it is interpreted (no shell, no option parsing, no text conversion).
TEST(AutomaticMode, FileNamesAreLaunchedByteForByte)
{
    Sandbox sandbox;
    const std::string folder = sandbox.Path("launch");
    sandbox.WriteLogger(folder + "/-n.sh", "dash");
    sandbox.WriteLogger(folder + "/01e_$(touch pwned).sh", "substitution");
    sandbox.WriteLogger(folder + "/02e_it's \"quoted\" `x`.sh", "quotes");
    sandbox.WriteLogger(folder + "/03e_\xff\xfe latin1 \xe9.sh", "not-utf8");
    sandbox.WriteLogger(folder + "/04e_line\nbreak.sh", "newline");
    sandbox.WriteSettings({{"Seconds", "1"}, {"TopDir", folder}});

    XServer x(sandbox, false);
    auto hanavo = StartHanavo(sandbox, {"-a"}, Screen::X11, &x);
    auto status = WaitForEnd(*hanavo);
    ASSERT_TRUE(status) << HanavoStderr(sandbox);
    EXPECT_TRUE(status->Ok()) << Describe(*status) << "; stderr: " << HanavoStderr(sandbox);
    ASSERT_TRUE(sandbox.WaitForLogLines(5)) << "log:\n" << sandbox.Log();
    const std::string at = " @" + RealPath(folder);
    EXPECT_EQ(InStartOrder(sandbox.Log()),
              (std::vector<std::string>{"dash" + at, "substitution" + at, "quotes" + at,
                                        "not-utf8" + at, "newline" + at}));
    EXPECT_FALSE(Exists(folder + "/pwned"));
    EXPECT_FALSE(Exists(sandbox.Home() + "/pwned"));
}

// A desktop entry in the launch folder starts the application it describes, not an editor.
TEST(AutomaticMode, DesktopEntryInTheLaunchFolderStartsItsApplication)
{
    Sandbox sandbox;
    const std::string folder = sandbox.Path("launch");
    const std::string app = sandbox.WriteLogger(sandbox.Path("apps/app.sh"), "app");
    WriteFile(folder + "/01e_app.desktop",
              "[Desktop Entry]\nType=Application\nName=App\nExec=" + app + " from-entry\n");
    sandbox.WriteLogger(folder + "/02e_after.sh", "after");
    sandbox.WriteSettings({{"Seconds", "1"}, {"TopDir", folder}});

    XServer x(sandbox, false);
    auto hanavo = StartHanavo(sandbox, {"-a"}, Screen::X11, &x);
    auto status = WaitForEnd(*hanavo);
    ASSERT_TRUE(status) << HanavoStderr(sandbox);
    EXPECT_TRUE(status->Ok()) << Describe(*status) << "; stderr: " << HanavoStderr(sandbox);
    ASSERT_TRUE(sandbox.WaitForLogLines(2)) << "log:\n" << sandbox.Log();
    const std::string at = " @" + RealPath(folder);
    EXPECT_EQ(InStartOrder(sandbox.Log()),
              (std::vector<std::string>{"app [from-entry]" + at, "after" + at}));
}

// Enter in the timer window presses its default button, Run now.
TEST(NormalMode, EnterRunsNow)
{
    Sandbox sandbox;
    const std::string command = sandbox.WriteLogger(sandbox.Path("cmd.sh"), "cmd");
    sandbox.WriteSettings({{"Command", command}, {"Options", "now"}, {"Seconds", "300"}});
    XServer x(sandbox, true);
    auto hanavo = StartHanavo(sandbox, {}, Screen::X11, &x);
    std::string timer = x.WaitForWindow(ExactName(kTitleStopped));
    ASSERT_FALSE(timer.empty()) << HanavoStderr(sandbox);
    EXPECT_EQ(sandbox.Log(), "");

    x.Keys(timer, {"Return"});
    auto status = WaitForEnd(*hanavo);
    ASSERT_TRUE(status) << "Enter did not run the launch sequence";
    EXPECT_TRUE(status->Ok()) << Describe(*status) << "; stderr: " << HanavoStderr(sandbox);
    ASSERT_TRUE(sandbox.WaitForLogLines(1));
    EXPECT_EQ(InStartOrder(sandbox.Log()),
              std::vector<std::string>{"cmd [now] @" + RealPath(sandbox.Home())});
}

// In automatic mode the stored Foreground flag brings the counting window back in front of
// the window the user is working in, on every tick; with 0 it stays behind.
class Foreground : public testing::TestWithParam<bool>
{
};

TEST_P(Foreground, StoredFlagDecidesWhetherTicksBringTheWindowToTheFront)
{
    const bool forced = GetParam();
    Sandbox sandbox;
    const std::string command = sandbox.WriteLogger(sandbox.Path("cmd.sh"), "cmd");
    sandbox.WriteSettings(
        {{"Command", command}, {"Seconds", "5"}, {"Foreground", forced ? "1" : "0"}});
    XServer x(sandbox, true);
    const std::string title = "working-" + std::to_string(getpid());
    auto other = x.Start({"xmessage", "-title", title, "the user's own window"}, "xmessage");
    std::string otherId = x.WaitForWindow(ExactName(title));
    ASSERT_FALSE(otherId.empty()) << "xmessage: " << ReadFile(sandbox.Path("xmessage.err"));

    auto hanavo = StartHanavo(sandbox, {"-a"}, Screen::X11, &x);
    std::string timer = x.WaitForWindow(ExactName(kTitleCounting));
    ASSERT_FALSE(timer.empty()) << HanavoStderr(sandbox);
    x.Client({"xdotool", "windowactivate", "--sync", otherId}, 5s);

    bool cameToFront = false;
    PollUntil(
        [&] {
            if (x.Client({"xdotool", "getactivewindow"}).out == timer + "\n")
                cameToFront = true;
            return !hanavo->Running();
        },
        kExitTimeout);
    auto status = WaitForEnd(*hanavo);
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->Ok()) << Describe(*status);
    EXPECT_EQ(cameToFront, forced);
}

INSTANTIATE_TEST_SUITE_P(Stored, Foreground, testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "One" : "Zero"); });

} // namespace
} // namespace e2e
