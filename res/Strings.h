// The string table (Japanese, UTF-8) and the small formatting helpers that fill it.
#pragma once

#include <string>
#include <vector>

namespace res {

// The text of a string number, or an empty text when the table has none.
std::string LoadText(unsigned id);
// Every number the table holds, ascending.
std::vector<unsigned> StringIds();

// Replaces %1 in the string with arg.
std::string FormatString1(unsigned id, const std::string& arg);
// Fills the string's %d with a decimal number.
std::string FormatNumber(unsigned id, int value);

} // namespace res
