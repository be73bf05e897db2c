// Applying a launch order on the real file system while things go wrong: a file system without
// renaming that refuses to replace, other processes changing the folder, and the process killed
// in the middle. Every file always exists exactly once with its content, under its old name,
// its new name or the apply's own name for it; the next scan puts the last back.
#include "folder/CFileList.h"
#include "folder/EntryName.h"
#include "folder/EntryRenames.h"
#include "platform/linux/LinuxTesting.h"
#include "support/TempDir.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

using testing_support::ReadFile;
using testing_support::TempDir;
namespace fs = std::filesystem;
namespace linux_testing = platform::linux_testing;

namespace {

struct Planned
{
    std::vector<EntryPlan> plan;
    std::map<std::string, EntryPlan> byContent; // content -> its file's names
};

// Files whose display names collide, under a random order and random states. Each file's
// content is its original name.
Planned MakeFolder(const TempDir& dir, int files, std::mt19937& rng)
{
    std::vector<std::string> names;
    while (static_cast<int>(names.size()) < files) {
        char name[32];
        const unsigned stem = rng() % 8;
        if (rng() % 3 == 0)
            std::snprintf(name, sizeof name, "s%u.sh", stem);
        else
            std::snprintf(name, sizeof name, "%02u%c_s%u.sh", 1 + unsigned(rng() % 40),
                          rng() % 2 ? 'e' : 'd', stem);
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    std::shuffle(names.begin(), names.end(), rng);
    Planned planned;
    for (std::size_t i = 0; i < names.size(); ++i) {
        dir.Write(names[i], names[i]);
        const EntryPlan entry{names[i],
                              ComposeEntryName(int(i), int(rng() % 2), CFileEntry(names[i]))};
        planned.plan.push_back(entry);
        planned.byContent[names[i]] = entry;
    }
    return planned;
}

// Every planned file that still exists is there once (or, with twice, under two names of one
// file, as a move by link and unlink cut short leaves it), under its three names. Returns
// content -> name.
std::map<std::string, std::string> CheckNothingLost(const TempDir& dir, const Planned& planned,
                                                    const std::vector<std::string>& strangers,
                                                    bool twice = false)
{
    std::map<std::string, std::string> where;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        const std::string name = entry.path().filename();
        const std::string content = ReadFile(entry.path());
        if (std::find(strangers.begin(), strangers.end(), name) != strangers.end()) {
            EXPECT_EQ(content, "stranger") << name;
            continue;
        }
        EXPECT_TRUE(where.emplace(content, name).second || twice) << content << " twice";
        const auto it = planned.byContent.find(content);
        if (it == planned.byContent.end()) {
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

struct EntryRenamesTest : ::testing::Test
{
    void TearDown() override
    {
        linux_testing::SetRenameNoReplaceUnsupported(false);
        linux_testing::SetBeforeRename(nullptr);
    }
};

// With and without the kernel's rename that refuses to replace; now and then a file removed and
// a stranger taking a new name between the scan and OK. Exactly the files that could not get
// their new name are reported, and those keep their old one, or the apply's when a file that
// did get its new name holds the old.
TEST_F(EntryRenamesTest, EveryFileIsRenamedOrReportedAndKeptWhole)
{
    std::mt19937 rng(41);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        linux_testing::SetRenameNoReplaceUnsupported(round % 2 == 1);
        TempDir dir;
        Planned planned = MakeFolder(dir, 2 + int(rng() % 20), rng);
        std::string removed;
        std::vector<std::string> strangers;
        if (round % 3 == 0) {
            removed = planned.plan[rng() % planned.plan.size()].oldName;
            fs::remove(dir / removed);
            const std::string& taken = planned.plan[rng() % planned.plan.size()].newName;
            if (!fs::exists(dir / taken)) {
                dir.Write(taken, "stranger");
                strangers.push_back(taken);
            }
        }

        const std::vector<std::string> failed = ApplyEntryNames(dir.Path(), planned.plan);

        if (removed.empty()) {
            EXPECT_TRUE(failed.empty()) << "any order succeeds when nothing interferes";
        }
        const auto where = CheckNothingLost(dir, planned, strangers);
        EXPECT_EQ(where.size() + (removed.empty() ? 0 : 1), planned.plan.size());
        for (const EntryPlan& p : planned.plan) {
            const bool reported = std::count(failed.begin(), failed.end(), p.oldName) == 1;
            if (p.oldName == removed) {
                EXPECT_EQ(reported, p.oldName != p.newName) << p.oldName;
                continue;
            }
            const std::string& name = where.at(p.oldName);
            if (!reported) {
                EXPECT_EQ(name, p.newName);
            } else if (name != p.oldName) {
                EXPECT_EQ(name, ComposeApplyName(p.oldName, p.newName));
            }
            if (std::count(strangers.begin(), strangers.end(), p.newName) == 1) {
                EXPECT_TRUE(reported) << p.oldName;
            }
        }
    }
}

// The process killed at every stage of a long apply; the next scan ends in the state asked for
// when it was killed after every file had moved aside, and otherwise in old and new names.
TEST_F(EntryRenamesTest, AKilledApplyIsPutRightByTheNextScan)
{
    std::mt19937 rng(7);
    for (int stage = 0; stage < 8; ++stage) {
        TempDir dir;
        // 98 places: no two files share the prefix 99.
        Planned planned = MakeFolder(dir, 98, rng);
        std::size_t moving = 0;
        for (const EntryPlan& p : planned.plan)
            moving += p.oldName != p.newName;
        // Each moving file is renamed twice, aside then to its new name: 2 * moving renames.
        // Half of the stages take the link-and-unlink path, where the hook runs before the
        // link and again before the unlink: there the kill comes alternately before a rename
        // and in the middle of one.
        const bool byLink = stage % 2 == 1;
        const int rename = std::max(1, int(moving * stage / 4));
        const int killAt = byLink ? 2 * rename - (stage % 4 == 1 ? 1 : 0) : rename;
        SCOPED_TRACE("killed in rename " + std::to_string(rename) + (byLink ? " by link" : ""));
        linux_testing::SetRenameNoReplaceUnsupported(byLink);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int renames = 0;
            linux_testing::SetBeforeRename([&] {
                if (++renames == killAt)
                    raise(SIGKILL);
            });
            ApplyEntryNames(dir.Path(), planned.plan);
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        ASSERT_TRUE(killed);

        auto before = CheckNothingLost(dir, planned, {}, true);
        ASSERT_EQ(before.size(), planned.plan.size());
        const auto aside = std::count_if(before.begin(), before.end(), [](const auto& kv) {
            return kv.second.rfind("!hanavo~", 0) == 0;
        });
        if (killAt > 1) {
            EXPECT_GT(aside, 0) << "killed with every file in place";
        }

        CFileList list;
        EXPECT_EQ(list.Scan(dir.Path()), int(planned.plan.size()));
        const auto after = CheckNothingLost(dir, planned, {});
        ASSERT_EQ(after.size(), planned.plan.size());
        for (const auto& [content, name] : after) {
            const EntryPlan& p = planned.byContent.at(content);
            EXPECT_NE(name, ComposeApplyName(p.oldName, p.newName)) << "not put back";
            if (std::size_t(rename) > moving) {
                EXPECT_EQ(name, p.newName) << "all had moved aside";
            }
        }
    }
}

} // namespace
