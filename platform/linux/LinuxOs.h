// Services of the Linux side that only the Linux backend and its tests use.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Splits an argument text into words: blanks separate, single and double quotes group (and
// are removed), a backslash outside single quotes takes the next character literally, an
// unclosed quote runs to the end. Nothing else is special.
std::vector<std::string> SplitArguments(const std::string& text);

// The environment the process was started with, recorded before anything changed it; started
// programs get this one.
void RecordStartEnvironment(char** envp);

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path, else
// $HOME/.config; empty when neither can be had.
std::string ConfigHome();

// Makes a folder and its missing parents, private to the user. True when it is a folder now.
bool MakeFolders(const std::string& folder);

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
