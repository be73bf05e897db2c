// The timer window of the real program: the settings dialog by keyboard, keys typed into another
// window while it counts, and the program without any display.
#include <filesystem>
#include <gtest/gtest.h>

#include "Harness.h"

namespace e2e {
namespace {

// By keyboard as a user would: with nothing set, the focus starts on Settings; in the dialog
// it starts in the command field, and the seconds field is the sixth tab stop.
TEST(SettingsDialog, SecondsChangedInTheDialogAreSavedAndReadAtTheNextStart)
{
    Sandbox s;
    XServer x(s, true);
    auto hanavo = s.Hanavo({}, x.Display());
    std::string timer = x.WaitForWindow(kTitleStopped);
    ASSERT_FALSE(timer.empty()) << s.Stderr();
    x.Keys(timer, {"space"});
    const std::string dialog = x.WaitForWindow("設定");
    ASSERT_FALSE(dialog.empty()) << "the settings dialog did not open";
    x.Keys(dialog, {"Tab", "Tab", "Tab", "Tab", "Tab", "ctrl+a", "4", "5", "Return"});
    ASSERT_TRUE(PollUntil([&] { return x.Find("設定").empty(); }, kTimeout)) << "OK did not close";
    x.Keys(timer, {"Escape"});
    EXPECT_EQ(hanavo->Wait(kTimeout), 0) << s.Stderr();
    EXPECT_EQ(s.ReadSettings()["Seconds"], "45");

    // Had the next start not read 45, closing would write the default back.
    hanavo = s.Hanavo({}, x.Display());
    timer = x.WaitForWindow(kTitleStopped);
    ASSERT_FALSE(timer.empty()) << s.Stderr();
    x.Keys(timer, {"Escape"});
    EXPECT_EQ(hanavo->Wait(kTimeout), 0) << s.Stderr();
    EXPECT_EQ(s.ReadSettings()["Seconds"], "45");
}

// The keyboard belongs to the user: while Hanavo counts in automatic mode and keeps its window
// in front, every key typed into another program reaches that program (an Enter or Esc given to
// Hanavo would launch everything or cancel the login start), and the count goes on to its end.
// A click still activates it. The window is the one the desktop entry names, so that docks tie
// them together.
TEST(AutomaticMode, KeysTypedIntoAnotherWindowStayThereWhileHanavoCountsInFront)
{
    Sandbox s;
    s.WriteSettings({{"Command", s.WriteLogger(s.Path("cmd.sh"), "cmd")}, {"Seconds", "8"}});
    XServer x(s, true);
    auto logger = x.Start({HANAVO_KEY_LOGGER, s.Path("keys.log")}, "key-logger");
    const std::string other = x.WaitForWindow("key-logger");
    ASSERT_FALSE(other.empty()) << ReadFile(s.Path("key-logger.err"));
    x.Client({"xdotool", "windowactivate", "--sync", other});

    auto hanavo = s.Hanavo({"-a"}, x.Display());
    const std::string timer = x.WaitForWindow(kTitleCounting);
    ASSERT_FALSE(timer.empty()) << s.Stderr();
    // Shown without taking the keyboard; then the user goes back to the other window, which
    // the window manager raises over Hanavo's.
    EXPECT_EQ(x.Client({"xdotool", "getactivewindow"}), other + "\n");
    x.Client({"xdotool", "windowactivate", "--sync", other});
    // Keys over more than two ticks of the count, without choosing a window: XTEST gives each
    // to whichever window has the keyboard at that moment.
    const std::vector<std::pair<std::string, std::string>> keys = {
        {"a", "A"},         {"Return", "Return"}, {"b", "B"},     {"Escape", "Esc"},
        {"space", "Space"}, {"c", "C"},           {"Tab", "Tab"}, {"Return", "Return"},
        {"d", "D"},         {"Escape", "Esc"},    {"e", "E"},     {"Return", "Return"},
        {"f", "F"},         {"Escape", "Esc"},    {"g", "G"},     {"space", "Space"}};
    std::vector<std::string> argv = {"xdotool", "key", "--delay", "180"};
    std::string typed; // as the other program logs them
    for (const auto& [key, name] : keys) {
        argv.push_back(key);
        typed += name + "\n";
    }
    x.Client(argv);
    EXPECT_TRUE(PollUntil([&] { return ReadFile(s.Path("keys.log")) == typed; }, 5s))
        << ReadFile(s.Path("keys.log"));

    // Still counting, nothing launched yet, and in front of the window that has the keyboard.
    EXPECT_EQ(x.Find(kTitleCounting), std::vector<std::string>{timer});
    EXPECT_EQ(s.Log(), "");
    EXPECT_TRUE(x.IsAbove(timer, other));
    const std::string wmClass = x.Client({"xprop", "-id", timer, "WM_CLASS"});
    std::string entry = ReadFile(HANAVO_SOURCE_DIR "/packaging/io.github.quillmere.Hanavo.desktop");
    const auto key = entry.find("\nStartupWMClass=");
    ASSERT_NE(key, std::string::npos);
    entry = entry.substr(key + 16, entry.find('\n', key + 1) - key - 16);
    EXPECT_NE(wmClass.find(", \"" + entry + "\"\n"), std::string::npos) << wmClass;
    // A click still makes it the active window (on the counter, which does nothing).
    x.Client({"xdotool", "mousemove", "--window", timer, "20", "20", "click", "1"});
    EXPECT_TRUE(PollUntil(
        [&] {
            return x.Client({"xdotool", "getactivewindow"}) == timer + "\n";
        },
        5s));

    // The count goes on to zero and launches.
    EXPECT_EQ(hanavo->Wait(kTimeout), 0) << s.Stderr();
    EXPECT_EQ(s.Launched(1), std::vector<std::string>{
                                 "cmd @" + std::filesystem::canonical(s.Path("home")).string()});
}

// Without any display, in either mode: one line on stderr and a failure exit, not a toolkit
// abort; nothing launched, nothing written.
TEST(NoDisplay, OneLineOnStderrAndANonZeroExit)
{
    for (const auto& args : {std::vector<std::string>{}, std::vector<std::string>{"-a"}}) {
        SCOPED_TRACE(args.empty() ? "normal mode" : "automatic mode");
        Sandbox s;
        s.WriteSettings({{"Command", s.WriteLogger(s.Path("cmd.sh"), "cmd")}, {"Seconds", "1"}});
        const std::string stored = ReadFile(s.SettingsPath());
        const auto code = s.Hanavo(args, "")->Wait(kTimeout);
        ASSERT_TRUE(code) << "it did not end";
        EXPECT_GT(*code, 0) << "0 is success, below 0 a signal";
        const std::string err = s.Stderr();
        EXPECT_TRUE(err.size() > 1 && err.find('\n') == err.size() - 1) << err;
        EXPECT_EQ(ReadFile(s.SettingsPath()), stored);
        EXPECT_EQ(s.Log(), "");
    }
}

} // namespace
} // namespace e2e
