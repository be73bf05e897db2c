#include "platform/Os.h"
#include "platform/linux/LinuxTesting.h"
#include "support/TempDir.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>

using testing_support::TempDir;
namespace fs = std::filesystem;

namespace {

// Each name of the folder with its content, or "->" and the target for a link.
std::map<std::string, std::string> Contents(const TempDir& dir)
{
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        contents[entry.path().filename()] = entry.is_symlink()
                                                ? "->" + fs::read_symlink(entry).string()
                                                : testing_support::ReadFile(entry.path());
    return contents;
}

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
};

TEST_P(RenameNoReplaceTest, RenamesWithoutEverReplacing)
{
    const struct
    {
        const char* from;
        const char* to;
        bool renamed;
    } cases[] = {
        // An existing file stays as it is; onto another name of the same file only the first
        // name goes; the same name keeps the file; a link is renamed itself, not its target.
        {"a", "new", true},      {"b", "a", false},     {"a", "same", true},
        {"a", "a", true},        {"a", "./a", true},    {"gone", "new", false},
        {"gone", "gone", false}, {"link", "new", true}, {"\xff raw", "\xfe\xff moved", true}};
    for (const auto& c : cases) {
        TempDir dir;
        dir.Write("a", "first");
        dir.Write("b", "second");
        dir.Write("\xff raw", "raw");
        fs::create_hard_link(dir / "a", dir / "same");
        fs::create_symlink("missing", dir / "link");
        SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
        auto expected = Contents(dir);
        if (c.renamed && fs::path(c.to).lexically_normal() != c.from)
            expected[c.to] = expected.extract(c.from).mapped();

        EXPECT_EQ(platform::RenameNoReplace(dir / c.from, dir / c.to), c.renamed);
        EXPECT_EQ(Contents(dir), expected);
    }
    if (GetParam()) {
        // Without hard links there is no safe way: the rename fails and touches nothing.
        platform::linux_testing::SetLinkFailure(EPERM);
        TempDir dir;
        dir.Write("a", "first");
        EXPECT_FALSE(platform::RenameNoReplace(dir / "a", dir / "b"));
        EXPECT_EQ(Contents(dir), (std::map<std::string, std::string>{{"a", "first"}}));
    }
}

// Named by whether the link fallback is forced.
INSTANTIATE_TEST_SUITE_P(LinkFallback, RenameNoReplaceTest, testing::Bool(),
                         testing::PrintToStringParamName());

} // namespace
