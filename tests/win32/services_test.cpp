// The Windows services behind platform/Os.h, on real folders under Wine.
#include <gtest/gtest.h>

#include "platform/Os.h"
#include "support/TempDir.h"

using namespace testing_support;

namespace {

TEST(Win32Listing, SkipsFoldersAndKeepsTheLaunchOrder)
{
    TempDir dir;
    for (const char* name : {"b.bat", "A.bat", "a_b.bat", "ab.bat"})
        dir.Write(name, "");
    dir.MakeDir("sub");
    std::vector<std::string> names;
    ASSERT_TRUE(platform::ListFolderFiles(dir.Path(), 100, names));
    EXPECT_EQ(names, (std::vector<std::string>{"A.bat", "ab.bat", "a_b.bat", "b.bat"}));
}

} // namespace
