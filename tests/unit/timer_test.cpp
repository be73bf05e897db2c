// The timer window's states, tick, display and button rule, on the scripted host.
#include <climits>
#include <gtest/gtest.h>

#include "res/Strings.h"
#include "res/resource.h"
#include "support/TimerWindow.h"
#include "timer/CLaunchTimerDlg.h"

using namespace testing_support;

namespace {

const char kStopped[] = "Hanavo(停止中)";
const char kCounting[] = "Hanavo(秒読中)";

// Start, Stop and Run now enabled, as '1' and '0'.
std::string Buttons(const ScriptedWindow& w)
{
    std::string s;
    for (int id : {IDC_START, IDC_STOP, IDC_RUN_NOW})
        s += w.IsEnabled(id) ? '1' : '0';
    return s;
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

TEST_F(TimerFixture, CountsDownOncePerSecondFromStartAndLaunchesAtZero)
{
    settings.m_nSeconds = 3;
    settings.m_strOptions = "hello";
    EXPECT_EQ(Run([](Modal& w) {
                  EXPECT_EQ(w.title, kStopped);
                  EXPECT_EQ(Buttons(w), "101");
                  EXPECT_EQ(w.focus, IDC_RUN_COMMAND) << "the first enabled tab stop";
                  EXPECT_EQ(w.menu, (std::vector<unsigned>{0, IDM_ABOUTBOX}));
                  w.Advance(5000);
                  EXPECT_EQ(w.GetText(IDC_COUNTER), "3") << "no tick before Start";
                  w.Click(IDC_START);
                  EXPECT_EQ(w.title, kCounting);
                  EXPECT_EQ(Buttons(w), "011");
                  w.Advance(999);
                  EXPECT_EQ(w.GetText(IDC_COUNTER), "3");
                  w.Advance(1);
                  EXPECT_EQ(w.GetText(IDC_COUNTER), "2");
                  w.Advance(2000);
                  EXPECT_TRUE(w.ended);
                  EXPECT_EQ(w.GetText(IDC_COUNTER), "0");
                  EXPECT_EQ(w.title, kStopped) << "stopped before the launch sequence";
              }),
              platform::IdOk);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, "hello");
    EXPECT_EQ(Run([](Modal& w) { w.PressEscape(); }), platform::IdCancel);
}

TEST_F(TimerFixture, StopKeepsTheCountStartBeginsAgainAndResetShowsTheSeconds)
{
    settings.m_nSeconds = 60;
    Run([](Modal& w) {
        w.Click(IDC_START);
        w.Advance(23000);
        w.Click(IDC_STOP);
        EXPECT_EQ(w.title, kStopped);
        EXPECT_EQ(Buttons(w), "101");
        w.Advance(5000);
        EXPECT_EQ(w.GetText(IDC_COUNTER), "37") << "no tick while stopped";
        w.Click(IDC_START);
        EXPECT_EQ(w.GetText(IDC_COUNTER), "37") << "Start does not refresh the display";
        w.Advance(6000);
        EXPECT_EQ(w.GetText(IDC_COUNTER), "54");
        // Reset, counting or stopped, shows the seconds and leaves the state as it was.
        w.Click(IDC_RESET);
        EXPECT_EQ(w.GetText(IDC_COUNTER), "60");
        w.Advance(1000);
        EXPECT_EQ(w.GetText(IDC_COUNTER), "59");
        w.Click(IDC_STOP);
        w.Click(IDC_RESET);
        EXPECT_EQ(w.GetText(IDC_COUNTER), "60");
        EXPECT_EQ(w.title, kStopped);
        w.Click(IDC_CLOSE);
    });
}

// Nothing left to launch stops the count and disables the three buttons; ticking the box
// again enables them and does not restart. A timer that cannot be set leaves the window
// stopped; one that cannot be killed still stops, and the rule that stops it does not loop.
TEST_F(TimerFixture, NothingLeftToLaunchStopsTheCountEvenWhenTheTimerWillNotDie)
{
    Run([this](Modal& w) {
        host.failNextSetTimer = true;
        w.Click(IDC_START);
        EXPECT_EQ(w.title, kStopped);
        EXPECT_EQ(Buttons(w), "101");
        w.Click(IDC_START);
        host.failKillTimer = true;
        w.Click(IDC_RUN_COMMAND);
        EXPECT_FALSE(settings.m_bRunCommand);
        EXPECT_EQ(w.title, kStopped);
        EXPECT_EQ(Buttons(w), "000");
        host.failKillTimer = false;
        w.Click(IDC_RUN_COMMAND);
        EXPECT_EQ(Buttons(w), "101");
        EXPECT_EQ(w.title, kStopped);
        w.Click(IDC_CLOSE);
    });
}

// The status line names the command's file part; with no command the check boxes and the
// three buttons are disabled, the others stay usable.
TEST_F(TimerFixture, StatusLineSpeaksOfTheCommandFilePart)
{
    for (auto [command, status] : {std::pair<std::string, std::string>{"msg", "メッセージ"},
                                   {"MSG", "MSG"},
                                   {"msg ", "msg "},
                                   {"/opt/tools/x.sh", "x.sh"},
                                   {"backup", "backup"},
                                   {"/opt/tools/", ""},
                                   {"/home/花子/起動.sh", "起動.sh"},
                                   {"", ""}}) {
        settings.m_strCommand = command;
        Run([&](Modal& w) {
            const std::string expected = command.empty() ? res::LoadText(IDS_STATUS_NOCOMMAND)
                                         : command == "msg"
                                             ? res::LoadText(IDS_STATUS_MESSAGE)
                                             : res::FormatString1(IDS_STATUS_COMMAND, status);
            EXPECT_EQ(w.GetText(IDC_STATUS), expected) << command;
            EXPECT_EQ(w.IsEnabled(IDC_RUN_COMMAND), !command.empty());
            EXPECT_EQ(Buttons(w), command.empty() ? "000" : "101");
            EXPECT_FALSE(w.IsEnabled(IDC_RUN_FILES)) << "no folder";
            for (int id : {IDC_SETTINGS, IDC_RESET, platform::ID_HELP, IDC_CLOSE})
                EXPECT_TRUE(w.IsEnabled(id)) << id;
            w.Click(platform::ID_HELP);
            w.Click(IDC_CLOSE);
        });
    }
    EXPECT_EQ(host.helpCount, 8);
}

TEST_F(TimerFixture, EveryStoredCountTicksByTheRulesAndZeroOrBelowLaunchesAtOnce)
{
    for (auto [seconds, afterFirstTick] : {std::pair<int, const char*>{1, "0"},
                                           {0, "0"},
                                           {-1, "0"},
                                           {INT_MIN, "0"},
                                           {2, "1"},
                                           {INT_MAX, "2147483646"}}) {
        ScriptedHost h;
        settings.m_nSeconds = seconds;
        settings.m_bAutoStart = true;
        const bool launched = *afterFirstTick == '0';
        EXPECT_EQ(RunTimerWindow(h, settings,
                                 [&](Modal& w) {
                                     EXPECT_EQ(w.GetText(IDC_COUNTER), std::to_string(seconds));
                                     w.Advance(1000);
                                     EXPECT_EQ(w.ended, launched);
                                     EXPECT_EQ(w.GetText(IDC_COUNTER), afterFirstTick);
                                     if (!launched)
                                         w.PressEscape();
                                 }),
                  launched ? platform::IdOk : platform::IdCancel)
            << seconds;
    }
}

TEST_F(TimerFixture, SettingsStopsTheCountAndAppliesOnlyOnOK)
{
    settings.m_nSeconds = 60;
    settings.m_strTopDir = "/srv/launch";
    settings.m_bRunFiles = true;
    host.Script(IDD_SETTING_DIALOG, [](Modal& w) {
        EXPECT_EQ(w.GetText(IDC_SECONDS), "60");
        w.Type(IDC_SECONDS, "120");
        w.PressEscape();
    });
    host.Script(IDD_SETTING_DIALOG, [](Modal& w) {
        EXPECT_EQ(w.GetText(IDC_TOPDIR), "/srv/launch");
        w.Type(IDC_SECONDS, "120");
        w.Type(IDC_COMMAND, "/usr/bin/backup");
        w.Type(IDC_TOPDIR, "");
        w.PressEnter();
    });
    Run([this](Modal& w) {
        w.Click(IDC_START);
        w.Advance(10000);
        w.Click(IDC_SETTINGS); // cancelled
        EXPECT_EQ(w.title, kStopped);
        EXPECT_EQ(w.GetText(IDC_COUNTER), "50") << "after Cancel the display keeps the count";
        EXPECT_EQ(settings.m_nSeconds, 60);
        w.Click(IDC_START);
        w.Click(IDC_SETTINGS); // accepted
        EXPECT_EQ(settings.m_nSeconds, 120);
        EXPECT_EQ(settings.m_strCommand, "/usr/bin/backup");
        EXPECT_FALSE(settings.m_bRunFiles) << "emptied folder turns run-files off";
        EXPECT_EQ(w.GetText(IDC_COUNTER), "120");
        EXPECT_EQ(w.title, kStopped);
        EXPECT_EQ(w.GetCheck(IDC_RUN_FILES), 0);
        EXPECT_FALSE(w.IsEnabled(IDC_RUN_FILES));
        EXPECT_EQ(w.GetText(IDC_STATUS), res::FormatString1(IDS_STATUS_COMMAND, "backup"));
        w.Click(IDC_CLOSE);
    });
}

TEST_F(TimerFixture, AboutBoxKeepsTheCountGoingAndMayLaunchBehindIt)
{
    settings.m_nSeconds = 5;
    host.Script(IDD_ABOUTBOX, [this](Modal& about) {
        const ScriptedWindow& timer = *host.open.front();
        host.Advance(2000);
        EXPECT_EQ(timer.GetText(IDC_COUNTER), "3");
        host.Advance(3000); // zero: the sequence runs behind the About box
        EXPECT_TRUE(timer.ended);
        about.PressEnter();
    });
    EXPECT_EQ(Run([](Modal& w) {
                  w.Click(IDC_START);
                  w.SysCommand(IDM_ABOUTBOX | 0x3);
              }),
              platform::IdOk);
    EXPECT_EQ(host.modalRuns, (std::vector<int>{IDD_LAUNCHTIMER_DIALOG, IDD_ABOUTBOX}));
}

} // namespace
