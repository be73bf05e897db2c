// Entry-name prefixes, the folder scan and the folder launcher, on real folders and processes.
#include <filesystem>
#include <gtest/gtest.h>

#include "folder/CFileList.h"
#include "folder/CFolderLauncher.h"
#include "folder/EntryName.h"
#include "folder/EntryRenames.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

TEST(EntryPrefix, ReadsTheFourBytePrefix)
{
    struct Case
    {
        std::string name;
        bool prefix, enabled;
    };
    // A multi-byte first character is not a digit; of a double prefix only one is stripped.
    for (const Case& c :
         {Case{"01e_setup.exe", true, true}, Case{"07d_backup.bat", true, false},
          Case{"99e_z", true, true}, Case{"01e_", true, true}, Case{"03d_01e_x.exe", true, false},
          Case{"notes.txt", false, true}, Case{"01E_x.exe", false, true},
          Case{"01D_x.exe", false, true}, Case{"1e_x.exe", false, true}, Case{"a1e_x", false, true},
          Case{"01x_a.exe", false, true}, Case{"01e-a.exe", false, true}, Case{"01e", false, true},
          Case{"", false, true}, Case{"０１e_x", false, true}}) {
        CFileEntry entry(c.name);
        EXPECT_EQ(entry.HasPrefix(), c.prefix) << c.name;
        EXPECT_EQ(entry.IsEnabled(), c.enabled) << c.name;
        EXPECT_EQ(entry.GetDisplayName(), c.prefix ? c.name.substr(4) : c.name) << c.name;
    }
}

TEST(EntryPrefix, WritingRuleGivesPlaceStateAndDisplayName)
{
    struct Case
    {
        std::string name;
        int place, check;
        std::string expected;
    };
    // Places past 99 keep a valid two-digit prefix and the chosen state.
    for (const Case& c :
         {Case{"notes.txt", 2, 1, "03e_notes.txt"}, Case{"notes.txt", 2, 0, "03d_notes.txt"},
          Case{"01E_x.exe", 0, 1, "01e_01E_x.exe"}, Case{"05d_a.exe", 1, 1, "02e_a.exe"},
          Case{"01e_", 11, 2, "12d_"}, Case{"1e_x", 0, 1, "01e_1e_x"},
          Case{"07e_last.sh", 98, 1, "99e_last.sh"}, Case{"x.sh", 99, 0, "99d_x.sh"},
          Case{"01e_y.sh", 99, 1, "99e_y.sh"}}) {
        const std::string name = ComposeEntryName(c.place, c.check, CFileEntry(c.name));
        EXPECT_EQ(name, c.expected) << c.name;
        // The name a file carries during an apply reads back as both of its names.
        const std::string aside = ComposeApplyName(c.name, name);
        std::string oldName, newName;
        ASSERT_TRUE(ParseApplyName(aside, oldName, newName)) << aside;
        EXPECT_EQ(oldName, c.name);
        EXPECT_EQ(newName, name);
    }
    std::string oldName, newName;
    for (const char* other : {"!hanavo~", "!hanavo~____1e_x", "!hanavo~____01e_02e_x",
                              "!hanavo~01x_01e_x", "!hanavo~01e_", "!hanavo_01e_01d_x"})
        EXPECT_FALSE(ParseApplyName(other, oldName, newName)) << other;
    EXPECT_EQ(ComposeApplyName("01e_x", "02e_y"), "") << "the display name must stay";
}

struct ScanFixture : ::testing::Test
{
    TempDir dir;
    CwdGuard cwd;
};

// The first hundred files in launch order, folders left out, the working folder untouched.
TEST_F(ScanFixture, TakesTheFirstHundredFilesAndNothingFromAFolderItCannotEnter)
{
    for (int i = 0; i < 150; ++i)
        dir.Write("launch/f" + std::to_string(1149 - i), "");
    for (int i = 0; i < 20; ++i)
        dir.MakeDir("launch/d" + std::to_string(i));
    CFileList list;
    EXPECT_EQ(list.Scan(dir / "launch"), 100);
    EXPECT_TRUE(list.FolderEntered());
    EXPECT_EQ(list.GetEntry(0).GetFileName(), "f1000");
    EXPECT_EQ(list.GetEntry(99).GetFileName(), "f1099");
    EXPECT_EQ(list.GetEntry(500).GetFileName(), "");
    EXPECT_THROW(list.GetEntry(-1), std::invalid_argument);
    for (const std::string& folder : {dir / "missing", dir.Write("plain", ""), std::string()}) {
        EXPECT_EQ(list.Scan(folder), 0) << folder;
        EXPECT_FALSE(list.FolderEntered()) << folder;
    }
    EXPECT_EQ(CurrentDirectory(), cwd.Saved());
}

// Names left by an order apply that was cut short are put back before anything is listed: to
// the new name, else the old one; one that can go neither way is not listed.
TEST_F(ScanFixture, NamesOfAnInterruptedApplyArePutBackFirst)
{
    for (const char* name : {"!hanavo~____01e_a.sh", "!hanavo~01e_02d_b.sh", "02d_b.sh",
                             "!hanavo~01d_02e_c.sh", "01d_c.sh", "02e_c.sh", "!other"})
        dir.Write(name, name);
    CFileList list;
    ASSERT_EQ(list.Scan(dir.Path()), 6);
    std::vector<std::string> listed;
    for (int i = 0; i < 6; ++i)
        listed.push_back(list.GetEntry(i).GetFileName());
    EXPECT_EQ(listed, (std::vector<std::string>{"!other", "01d_c.sh", "01e_a.sh", "01e_b.sh",
                                                "02d_b.sh", "02e_c.sh"}));
    EXPECT_EQ(ReadFile(dir / "01e_a.sh"), "!hanavo~____01e_a.sh");
    EXPECT_EQ(ReadFile(dir / "01e_b.sh"), "!hanavo~01e_02d_b.sh");
    EXPECT_TRUE(fs::exists(dir / "!hanavo~01d_02e_c.sh")) << "kept, not listed";
}

// Of two entries given one name (places past 99), the one that has it already keeps it; else
// the later keeps its old name. Only those that did not get their name are reported.
TEST_F(ScanFixture, ASharedNameStaysWithTheFileThatHasIt)
{
    for (const char* name : {"05e_x", "99e_x", "y", "07d_y"})
        dir.Write(name, name);
    const std::vector<EntryPlan> plan = {
        {"05e_x", "99e_x"}, {"99e_x", "99e_x"}, {"y", "99e_y"}, {"07d_y", "99e_y"}};
    EXPECT_EQ(ApplyEntryNames(dir.Path(), plan), (std::vector<std::string>{"05e_x", "07d_y"}));
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"05e_x", "07d_y", "99e_x", "99e_y"}));
    EXPECT_EQ(ReadFile(dir / "99e_y"), "y");
}

// The enabled files, by their stored names, in the folder; no folder set is not an error, a
// missing one is the caller's to report.
TEST_F(ScanFixture, TheLauncherStartsTheEnabledFilesInOrderInTheFolder)
{
    UseEmptyDesktop(dir);
    ScriptedHost host;
    const std::string log = dir / "log";
    dir.WriteLogger("launch/02d_b.sh", "b", log);
    dir.WriteLogger("launch/01e_a.sh", "a", log);
    dir.WriteLogger("launch/c.sh", "c", log);
    dir.WriteLogger("launch/sub/s.sh", "s", log);
    EXPECT_TRUE(CFolderLauncher(host, dir / "launch").Run());
    const std::string at = " @" + fs::canonical(dir / "launch").string();
    EXPECT_EQ(InStartOrder(WaitForLines(log, 2)), (std::vector<std::string>{"a" + at, "c" + at}));
    EXPECT_TRUE(CFolderLauncher(host, "").Run());
    EXPECT_FALSE(CFolderLauncher(host, dir / "gone").Run());
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(CurrentDirectory(), cwd.Saved());
}

} // namespace
