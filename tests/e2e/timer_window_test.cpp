// The timer window of the real program: what the settings store holds after a run, how the
// window ends (keys, the window manager's close, session-end signals), bad stored data, and
// the program without any display.
#include <csignal>
#include <gtest/gtest.h>

#include "Harness.h"

namespace e2e {
namespace {

const Settings kFirstRunDefaults = {
    {"Command", ""}, {"Foreground", "1"}, {"Options", ""}, {"Seconds", "60"}, {"TopDir", ""}};

// Waits for the stopped timer window, or fails with what the program printed.
std::string WaitForTimerWindow(const XServer& x, const Sandbox& sandbox)
{
    std::string id = x.WaitForWindow(ExactName(kTitleStopped));
    EXPECT_FALSE(id.empty()) << "no timer window; stderr: " << HanavoStderr(sandbox);
    return id;
}

void ExpectCleanExit(Process& hanavo, const Sandbox& sandbox)
{
    auto status = hanavo.Wait(kExitTimeout);
    ASSERT_TRUE(status) << "hanavo did not end; stderr: " << HanavoStderr(sandbox);
    EXPECT_TRUE(status->Ok()) << Describe(*status) << "; stderr: " << HanavoStderr(sandbox);
}

// How a user ends the window: Esc, or the window manager's close (Alt+F4 in openbox, which
// sends WM_DELETE_WINDOW like the close box).
class FirstRun : public testing::TestWithParam<const char*>
{
};

TEST_P(FirstRun, WindowOpensStoppedAndClosingWritesTheFiveDefaults)
{
    Sandbox sandbox;
    XServer x(sandbox, true);
    auto hanavo = StartHanavo(sandbox, {}, Screen::X11, &x);
    std::string id = WaitForTimerWindow(x, sandbox);
    ASSERT_FALSE(id.empty());
    EXPECT_FALSE(sandbox.HasSettings()) << "written before the window closed";

    x.Keys(id, {GetParam()});
    ExpectCleanExit(*hanavo, sandbox);
    EXPECT_EQ(sandbox.ReadSettings(), kFirstRunDefaults);
}

INSTANTIATE_TEST_SUITE_P(Keys, FirstRun, testing::Values("Escape", "alt+F4"));

// Stored values the program must take as they are, or as the default when they are not a
// whole 32-bit number; "Foreground" is written back as 1 or 0.
struct StoredCase
{
    const char* name;
    const char* seconds;
    const char* foreground;
    const char* secondsAfter;
    const char* foregroundAfter;
};

void PrintTo(const StoredCase& c, std::ostream* out)
{
    *out << c.name;
}

class StoredValues : public testing::TestWithParam<StoredCase>
{
};

TEST_P(StoredValues, AreReadAndWrittenBackWithoutACrash)
{
    const StoredCase& c = GetParam();
    Sandbox sandbox;
    sandbox.WriteSettings({{"Seconds", c.seconds}, {"Foreground", c.foreground}});
    XServer x(sandbox, true);
    auto hanavo = StartHanavo(sandbox, {}, Screen::X11, &x);
    std::string id = WaitForTimerWindow(x, sandbox);
    ASSERT_FALSE(id.empty());
    x.Keys(id, {"Escape"});
    ExpectCleanExit(*hanavo, sandbox);

    Settings after = sandbox.ReadSettings();
    EXPECT_EQ(after["Seconds"], c.secondsAfter);
    EXPECT_EQ(after["Foreground"], c.foregroundAfter);
    EXPECT_EQ(after["Command"], "");
}

INSTANTIATE_TEST_SUITE_P(Cases, StoredValues,
                         testing::Values(StoredCase{"Text", "abc", "1", "60", "1"},
                                         StoredCase{"TooBig", "99999999999", "1", "60", "1"},
                                         StoredCase{"Empty", "", "1", "60", "1"},
                                         StoredCase{"TrailingText", "12abc", "1", "60", "1"},
                                         StoredCase{"BelowRangeKept", "5", "0", "5", "0"},
                                         StoredCase{"AboveRangeKept", "1000", "5", "1000", "1"}),
                         [](const auto& info) { return std::string(info.param.name); });

// The end of the desktop session ends the window like Close: everything is saved, and text
// that needs escaping in the store comes back byte for byte.
class SessionEnd : public testing::TestWithParam<int>
{
};

TEST_P(SessionEnd, SignalWhileTheWindowIsShownSavesTheSettings)
{
    const Settings stored = {
        {"Command", "/opt/my tools/run it.sh"},
        {"Foreground", "0"},
        {"Options", " lead, semi; back\\slash \"q\" 'x y' =@ 日本語 "},
        {"Seconds", "77"},
        {"TopDir", "/srv/起動"},
    };
    Sandbox sandbox;
    sandbox.WriteSettings(stored);
    XServer x(sandbox, false);
    auto hanavo = StartHanavo(sandbox, {}, Screen::X11, &x);
    ASSERT_FALSE(WaitForTimerWindow(x, sandbox).empty());
    const long long before = MTimeNs(sandbox.SettingsPath());

    hanavo->Signal(GetParam());
    ExpectCleanExit(*hanavo, sandbox);
    EXPECT_NE(MTimeNs(sandbox.SettingsPath()), before) << "the settings were not written";
    EXPECT_EQ(sandbox.ReadSettings(), stored);
}

INSTANTIATE_TEST_SUITE_P(Signals, SessionEnd, testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

// A config folder that cannot be written (a file stands where the folder should be, which
// stops root as well): the program runs and ends normally, and the file is left alone.
TEST(SettingsStore, UnwritableConfigFolderDoesNotStopTheProgram)
{
    Sandbox sandbox;
    const std::string blocker = sandbox.ConfigHome() + "/Quillmere";
    WriteFile(blocker, "not a folder\n");
    XServer x(sandbox, true);
    auto hanavo = StartHanavo(sandbox, {}, Screen::X11, &x);
    std::string id = WaitForTimerWindow(x, sandbox);
    ASSERT_FALSE(id.empty());
    x.Keys(id, {"Escape"});
    ExpectCleanExit(*hanavo, sandbox);
    EXPECT_EQ(ReadFile(blocker), "not a folder\n");
}

// The settings dialog from the timer window, by keyboard as a user would: with nothing set,
// the focus starts on Settings (the first enabled tab stop); in the dialog it starts in the
// command field, and the seconds field is the sixth tab stop.
TEST(SettingsDialog, SecondsChangedInTheDialogAreSavedAndReadAtTheNextStart)
{
    Sandbox sandbox;
    XServer x(sandbox, true);
    {
        auto hanavo = StartHanavo(sandbox, {}, Screen::X11, &x);
        std::string timer = WaitForTimerWindow(x, sandbox);
        ASSERT_FALSE(timer.empty());
        x.Keys(timer, {"space"});
        std::string dialog = x.WaitForWindow(ExactName("設定"));
        ASSERT_FALSE(dialog.empty()) << "the settings dialog did not open";
        x.Keys(dialog, {"Tab", "Tab", "Tab", "Tab", "Tab", "ctrl+a"});
        x.Type(dialog, "45");
        x.Keys(dialog, {"Return"});
        ASSERT_TRUE(x.WaitUntilGone(ExactName("設定"))) << "OK did not close the dialog";
        EXPECT_EQ(x.WindowName(timer), kTitleStopped);
        x.Keys(timer, {"Escape"});
        ExpectCleanExit(*hanavo, sandbox);
        EXPECT_EQ(sandbox.ReadSettings()["Seconds"], "45");
    }
    // The next start reads 45: had it not, closing would write the default back.
    auto hanavo = StartHanavo(sandbox, {}, Screen::X11, &x);
    std::string timer = WaitForTimerWindow(x, sandbox);
    ASSERT_FALSE(timer.empty());
    x.Keys(timer, {"Escape"});
    ExpectCleanExit(*hanavo, sandbox);
    EXPECT_EQ(sandbox.ReadSettings()["Seconds"], "45");
}

// Without any display the program says so in one line and fails, without a toolkit abort,
// and writes nothing.
class NoDisplay : public testing::TestWithParam<std::vector<std::string>>
{
};

TEST_P(NoDisplay, OneLineOnStderrAndANonZeroExit)
{
    Sandbox sandbox;
    sandbox.WriteLogger(sandbox.Path("cmd.sh"), "cmd");
    sandbox.WriteSettings({{"Command", sandbox.Path("cmd.sh")}, {"Seconds", "1"}});
    const std::string storedBefore = ReadFile(sandbox.SettingsPath());

    auto hanavo = StartHanavo(sandbox, GetParam(), Screen::None);
    auto status = hanavo->Wait(kExitTimeout);
    ASSERT_TRUE(status) << "hanavo did not end without a display";
    EXPECT_TRUE(status->exited) << Describe(*status);
    EXPECT_NE(status->code, 0);
    EXPECT_NE(status->code, 134) << "abort";

    std::string err = HanavoStderr(sandbox);
    while (!err.empty() && err.back() == '\n')
        err.pop_back();
    EXPECT_FALSE(err.empty());
    EXPECT_EQ(err.find('\n'), std::string::npos) << "more than one line:\n" << err;
    EXPECT_EQ(ReadFile(sandbox.SettingsPath()), storedBefore);
    EXPECT_EQ(sandbox.Log(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Modes, NoDisplay, testing::Values(std::vector<std::string>{}, std::vector<std::string>{"-a"}),
    [](const auto& info) { return std::string(info.param.empty() ? "Normal" : "Automatic"); });

} // namespace
} // namespace e2e
