#include "platform/Os.h"
#include "support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

using testing_support::TempDir;
namespace fs = std::filesystem;

namespace {

TEST(FolderListingTest, ListsTheFilesInLaunchOrderUpToTheLimit)
{
    TempDir dir;
    testing_support::CwdGuard back;
    // '.' < digits < letters folded to upper case < '_' < bytes above 0x7F; a name that is a
    // prefix of another comes first; names equal once folded go by their bytes. Links are
    // listed unless they reach something other than a file; a dangling one is the user's file.
    const std::vector<std::string> expected = {
        "10",           "9",      "A.txt", "a.txt",       "AB",          "ab",
        "ab.sh",        "a_b.sh", "b.txt", "Caf\xc3\xa9", "caf\xc3\xa9", "dangling",
        "link-to-file", "loop",   "Z",     "_x",          "\x80x",       "\xff\xfe.bin"};
    const char* links[][2] = {{"sub", "link-to-folder"},
                              {"b.txt", "link-to-file"},
                              {"missing", "dangling"},
                              {"loop", "loop"},
                              {"fifo", "link-to-fifo"}};
    for (auto [target, link] : links)
        fs::create_symlink(target, dir / link);
    // The files, created in an order unrelated to the expected one.
    std::vector<std::string> names = expected;
    std::shuffle(names.begin(), names.end(), std::mt19937(12345));
    for (const std::string& name : names)
        if (!fs::is_symlink(dir / name))
            dir.Write(name, "");
    dir.Write(".hidden", "");
    dir.MakeDir(".hidden-folder");
    dir.MakeDir("sub");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0644), 0); // opening it would block

    std::vector<std::string> listed{"stale"};
    EXPECT_FALSE(platform::ListFolderFiles("", 100, listed));
    EXPECT_FALSE(platform::ListFolderFiles(dir / "b.txt", 100, listed));
    EXPECT_TRUE(listed.empty());
    // 14: the first fourteen names hold two that are not files, which must not take places.
    for (std::size_t limit : {0, 1, 14, 100}) {
        ASSERT_TRUE(platform::ListFolderFiles(dir.Path(), limit, listed));
        EXPECT_EQ(listed,
                  std::vector<std::string>(expected.begin(),
                                           expected.begin() + std::min(limit, expected.size())))
            << limit;
    }
}

} // namespace
