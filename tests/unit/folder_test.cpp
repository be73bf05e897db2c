// Entry-name prefixes and the folder scan, on real folders.
#include <filesystem>
#include <gtest/gtest.h>

#include "folder/CFileList.h"
#include "folder/EntryName.h"
#include "folder/EntryRenames.h"
#include "support/TempDir.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// Only one prefix is stripped; a multi-byte first character is not a digit.
TEST(EntryPrefix, ReadsTheFourBytePrefix)
{
    const std::string names[] = {
        "01e_setup.exe", "07d_backup.bat", "99e_z",     "01e_",     "03d_01e_x.exe",
        "notes.txt",     "01E_x.exe",      "01D_x.exe", "1e_x.exe", "a1e_x",
        "01x_a.exe",     "01e-a.exe",      "01e",       "",         "０１e_x"};
    for (int i = 0; i < 15; ++i) {
        const CFileEntry entry(names[i]);
        const bool prefix = i < 5;
        EXPECT_EQ(entry.HasPrefix(), prefix) << names[i];
        EXPECT_EQ(entry.IsEnabled(), !prefix || names[i][2] == 'e') << names[i];
        EXPECT_EQ(entry.GetDisplayName(), prefix ? names[i].substr(4) : names[i]) << names[i];
    }
}

TEST(EntryPrefix, WritingRuleGivesPlaceStateAndDisplayName)
{
    const char* names[] = {"notes.txt", "notes.txt", "01E_x.exe", "05d_a.exe", "01e_",
                           "1e_x",      "07e_z.sh",  "x.sh",      "01e_y.sh"};
    const int places[] = {2, 2, 0, 1, 11, 0, 98, 99, 120};
    const int checks[] = {1, 0, 1, 1, 2, 1, 1, 0, 1};
    const char* expected[] = {"03e_notes.txt", "03d_notes.txt", "01e_01E_x.exe",
                              "02e_a.exe",     "12d_",          "01e_1e_x",
                              "99e_z.sh",      "99d_x.sh",      "99e_y.sh"};
    for (int i = 0; i < 9; ++i) {
        const std::string name = ComposeEntryName(places[i], checks[i], CFileEntry(names[i]));
        EXPECT_EQ(name, expected[i]) << names[i];
        std::string oldName, newName;
        EXPECT_TRUE(ParseApplyName(ComposeApplyName(names[i], name), oldName, newName));
        EXPECT_EQ(oldName + "|" + newName, names[i] + ("|" + name));
    }
    std::string oldName, newName;
    for (const char* other : {"!hanavo~", "!hanavo~____1e_x", "!hanavo~____01e_02e_x",
                              "!hanavo~01x_01e_x", "!hanavo~01e_", "!hanavo_01e_01d_x"})
        EXPECT_FALSE(ParseApplyName(other, oldName, newName)) << other;
    EXPECT_EQ(ComposeApplyName("01e_x", "02e_y"), "") << "the display name must stay";
}

// The first hundred files in launch order, folders left out.
TEST(Scan, TakesTheFirstHundredFilesAndNothingFromAFolderItCannotEnter)
{
    TempDir dir;
    for (int i = 0; i < 110; ++i)
        dir.Write("launch/f" + std::to_string(1109 - i), "");
    dir.MakeDir("launch/d");
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
}

// Names left by an order apply that was cut short are put back before anything is listed: to
// the new name, else the old one; one that can go neither way is not listed.
TEST(Scan, NamesOfAnInterruptedApplyArePutBackFirst)
{
    TempDir dir;
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
TEST(Scan, ASharedNameStaysWithTheFileThatHasIt)
{
    TempDir dir;
    for (const char* name : {"05e_x", "99e_x", "y", "07d_y"})
        dir.Write(name, name);
    const std::vector<EntryPlan> plan = {
        {"05e_x", "99e_x"}, {"99e_x", "99e_x"}, {"y", "99e_y"}, {"07d_y", "99e_y"}};
    EXPECT_EQ(ApplyEntryNames(dir.Path(), plan), (std::vector<std::string>{"05e_x", "07d_y"}));
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"05e_x", "07d_y", "99e_x", "99e_y"}));
    EXPECT_EQ(ReadFile(dir / "99e_y"), "y");
}

} // namespace
