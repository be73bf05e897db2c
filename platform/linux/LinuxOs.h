// Services of the Linux side that only the Linux backend and its tests use.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Splits an argument text into words: blanks separate, single and double quotes group (and
// are removed), a backslash outside single quotes takes the next character literally, an
// unclosed quote runs to the end. Nothing else is special.
std::vector<std::string> SplitArguments(const std::string& text);

// ShellOpen without its line on standard error.
int StartFile(const char* verb, const std::string& file, const std::string* params,
              const std::string* directory);

// The line ShellOpen writes on standard error for a launch and its result, without the end of
// line: 'hanavo: launched "x"' or 'hanavo: cannot launch "x": <reason> (<code>)'.
std::string LaunchReport(const std::string& file, int result);

// A path as one argument of a desktop entry's Exec line: quoted when it holds anything but
// plain characters, with the escapes of both the quoting and the string value. Empty when a
// desktop entry cannot carry it (control characters, text that is not UTF-8).
std::string DesktopExecArgument(const std::string& path);

// The environment the process was started with, recorded before anything changed it; started
// programs get this one.
void RecordStartEnvironment(char** envp);

// Tells the shell launch that the session is ending. Safe in a signal handler. A launch that is
// waiting for the system gives up at once, and no further program is started.
void NoteSessionEnd() noexcept;
bool SessionEndNoted() noexcept;

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path, else
// $HOME/.config; empty when neither can be had.
std::string ConfigHome();

// Makes a folder and its missing parents, private to the user. True when it is a folder now.
bool MakeFolders(const std::string& folder);

} // namespace platform
