// Entry-name prefixes, the folder scan and the folder launcher, on real folders and processes.
#include <cstdlib>
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
        std::string display;
    };
    const Case cases[] = {
        // well-formed
        {"01e_setup.exe", true, true, "setup.exe"},
        {"07d_backup.bat", true, false, "backup.bat"},
        {"99e_z", true, true, "z"},
        {"01e_", true, true, ""},
        // double prefix: only one is stripped
        {"03d_01e_x.exe", true, false, "01e_x.exe"},
        // malformed
        {"notes.txt", false, true, "notes.txt"},
        {"01E_x.exe", false, true, "01E_x.exe"},
        {"01D_x.exe", false, true, "01D_x.exe"},
        {"1e_x.exe", false, true, "1e_x.exe"},
        {"01x_a.exe", false, true, "01x_a.exe"},
        {"01e-a.exe", false, true, "01e-a.exe"},
        {"01e", false, true, "01e"},
        {"", false, true, ""},
        // a multi-byte first character is not a digit
        {"０１e_x", false, true, "０１e_x"},
    };
    for (const Case& c : cases) {
        CFileEntry entry(c.name);
        EXPECT_EQ(entry.HasPrefix(), c.prefix) << c.name;
        EXPECT_EQ(entry.IsEnabled(), c.enabled) << c.name;
        EXPECT_EQ(entry.GetDisplayName(), c.display) << c.name;
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
    const Case cases[] = {
        {"notes.txt", 2, 1, "03e_notes.txt"},
        {"notes.txt", 2, 0, "03d_notes.txt"},
        {"01E_x.exe", 0, 1, "01e_01E_x.exe"},
        {"05d_a.exe", 1, 1, "02e_a.exe"},
        {"01e_", 11, 2, "12d_"},
        {"1e_x", 0, 1, "01e_1e_x"},
        {"07e_last.sh", 98, 1, "99e_last.sh"},
        // Places past 99 keep a valid two-digit prefix and the chosen state.
        {"x.sh", 99, 0, "99d_x.sh"},
        {"01e_y.sh", 99, 1, "99e_y.sh"},
    };
    for (const Case& c : cases) {
        const std::string name = ComposeEntryName(c.place, c.check, CFileEntry(c.name));
        EXPECT_EQ(name, c.expected) << c.name;
        CFileEntry written(name);
        EXPECT_TRUE(written.HasPrefix());
        EXPECT_EQ(written.IsEnabled(), c.check == 1);
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

TEST_F(ScanFixture, ListsFilesInCaseFoldedOrderWithoutEnteringTheFolder)
{
    for (const char* name : {"b.sh", "A.sh", "a_b.sh", "ab.sh", "02d_x", "01e_y", ".directory"})
        dir.Write(name, "");
    dir.MakeDir("sub");
    fs::create_directory_symlink(dir.Path() + "/sub", dir.Path() + "/linkdir");
    fs::create_symlink(dir.Path() + "/gone", dir.Path() + "/dangling");

    const auto startFolder = CurrentDirectory();
    CFileList list;
    const int n = list.Scan(dir.Path());
    std::vector<std::string> names;
    for (int i = 0; i < n; ++i)
        names.push_back(list.GetEntry(i).GetFileName());
    EXPECT_EQ(names, (std::vector<std::string>{"01e_y", "02d_x", "A.sh", "ab.sh", "a_b.sh", "b.sh",
                                               "dangling"}));
    EXPECT_TRUE(list.FolderEntered());
    EXPECT_EQ(CurrentDirectory(), startFolder) << "a scan leaves the working folder alone";
    EXPECT_EQ(list.Size(), 16) << "the list keeps its sixteen entries";
    EXPECT_EQ(list.GetEntry(12).GetFileName(), "");
    EXPECT_TRUE(list.GetEntry(12).IsEnabled());
    EXPECT_EQ(list.GetEntry(500).GetFileName(), "");
    EXPECT_THROW(list.GetEntry(-1), std::invalid_argument);
}

TEST_F(ScanFixture, TakesTheFirstHundredFilesAndIgnoresFolders)
{
    for (int i = 0; i < 150; ++i)
        dir.Write("f" + std::to_string(1000 + i), "");
    for (int i = 0; i < 20; ++i)
        dir.MakeDir("d" + std::to_string(i));
    CFileList list;
    EXPECT_EQ(list.Scan(dir.Path()), 100);
    EXPECT_EQ(list.Size(), 100);
    EXPECT_EQ(list.GetEntry(0).GetFileName(), "f1000");
    EXPECT_EQ(list.GetEntry(99).GetFileName(), "f1099");

    TempDir twenty;
    for (int i = 0; i < 20; ++i)
        twenty.Write("g" + std::to_string(i), "");
    CFileList grown;
    EXPECT_EQ(grown.Scan(twenty.Path()), 20);
    EXPECT_EQ(grown.Size(), 20);
}

TEST_F(ScanFixture, AMissingFolderLeavesTheWorkingDirectory)
{
    const std::string before = CurrentDirectory();
    CFileList list;
    EXPECT_EQ(list.Scan(dir.Path() + "/missing"), 0);
    EXPECT_FALSE(list.FolderEntered());
    EXPECT_EQ(list.Scan(dir.Write("plain", "")), 0) << "a file is not a folder";
    EXPECT_EQ(list.Scan(""), 0);
    EXPECT_EQ(CurrentDirectory(), before);
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

struct LauncherFixture : ScanFixture
{
    ScriptedHost host;
    std::string log = dir / "log";
    std::string folder = dir.MakeDir("launch");

    LauncherFixture() { UseEmptyDesktop(dir); }
};

TEST_F(LauncherFixture, LaunchesEnabledFilesInOrderByTheirStoredNames)
{
    TempDir launch;
    launch.WriteLogger("02d_b.sh", "b", log);
    launch.WriteLogger("01e_a.sh", "a", log);
    launch.WriteLogger("c.sh", "c", log);
    launch.MakeDir("sub");
    launch.WriteLogger("sub/s.sh", "s", log);

    const auto startFolder = CurrentDirectory();
    EXPECT_TRUE(CFolderLauncher(host, launch.Path()).Run());
    const auto lines = InStartOrder(WaitForLines(log, 2));
    const std::string at = " @" + fs::canonical(launch.Path()).string();
    EXPECT_EQ(lines, (std::vector<std::string>{"a" + at, "c" + at}));
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(CurrentDirectory(), startFolder);
}

TEST_F(LauncherFixture, AFailedFileGivesOneMessageAndTheNextStillRuns)
{
    dir.Write("launch/01e_unknown.zzqx", "\x01\x02 not a known type");
    fs::create_symlink(folder + "/nowhere", folder + "/02e_dangling");
    dir.WriteLogger("launch/03e_ok.sh", "ok", log);

    EXPECT_TRUE(CFolderLauncher(host, folder).Run());
    ASSERT_EQ(host.Messages().size(), 2u);
    EXPECT_EQ(host.Messages()[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_EQ(host.Messages()[0].caption, "Hanavo");
    EXPECT_EQ(host.Messages()[0].text, "ファイルの実行に失敗しました。エラー: 31。");
    EXPECT_EQ(host.Messages()[1].text, "ファイルの実行に失敗しました。エラー: 2。");
    EXPECT_EQ(WaitForLines(log, 1).size(), 1u);
}

TEST_F(LauncherFixture, EmptyOrMissingFolder)
{
    const std::string before = CurrentDirectory();
    EXPECT_TRUE(CFolderLauncher(host, "").Run()) << "no folder set is not an error";
    EXPECT_FALSE(CFolderLauncher(host, folder + "/gone").Run());
    EXPECT_EQ(CurrentDirectory(), before);
    EXPECT_TRUE(host.Messages().empty()) << "the launcher itself reports no missing folder";
}

} // namespace
