#include "platform/Os.h"
#include "platform/win32/os/WideText.h"

#include <windows.h>

#include <shellapi.h>

namespace platform {
namespace {

std::wstring FullPath(const std::wstring& path)
{
    const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return {};
    std::wstring full(length, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    if (written == 0 || written >= length)
        return {};
    full.resize(written);
    return full;
}

} // namespace

bool RenameNoReplace(const std::string& from, const std::string& to)
{
    std::wstring wideFrom, wideTo;
    if (from.empty() || to.empty() || !win32::ToWide(from, wideFrom) || !win32::ToWide(to, wideTo))
        return false;
    // The same entry under two spellings ("a" and ".\a"): keeping the name is no rename.
    // Names that differ in case only are a real rename, which MoveFileW performs.
    const std::wstring fullFrom = FullPath(wideFrom);
    if (!fullFrom.empty() && fullFrom == FullPath(wideTo))
        return GetFileAttributesW(fullFrom.c_str()) != INVALID_FILE_ATTRIBUTES;
    // MoveFileW never replaces an existing file (that takes MoveFileExW with
    // MOVEFILE_REPLACE_EXISTING).
    return MoveFileW(wideFrom.c_str(), wideTo.c_str()) != 0;
}

bool MoveToTrash(const std::string& path)
{
    std::wstring wide;
    if (path.empty() || !win32::ToWide(path, wide))
        return false;
    // The recycle bin takes full paths only; the list ends with an empty name.
    std::wstring list = FullPath(wide);
    if (list.empty() || GetFileAttributesW(list.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    // Network shares, optical discs and RAM disks have no recycle bin: the shell would delete
    // the file for good, without asking (FOF_NOCONFIRMATION). That is refused.
    std::wstring root(list.size() + 1, L'\0');
    if (!GetVolumePathNameW(list.c_str(), root.data(), static_cast<DWORD>(root.size())))
        return false;
    const UINT drive = GetDriveTypeW(root.c_str());
    if (drive != DRIVE_FIXED && drive != DRIVE_REMOVABLE)
        return false;
    list.push_back(L'\0');

    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    if (SHFileOperationW(&operation) != 0 || operation.fAnyOperationsAborted)
        return false;
    // Some shells report success for a file they left in place (a locked file, a bin that
    // is off); only a file that is gone counts.
    return GetFileAttributesW(list.c_str()) == INVALID_FILE_ATTRIBUTES;
}

} // namespace platform
