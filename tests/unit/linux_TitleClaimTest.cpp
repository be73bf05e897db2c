#include "linux_TestSupport.h"
#include "platform/Os.h"

#include <cstdlib>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace linux_test;

namespace {

const std::string kStopped = "Hanavo(\xe5\x81\x9c\xe6\xad\xa2\xe4\xb8\xad)";
const std::string kCounting = "Hanavo(\xe7\xa7\x92\xe8\xaa\xad\xe4\xb8\xad)";

class TitleClaimTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(chmod(m_runtime.Path().c_str(), 0700), 0);
        setenv("XDG_RUNTIME_DIR", m_runtime.Path().c_str(), 1);
    }

    std::size_t FilesInRuntimeFolder() const
    {
        std::size_t count = 0;
        if (DIR* folder = opendir(m_runtime.Path().c_str())) {
            while (const dirent* entry = readdir(folder))
                count += entry->d_name[0] != '.';
            closedir(folder);
        }
        return count;
    }

    TempFolder m_runtime;
};

TEST_F(TitleClaimTest, ClaimedWhileTheClaimLives)
{
    EXPECT_FALSE(platform::TitleClaimed(kStopped));
    {
        platform::TitleClaim claim(kStopped);
        EXPECT_TRUE(platform::TitleClaimed(kStopped));
        EXPECT_FALSE(platform::TitleClaimed(kCounting));
        EXPECT_FALSE(platform::TitleClaimed("Hanavo"));
    }
    EXPECT_FALSE(platform::TitleClaimed(kStopped));
    EXPECT_EQ(FilesInRuntimeFolder(), 0u);
}

TEST_F(TitleClaimTest, TitlesAreIndependent)
{
    auto stopped = std::make_unique<platform::TitleClaim>(kStopped);
    platform::TitleClaim counting(kCounting);
    stopped.reset();
    EXPECT_FALSE(platform::TitleClaimed(kStopped));
    EXPECT_TRUE(platform::TitleClaimed(kCounting));
}

TEST_F(TitleClaimTest, ClaimOfACrashedProcessDoesNotCount)
{
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Ends without the destructor, as a crash would: the socket file stays behind.
        new platform::TitleClaim(kStopped);
        _exit(platform::TitleClaimed(kStopped) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(FilesInRuntimeFolder(), 1u);

    EXPECT_FALSE(platform::TitleClaimed(kStopped));
    {
        platform::TitleClaim claim(kStopped);
        EXPECT_TRUE(platform::TitleClaimed(kStopped));
    }
    EXPECT_FALSE(platform::TitleClaimed(kStopped));
}

TEST_F(TitleClaimTest, SecondClaimOfALiveTitleLeavesTheFirstAlone)
{
    platform::TitleClaim first(kStopped);
    {
        platform::TitleClaim second(kStopped);
    }
    EXPECT_TRUE(platform::TitleClaimed(kStopped));
}

TEST_F(TitleClaimTest, MovedClaimStaysClaimed)
{
    platform::TitleClaim target;
    {
        platform::TitleClaim claim(kStopped);
        platform::TitleClaim moved(std::move(claim));
        target = std::move(moved);
    }
    EXPECT_TRUE(platform::TitleClaimed(kStopped));
    target = platform::TitleClaim();
    EXPECT_FALSE(platform::TitleClaimed(kStopped));
}

TEST_F(TitleClaimTest, LongAndRawTitles)
{
    std::string longTitle(500, 'x');
    std::string rawTitle = "\xff/../\n";
    platform::TitleClaim longClaim(longTitle);
    platform::TitleClaim rawClaim(rawTitle);
    EXPECT_TRUE(platform::TitleClaimed(longTitle));
    EXPECT_FALSE(platform::TitleClaimed(std::string(501, 'x')));
    EXPECT_TRUE(platform::TitleClaimed(rawTitle));
    EXPECT_EQ(FilesInRuntimeFolder(), 2u);
}

TEST_F(TitleClaimTest, WithoutUsableRuntimeFolderUsesAPrivateFolder)
{
    // The fallback folder is shared by all of this user's processes: titles of this test only.
    std::string title = "Hanavo test " + std::to_string(getpid());
    unsetenv("XDG_RUNTIME_DIR");
    {
        platform::TitleClaim claim(title);
        EXPECT_TRUE(platform::TitleClaimed(title));
    }
    EXPECT_FALSE(platform::TitleClaimed(title));

    // A runtime folder too deep for a socket address.
    std::string deep = m_runtime.Path();
    while (deep.size() < 120) {
        deep += "/deeper-folder";
        MakeFolder(deep);
    }
    setenv("XDG_RUNTIME_DIR", deep.c_str(), 1);
    {
        platform::TitleClaim claim(title);
        EXPECT_TRUE(platform::TitleClaimed(title));
    }
    EXPECT_FALSE(platform::TitleClaimed(title));
    struct stat status;
    std::string folder = "/tmp/hanavo-" + std::to_string(geteuid());
    ASSERT_EQ(lstat(folder.c_str(), &status), 0);
    EXPECT_TRUE(S_ISDIR(status.st_mode));
    EXPECT_EQ(status.st_mode & 0777, 0700u);
}

} // namespace
