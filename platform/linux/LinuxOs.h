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
