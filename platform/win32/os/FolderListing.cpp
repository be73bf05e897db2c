#include "platform/LaunchOrder.h"
#include "platform/Os.h"
#include "platform/win32/os/WideText.h"

#include <algorithm>
#include <cstdio>
#include <windows.h>

namespace platform {

bool ListFolderFiles(const std::string& folder, std::size_t maxFiles,
                     std::vector<std::string>& files)
{
    files.clear();
    std::wstring pattern;
    if (folder.empty() || !win32::ToWide(folder, pattern))
        return false;
    if (!IsPathSeparator(folder.back()))
        pattern += L'\\';
    pattern += L'*';

    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        // An open folder with no entry at all (a drive's empty root) gives "file not found";
        // a missing folder gives "path not found", a file "invalid name" or "directory".
        return GetLastError() == ERROR_FILE_NOT_FOUND;

    std::vector<std::string> names;
    do {
        // Folders (with "." and ".."), and the files Explorer hides: desktop.ini, Thumbs.db.
        constexpr DWORD kNotListed = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;
        if (found.dwFileAttributes & kNotListed)
            continue;
        names.push_back(win32::ToUtf8(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);

    const std::size_t count = std::min(maxFiles, names.size());
    std::partial_sort(
        names.begin(), names.begin() + static_cast<std::ptrdiff_t>(count), names.end(),
        [](const std::string& a, const std::string& b) { return LaunchOrderLess(a, b); });
    names.resize(count);
    files = std::move(names);
    return true;
}

bool IsPathSeparator(char c)
{
    return c == '/' || c == '\\';
}

} // namespace platform

namespace platform {

void ReportFolderUnreadable(const std::string& folder)
{
    // A program without a console has no standard error to write to; the debugger output is
    // there for whoever watches it.
    const std::string line = "hanavo: cannot read the launch folder \"" + folder +
                             "\": it is missing, not a folder, or not readable\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    std::wstring wide;
    if (win32::ToWide(line, wide))
        OutputDebugStringW(wide.c_str());
}

} // namespace platform
