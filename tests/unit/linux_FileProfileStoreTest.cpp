// The settings file: read as a person wrote it, every written value read back byte for byte,
// other people's lines kept, one atomic replacement per save.
#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Number.h"
#include "platform/linux/FileProfileStore.h"
#include "platform/linux/LinuxTesting.h"
#include "support/TempDir.h"

using platform::FileProfileStore;
using testing_support::ReadFile;
using testing_support::TempDir;

namespace {

struct StoreFixture : ::testing::Test
{
    TempDir dir;
    const std::string file = dir / "config/Quillmere/Hanavo.conf";

    StoreFixture()
    {
        setenv("HOME", (dir / "home").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    }
    ~StoreFixture() override { platform::linux_testing::SetBeforeSettingsReplace({}); }

    static FileProfileStore Store()
    {
        FileProfileStore store;
        store.SetRegistryKey("Quillmere");
        return store;
    }
};

TEST_F(StoreFixture, AHandWrittenFileReadsAsWrittenAndASaveKeepsEveryOtherLine)
{
    const std::string before = "\xEF\xBB\xBF; my settings, by hand\r\n"
                               "[Other]\r\n"
                               "Command=/not/this/one\r\n"
                               "[Settings]\r\n"
                               "  Command  =  /x,y/cmd.sh  \r\n"
                               "Options=--title \"My Window\" --x\r\n"
                               "TopDir=/tmp/a\\b;c\r\n"
                               "# Seconds=99\r\n"
                               "Seconds=\t42\r\n"
                               "Command=/the/first/wins\r\n"
                               "Latin=/srv/caf\xe9\r\n"
                               "Size=--size=80,24\r\n"
                               "List=/a,b\r\n"
                               "Empty=\r\n"
                               "\r\n"
                               "[Tail]\r\n"
                               "x=1";
    dir.Write("config/Quillmere/Hanavo.conf", before);
    FileProfileStore store = Store();
    EXPECT_EQ(store.FilePath(), file);
    const std::pair<const char*, const char*> expected[] = {
        {"Command", "/x,y/cmd.sh"}, {"Options", "--title \"My Window\" --x"},
        {"TopDir", "/tmp/a\\b;c"},  {"# Seconds", "99"},
        {"Latin", "/srv/caf\xe9"},  {"Size", "--size=80,24"},
        {"List", "/a,b"},           {"Empty", ""},
        {"Missing", "default"},     {"x", "default"},
    };
    for (const auto& [entry, value] : expected)
        EXPECT_EQ(store.GetString("Settings", entry, "default"), value) << entry;
    EXPECT_EQ(store.GetInt("Settings", "Seconds", 60), 42);

    EXPECT_TRUE(
        store.WriteValues("Settings", {{"Seconds", 30}, {"Command", "/new"}, {"Foreground", 1}}));
    std::string after = before;
    auto replaceLine = [&](const std::string& line, const std::string& with) {
        after.replace(after.find(line), line.size(), with);
    };
    replaceLine("  Command  =  /x,y/cmd.sh  \r\n", "Command=/new\r\n");
    replaceLine("Seconds=\t42\r\n", "Seconds=30\r\n");
    replaceLine("Empty=\r\n", "Empty=\r\nForeground=1\r\n");
    EXPECT_EQ(ReadFile(file), after);

    // A file without the group gets it at its end; a last line ended by a lone CR keeps it.
    dir.Write("config/Quillmere/Hanavo.conf", "x=1");
    EXPECT_TRUE(store.WriteInt("Settings", "Seconds", 5));
    EXPECT_EQ(ReadFile(file), "x=1\n\n[Settings]\nSeconds=5\n");
    dir.Write("config/Quillmere/Hanavo.conf", "[Settings]\nx=1\r");
    EXPECT_TRUE(store.WriteInt("Settings", "Seconds", 5));
    EXPECT_EQ(ReadFile(file), "[Settings]\nx=1\r\nSeconds=5\n");
    EXPECT_EQ(store.GetString("Settings", "x", "-"), "1");
}

TEST_F(StoreFixture, EveryWrittenValueReadsBackByteForByteAndALineBreakIsRefused)
{
    std::mt19937 random(14);
    std::vector<std::string> values = {
        ",", ";c",         "\"q\" 'r'",  "a\\", "\xff\xfe\x80",
        "=", "[Settings]", "  padded\t", "",    std::string("x\0y", 3)};
    while (values.size() < 400) {
        std::string value(random() % 41, ' ');
        for (char& c : value)
            do
                c = static_cast<char>(random() % 256);
            while (c == '\n' || c == '\r');
        values.push_back(value);
    }
    std::vector<platform::ProfileValue> save;
    for (std::size_t i = 0; i < values.size(); ++i)
        save.push_back({"V" + std::to_string(i), values[i]});
    for (int number : {INT_MIN, -1, 0, 1, INT_MAX})
        save.push_back({"N" + std::to_string(number), number});
    EXPECT_TRUE(Store().WriteValues("Settings", save));

    FileProfileStore store = Store();
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(store.GetString("Settings", "V" + std::to_string(i), "-"),
                  platform::TrimBlanks(values[i]))
            << i;
    for (int number : {INT_MIN, -1, 0, 1, INT_MAX})
        EXPECT_EQ(store.GetInt("Settings", "N" + std::to_string(number), 7), number);

    // A line break cannot be stored: that value keeps its old one, the others are saved.
    for (const char* broken : {"a\nb", "a\rb", "a\r\n"}) {
        EXPECT_FALSE(store.WriteValues("Settings", {{"V0", broken}, {"V1", "saved"}})) << broken;
        EXPECT_EQ(store.GetString("Settings", "V0", "-"), values[0]);
        EXPECT_EQ(store.GetString("Settings", "V1", "-"), "saved");
    }
    EXPECT_FALSE(store.WriteString("Settings", "a=b", "x"));
    EXPECT_FALSE(store.WriteString("Set]tings", "a", "x"));

    // Integers edited by hand that are not whole numbers read as the default.
    dir.Write("config/Quillmere/Hanavo.conf", "[Settings]\nText=1.5\nPlus= +42\n");
    for (const char* bad : {"Text", "Missing"})
        EXPECT_EQ(store.GetInt("Settings", bad, 60), 60) << bad;
    EXPECT_EQ(store.GetInt("Settings", "Plus", 0), 42);
}

TEST_F(StoreFixture, OneSaveReplacesTheFileOnceAndAKilledSaveLeavesTheOldFileWhole)
{
    const std::string old = "[Settings]\nSeconds=60\nCommand=/old\n" + std::string(100000, '#');
    dir.Write("config/Quillmere/Hanavo.conf", old);
    int replaced = 0;
    platform::linux_testing::SetBeforeSettingsReplace([&] { ++replaced; });
    const std::vector<platform::ProfileValue> values = {{"Seconds", 45},
                                                        {"Command", "/new"},
                                                        {"Options", "-x"},
                                                        {"TopDir", "/srv"},
                                                        {"Foreground", 1}};

    // Killed between writing the new file and putting it in place.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::linux_testing::SetBeforeSettingsReplace([] { raise(SIGKILL); });
        Store().WriteValues("Settings", values);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "not killed at the seam";
    EXPECT_EQ(ReadFile(file), old);

    FileProfileStore store = Store();
    EXPECT_TRUE(store.WriteValues("Settings", values));
    EXPECT_EQ(replaced, 1);
    EXPECT_EQ(store.GetString("Settings", "Command", "-"), "/new");
    EXPECT_EQ(store.GetInt("Settings", "Seconds", 0), 45);
    EXPECT_TRUE(store.WriteValues("Settings", values));
    EXPECT_EQ(replaced, 1) << "nothing changed, nothing written";

    // A settings file kept elsewhere through a link stays a link.
    const std::string target = dir.Write("dotfiles/Hanavo.conf", "[Settings]\n");
    std::filesystem::remove(file);
    std::filesystem::create_symlink(target, file);
    EXPECT_TRUE(store.WriteInt("Settings", "Seconds", 12));
    EXPECT_TRUE(std::filesystem::is_symlink(file));
    EXPECT_EQ(ReadFile(target), "[Settings]\nSeconds=12\n");

    // What cannot be read is not replaced: its other lines would be lost.
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    EXPECT_FALSE(store.WriteInt("Settings", "Seconds", 13));
    EXPECT_TRUE(std::filesystem::is_directory(file));
    // A file where the folder should be (it stops root as well) is left alone.
    std::filesystem::remove_all(dir / "config/Quillmere");
    dir.Write("config/Quillmere", "not a folder\n");
    EXPECT_FALSE(store.WriteInt("Settings", "Seconds", 14));
    EXPECT_EQ(ReadFile(dir / "config/Quillmere"), "not a folder\n");
}

} // namespace
