// Start-up: the single-instance guard, automatic mode, and loading and saving the settings.
#include <gtest/gtest.h>

#include "app/CLaunchTimerApp.h"
#include "res/resource.h"
#include "support/MemoryProfileStore.h"
#include "support/ScriptedHost.h"

using namespace testing_support;

namespace {

const char kStopped[] = "Hanavo(停止中)";
const char kCounting[] = "Hanavo(秒読中)";

struct AppFixture : ::testing::Test
{
    ScriptedHost host;
    MemoryProfileStore store;
    CLaunchTimerApp app{host, store};

    void Store(const std::string& entry, const std::string& value)
    {
        store.values["Settings/" + entry] = value;
    }
    std::string Stored(const std::string& entry) { return store.values.at("Settings/" + entry); }
};

TEST_F(AppFixture, FirstRunShowsDefaultsAndWritesAllFiveValuesInOrder)
{
    host.Script(IDD_LAUNCHTIMER_DIALOG, [this](Modal& m) {
        EXPECT_EQ(m.Window().GetTitle(), kStopped);
        EXPECT_EQ(m.Window().GetText(IDC_COUNTER), "60");
        EXPECT_EQ(store.log.size(), 5u) << "written before the window closed";
        m.Click(IDC_CLOSE);
    });
    EXPECT_FALSE(app.InitInstance(""));
    EXPECT_EQ(store.m_company, "Quillmere");
    const std::vector<std::string> expected = {
        "get Command",   "get Seconds",   "get Options",   "get TopDir",   "get Foreground",
        "write Seconds", "write Command", "write Options", "write TopDir", "write Foreground"};
    EXPECT_EQ(store.log, expected);
    EXPECT_EQ(Stored("Seconds"), "60");
    EXPECT_EQ(Stored("Command"), "");
    EXPECT_EQ(Stored("Options"), "");
    EXPECT_EQ(Stored("TopDir"), "");
    EXPECT_EQ(Stored("Foreground"), "1");
}

TEST_F(AppFixture, StoredValuesRoundTripUnchanged)
{
    struct Case
    {
        std::string seconds, foreground, expectSeconds, expectForeground;
    };
    // Out-of-range seconds are used and kept; Foreground is normalised to 1 or 0; what is not
    // a whole 32-bit number reads as the default.
    const Case cases[] = {{"5", "5", "5", "1"},   {"1000", "0", "1000", "0"},
                          {"abc", "", "60", "1"}, {"", "-3", "60", "1"},
                          {"-7", "0", "-7", "0"}, {"-2147483648", "x", "-2147483648", "1"}};
    for (const Case& c : cases) {
        ScriptedHost h;
        MemoryProfileStore s;
        s.values["Settings/Seconds"] = c.seconds;
        s.values["Settings/Foreground"] = c.foreground;
        s.values["Settings/Command"] = "/bin/true";
        h.Script(IDD_LAUNCHTIMER_DIALOG, [](Modal& m) { m.PressEscape(); });
        CLaunchTimerApp(h, s).InitInstance("");
        EXPECT_EQ(s.values["Settings/Seconds"], c.expectSeconds) << c.seconds;
        EXPECT_EQ(s.values["Settings/Foreground"], c.expectForeground) << c.foreground;
        EXPECT_EQ(s.values["Settings/Command"], "/bin/true");
    }
}

TEST_F(AppFixture, AnotherWindowWithEitherTitleEndsStartUpWithoutTrace)
{
    for (const char* title : {kStopped, kCounting}) {
        ScriptedHost h;
        MemoryProfileStore s;
        h.AddForeignWindow(title);
        EXPECT_FALSE(CLaunchTimerApp(h, s).InitInstance("-a"));
        EXPECT_TRUE(h.ModalRuns().empty());
        EXPECT_TRUE(s.log.empty()) << "the guard comes before any read or write";
    }
}

TEST_F(AppFixture, AutomaticModeIsTheLetterAInAnyCaseAnywhere)
{
    struct Case
    {
        std::string args;
        bool automatic;
    };
    const Case cases[] = {{"/a", true},
                          {"-A", true},
                          {"auto", true},
                          {"x a", true},
                          {"/home/kate/bin", true},
                          {"/s", false},
                          {"-x", false},
                          {"", false},
                          // A multi-byte character whose bytes hold 0x41 still counts.
                          {"\xE3\x81\x41", true}};
    for (const Case& c : cases) {
        ScriptedHost h;
        MemoryProfileStore s;
        s.values["Settings/Command"] = "msg";
        h.Script(IDD_LAUNCHTIMER_DIALOG, [&](Modal& m) {
            EXPECT_EQ(m.Window().GetTitle(), c.automatic ? kCounting : kStopped) << c.args;
            m.Click(IDC_CLOSE);
        });
        CLaunchTimerApp(h, s).InitInstance(c.args);
    }
}

TEST_F(AppFixture, AutomaticModeWithNothingToLaunchShowsAndWritesNothing)
{
    Store("Seconds", "30");
    EXPECT_FALSE(app.InitInstance("-a"));
    EXPECT_TRUE(host.ModalRuns().empty());
    for (const auto& line : store.log)
        EXPECT_EQ(line.rfind("get ", 0), 0u) << line;
}

// Automatic mode ticks both boxes and, unless Foreground is stored as 0, brings the window
// forward on every tick; outside it the files box starts unticked and nothing is forced.
TEST_F(AppFixture, AutomaticModeTicksTheBoxesAndForcesTheForegroundAsStored)
{
    struct Case
    {
        const char* args;
        const char* command;
        const char* foreground;
        const char* topDir;
        int runFiles, forced;
    };
    for (const Case& c :
         {Case{"a", "", "0", "/nonexistent/launch", 1, 0}, Case{"-a", "msg", "7", "", 0, 3},
          Case{"", "/bin/true", "7", "/tmp", 0, 0}}) {
        ScriptedHost h;
        MemoryProfileStore s;
        s.values = {{"Settings/Command", c.command},
                    {"Settings/Foreground", c.foreground},
                    {"Settings/TopDir", c.topDir},
                    {"Settings/Seconds", "20"}};
        h.Script(IDD_LAUNCHTIMER_DIALOG, [&c](Modal& m) {
            auto& w = m.Window();
            EXPECT_EQ(w.GetTitle(), *c.args ? kCounting : kStopped) << c.args;
            if (!*c.args)
                m.Click(IDC_START);
            EXPECT_EQ(w.GetCheck(IDC_RUN_FILES), c.runFiles) << c.args;
            EXPECT_EQ(w.GetCheck(IDC_RUN_COMMAND), 1) << c.args;
            m.Advance(3000);
            EXPECT_EQ(w.ForegroundCount(), c.forced) << c.args;
            m.Click(IDC_CLOSE);
        });
        CLaunchTimerApp(h, s).InitInstance(c.args);
    }
}

TEST_F(AppFixture, FailedWritesDoNotStopTheProgram)
{
    store.failWrites = true;
    host.Script(IDD_LAUNCHTIMER_DIALOG, [](Modal& m) { m.PressEscape(); });
    EXPECT_FALSE(app.InitInstance(""));
    EXPECT_EQ(store.log.size(), 10u);
}

} // namespace
