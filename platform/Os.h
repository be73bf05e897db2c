// Services that need only the operating system. Declared once here, defined once per OS
// (platform/linux now), chosen at link time.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// Result codes of ShellExecute at or below 32, as on Windows.
enum ShellError : int
{
    SE_ERR_FNF = 2,          // file not found
    SE_ERR_PNF = 3,          // path not found
    SE_ERR_ACCESSDENIED = 5, // access denied
    SE_ERR_OOM = 8,          // out of memory
    ERROR_BAD_FORMAT = 11,   // not a valid executable
    SE_ERR_NOASSOC = 31,     // no application is associated with the file
};

// Starts a file by the desktop's rules and returns at once, without waiting for the started
// program. verb null means the default action; params null means no arguments; directory null
// means the current working directory. Returns a value above 32 on success, else an error code
// of 32 or below.
int ShellExecute(const char* verb, const std::string& file, const std::string* params,
                 const std::string* directory);

// Makes the folder the process's working directory; 0 on success, non-zero when it cannot be
// entered (empty text, missing, not a folder, no access).
int ChangeDirectory(const std::string& path);

// The files of the current working directory in launch order: names sorted ascending with
// ASCII letters folded to upper case, ties by bytes. Folders, links to folders, special files
// and names beginning with a dot are not listed. At most maxFiles names, the first in that
// order. Names are the exact bytes the kernel gave.
std::vector<std::string> ListCurrentFolderFiles(std::size_t maxFiles);

// Renames a file without ever replacing an existing one. False when the rename failed; both
// names are then as they were. A rename to the same name leaves the file untouched.
bool RenameNoReplace(const std::string& from, const std::string& to);

// Splits an argument text into words: blanks separate, single and double quotes group (and
// are removed), a backslash outside single quotes takes the next character literally, an
// unclosed quote runs to the end. Nothing else is special.
std::vector<std::string> SplitArguments(const std::string& text);

// The environment the process was started with, recorded before anything changed it; started
// programs get this one.
void RecordStartEnvironment(char** envp);

// Marks a title as shown by one of this user's Hanavo windows while the returned claim lives,
// so that a title search finds it without a window system (offscreen, Wayland).
class TitleClaim
{
public:
    TitleClaim() = default;
    explicit TitleClaim(const std::string& title);
    ~TitleClaim();
    TitleClaim(TitleClaim&& other) noexcept;
    TitleClaim& operator=(TitleClaim&& other) noexcept;
    TitleClaim(const TitleClaim&) = delete;
    TitleClaim& operator=(const TitleClaim&) = delete;

private:
    void Release();
    int m_fd = -1;
    std::string m_path;
};

// Whether a live claim for the title exists.
bool TitleClaimed(const std::string& title);

} // namespace platform
