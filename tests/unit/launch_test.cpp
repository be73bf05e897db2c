// The launch sequence: folder files, then the command or message, then the window ends.
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

#include "res/resource.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"
#include "support/TimerWindow.h"
#include "timer/CLaunchTimerDlg.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

const char kCounting[] = "Hanavo(秒読中)";

struct LaunchFixture : ::testing::Test
{
    TempDir dir;
    CwdGuard cwd;
    ScriptedHost host;
    LaunchSettings settings;
    std::string log = dir / "log";
    std::string folder = dir.MakeDir("launch");

    LaunchFixture()
    {
        UseEmptyDesktop(dir);
        settings.m_nSeconds = 2;
    }

    int Run(ScriptedHost::ScriptFn script)
    {
        return RunTimerWindow(host, settings, std::move(script));
    }

    static void StartAndWait(Modal& m)
    {
        m.Click(IDC_START);
        m.Advance(2000);
        EXPECT_TRUE(m.Window().Ended());
    }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const auto& msg : host.Messages())
            texts.push_back(msg.text);
        return texts;
    }
};

TEST_F(LaunchFixture, FilesInOrderThenTheCommandInTheLaunchFolder)
{
    dir.WriteLogger("launch/01e_first.sh", "first", log);
    dir.WriteLogger("launch/02d_skipped.sh", "skipped", log);
    dir.WriteLogger("launch/03e_second.sh", "second", log);
    dir.WriteLogger("launch/tail.sh", "tail", log);
    // A bare command name is found in the launch folder first.
    dir.WriteLogger("launch/cmd.sh", "cmd", log);
    settings.m_strTopDir = folder;
    settings.m_bRunFiles = true;
    settings.m_strCommand = "cmd.sh";
    settings.m_strOptions = R"(one "two words" 'it''s' a\ b $(id))";

    EXPECT_EQ(Run(StartAndWait), platform::IdOk);
    const std::string at = " @" + fs::canonical(folder).string();
    const auto lines = InStartOrder(WaitForLines(log, 5));
    // cmd.sh is itself a file of the folder: it runs once among the files, in name order,
    // and once more as the command, last.
    EXPECT_EQ(lines, (std::vector<std::string>{"first" + at, "second" + at, "cmd" + at, "tail" + at,
                                               "cmd [one] [two words] [its] [a b] [$(id)]" + at}));
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(host.Cursors(),
              (std::vector<platform::Cursor>{platform::Cursor::Wait, platform::Cursor::Arrow}));
}

// A relative launch folder is taken from the folder Hanavo started in, all through a run: the
// launch order dialog changes nothing about it. The command starts in the launch folder only
// after the folder step.
TEST_F(LaunchFixture, ARelativeFolderMeansTheSameAfterTheLaunchOrderDialog)
{
    fs::current_path(dir.Path());
    dir.WriteLogger("launch/b.sh", "b", log);
    settings.m_strTopDir = "launch";
    settings.m_strCommand = dir.WriteLogger("bin/tool.sh", "tool", log);
    for (const bool runFiles : {true, false}) {
        settings.m_bRunFiles = runFiles;
        host.Script(IDD_SETTING_DIALOG, [](Modal& m) {
            m.Click(IDC_FILE_SETTINGS);
            m.PressEscape();
        });
        host.Script(IDD_ORDER_DIALOG, [](Modal& m) { m.Click(platform::IdOk); });
        EXPECT_EQ(Run([](Modal& m) {
                      m.Click(IDC_SETTINGS);
                      StartAndWait(m);
                  }),
                  platform::IdOk);
    }
    // The command starts in the launch folder after the folder step, else where Hanavo started.
    const fs::path here = fs::canonical(dir.Path());
    EXPECT_EQ(InStartOrder(WaitForLines(log, 3)),
              (std::vector<std::string>{"b @" + (here / "launch").string(),
                                        "tool @" + (here / "launch").string(),
                                        "tool @" + here.string()}));
    EXPECT_EQ(dir.Names("launch"), std::vector<std::string>{"01e_b.sh"});
    EXPECT_EQ(Texts(), std::vector<std::string>{});
}

TEST_F(LaunchFixture, EmptyArgumentsGiveNoWords)
{
    settings.m_strCommand = dir.WriteLogger("c.sh", "c", log);
    EXPECT_EQ(Run(StartAndWait), platform::IdOk);
    const auto lines = InStartOrder(WaitForLines(log, 1));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("c @", 0), 0u) << lines[0];
}

// The keyword msg, whole and in lower case only, shows its text over a topmost window and
// launches nothing; anything else is a program to start.
TEST_F(LaunchFixture, MsgShowsTheTextOverATopmostWindowAndLaunchesNothing)
{
    const std::string failed = "ファイルの実行に失敗しました。エラー: 2。";
    for (auto [command, text, shown] :
         {std::tuple<std::string, std::string, std::string>{"msg", "時間です", "時間です"},
          {"msg", "", ""},
          {"MSG", "", failed},
          {"msg ", "", failed},
          {"Msg", "", failed}}) {
        SCOPED_TRACE("[" + command + "]");
        ScriptedHost h;
        LaunchSettings s;
        s.m_strCommand = command;
        s.m_strOptions = text;
        h.Script(IDD_LAUNCHTIMER_DIALOG, [](Modal& m) { m.PressEnter(); });
        CLaunchTimerDlg dlg(h);
        dlg.SetSettings(&s);
        h.SetMainWindow(&dlg);
        EXPECT_EQ(dlg.DoModal(), platform::IdOk);
        ASSERT_EQ(h.Messages().size(), 1u);
        EXPECT_EQ(h.Messages()[0].text, shown);
        const bool msg = command == "msg";
        EXPECT_EQ(h.Messages()[0].icon,
                  msg ? platform::MessageIcon::Information : platform::MessageIcon::Exclamation);
        EXPECT_EQ(h.Messages()[0].ownerTopmost, msg);
        EXPECT_EQ(h.LastWindow(IDD_LAUNCHTIMER_DIALOG)->topmost, msg);
    }
}

TEST_F(LaunchFixture, FailuresAreReportedAndTheWindowStillEnds)
{
    dir.Write("launch/01e_a.zzqx", "\x01 unknown");
    dir.Write("launch/02e_b.zzqx", "\x02 unknown");
    dir.WriteLogger("launch/03e_c.sh", "c", log);
    settings.m_strTopDir = folder;
    settings.m_bRunFiles = true;
    settings.m_strCommand = "/nonexistent/dir/tool";
    EXPECT_EQ(Run([](Modal& m) { m.Click(IDC_RUN_NOW); }), platform::IdOk);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"ファイルの実行に失敗しました。エラー: 31。",
                                                 "ファイルの実行に失敗しました。エラー: 31。",
                                                 "ファイルの実行に失敗しました。エラー: 3。"}));
    EXPECT_EQ(WaitForLines(log, 1).size(), 1u);
    EXPECT_EQ(host.Cursors().back(), platform::Cursor::Arrow);
}

TEST_F(LaunchFixture, AMissingFolderIsReportedOnceAndTheCommandFollows)
{
    settings.m_strTopDir = folder + "/vanished";
    settings.m_bRunFiles = true;
    settings.m_strCommand = dir.WriteLogger("c.sh", "c", log);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Run(StartAndWait), platform::IdOk);
    // Also on standard error, for the journal of a Hanavo started at sign-in.
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("hanavo: cannot read the launch folder \"" + settings.m_strTopDir + "\""),
              std::string::npos)
        << err;
    EXPECT_EQ(Texts(), (std::vector<std::string>{"指定されたフォルダがありません。"}));
    EXPECT_EQ(WaitForLines(log, 1).size(), 1u);
}

// The session ends while a box of the sequence is open: the box was the last thing shown,
// nothing after it is started, and the window still ends.
TEST_F(LaunchFixture, ASessionEndingDuringABoxStopsTheSequence)
{
    struct EndCase
    {
        const char* folder; // relative to the fixture's folder
        const char* box;
    };
    for (const EndCase& c : {EndCase{"launch", "ファイルの実行に失敗しました。エラー: 31。"},
                             EndCase{"vanished", "指定されたフォルダがありません。"}}) {
        SCOPED_TRACE(c.folder);
        ScriptedHost h;
        dir.Write("launch/01e_a.zzqx", "\x01 unknown");
        dir.WriteLogger("launch/02e_b.sh", "b", log);
        settings.m_strTopDir = dir / c.folder;
        settings.m_bRunFiles = true;
        settings.m_strCommand = dir.WriteLogger("c.sh", "c", log);
        h.whileMessageShown = [&h] { h.sessionEnding = true; };
        EXPECT_EQ(RunTimerWindow(h, settings, [](Modal& m) { m.Click(IDC_RUN_NOW); }),
                  platform::IdOk);
        ASSERT_EQ(h.Messages().size(), 1u);
        EXPECT_EQ(h.Messages()[0].text, c.box);
        EXPECT_TRUE(WaitForLines(log, 1, std::chrono::milliseconds(500)).empty());
    }
}

TEST_F(LaunchFixture, NothingChosenStillEndsTheWindowSilently)
{
    settings.m_strCommand = "/bin/true";
    settings.m_bRunCommand = false;
    settings.m_strTopDir = folder;
    settings.m_bRunFiles = false;
    dir.WriteLogger("launch/a.sh", "a", log);
    // Run now is disabled with nothing to launch, but the sequence itself must cope when
    // reached (ticking at zero after the boxes changed): tick the box back on and off.
    EXPECT_EQ(Run([](Modal& m) {
                  m.Click(IDC_RUN_FILES);
                  m.Click(IDC_START);
                  m.Advance(1000);
                  m.Click(IDC_RUN_FILES); // stops: nothing left
                  EXPECT_FALSE(m.Window().IsEnabled(IDC_RUN_NOW));
                  m.Click(IDC_CLOSE);
              }),
              platform::IdCancel);
    EXPECT_TRUE(host.Messages().empty());
    settings.m_strCommand.clear();
    settings.m_bRunCommand = true;
    EXPECT_EQ(Run([](Modal& m) {
                  m.Click(IDC_RUN_FILES);
                  m.Click(IDC_RUN_FILES);
                  m.Click(IDC_RUN_FILES);
                  m.PressEnter();
              }),
              platform::IdOk);
    EXPECT_EQ(WaitForLines(log, 1).size(), 1u);
    EXPECT_TRUE(host.Messages().empty());
}

TEST_F(LaunchFixture, RunNowWhileCountingKeepsTheCountingTitleBehindItsMessages)
{
    settings.m_nSeconds = 30;
    settings.m_strCommand = "msg";
    settings.m_strOptions = "now";
    EXPECT_EQ(Run([](Modal& m) {
                  m.Click(IDC_START);
                  m.Advance(4000);
                  m.Window().SetFocus(IDC_RUN_COMMAND);
                  m.PressEnter(); // the default button is Run now
              }),
              platform::IdOk);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].ownerTitle, kCounting);
    EXPECT_EQ(host.LastWindow(IDD_LAUNCHTIMER_DIALOG)->controls.at(IDC_COUNTER).text, "26");
}

TEST_F(LaunchFixture, RunNowBeforeAnyStartLaunchesAsUsual)
{
    settings.m_strCommand = dir.WriteLogger("c.sh", "c", log);
    settings.m_strOptions = "x";
    EXPECT_EQ(Run([](Modal& m) { m.Click(IDC_RUN_NOW); }), platform::IdOk);
    EXPECT_EQ(InStartOrder(WaitForLines(log, 1)).at(0).rfind("c [x] @", 0), 0u);
}

} // namespace
