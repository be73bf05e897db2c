// The settings file: read as a person wrote it, every written value read back byte for byte,
// other people's lines kept, one atomic replacement per save.
#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Number.h"
#include "platform/linux/FileProfileStore.h"
#include "platform/linux/LinuxTesting.h"
#include "support/TempDir.h"

using platform::FileProfileStore;
using testing_support::ReadFile;
namespace fs = std::filesystem;

namespace {

struct StoreFixture : ::testing::Test
{
    testing_support::TempDir dir;
    const std::string file = dir / "config/Quillmere/Hanavo.conf";
    FileProfileStore store;

    StoreFixture()
    {
        setenv("HOME", (dir / "home").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        store.SetRegistryKey("Quillmere");
    }
    ~StoreFixture() override { platform::linux_testing::SetBeforeSettingsReplace({}); }
    void Write(const std::string& text) const { dir.Write("config/Quillmere/Hanavo.conf", text); }
};

TEST_F(StoreFixture, AHandWrittenFileReadsAsWrittenAndASaveKeepsEveryOtherLine)
{
    const std::string before = "\xEF\xBB\xBF; my settings, by hand\r\n"
                               "[Other]\r\n"
                               "Command=/not/this/one\r\n"
                               "[Settings]\r\n"
                               "  Command  =  /x,y/cmd.sh  \r\n"
                               "Options=--title \"My Window\" --x\r\n"
                               "# Seconds=99\r\n"
                               "Seconds=\t42\r\n"
                               "Command=/the/first/wins\r\n"
                               "Latin=/srv/caf\xe9;a\\b\r\n"
                               "Empty=\r\n"
                               "\r\n"
                               "[Tail]\r\n"
                               "x=1";
    Write(before);
    EXPECT_EQ(store.FilePath(), file);
    const std::pair<const char*, const char*> expected[] = {
        {"Command", "/x,y/cmd.sh"},
        {"Options", "--title \"My Window\" --x"},
        {"# Seconds", "99"},
        {"Latin", "/srv/caf\xe9;a\\b"},
        {"Empty", ""},
        {"Missing", "default"},
        {"x", "default"}};
    for (const auto& [entry, value] : expected)
        EXPECT_EQ(store.GetString("Settings", entry, "default"), value) << entry;
    EXPECT_EQ(store.GetInt("Settings", "Seconds", 60), 42);

    EXPECT_TRUE(
        store.WriteValues("Settings", {{"Seconds", 30}, {"Command", "/new"}, {"Foreground", 1}}));
    std::string after = before;
    const std::pair<std::string, std::string> changed[] = {
        {"  Command  =  /x,y/cmd.sh  \r\n", "Command=/new\r\n"},
        {"Seconds=\t42\r\n", "Seconds=30\r\n"},
        {"Empty=\r\n", "Empty=\r\nForeground=1\r\n"}};
    for (const auto& [line, with] : changed)
        after.replace(after.find(line), line.size(), with);
    EXPECT_EQ(ReadFile(file), after);

    // A file without the group gets it at its end, with the line ends of its first line; a
    // last line ended by a lone CR keeps it.
    const std::pair<const char*, const char*> added[] = {
        {"x=1", "x=1\n\n[Settings]\nSeconds=5\n"},
        {"\r\nx=1\r\n", "\r\nx=1\r\n\r\n[Settings]\r\nSeconds=5\r\n"},
        {"[Settings]\nx=1\r", "[Settings]\nx=1\r\nSeconds=5\n"}};
    for (const auto& [old, saved] : added) {
        Write(old);
        EXPECT_TRUE(store.WriteInt("Settings", "Seconds", 5));
        EXPECT_EQ(ReadFile(file), saved);
    }
}

TEST_F(StoreFixture, WrittenValuesReadBackAndWhatCouldNotBeReadBackIsRefused)
{
    // Other values are the settings text's (and its fuzz target's): here, what the store adds.
    const std::string value = std::string(" =[Settings]\0\xff ", 15);
    EXPECT_TRUE(store.WriteValues("Settings", {{"V", value}, {"Min", INT_MIN}, {"Max", INT_MAX}}));
    EXPECT_EQ(store.GetString("Settings", "V", "-"), platform::TrimBlanks(value));
    EXPECT_EQ(store.GetInt("Settings", "Min", 7), INT_MIN);
    EXPECT_EQ(store.GetInt("Settings", "Max", 7), INT_MAX);
    // A line break cannot be stored, nor a name that would not read back: that value keeps its
    // old one, the others are saved.
    for (const char* broken : {"a\nb", "a\rb", "a\r\n"}) {
        EXPECT_FALSE(store.WriteValues("Settings", {{"V", broken}, {"Min", "saved"}})) << broken;
        EXPECT_EQ(store.GetString("Settings", "V", "-"), platform::TrimBlanks(value));
        EXPECT_EQ(store.GetString("Settings", "Min", "-"), "saved");
    }
    for (const char* name : {"a=b", "[a", " a", "a\nb", ""})
        EXPECT_FALSE(store.WriteString("Settings", name, "x")) << name;
    for (const char* group : {"Set]tings", " Settings", ""})
        EXPECT_FALSE(store.WriteString(group, "a", "x")) << group;
    // Integers edited by hand that are not whole numbers read as the default.
    Write("[Settings]\nText=1.5\nPlus= +42\n");
    for (const char* bad : {"Text", "Missing"})
        EXPECT_EQ(store.GetInt("Settings", bad, 60), 60) << bad;
    EXPECT_EQ(store.GetInt("Settings", "Plus", 0), 42);
}

TEST_F(StoreFixture, OneSaveReplacesTheFileOnceAndAFailedSaveLeavesTheOldFileWhole)
{
    const std::string old = "[Settings]\nSeconds=60\n" + std::string(100000, '#');
    Write(old);
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(file, mode);
    const std::vector<platform::ProfileValue> values = {{"Seconds", 45}, {"Command", "/new"}};
    // Killed between writing the new file and putting it in place.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::linux_testing::SetBeforeSettingsReplace([] { raise(SIGKILL); });
        store.WriteValues("Settings", values);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "not killed at the seam";
    EXPECT_EQ(ReadFile(file), old);

    int replaced = 0;
    platform::linux_testing::SetBeforeSettingsReplace([&] { ++replaced; });
    EXPECT_TRUE(store.WriteValues("Settings", values));
    EXPECT_TRUE(store.WriteValues("Settings", values));
    EXPECT_EQ(replaced, 1) << "nothing changed, nothing written";
    EXPECT_EQ(store.GetInt("Settings", "Seconds", 0), 45);
    EXPECT_EQ(fs::status(file).permissions(), mode);

    // The file cannot be replaced: the save fails and leaves no new file behind.
    const std::string saved = ReadFile(file);
    const auto names = dir.Names("config/Quillmere");
    platform::linux_testing::SetBeforeSettingsReplace([&] {
        fs::rename(file, dir / "moved");
        fs::create_directories(file + "/x");
    });
    EXPECT_FALSE(store.WriteInt("Settings", "Seconds", 11));
    EXPECT_EQ(ReadFile(dir / "moved"), saved);
    EXPECT_EQ(dir.Names("config/Quillmere"), names);
    platform::linux_testing::SetBeforeSettingsReplace({});

    // A settings file kept elsewhere through a link stays a link.
    const std::string target = dir.Write("dotfiles/Hanavo.conf", "[Settings]\n");
    fs::remove_all(file);
    fs::create_symlink(target, file);
    EXPECT_TRUE(store.WriteInt("Settings", "Seconds", 12));
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(ReadFile(target), "[Settings]\nSeconds=12\n");

    // What cannot be read is not replaced: its other lines would be lost.
    fs::remove(file);
    fs::create_directory(file);
    EXPECT_FALSE(store.WriteInt("Settings", "Seconds", 13));
    EXPECT_TRUE(fs::is_directory(file));
    // A file where the folder should be (it stops root as well) is left alone.
    fs::remove_all(dir / "config/Quillmere");
    dir.Write("config/Quillmere", "not a folder\n");
    EXPECT_FALSE(store.WriteInt("Settings", "Seconds", 14));
    EXPECT_EQ(ReadFile(dir / "config/Quillmere"), "not a folder\n");
}

} // namespace
