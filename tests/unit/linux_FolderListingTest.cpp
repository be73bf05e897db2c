#include "linux_TestSupport.h"
#include "platform/Os.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace linux_test;

namespace {

std::string WorkingFolder()
{
    char path[PATH_MAX];
    return getcwd(path, sizeof path) ? path : "";
}

class FolderListingTest : public testing::Test
{
protected:
    // Creates the files in a random order, so that the listing cannot pass by creation order.
    void MakeFiles(std::vector<std::string> names)
    {
        std::shuffle(names.begin(), names.end(), std::mt19937(12345));
        for (const std::string& name : names)
            WriteFile(m_folder / name, "");
    }

    TempFolder m_folder;
    CurrentFolder m_inside{m_folder.Path()};
};

TEST_F(FolderListingTest, SortsWithLettersFoldedToUpperCaseAndTiesByBytes)
{
    MakeFiles({"b.txt", "a_b.sh", "Z", "ab.sh", "a.txt", "A.txt", "_x", "9", "10", "ab", "AB"});
    // '.' < '1' < '9' < 'A'..'Z' < '_' once folded; "A.txt" and "a.txt" tie folded, so bytes
    // decide; "AB" and "ab" likewise; a name that is a prefix of another comes first.
    std::vector<std::string> expected = {"10",    "9",      "A.txt", "a.txt", "AB", "ab",
                                         "ab.sh", "a_b.sh", "b.txt", "Z",     "_x"};
    EXPECT_EQ(platform::ListCurrentFolderFiles(100), expected);
}

TEST_F(FolderListingTest, ListsOnlyFilesAndLinksThatAreNotFolders)
{
    MakeFiles({"file", ".hidden", ".directory"});
    MakeFolder(m_folder / "sub");
    MakeFolder(m_folder / ".hiddenfolder");
    MakeLink("sub", m_folder / "link-to-folder");
    MakeLink("file", m_folder / "link-to-file");
    MakeLink("missing", m_folder / "dangling");
    MakeLink("loop", m_folder / "loop");
    ASSERT_EQ(mkfifo((m_folder / "fifo").c_str(), 0644), 0);
    MakeLink("fifo", m_folder / "link-to-fifo");
    int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string socketPath = m_folder / "socket";
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    // Opening the fifo would block this test: it must only be looked at.
    std::vector<std::string> expected = {"dangling", "file", "link-to-file", "loop"};
    EXPECT_EQ(platform::ListCurrentFolderFiles(100), expected);
    close(listener);
}

TEST_F(FolderListingTest, GivesTheFirstFilesInOrderUpToTheLimit)
{
    std::vector<std::string> names;
    for (int i = 0; i < 150; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%03d", i);
        names.push_back(name);
    }
    MakeFiles(names);
    // Links to folders sorting before every file must not take places in the first hundred.
    MakeFolder(m_folder / "0folder");
    for (int i = 0; i < 30; ++i)
        MakeLink("0folder", m_folder / ("0link" + std::to_string(i)));

    std::vector<std::string> listed = platform::ListCurrentFolderFiles(100);
    EXPECT_EQ(listed, std::vector<std::string>(names.begin(), names.begin() + 100));
    EXPECT_EQ(platform::ListCurrentFolderFiles(3),
              (std::vector<std::string>{"f000", "f001", "f002"}));
    EXPECT_TRUE(platform::ListCurrentFolderFiles(0).empty());
    EXPECT_EQ(platform::ListCurrentFolderFiles(1000).size(), 150u);
}

TEST_F(FolderListingTest, KeepsNamesAsRawBytes)
{
    // Not UTF-8, UTF-8, and a byte above 0x7F: never folded, compared as unsigned bytes.
    MakeFiles({"\xff\xfe.bin", "caf\xc3\xa9", "\x80x", "Caf\xc3\xa9"});
    std::vector<std::string> expected = {"Caf\xc3\xa9", "caf\xc3\xa9", "\x80x", "\xff\xfe.bin"};
    EXPECT_EQ(platform::ListCurrentFolderFiles(100), expected);
}

TEST_F(FolderListingTest, EmptyFolderGivesNothing)
{
    MakeFolder(m_folder / "sub");
    EXPECT_TRUE(platform::ListCurrentFolderFiles(100).empty());
}

TEST_F(FolderListingTest, ChangeDirectoryEntersOnlyFolders)
{
    MakeFolder(m_folder / "sub");
    MakeFiles({"file"});
    std::string start = WorkingFolder();

    EXPECT_NE(platform::ChangeDirectory(""), 0);
    EXPECT_NE(platform::ChangeDirectory(m_folder / "missing"), 0);
    EXPECT_NE(platform::ChangeDirectory(m_folder / "file"), 0);
    EXPECT_EQ(WorkingFolder(), start);

    EXPECT_EQ(platform::ChangeDirectory("sub"), 0);
    EXPECT_EQ(WorkingFolder(), m_folder / "sub");
    EXPECT_EQ(platform::ChangeDirectory(m_folder.Path()), 0);
    EXPECT_EQ(WorkingFolder(), m_folder.Path());
}

} // namespace
