#include "platform/Os.h"
#include "platform/linux/LinuxTesting.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

bool g_noReplaceUnsupported = false;
int g_linkFailure = 0;
std::function<void()> g_beforeRename;

std::string FolderOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Whether both paths reach the same directory entry ("a" and "./a"), so that renaming one to
// the other means keeping the name. Two hard links of one file are different entries.
bool SameEntry(const std::string& from, const std::string& to)
{
    struct stat a, b;
    if (lstat(from.c_str(), &a) != 0 || lstat(to.c_str(), &b) != 0)
        return false;
    if (a.st_dev != b.st_dev || a.st_ino != b.st_ino)
        return false;
    if (!S_ISDIR(a.st_mode) && a.st_nlink == 1)
        return true;
    struct stat folderA, folderB;
    return NameOf(from) == NameOf(to) && stat(FolderOf(from).c_str(), &folderA) == 0 &&
           stat(FolderOf(to).c_str(), &folderB) == 0 && folderA.st_dev == folderB.st_dev &&
           folderA.st_ino == folderB.st_ino;
}

// Whether both paths are different names of one file: a move by link and unlink that was cut
// short between the two, which only the removal of the first name completes.
bool OtherNameOfSameFile(const std::string& from, const std::string& to)
{
    struct stat a, b;
    return lstat(from.c_str(), &a) == 0 && lstat(to.c_str(), &b) == 0 && !S_ISDIR(a.st_mode) &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

int RenameWithoutReplacing(const std::string& from, const std::string& to)
{
    if (g_noReplaceUnsupported) {
        errno = EINVAL;
        return -1;
    }
    return renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
}

int Link(const std::string& from, const std::string& to)
{
    if (g_linkFailure != 0) {
        errno = g_linkFailure;
        return -1;
    }
    // Flags 0: a symbolic link is linked itself, as rename would move it.
    return linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), 0);
}

} // namespace

bool RenameNoReplace(const std::string& from, const std::string& to)
{
    if (from.empty() || to.empty() || from.find('\0') != std::string::npos ||
        to.find('\0') != std::string::npos)
        return false;
    if (SameEntry(from, to))
        return true;
    if (g_beforeRename)
        g_beforeRename();
    // Nothing is replaced: the file keeps the name it is given.
    if (OtherNameOfSameFile(from, to))
        return unlink(from.c_str()) == 0;
    if (RenameWithoutReplacing(from, to) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return false;
    // The file system cannot rename without replacing. A new link fails when the target
    // exists, so nothing is ever replaced; without hard links there is no safe way, so the
    // rename fails.
    if (Link(from, to) != 0)
        return false;
    if (g_beforeRename)
        g_beforeRename();
    if (unlink(from.c_str()) == 0)
        return true;
    // Leave the file with the one name it had rather than two.
    unlink(to.c_str());
    return false;
}

namespace linux_testing {

void SetRenameNoReplaceUnsupported(bool unsupported)
{
    g_noReplaceUnsupported = unsupported;
}

void SetLinkFailure(int error)
{
    g_linkFailure = error;
}

void SetBeforeRename(std::function<void()> hook)
{
    g_beforeRename = std::move(hook);
}

} // namespace linux_testing
} // namespace platform
