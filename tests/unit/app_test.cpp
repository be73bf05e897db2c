// Start-up: the single-instance guard, automatic mode, and loading and saving the settings.
#include <gtest/gtest.h>

#include "app/CLaunchTimerApp.h"
#include "platform/Number.h"
#include "res/resource.h"
#include "support/ScriptedHost.h"

using namespace testing_support;

namespace {

const char kStopped[] = "Hanavo(停止中)";
const char kCounting[] = "Hanavo(秒読中)";

// An in-memory settings store that keeps the values as text, as a file would, and records the
// order of reads and writes.
struct MemoryStore : platform::ProfileStore
{
    void SetRegistryKey(const std::string& name) override { company = name; }
    std::string GetString(const std::string& section, const std::string& entry,
                          const std::string& def) override
    {
        EXPECT_EQ(section, "Settings");
        log.push_back("get " + entry);
        return values.count(entry) ? values[entry] : def;
    }
    // What is not a whole 32-bit number reads as the default.
    int GetInt(const std::string& section, const std::string& entry, int def) override
    {
        platform::ParseInt32(GetString(section, entry, ""), def);
        return def;
    }
    bool WriteString(const std::string&, const std::string& entry,
                     const std::string& value) override
    {
        log.push_back("write " + entry);
        if (!failWrites)
            values[entry] = value;
        return !failWrites;
    }
    bool WriteInt(const std::string& section, const std::string& entry, int value) override
    {
        return WriteString(section, entry, std::to_string(value));
    }

    std::map<std::string, std::string> values; // of the one section
    std::vector<std::string> log;              // "get Seconds", "write Command", ...
    std::string company;
    bool failWrites = false;
};

// Runs the program with these stored values and arguments; the script answers the timer window.
void Start(MemoryStore& store, const std::string& args, ScriptedHost::ScriptFn script,
           const char* otherWindow = "")
{
    ScriptedHost host;
    host.foreignTitle = otherWindow;
    if (script)
        host.Script(IDD_LAUNCHTIMER_DIALOG, std::move(script));
    EXPECT_FALSE(CLaunchTimerApp(host, store).InitInstance(args));
}

TEST(App, FirstRunShowsDefaultsAndWritesAllFiveValuesInOrderAndKeepsThem)
{
    MemoryStore store;
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
    EXPECT_EQ(store.values, (std::map<std::string, std::string>{{"Command", ""},
                                                                {"Foreground", "1"},
                                                                {"Options", ""},
                                                                {"Seconds", "60"},
                                                                {"TopDir", ""}}));
    // Seconds out of range are used and kept; Foreground is kept as 1 or 0.
    store.values = {{"Seconds", "5"}, {"Foreground", "7"}};
    Start(store, "", [](Modal& w) { w.PressEscape(); });
    EXPECT_EQ(store.values["Seconds"], "5");
    EXPECT_EQ(store.values["Foreground"], "1");
    store.failWrites = true;
    Start(store, "", [](Modal& w) { w.PressEscape(); });
    EXPECT_EQ(store.log.size(), 30u) << "a failed write stops neither the others nor the program";
}

// Automatic mode (the letter A in any case anywhere in the arguments) counts at once, ticks
// both boxes when there is a folder, and unless Foreground is stored as 0 brings the window
// forward on every tick; outside it the files box starts unticked and nothing is forced.
TEST(App, AutomaticModeCountsAtOnceAndForcesTheForegroundAsStored)
{
    struct Case
    {
        const char *args, *topDir, *foreground;
        int runFiles, forced;
    };
    // A multi-byte character whose bytes hold 0x41 counts as the letter.
    for (const Case& c : {Case{"/a", "/srv/launch", "0", 1, 0}, Case{"-A", "", "7", 0, 3},
                          Case{"/home/kate/bin", "", "1", 0, 3}, Case{"\xE3\x81\x41", "", "", 0, 3},
                          Case{"", "/srv/launch", "1", 0, 0}, Case{"-s /x", "", "1", 0, 0}}) {
        MemoryStore store;
        store.values = {{"Command", "msg"}, {"Foreground", c.foreground}, {"TopDir", c.topDir}};
        const bool automatic = c.forced > 0 || c.runFiles;
        Start(store, c.args, [&](Modal& w) {
            EXPECT_EQ(w.title, automatic ? kCounting : kStopped) << c.args;
            EXPECT_EQ(w.GetCheck(IDC_RUN_FILES), c.runFiles) << c.args;
            EXPECT_EQ(w.GetCheck(IDC_RUN_COMMAND), 1) << c.args;
            w.Advance(3000);
            EXPECT_EQ(w.foregroundCount, c.forced) << c.args;
            w.Click(IDC_CLOSE);
        });
        EXPECT_EQ(store.values["Foreground"], *c.foreground == '0' ? "0" : "1");
    }
}

// Automatic mode with nothing to launch, or another copy's window with either title, ends
// start-up: nothing is shown, and nothing is written or, before the other window, read.
TEST(App, NothingToLaunchOrAnotherCopyEndsStartUp)
{
    MemoryStore store;
    store.values = {{"Seconds", "30"}};
    Start(store, "-a", nullptr);
    EXPECT_EQ(store.log.size(), 5u) << "read, not written";
    for (const char* title : {kStopped, kCounting}) {
        MemoryStore other;
        other.values = {{"Command", "msg"}};
        Start(other, "", nullptr, title);
        EXPECT_TRUE(other.log.empty()) << title;
    }
}

} // namespace
