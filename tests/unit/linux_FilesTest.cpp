// The launch folder on the real file system: listing it, renaming without ever replacing, and
// applying a launch order while things go wrong.
#include "folder/CFileList.h"
#include "folder/EntryName.h"
#include "folder/EntryRenames.h"
#include "platform/Os.h"
#include "platform/linux/LinuxTesting.h"
#include "support/TempDir.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using testing_support::ReadFile;
using testing_support::TempDir;
namespace fs = std::filesystem;
namespace seam = platform::linux_testing;

namespace {

TEST(FolderListing, ListsTheFilesInLaunchOrderUpToTheLimit)
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
    for (auto [target, link] : {std::pair{"sub", "link-to-folder"},
                                {"b.txt", "link-to-file"},
                                {"missing", "dangling"},
                                {"loop", "loop"},
                                {"fifo", "link-to-fifo"}})
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

// Each name of the folder with its content, or "->" and the target for a link.
std::map<std::string, std::string> Contents(const TempDir& dir)
{
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        contents[entry.path().filename()] =
            entry.is_symlink() ? "->" + fs::read_symlink(entry).string() : ReadFile(entry.path());
    return contents;
}

// Both ways: the kernel's rename without replacing, and the link and unlink of file systems
// that lack it.
TEST(RenameNoReplace, RenamesWithoutEverReplacing)
{
    const std::tuple<const char*, const char*, bool> cases[] = {
        // An existing file stays as it is; onto another name of the same file only the first
        // name goes; the same name keeps the file; a link is renamed itself, not its target.
        {"a", "new", true},      {"b", "a", false},     {"a", "same", true},
        {"a", "a", true},        {"a", "./a", true},    {"gone", "new", false},
        {"gone", "gone", false}, {"link", "new", true}, {"\xff raw", "\xfe\xff moved", true}};
    for (bool byLink : {false, true})
        for (const auto& [from, to, renamed] : cases) {
            seam::SetRenameNoReplaceUnsupported(byLink);
            TempDir dir;
            dir.Write("a", "first");
            dir.Write("b", "second");
            dir.Write("\xff raw", "raw");
            fs::create_hard_link(dir / "a", dir / "same");
            fs::create_symlink("missing", dir / "link");
            SCOPED_TRACE(std::string(from) + " -> " + to + (byLink ? " by link" : ""));
            auto expected = Contents(dir);
            if (renamed && fs::path(to).lexically_normal() != from)
                expected[to] = expected.extract(from).mapped();
            EXPECT_EQ(platform::RenameNoReplace(dir / from, dir / to), renamed);
            EXPECT_EQ(Contents(dir), expected);
        }
    // Without hard links there is no safe way: the rename fails and touches nothing.
    seam::SetLinkFailure(EPERM);
    TempDir dir;
    dir.Write("a", "first");
    EXPECT_FALSE(platform::RenameNoReplace(dir / "a", dir / "b"));
    EXPECT_EQ(Contents(dir), (std::map<std::string, std::string>{{"a", "first"}}));
    seam::SetLinkFailure(0);
    seam::SetRenameNoReplaceUnsupported(false);
}

// Every file that still exists is there once (twice: two names of one file, as a move by link
// and unlink cut short leaves it) under its old, new or apply's name, and holds its old name.
// Returns content -> name.
std::map<std::string, std::string> CheckNothingLost(const TempDir& dir,
                                                    const std::map<std::string, EntryPlan>& plan,
                                                    const std::string& stranger, bool twice)
{
    std::map<std::string, std::string> where;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        const std::string name = entry.path().filename(), content = ReadFile(entry.path());
        if (name == stranger) {
            EXPECT_EQ(content, "stranger");
            continue;
        }
        EXPECT_TRUE(where.emplace(content, name).second || twice) << content << " twice";
        const auto it = plan.find(content);
        if (it == plan.end()) {
            ADD_FAILURE() << "unknown file " << name;
            continue;
        }
        const EntryPlan& p = it->second;
        EXPECT_TRUE(name == p.oldName || name == p.newName ||
                    name == ComposeApplyName(p.oldName, p.newName))
            << name << " for " << content;
    }
    return where;
}

// Files whose display names collide, under random orders and states; now and then a file
// removed and a stranger taking a new name between the scan and OK, or the process killed in
// the middle, with and without the kernel's rename that refuses to replace. Exactly the files
// that did not get their new name are reported; the next scan puts a killed apply right,
// forward when every file had moved aside.
TEST(EntryRenames, EveryFileIsRenamedOrReportedAndNoneIsLost)
{
    std::mt19937 rng(41);
    for (int round = 0; round < 64; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const bool byLink = round / 4 % 2 == 1;
        seam::SetRenameNoReplaceUnsupported(byLink);
        TempDir dir;
        std::vector<EntryPlan> plan;
        std::map<std::string, EntryPlan> byContent; // each file holds its old name
        for (std::size_t files = 2 + rng() % 60; plan.size() < files;) {
            char prefix[8];
            std::snprintf(prefix, sizeof prefix, "%02u%c_", unsigned(1 + rng() % 40),
                          rng() % 2 ? 'e' : 'd');
            const std::string name =
                (rng() % 3 ? prefix : "") + ("s" + std::to_string(rng() % 8)) + ".sh";
            if (byContent.count(name))
                continue;
            dir.Write(name, name);
            plan.push_back(
                {name, ComposeEntryName(int(plan.size()), int(rng() % 2), CFileEntry(name))});
            byContent[name] = plan.back();
        }
        std::string removed, stranger;
        if (round % 4 == 0) {
            removed = plan[rng() % plan.size()].oldName;
            fs::remove(dir / removed);
            stranger = plan[rng() % plan.size()].newName;
            if (!fs::exists(dir / stranger))
                dir.Write(stranger, "stranger");
            else
                stranger.clear();
        }
        if (round % 4 == 3) {
            // Killed before one of the renames, aside then to the new name, 2 per moving file;
            // by link, before its link or between its link and unlink.
            std::size_t moving = 0;
            for (const EntryPlan& p : plan)
                moving += p.oldName != p.newName;
            const int renames = 2 * int(moving), killAt = 1 + int(rng() % std::max(1, renames));
            const int hook = byLink ? 2 * killAt - int(rng() % 2) : killAt;
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                int count = 0;
                seam::SetBeforeRename([&] {
                    if (++count == hook)
                        raise(SIGKILL);
                });
                ApplyEntryNames(dir.Path(), plan);
                _exit(0);
            }
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFSIGNALED(status) || renames == 0);
            EXPECT_EQ(CheckNothingLost(dir, byContent, "", true).size(), plan.size());
            CFileList list;
            EXPECT_EQ(list.Scan(dir.Path()), int(plan.size()));
            for (const auto& [content, name] : CheckNothingLost(dir, byContent, "", false)) {
                const EntryPlan& p = byContent.at(content);
                EXPECT_NE(name, ComposeApplyName(p.oldName, p.newName)) << "not put back";
                if (std::size_t(killAt) > moving) {
                    EXPECT_EQ(name, p.newName) << "all had moved aside";
                }
            }
            continue;
        }

        const std::vector<std::string> failed = ApplyEntryNames(dir.Path(), plan);
        const auto where = CheckNothingLost(dir, byContent, stranger, false);
        EXPECT_EQ(where.size() + (removed.empty() ? 0 : 1), plan.size());
        for (const EntryPlan& p : plan) {
            const bool reported = std::count(failed.begin(), failed.end(), p.oldName) == 1;
            if (p.oldName == removed) {
                EXPECT_EQ(reported, p.oldName != p.newName) << p.oldName;
                continue;
            }
            const std::string& name = where.at(p.oldName);
            EXPECT_EQ(name, reported ? (name == p.oldName ? p.oldName
                                                          : ComposeApplyName(p.oldName, p.newName))
                                     : p.newName);
            EXPECT_TRUE(reported || p.newName != stranger) << p.oldName;
        }
    }
    seam::SetRenameNoReplaceUnsupported(false);
    seam::SetBeforeRename(nullptr);
}

} // namespace
