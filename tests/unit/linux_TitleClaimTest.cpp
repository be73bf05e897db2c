#include "platform/Os.h"
#include "platform/linux/LinuxOs.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::TitleClaim;
using platform::TitleClaimed;
namespace fs = std::filesystem;

namespace {

const std::string kStopped = "Hanavo(\xe5\x81\x9c\xe6\xad\xa2\xe4\xb8\xad)";
const std::string kCounting = "Hanavo(\xe7\xa7\x92\xe8\xaa\xad\xe4\xb8\xad)";

class TitleClaimTest : public testing::Test
{
protected:
    void SetUp() override
    {
        fs::permissions(m_runtime.Path(), fs::perms::owner_all);
        setenv("XDG_RUNTIME_DIR", m_runtime.Path().c_str(), 1);
    }

    testing_support::TempDir m_runtime;
};

TEST_F(TitleClaimTest, ClaimedWhileAClaimLivesAndNotAfter)
{
    const std::string longTitle(500, 'x'), rawTitle = "\xff/../\n";
    EXPECT_FALSE(TitleClaimed(kStopped));
    TitleClaim target;
    {
        TitleClaim claim(kStopped), counting(kCounting), longClaim(longTitle), raw(rawTitle);
        {
            TitleClaim second(kStopped); // fails, and must leave the first claim alone
        }
        target = TitleClaim(std::move(claim));
        for (const std::string& title : {kStopped, kCounting, longTitle, rawTitle})
            EXPECT_TRUE(TitleClaimed(title)) << title;
        EXPECT_FALSE(TitleClaimed("Hanavo"));
        EXPECT_FALSE(TitleClaimed(std::string(501, 'x')));
    }
    EXPECT_TRUE(TitleClaimed(kStopped)) << "the moved claim lives on";
    EXPECT_FALSE(TitleClaimed(kCounting));
    target = TitleClaim();
    EXPECT_FALSE(TitleClaimed(kStopped));
    EXPECT_TRUE(m_runtime.Names().empty());
}

TEST_F(TitleClaimTest, ClaimOfACrashedProcessDoesNotCount)
{
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Ends without the destructor, as a crash would: the socket file stays behind.
        new TitleClaim(kStopped);
        _exit(TitleClaimed(kStopped) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(m_runtime.Names().size(), 1u);

    EXPECT_FALSE(TitleClaimed(kStopped));
    TitleClaim claim(kStopped);
    EXPECT_TRUE(TitleClaimed(kStopped)) << "the stale file is taken over";
}

TEST_F(TitleClaimTest, WithoutAUsableRuntimeFolderUsesAPrivateOne)
{
    // That folder is shared by all of this user's processes: a title of this test only.
    const std::string title = "Hanavo test " + std::to_string(getpid());
    std::string deep = m_runtime.Path(); // too deep for a socket address
    while (deep.size() < 120)
        deep += "/deeper-folder";
    fs::create_directories(deep);
    for (const char* runtime : {static_cast<const char*>(nullptr), deep.c_str()}) {
        runtime ? setenv("XDG_RUNTIME_DIR", runtime, 1) : unsetenv("XDG_RUNTIME_DIR");
        {
            TitleClaim claim(title);
            EXPECT_TRUE(TitleClaimed(title));
        }
        EXPECT_FALSE(TitleClaimed(title));
    }
    auto folder = fs::symlink_status("/tmp/hanavo-" + std::to_string(geteuid()));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(folder.permissions(), fs::perms::owner_all);
}

} // namespace
