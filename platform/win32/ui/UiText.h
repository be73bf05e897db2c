// Text for the screen: UTF-8 inside the program, UTF-16 for the wide Windows functions.
#pragma once

#include <string>

namespace platform::win32 {

// Never fails: a byte that is not UTF-8 shows as U+FFFD.
std::wstring Widen(const std::string& text);

} // namespace platform::win32
