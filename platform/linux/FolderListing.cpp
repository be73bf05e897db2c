#include "platform/Os.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// ASCII letters folded to upper case, as the file systems the launch order was designed on
// compare names; every other byte stands for itself.
constexpr std::array<unsigned char, 256> kFolded = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return table;
}();

// One name of the folder that may be a file. The names live one after another, each with a
// terminating NUL, in one buffer: a folder of 100,000 names then costs two allocations
// that grow, not 100,000.
struct Candidate
{
    std::uint32_t offset;
    std::uint32_t length;
    unsigned char type; // DT_REG, or DT_LNK/DT_UNKNOWN when stat has to tell
};

bool LaunchOrderLess(const unsigned char* a, std::size_t aLength, const unsigned char* b,
                     std::size_t bLength)
{
    std::size_t common = std::min(aLength, bLength);
    for (std::size_t i = 0; i < common; ++i) {
        if (kFolded[a[i]] != kFolded[b[i]])
            return kFolded[a[i]] < kFolded[b[i]];
    }
    if (aLength != bLength)
        return aLength < bLength;
    return std::memcmp(a, b, common) < 0;
}

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

int ChangeDirectory(const std::string& path)
{
    if (path.empty() || path.find('\0') != std::string::npos)
        return -1;
    return chdir(path.c_str()) == 0 ? 0 : -1;
}

std::vector<std::string> ListCurrentFolderFiles(std::size_t maxFiles)
{
    std::vector<std::string> files;
    if (maxFiles == 0)
        return files;
    DIR* folder = opendir(".");
    if (!folder)
        return files;

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

    const auto* base = reinterpret_cast<const unsigned char*>(names.data());
    auto less = [base](const Candidate& a, const Candidate& b) {
        return LaunchOrderLess(base + a.offset, a.length, base + b.offset, b.length);
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
    return files;
}

} // namespace platform
