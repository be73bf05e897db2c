// Services that need only the operating system. Declared once here, defined once per OS
// (platform/linux, platform/win32), chosen at link time.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// Result codes of a shell launch at or below 32, as Windows gives them.
enum ShellError : int
{
    kFileNotFound = 2,   // file not found
    kPathNotFound = 3,   // a folder of the path not found
    kAccessDenied = 5,   // access denied
    kOutOfMemory = 8,    // out of memory
    kBadFormat = 11,     // not a valid program
    kTimedOut = 28,      // the launch did not finish in time
    kNoAssociation = 31, // no application is associated with the file's type
};

// Starts a file by the desktop's rules and returns at once, without waiting for the started
// program. verb null means the default action; params null means no arguments. The program
// starts in directory (the current working directory when null), and a relative file is looked
// for there first. Returns a value above 32 on success, else one of the codes above. It never
// keeps the caller waiting for more than a few seconds: a launch that cannot finish by then
// (a session bus that never answers, say) is given up and reported as kTimedOut.
int ShellOpen(const char* verb, const std::string& file, const std::string* params,
              const std::string* directory);

// The files of a folder in launch order: names sorted ascending with ASCII letters folded to
// upper case, ties by bytes. Folders, links to folders, special files, and the desktop's and
// tools' own files (dot files on Linux, hidden and system files on Windows) are not listed. At
// most maxFiles names, the first in that order; names are the exact bytes the system gave.
// False when the folder cannot be opened (empty text, missing, not a folder, no access); a
// relative folder is taken from the current working directory, which nothing changes.
bool ListFolderFiles(const std::string& folder, std::size_t maxFiles,
                     std::vector<std::string>& names);

// Renames a file without ever replacing an existing one. False when the rename failed; both
// names are then as they were. A rename to the same name leaves the file untouched; a rename
// to another name of the same file (a hard link, as a move cut short leaves it) only removes
// the first name.
bool RenameNoReplace(const std::string& from, const std::string& to);

// Moves a file to the desktop's trash (the recycle bin on Windows). False when it could not;
// the file is then as it was.
bool MoveToTrash(const std::string& path);

// Notes on standard error (and, on Windows, the debugger output) that the launch folder could
// not be read, for the session's journal of a Hanavo started at sign-in.
void ReportFolderUnreadable(const std::string& folder);

// Whether a character ends the folder part of a path: '/' everywhere, '\\' too on Windows.
bool IsPathSeparator(char c);

// The single-instance lock of this user's session, taken before anything else and held until
// the process ends. Two copies started at the same instant never both get it.
enum class InstanceLock
{
    Acquired,      // this process is the one copy
    HeldElsewhere, // another copy holds it: end at once, silently
    Unavailable    // no lock place could be had: go on as one copy
};
InstanceLock AcquireInstanceLock();

// The one sign-in start of Hanavo in automatic mode: the user's autostart entry on Linux, the
// Startup folder's Hanavo.lnk on Windows. SetLoginStart returns false when it could not apply.
bool LoginStartEnabled();
bool SetLoginStart(bool enable);

} // namespace platform
