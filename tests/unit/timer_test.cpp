// The timer window's states, tick, display and button rule, on the scripted host.
#include <climits>
#include <gtest/gtest.h>

#include "res/resource.h"
#include "support/ScriptedHost.h"
#include "support/TimerWindow.h"
#include "timer/CLaunchTimerDlg.h"

using namespace testing_support;

namespace {

const char kStopped[] = "Hanavo(停止中)";
const char kCounting[] = "Hanavo(秒読中)";

struct TimerFixture : ::testing::Test
{
    ScriptedHost host;
    LaunchSettings settings;

    TimerFixture() { settings.m_strCommand = "msg"; }

    int Run(ScriptedHost::ScriptFn script)
    {
        return RunTimerWindow(host, settings, std::move(script));
    }

    static std::string Buttons(ScriptedWindow& w)
    {
        std::string s;
        for (int id : {IDC_START, IDC_STOP, IDC_RUN_NOW})
            s += w.IsEnabled(id) ? '1' : '0';
        return s;
    }
};

TEST_F(TimerFixture, OpensStoppedWithItsControlsSetUp)
{
    settings.m_nSeconds = 45;
    Run([](Modal& m) {
        auto& w = m.Window();
        EXPECT_EQ(w.GetTitle(), kStopped);
        EXPECT_EQ(w.GetText(IDC_COUNTER), "45");
        EXPECT_EQ(w.At(IDC_COUNTER).font.face, "Arial");
        EXPECT_EQ(w.At(IDC_COUNTER).font.tenthsOfPoint, 640);
        EXPECT_EQ(Buttons(w), "101");
        EXPECT_EQ(w.GetFocus(), IDC_RUN_COMMAND) << "the first enabled tab stop";
        EXPECT_EQ(w.BigIcon(), IDR_MAINFRAME);
        EXPECT_EQ(w.SmallIcon(), IDR_MAINFRAME);
        ASSERT_EQ(w.SystemMenu().size(), 2u);
        EXPECT_EQ(w.SystemMenu()[0].first, 0u);
        EXPECT_EQ(w.SystemMenu()[1].first, IDM_ABOUTBOX);
        EXPECT_EQ(w.SystemMenu()[1].second, "バージョン情報 Hanavo(&A)...");
        m.Click(IDC_CLOSE);
    });
}

TEST_F(TimerFixture, StartCountsDownOncePerSecondAndLaunchesAtZero)
{
    settings.m_nSeconds = 3;
    settings.m_strOptions = "hello";
    const int result = Run([](Modal& m) {
        auto& w = m.Window();
        m.Click(IDC_START);
        EXPECT_EQ(w.GetTitle(), kCounting);
        EXPECT_EQ(w.GetText(IDC_COUNTER), "3") << "Start does not refresh the display";
        EXPECT_EQ(Buttons(w), "011");
        m.Advance(999);
        EXPECT_EQ(w.GetText(IDC_COUNTER), "3");
        m.Advance(1);
        EXPECT_EQ(w.GetText(IDC_COUNTER), "2");
        m.Advance(2000);
        EXPECT_TRUE(w.Ended());
        EXPECT_EQ(w.GetText(IDC_COUNTER), "0");
        EXPECT_EQ(w.GetTitle(), kStopped) << "stopped before the launch sequence";
    });
    EXPECT_EQ(result, platform::IdOk);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, "hello");
}

TEST_F(TimerFixture, StopKeepsTheCountStartBeginsAgainAndResetShowsTheSeconds)
{
    settings.m_nSeconds = 60;
    Run([](Modal& m) {
        auto& w = m.Window();
        m.Click(IDC_START);
        m.Advance(23000);
        m.Click(IDC_STOP);
        EXPECT_EQ(w.GetTitle(), kStopped);
        EXPECT_EQ(w.GetText(IDC_COUNTER), "37");
        EXPECT_EQ(Buttons(w), "101");
        m.Advance(5000);
        EXPECT_EQ(w.GetText(IDC_COUNTER), "37") << "no tick while stopped";
        m.Click(IDC_START);
        EXPECT_EQ(w.GetText(IDC_COUNTER), "37");
        m.Advance(1000);
        EXPECT_EQ(w.GetText(IDC_COUNTER), "59");
        // Reset, counting or stopped, shows the seconds and leaves the state as it was.
        m.Advance(5000);
        m.Click(IDC_RESET);
        EXPECT_EQ(w.GetText(IDC_COUNTER), "60");
        EXPECT_EQ(w.GetTitle(), kCounting);
        m.Advance(1000);
        EXPECT_EQ(w.GetText(IDC_COUNTER), "59");
        m.Click(IDC_STOP);
        m.Click(IDC_RESET);
        EXPECT_EQ(w.GetText(IDC_COUNTER), "60");
        EXPECT_EQ(w.GetTitle(), kStopped);
        m.Click(IDC_CLOSE);
    });
}

TEST_F(TimerFixture, UntickingTheLastThingToLaunchStopsTheCount)
{
    settings.m_strCommand = "/usr/bin/env";
    Run([this](Modal& m) {
        auto& w = m.Window();
        m.Click(IDC_START);
        m.Click(IDC_RUN_COMMAND);
        EXPECT_FALSE(settings.m_bRunCommand);
        EXPECT_EQ(w.GetTitle(), kStopped);
        EXPECT_EQ(Buttons(w), "000");
        m.Click(IDC_RUN_COMMAND);
        EXPECT_EQ(Buttons(w), "101");
        EXPECT_EQ(w.GetTitle(), kStopped) << "ticking again does not restart";
        m.Click(IDC_CLOSE);
    });
}

TEST_F(TimerFixture, NothingToLaunchDisablesTheThreeButtons)
{
    settings.m_strCommand.clear();
    Run([](Modal& m) {
        auto& w = m.Window();
        EXPECT_FALSE(w.IsEnabled(IDC_RUN_COMMAND));
        EXPECT_FALSE(w.IsEnabled(IDC_RUN_FILES));
        EXPECT_EQ(Buttons(w), "000");
        EXPECT_EQ(w.GetText(IDC_STATUS), "コマンドが設定されていません。");
        for (int id : {IDC_SETTINGS, IDC_RESET, ID_HELP, IDC_CLOSE})
            EXPECT_TRUE(w.IsEnabled(id)) << id;
        m.Click(ID_HELP);
        m.Click(IDC_CLOSE);
    });
    EXPECT_EQ(host.HelpCount(), 1);
}

TEST_F(TimerFixture, StatusLineSpeaksOfTheCommandFilePart)
{
    struct Case
    {
        std::string command, status;
    };
    const Case cases[] = {
        {"msg", "秒後にメッセージを表示します。"},
        {"MSG", "秒後に MSG を起動します。"},
        {"msg ", "秒後に msg  を起動します。"},
        {"/opt/tools/x.sh", "秒後に x.sh を起動します。"},
        {"backup", "秒後に backup を起動します。"},
        {"/opt/tools/", "秒後に  を起動します。"},
        {"/home/花子/起動.sh", "秒後に 起動.sh を起動します。"},
    };
    for (const Case& c : cases) {
        settings.m_strCommand = c.command;
        Run([&](Modal& m) {
            EXPECT_EQ(m.Window().GetText(IDC_STATUS), c.status) << c.command;
            m.Click(IDC_CLOSE);
        });
    }
}

TEST_F(TimerFixture, EveryStoredCountTicksByTheRulesAndZeroOrBelowLaunchesAtOnce)
{
    struct Case
    {
        int seconds;
        const char* afterFirstTick;
        bool launched;
    };
    for (const Case& c :
         {Case{1, "0", true}, Case{0, "0", true}, Case{-1, "0", true}, Case{INT_MIN, "0", true},
          Case{2, "1", false}, Case{INT_MAX, "2147483646", false}}) {
        ScriptedHost h;
        LaunchSettings s;
        s.m_strCommand = "msg";
        s.m_nSeconds = c.seconds;
        s.m_bAutoStart = true;
        h.Script(IDD_LAUNCHTIMER_DIALOG, [&](Modal& m) {
            EXPECT_EQ(m.Window().GetText(IDC_COUNTER), std::to_string(c.seconds));
            m.Advance(1000);
            EXPECT_EQ(m.Window().Ended(), c.launched);
            EXPECT_EQ(m.Window().GetText(IDC_COUNTER), c.afterFirstTick);
            if (!c.launched)
                m.Click(IDC_CLOSE);
        });
        CLaunchTimerDlg dlg(h);
        dlg.SetSettings(&s);
        EXPECT_EQ(dlg.DoModal(), c.launched ? platform::IdOk : platform::IdCancel) << c.seconds;
    }
}

// A timer that cannot be set leaves the window stopped; one that cannot be killed still
// stops, and the rule that stops it does not loop.
TEST_F(TimerFixture, ATimerThatCannotBeSetOrKilledLeavesTheWindowStopped)
{
    Run([this](Modal& m) {
        auto& w = m.Window();
        host.FailNextSetTimer();
        m.Click(IDC_START);
        EXPECT_EQ(w.GetTitle(), kStopped);
        EXPECT_EQ(Buttons(w), "101");
        m.Click(IDC_START);
        EXPECT_EQ(w.GetTitle(), kCounting);
        host.FailKillTimer(true);
        m.Click(IDC_RUN_COMMAND); // nothing left to launch: the rule stops the count
        EXPECT_EQ(w.GetTitle(), kStopped);
        EXPECT_EQ(Buttons(w), "000");
        host.FailKillTimer(false);
        m.Click(IDC_CLOSE);
    });
}

TEST_F(TimerFixture, EscAndCloseEndWithCancelAndKillTheTimer)
{
    EXPECT_EQ(Run([](Modal& m) { m.PressEscape(); }), platform::IdCancel);
    settings.m_bAutoStart = true;
    EXPECT_EQ(Run([](Modal& m) { m.CloseBox(); }), platform::IdCancel);
    host.Advance(100000); // a timer left behind would tick into a destroyed window
}

TEST_F(TimerFixture, SettingsStopsTheCountAndAppliesOnlyOnOK)
{
    settings.m_nSeconds = 60;
    settings.m_strTopDir = "/srv/launch";
    settings.m_bRunFiles = true;
    host.Script(IDD_SETTING_DIALOG, [](Modal& m) {
        EXPECT_EQ(m.Window().GetText(IDC_SECONDS), "60");
        m.Type(IDC_SECONDS, "120");
        m.PressEscape();
    });
    host.Script(IDD_SETTING_DIALOG, [](Modal& m) {
        EXPECT_EQ(m.Window().GetText(IDC_TOPDIR), "/srv/launch");
        m.Type(IDC_SECONDS, "120");
        m.Type(IDC_COMMAND, "/usr/bin/backup");
        m.Type(IDC_TOPDIR, "");
        m.PressEnter();
    });
    Run([this](Modal& m) {
        auto& w = m.Window();
        m.Click(IDC_START);
        m.Advance(10000);
        m.Click(IDC_SETTINGS); // cancelled
        EXPECT_EQ(w.GetTitle(), kStopped);
        EXPECT_EQ(w.GetText(IDC_COUNTER), "50") << "after Cancel the display keeps the count";
        EXPECT_EQ(settings.m_nSeconds, 60);
        m.Click(IDC_START);
        m.Click(IDC_SETTINGS); // accepted
        EXPECT_EQ(settings.m_nSeconds, 120);
        EXPECT_EQ(settings.m_strCommand, "/usr/bin/backup");
        EXPECT_FALSE(settings.m_bRunFiles) << "emptied folder turns run-files off";
        EXPECT_EQ(w.GetText(IDC_COUNTER), "120");
        EXPECT_EQ(w.GetTitle(), kStopped);
        EXPECT_EQ(w.GetCheck(IDC_RUN_FILES), 0);
        EXPECT_FALSE(w.IsEnabled(IDC_RUN_FILES));
        EXPECT_EQ(w.GetText(IDC_STATUS), "秒後に backup を起動します。");
        m.Click(IDC_CLOSE);
    });
}

TEST_F(TimerFixture, AboutBoxKeepsTheCountGoingAndMayLaunchBehindIt)
{
    settings.m_nSeconds = 5;
    host.Script(IDD_ABOUTBOX, [this](Modal& m) {
        EXPECT_EQ(m.Window().GetTitle(), "バージョン情報 Hanavo");
        host.Advance(2000);
        const auto* timer = host.OpenWindows().front();
        EXPECT_EQ(timer->GetText(IDC_COUNTER), "3");
        host.Advance(3000); // zero: the sequence runs behind the About box
        EXPECT_TRUE(timer->Ended());
        m.PressEnter();
    });
    EXPECT_EQ(Run([](Modal& m) {
                  m.Click(IDC_START);
                  m.SysCommand(IDM_ABOUTBOX | 0x3);
              }),
              platform::IdOk);
    EXPECT_EQ(host.ModalRuns(), (std::vector<int>{IDD_LAUNCHTIMER_DIALOG, IDD_ABOUTBOX}));
}

} // namespace
