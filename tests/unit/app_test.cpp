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

// Runs the program with these stored values and arguments; the script answers the timer window.
void Start(MemoryProfileStore& store, const std::string& args, ScriptedHost::ScriptFn script,
           ScriptedHost&& host = ScriptedHost())
{
    if (script)
        host.Script(IDD_LAUNCHTIMER_DIALOG, std::move(script));
    EXPECT_FALSE(CLaunchTimerApp(host, store).InitInstance(args));
}

TEST(App, FirstRunShowsDefaultsAndWritesAllFiveValuesInOrder)
{
    MemoryProfileStore store;
    Start(store, "", [&](Modal& w) {
        EXPECT_EQ(w.title, kStopped);
        EXPECT_EQ(w.GetText(IDC_COUNTER), "60");
        EXPECT_EQ(store.log.size(), 5u) << "written once the window closed";
        w.Click(IDC_CLOSE);
    });
    EXPECT_EQ(store.company, "Quillmere");
    EXPECT_EQ(store.log,
              (std::vector<std::string>{"get Command", "get Seconds", "get Options", "get TopDir",
                                        "get Foreground", "write Seconds", "write Command",
                                        "write Options", "write TopDir", "write Foreground"}));
    EXPECT_EQ(store.values["Settings/Seconds"], "60");
    EXPECT_EQ(store.values["Settings/Foreground"], "1");
    EXPECT_EQ(store.values.size(), 5u);
    store.failWrites = true;
    Start(store, "", [](Modal& w) { w.PressEscape(); });
    EXPECT_EQ(store.log.size(), 20u) << "a failed write stops neither the others nor the program";
}

// Out-of-range seconds are used and kept; Foreground is kept as 1 or 0; what is not a whole
// 32-bit number reads as the default.
TEST(App, StoredValuesRoundTrip)
{
    const char* seconds[][2] = {
        {"5", "5"}, {"1000", "1000"}, {"abc", "60"}, {"", "60"}, {"-2147483648", "-2147483648"}};
    const char* foreground[][2] = {{"5", "1"}, {"0", "0"}, {"", "1"}, {"-3", "1"}, {"x", "1"}};
    for (int i = 0; i < 5; ++i) {
        MemoryProfileStore store;
        store.values = {{"Settings/Seconds", seconds[i][0]},
                        {"Settings/Foreground", foreground[i][0]},
                        {"Settings/Command", "/bin/true"}};
        Start(store, "", [](Modal& w) { w.PressEscape(); });
        EXPECT_EQ(store.values["Settings/Seconds"], seconds[i][1]) << seconds[i][0];
        EXPECT_EQ(store.values["Settings/Foreground"], foreground[i][1]) << foreground[i][0];
        EXPECT_EQ(store.values["Settings/Command"], "/bin/true");
    }
}

TEST(App, AnotherWindowWithEitherTitleEndsStartUpWithoutTrace)
{
    for (const char* title : {kStopped, kCounting}) {
        ScriptedHost host;
        host.foreignTitle = title;
        MemoryProfileStore store;
        store.values["Settings/Command"] = "msg";
        Start(store, "", nullptr, std::move(host));
        EXPECT_TRUE(store.log.empty()) << "the guard comes before any read or write";
    }
}

// Automatic mode (the letter A in any case anywhere in the arguments) counts at once, ticks
// both boxes when there is a folder, and unless Foreground is stored as 0 brings the window
// forward on every tick; outside it the files box starts unticked and nothing is forced.
TEST(App, AutomaticModeCountsAtOnceAndForcesTheForegroundAsStored)
{
    struct Case
    {
        const char* args;
        const char* topDir;
        const char* foreground;
        int runFiles, forced;
    };
    // A multi-byte character whose bytes hold 0x41 counts as the letter.
    for (const Case& c : {Case{"/a", "/srv/launch", "0", 1, 0}, Case{"-A", "", "7", 0, 3},
                          Case{"/home/kate/bin", "", "1", 0, 3}, Case{"\xE3\x81\x41", "", "", 0, 3},
                          Case{"", "/srv/launch", "1", 0, 0}, Case{"-s /x", "", "1", 0, 0}}) {
        MemoryProfileStore store;
        store.values = {{"Settings/Command", "msg"},
                        {"Settings/Foreground", c.foreground},
                        {"Settings/TopDir", c.topDir}};
        const bool automatic = c.forced > 0 || c.runFiles;
        Start(store, c.args, [&](Modal& w) {
            EXPECT_EQ(w.title, automatic ? kCounting : kStopped) << c.args;
            EXPECT_EQ(w.GetCheck(IDC_RUN_FILES), c.runFiles) << c.args;
            EXPECT_EQ(w.GetCheck(IDC_RUN_COMMAND), 1) << c.args;
            w.Advance(3000);
            EXPECT_EQ(w.foregroundCount, c.forced) << c.args;
            w.Click(IDC_CLOSE);
        });
    }
    // With nothing to launch, automatic mode shows and writes nothing.
    MemoryProfileStore store;
    store.values = {{"Settings/Seconds", "30"}};
    Start(store, "-a", nullptr);
    EXPECT_EQ(store.log.size(), 5u);
    EXPECT_EQ(store.log.back(), "get Foreground");
}

} // namespace
