// Where the sign-in shortcut lives, for the tests and the installer's counterpart.
#pragma once

#include <string>

namespace platform::win32 {

// The user's Startup folder + "\Hanavo.lnk"; empty when the folder cannot be had.
std::wstring LoginShortcutPath(bool create);

} // namespace platform::win32
