#include "platform/Os.h"

#include "platform/LaunchOrder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// One name of the folder that may be a file. The names live one after another, each with a
// terminating NUL, in one buffer: a folder of 100,000 names then costs two allocations
// that grow, not 100,000.
struct Candidate
{
    std::uint32_t offset;
    std::uint32_t length;
    unsigned char type; // DT_REG, or DT_LNK/DT_UNKNOWN when stat has to tell
};

// Whether a name that may be a file is one: a regular file, a link to one, or a link whose
// target is missing (it is still the user's entry). Never opens the file.
bool IsListedFile(int folder, const char* name, unsigned char type)
{
    if (type == DT_REG)
        return true;
    struct stat status;
    if (fstatat(folder, name, &status, 0) == 0)
        return S_ISREG(status.st_mode);
    return fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(status.st_mode);
}

} // namespace

bool ListFolderFiles(const std::string& path, std::size_t maxFiles, std::vector<std::string>& files)
{
    files.clear();
    if (path.empty() || path.find('\0') != std::string::npos)
        return false;
    DIR* folder = opendir(path.c_str());
    if (!folder)
        return false;
    if (maxFiles == 0) {
        closedir(folder);
        return true;
    }

    std::string names;
    std::vector<Candidate> candidates;
    while (const dirent* entry = readdir(folder)) {
        // ".", ".." and the hidden files of the desktop and of tools.
        if (entry->d_name[0] == '.')
            continue;
        unsigned char type = entry->d_type;
        if (type != DT_REG && type != DT_LNK && type != DT_UNKNOWN)
            continue; // folders and special files
        std::size_t length = std::strlen(entry->d_name);
        candidates.push_back(
            {static_cast<std::uint32_t>(names.size()), static_cast<std::uint32_t>(length), type});
        names.append(entry->d_name, length + 1);
    }

    const char* base = names.data();
    auto less = [base](const Candidate& a, const Candidate& b) {
        return LaunchOrderLess({base + a.offset, a.length}, {base + b.offset, b.length});
    };
    // Only the first names in launch order are sorted and only they are classified; when
    // some of them turn out not to be files, the next ones are taken.
    std::size_t next = 0;
    while (files.size() < maxFiles && next < candidates.size()) {
        std::size_t end = next + std::min(candidates.size() - next, maxFiles - files.size());
        std::partial_sort(candidates.begin() + next, candidates.begin() + end, candidates.end(),
                          less);
        for (; next < end; ++next) {
            const Candidate& candidate = candidates[next];
            const char* name = names.data() + candidate.offset;
            if (IsListedFile(dirfd(folder), name, candidate.type))
                files.emplace_back(name, candidate.length);
        }
    }
    closedir(folder);
    return true;
}

} // namespace platform

namespace platform {

bool IsPathSeparator(char c)
{
    return c == '/';
}

} // namespace platform
