// The timer window's states, tick, display and button rule, on the scripted host.
#include <climits>
#include <gtest/gtest.h>

#include "res/Strings.h"
#include "res/resource.h"
#include "support/TimerWindow.h"

using namespace testing_support;

namespace {

// Clicks the control (0: none) and lets the milliseconds pass; then tells the title's state,
// whether Start, Stop and Run now are enabled, and the count.
std::string State(ScriptedWindow& w, int click = 0, unsigned ms = 0)
{
    if (click)
        w.Click(click);
    w.Advance(ms);
    std::string s = w.title == "Hanavo(秒読中)" ? "counting " : "stopped ";
    for (int id : {IDC_START, IDC_STOP, IDC_RUN_NOW})
        s += w.IsEnabled(id) ? '1' : '0';
    return s + " " + w.GetText(IDC_COUNTER);
}

struct TimerFixture : ::testing::Test
{
    ScriptedHost host;
    LaunchSettings settings;

    TimerFixture() { settings.m_strCommand = "msg"; }
    int Run(ScriptedHost::ScriptFn script)
    {
        return RunTimerWindow(host, settings, std::move(script));
    }
};

// Start counts down once a second from the seconds, also while the About box is open, Stop keeps
// the count, Reset shows the seconds and leaves the state as it was, and zero launches. Nothing
// left to launch stops the count; ticking the box again does not restart it. A timer that cannot
// be set leaves the window stopped; one that cannot be killed still stops, and the rule that
// stops it does not loop.
TEST_F(TimerFixture, CountsDownFromStartStopsResetsAndLaunchesAtZero)
{
    settings.m_nSeconds = 10;
    settings.m_strOptions = "hello";
    EXPECT_EQ(Run([this](Modal& w) {
                  EXPECT_EQ(w.focus, IDC_RUN_COMMAND) << "the first enabled tab stop";
                  EXPECT_EQ(State(w, 0, 5000), "stopped 101 10");
                  EXPECT_EQ(State(w, IDC_START, 999), "counting 011 10");
                  EXPECT_EQ(State(w, 0, 1), "counting 011 9");
                  // The count goes on while the About box is open; the low bits of a window
                  // menu command are the system's own.
                  host.Script(IDD_ABOUTBOX, [&w](Modal& about) {
                      about.Advance(2000);
                      EXPECT_EQ(w.GetText(IDC_COUNTER), "7");
                      about.PressEscape();
                  });
                  w.ChooseFromWindowMenu(IDM_ABOUTBOX | 3);
                  EXPECT_EQ(State(w, IDC_STOP, 5000), "stopped 101 7");
                  EXPECT_EQ(State(w, IDC_START), "counting 011 7") << "the count is not redrawn";
                  EXPECT_EQ(State(w, 0, 1000), "counting 011 9");
                  EXPECT_EQ(State(w, IDC_RESET), "counting 011 10");
                  EXPECT_EQ(State(w, 0, 9999), "counting 011 1");
                  EXPECT_EQ(State(w, IDC_STOP), "stopped 101 1");
                  EXPECT_EQ(State(w, IDC_RESET), "stopped 101 10");
                  host.failNextSetTimer = true;
                  EXPECT_EQ(State(w, IDC_START), "stopped 101 10");
                  w.Click(IDC_START);
                  host.failKillTimer = true;
                  EXPECT_EQ(State(w, IDC_RUN_COMMAND), "stopped 000 10");
                  host.failKillTimer = false;
                  EXPECT_EQ(State(w, IDC_RUN_COMMAND), "stopped 101 10");
                  EXPECT_EQ(State(w, IDC_START, 10000), "stopped 101 0")
                      << "stopped, then launched";
                  EXPECT_TRUE(w.ended);
              }),
              platform::IdOk);
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"hello"});
    EXPECT_EQ(Run([](Modal& w) { w.PressEscape(); }), platform::IdCancel);
}

// The status line names the command's file part; with no command the three buttons are
// disabled, the others stay usable.
TEST_F(TimerFixture, StatusLineSpeaksOfTheCommandFilePart)
{
    const std::string commands[] = {
        "MSG", "msg ", "/opt/tools/x.sh", "backup", "/opt/tools/", "/home/花子/起動.sh", "msg", ""};
    const char* parts[] = {"MSG", "msg ", "x.sh", "backup", "", "起動.sh"};
    for (int i = 0; i < 8; ++i) {
        settings.m_strCommand = commands[i];
        Run([&](Modal& w) {
            EXPECT_EQ(w.GetText(IDC_STATUS),
                      i < 6 ? res::FormatString1(IDS_STATUS_COMMAND, parts[i])
                            : res::LoadText(i == 6 ? IDS_STATUS_MESSAGE : IDS_STATUS_NOCOMMAND));
            EXPECT_EQ(State(w), i < 7 ? "stopped 101 60" : "stopped 000 60");
            w.Click(platform::ID_HELP);
            w.Click(IDC_RESET);
            w.Click(IDC_CLOSE);
        });
    }
    EXPECT_EQ(host.helpCount, 8);
}

// A stored count of zero or below launches at the first tick.
TEST_F(TimerFixture, EveryStoredCountTicksByTheRules)
{
    const int seconds[] = {1, 0, -1, INT_MIN, 2, INT_MAX};
    const char* afterFirstTick[] = {"0", "0", "0", "0", "1", "2147483646"};
    settings.m_bAutoStart = true;
    for (int i = 0; i < 6; ++i) {
        ScriptedHost h;
        settings.m_nSeconds = seconds[i];
        const int result = RunTimerWindow(h, settings, [&](Modal& w) {
            EXPECT_EQ(w.GetText(IDC_COUNTER), std::to_string(seconds[i]));
            w.Advance(1000);
            EXPECT_EQ(w.GetText(IDC_COUNTER), afterFirstTick[i]);
            if (!w.ended)
                w.PressEscape();
        });
        EXPECT_EQ(result, i < 4 ? platform::IdOk : platform::IdCancel) << seconds[i];
    }
}

TEST_F(TimerFixture, SettingsStopsTheCountAndAppliesOnlyOnOK)
{
    settings.m_nSeconds = 60;
    settings.m_strTopDir = "/srv/launch";
    settings.m_bRunFiles = true;
    for (int button : {platform::IdCancel, platform::IdOk})
        host.Script(IDD_SETTING_DIALOG, [button](Modal& w) {
            EXPECT_EQ(w.GetText(IDC_TOPDIR), "/srv/launch");
            w.Type(IDC_SECONDS, "120");
            w.Type(IDC_COMMAND, "/usr/bin/backup");
            w.Type(IDC_TOPDIR, "");
            w.Click(button);
        });
    Run([this](Modal& w) {
        w.Click(IDC_START);
        w.Advance(10000);
        w.Click(IDC_SETTINGS); // cancelled
        EXPECT_EQ(State(w), "stopped 101 50") << "after Cancel the display keeps the count";
        EXPECT_EQ(settings.m_nSeconds, 60);
        w.Click(IDC_START);
        w.Click(IDC_SETTINGS); // accepted
        EXPECT_EQ(settings.m_nSeconds, 120);
        EXPECT_EQ(settings.m_strCommand, "/usr/bin/backup");
        EXPECT_FALSE(settings.m_bRunFiles) << "emptied folder turns run-files off";
        EXPECT_EQ(State(w), "stopped 101 120");
        EXPECT_FALSE(w.IsEnabled(IDC_RUN_FILES) || w.GetCheck(IDC_RUN_FILES));
        EXPECT_EQ(w.GetText(IDC_STATUS), res::FormatString1(IDS_STATUS_COMMAND, "backup"));
        w.Click(IDC_CLOSE);
    });
}

} // namespace
