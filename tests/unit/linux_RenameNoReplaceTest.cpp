#include "linux_TestSupport.h"
#include "platform/Os.h"
#include "platform/linux/LinuxTesting.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace linux_test;

namespace {

// Every case runs on both paths: the kernel's rename without replacing, and the link and
// unlink of file systems that lack it.
class RenameNoReplaceTest : public testing::TestWithParam<bool>
{
protected:
    void SetUp() override { platform::linux_testing::SetRenameNoReplaceUnsupported(GetParam()); }
    void TearDown() override
    {
        platform::linux_testing::SetRenameNoReplaceUnsupported(false);
        platform::linux_testing::SetLinkFailure(0);
    }

    TempFolder m_folder;
};

TEST_P(RenameNoReplaceTest, RenamesToAFreeName)
{
    WriteFile(m_folder / "notes.txt", "notes");
    EXPECT_TRUE(platform::RenameNoReplace(m_folder / "notes.txt", m_folder / "03e_notes.txt"));
    EXPECT_FALSE(PathExists(m_folder / "notes.txt"));
    EXPECT_EQ(ReadFile(m_folder / "03e_notes.txt"), "notes");
}

TEST_P(RenameNoReplaceTest, NeverReplacesAnExistingFile)
{
    WriteFile(m_folder / "01e_x", "first");
    WriteFile(m_folder / "02e_x", "second");
    EXPECT_FALSE(platform::RenameNoReplace(m_folder / "02e_x", m_folder / "01e_x"));
    EXPECT_EQ(ReadFile(m_folder / "01e_x"), "first");
    EXPECT_EQ(ReadFile(m_folder / "02e_x"), "second");
}

TEST_P(RenameNoReplaceTest, HardLinkOfTheSameFileIsNotReplaced)
{
    WriteFile(m_folder / "a", "content");
    ASSERT_EQ(link((m_folder / "a").c_str(), (m_folder / "b").c_str()), 0);
    EXPECT_FALSE(platform::RenameNoReplace(m_folder / "a", m_folder / "b"));
    EXPECT_EQ(ReadFile(m_folder / "a"), "content");
    EXPECT_EQ(ReadFile(m_folder / "b"), "content");
}

TEST_P(RenameNoReplaceTest, SameNameKeepsTheFile)
{
    WriteFile(m_folder / "01e_a", "content");
    EXPECT_TRUE(platform::RenameNoReplace(m_folder / "01e_a", m_folder / "01e_a"));
    EXPECT_TRUE(platform::RenameNoReplace(m_folder / "01e_a", m_folder.Path() + "/./01e_a"));
    CurrentFolder inside(m_folder.Path());
    EXPECT_TRUE(platform::RenameNoReplace("01e_a", m_folder / "01e_a"));
    EXPECT_EQ(ReadFile(m_folder / "01e_a"), "content");
}

TEST_P(RenameNoReplaceTest, MissingSourceFails)
{
    EXPECT_FALSE(platform::RenameNoReplace(m_folder / "gone", m_folder / "new"));
    EXPECT_FALSE(platform::RenameNoReplace(m_folder / "gone", m_folder / "gone"));
    EXPECT_FALSE(PathExists(m_folder / "new"));
}

TEST_P(RenameNoReplaceTest, RenamesLinksAndRawNamesThemselves)
{
    MakeLink("missing-target", m_folder / "link");
    EXPECT_TRUE(platform::RenameNoReplace(m_folder / "link", m_folder / "01e_link"));
    EXPECT_FALSE(PathExists(m_folder / "link"));
    EXPECT_TRUE(PathExists(m_folder / "01e_link"));
    EXPECT_FALSE(PathExists(m_folder / "missing-target"));

    WriteFile(m_folder / "\xff name", "raw");
    EXPECT_TRUE(platform::RenameNoReplace(m_folder / "\xff name", m_folder / "02d_\xff name"));
    EXPECT_EQ(ReadFile(m_folder / "02d_\xff name"), "raw");
}

INSTANTIATE_TEST_SUITE_P(Paths, RenameNoReplaceTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "LinkFallback" : "Kernel");
                         });

TEST(RenameNoReplaceFallbackTest, WithoutHardLinksFailsAndTouchesNothing)
{
    TempFolder folder;
    WriteFile(folder / "a", "content");
    platform::linux_testing::SetRenameNoReplaceUnsupported(true);
    platform::linux_testing::SetLinkFailure(EPERM);
    bool renamed = platform::RenameNoReplace(folder / "a", folder / "b");
    platform::linux_testing::SetRenameNoReplaceUnsupported(false);
    platform::linux_testing::SetLinkFailure(0);
    EXPECT_FALSE(renamed);
    EXPECT_EQ(ReadFile(folder / "a"), "content");
    EXPECT_FALSE(PathExists(folder / "b"));
}

} // namespace
