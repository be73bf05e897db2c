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

// Applying a launch order, with and without the kernel's rename that refuses to replace, the
// process killed before any rename (on the link path also between link and unlink): every
// file is always there once, under its old name, its new name or the apply's name for it (or
// under two of them: one file, as a move by link and unlink cut short leaves it), and the next
// scan puts the apply's names right, forward once every file had moved aside.
TEST(EntryRenames, AKilledApplyLosesNothingAndTheNextScanPutsItRight)
{
    std::mt19937 rng(41);
    for (int round = 0; round < 40; ++round) {
        const bool byLink = round % 2 == 1;
        seam::SetRenameNoReplaceUnsupported(byLink);
        TempDir dir;
        // Display names that collide, under random places and states; each file holds its name.
        std::map<std::string, EntryPlan> plan;
        std::vector<EntryPlan> order;
        for (std::size_t files = 2 + rng() % 40; order.size() < files;) {
            char prefix[8];
            std::snprintf(prefix, sizeof prefix, "%02u%c_", unsigned(1 + rng() % 40),
                          rng() % 2 ? 'e' : 'd');
            const std::string name = (rng() % 3 ? prefix : "") + ("s" + std::to_string(rng() % 8));
            if (plan.count(name))
                continue;
            dir.Write(name, name);
            order.push_back(
                {name, ComposeEntryName(int(order.size()), int(rng() % 2), CFileEntry(name))});
            plan[name] = order.back();
        }
        std::size_t moving = 0;
        for (const EntryPlan& p : order)
            moving += p.oldName != p.newName;
        // Renames: aside, then to the new name; one more round runs to the end.
        const int killAt = 1 + int(rng() % (2 * moving + 1));
        const int hook = byLink ? 2 * killAt - int(rng() % 2) : killAt;
        SCOPED_TRACE("round " + std::to_string(round) + ", killed at " + std::to_string(hook));
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int count = 0;
            seam::SetBeforeRename([&] {
                if (++count == hook)
                    raise(SIGKILL);
            });
            _exit(ApplyEntryNames(dir.Path(), order).empty() ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        const bool killed = WIFSIGNALED(status);
        EXPECT_TRUE(killed || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) << "a file reported";

        for (bool scanned : {false, true}) {
            std::map<std::string, std::string> where; // content -> name
            for (const auto& entry : fs::directory_iterator(dir.Path())) {
                const std::string name = entry.path().filename(), content = ReadFile(entry.path());
                EXPECT_TRUE(where.emplace(content, name).second || !scanned) << content << " twice";
                const EntryPlan& p = plan.at(content);
                const bool aside = name == ComposeApplyName(p.oldName, p.newName);
                const bool forward = scanned && (!killed || std::size_t(killAt) > moving);
                EXPECT_TRUE(forward ? name == p.newName
                                    : name == p.oldName || name == p.newName || (aside && !scanned))
                    << name << " for " << content << (scanned ? " after the scan" : "");
            }
            EXPECT_EQ(where.size(), plan.size());
            CFileList list;
            EXPECT_EQ(list.Scan(dir.Path()), int(plan.size()));
        }
    }
    seam::SetRenameNoReplaceUnsupported(false);
    seam::SetBeforeRename(nullptr);
}

} // namespace
