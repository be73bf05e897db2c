// The one reading of "a whole 32-bit decimal number" that fields and stored values share.
#pragma once

#include <string_view>

namespace platform {

// Digits with an optional sign, nothing else, within 32 bits. Leaves value alone on failure.
bool ParseInt32(std::string_view text, int& value);

// The text without blanks (spaces and tabs) at either end.
std::string_view TrimBlanks(std::string_view text);

} // namespace platform
