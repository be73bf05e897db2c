// UTF-8 inside the program, UTF-16 at every call of a wide Windows function.
#pragma once

#include <string>

namespace platform::win32 {

// False when text is not valid UTF-8 or holds a NUL: no Windows name can then match it.
bool ToWide(const std::string& text, std::wstring& wide);
// Unpaired surrogates (possible in Windows names) become U+FFFD.
std::string ToUtf8(const std::wstring& wide);

// Windows error code -> "text (code)" for messages and logs.
std::string ErrorText(unsigned long code);

} // namespace platform::win32
