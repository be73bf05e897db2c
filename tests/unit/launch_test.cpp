// The launch sequence: folder files, then the command or message, then the window ends.
#include <filesystem>
#include <gtest/gtest.h>

#include "res/Strings.h"
#include "res/resource.h"
#include "support/TempDir.h"
#include "support/TimerWindow.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

struct LaunchFixture : ::testing::Test
{
    TempDir dir;
    CwdGuard cwd;
    ScriptedHost host;
    LaunchSettings settings;
    std::string log = dir / "log";

    LaunchFixture()
    {
        UseEmptyDesktop(dir);
        settings.m_nSeconds = 2;
    }
    int Run(ScriptedHost::ScriptFn script)
    {
        return RunTimerWindow(host, settings, std::move(script));
    }
    static void StartAndWait(Modal& w)
    {
        w.Click(IDC_START);
        w.Advance(2000);
        EXPECT_TRUE(w.ended);
    }
};

std::string ExecFailed(int code)
{
    return res::FormatNumber(IDS_EXEC_FAILED, code);
}

// The enabled files in the order of their names, each failure reported and the next still
// started, then the command in the launch folder.
TEST_F(LaunchFixture, FilesInOrderThenTheCommandInTheLaunchFolder)
{
    dir.WriteLogger("launch/01e_first.sh", "first", log);
    dir.Write("launch/02e_unknown.zzqx", "\x01 unknown");
    dir.WriteLogger("launch/02d_skipped.sh", "skipped", log);
    dir.WriteLogger("launch/03e_second.sh", "second", log);
    dir.WriteLogger("launch/tail.sh", "tail", log);
    // A bare command name is found in the launch folder first.
    dir.WriteLogger("launch/cmd.sh", "cmd", log);
    settings.m_strTopDir = dir / "launch";
    settings.m_bRunFiles = true;
    settings.m_strCommand = "cmd.sh";
    settings.m_strOptions = R"(one "two words" $(id))";

    EXPECT_EQ(Run(StartAndWait), platform::IdOk);
    const std::string at = " @" + fs::canonical(dir / "launch").string();
    // cmd.sh is itself a file of the folder: it runs once among the files, in name order,
    // and once more as the command, last.
    EXPECT_EQ(InStartOrder(WaitForLines(log, 5)),
              (std::vector<std::string>{"first" + at, "second" + at, "cmd" + at, "tail" + at,
                                        "cmd [one] [two words] [$(id)]" + at}));
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{ExecFailed(31)});
    EXPECT_EQ(host.cursors,
              (std::vector<platform::Cursor>{platform::Cursor::Wait, platform::Cursor::Arrow}));
}

// A relative launch folder is taken from the folder Hanavo started in, all through a run: the
// launch order dialog changes nothing about it. The command starts in the launch folder after
// the folder step, else where Hanavo started.
TEST_F(LaunchFixture, ARelativeFolderMeansTheSameAfterTheLaunchOrderDialog)
{
    fs::current_path(dir.Path());
    dir.WriteLogger("launch/b.sh", "b", log);
    settings.m_strTopDir = "launch";
    settings.m_strCommand = dir.WriteLogger("bin/tool.sh", "tool", log);
    for (const bool runFiles : {true, false}) {
        settings.m_bRunFiles = runFiles;
        host.Script(IDD_SETTING_DIALOG, [](Modal& w) {
            w.Click(IDC_FILE_SETTINGS);
            w.PressEscape();
        });
        host.Script(IDD_ORDER_DIALOG, [](Modal& w) { w.Click(platform::IdOk); });
        EXPECT_EQ(Run([](Modal& w) {
                      w.Click(IDC_SETTINGS);
                      StartAndWait(w);
                  }),
                  platform::IdOk);
    }
    const fs::path here = fs::canonical(dir.Path());
    EXPECT_EQ(InStartOrder(WaitForLines(log, 3)),
              (std::vector<std::string>{"b @" + (here / "launch").string(),
                                        "tool @" + (here / "launch").string(),
                                        "tool @" + here.string()}));
    EXPECT_EQ(dir.Names("launch"), std::vector<std::string>{"01e_b.sh"});
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{});
}

// Run now, the default button, pressed while counting: the keyword msg, whole and in lower
// case only, shows its text over a topmost window, and anything else is a program to start.
// The box sits over the title of the state before the press.
TEST_F(LaunchFixture, RunNowWhileCountingShowsMsgOverATopmostWindow)
{
    settings.m_nSeconds = 30;
    settings.m_strOptions = "時間です";
    for (const std::string command : {"msg", "MSG", "msg "}) {
        ScriptedHost h;
        settings.m_strCommand = command;
        EXPECT_EQ(RunTimerWindow(h, settings,
                                 [](Modal& w) {
                                     w.Click(IDC_START);
                                     w.Advance(4000);
                                     w.PressEnter();
                                 }),
                  platform::IdOk);
        const bool msg = command == "msg";
        ASSERT_EQ(h.Messages().size(), 1u) << command;
        EXPECT_EQ(h.Messages()[0].text, msg ? "時間です" : ExecFailed(2)) << command;
        EXPECT_EQ(h.Messages()[0].icon,
                  msg ? platform::MessageIcon::Information : platform::MessageIcon::Exclamation);
        EXPECT_EQ(h.Messages()[0].ownerTopmost, msg) << command;
        EXPECT_EQ(h.Messages()[0].ownerTitle, "Hanavo(秒読中)");
        EXPECT_EQ(h.LastWindow(IDD_LAUNCHTIMER_DIALOG)->controls.at(IDC_COUNTER).text, "26");
    }
}

// A missing folder is reported, also on standard error for the journal of a Hanavo started at
// sign-in, and the command follows. When the session ends while a box of the sequence is
// open, nothing after it is started, and the window still ends.
TEST_F(LaunchFixture, AMissingFolderIsReportedAndASessionEndingStopsTheSequence)
{
    dir.Write("launch/01e_a.zzqx", "\x01 unknown");
    dir.WriteLogger("launch/02e_b.sh", "b", log);
    settings.m_bRunFiles = true;
    settings.m_strCommand = dir.WriteLogger("c.sh", "c", log);
    for (auto [sub, ending] :
         {std::pair<const char*, bool>{"vanished", true}, {"launch", true}, {"vanished", false}}) {
        ScriptedHost h;
        settings.m_strTopDir = dir / sub;
        h.whileMessageShown = [&h, ending = ending] { h.sessionEnding = ending; };
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(RunTimerWindow(h, settings, StartAndWait), platform::IdOk);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(h.MessageTexts(),
                  std::vector<std::string>{*sub == 'v' ? res::LoadText(IDS_FOLDER_MISSING)
                                                       : ExecFailed(31)});
        EXPECT_EQ(err.find("cannot read the launch folder") != std::string::npos, *sub == 'v');
    }
    const auto lines = WaitForLines(log, 2, std::chrono::seconds(2));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(" c @"), std::string::npos) << lines[0];
}

// Run now before any start launches as usual: a command with empty arguments gets no words,
// and an empty command with its box ticked leaves the files to launch in silence.
TEST_F(LaunchFixture, RunNowBeforeAnyStartLaunchesAsUsual)
{
    settings.m_strCommand = dir.WriteLogger("c.sh", "c", log);
    EXPECT_EQ(Run([](Modal& w) { w.Click(IDC_RUN_NOW); }), platform::IdOk);
    EXPECT_EQ(InStartOrder(WaitForLines(log, 1)).at(0).rfind("c @", 0), 0u);
    dir.WriteLogger("launch/a.sh", "a", log);
    settings.m_strCommand = "";
    settings.m_strTopDir = dir / "launch";
    EXPECT_EQ(Run([](Modal& w) {
                  w.Click(IDC_RUN_FILES);
                  w.PressEnter();
              }),
              platform::IdOk);
    EXPECT_EQ(WaitForLines(log, 2).size(), 2u);
    EXPECT_TRUE(host.Messages().empty());
}

} // namespace
