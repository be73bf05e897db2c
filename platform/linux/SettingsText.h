// The text of the settings file, read as a person wrote it: "[Group]" lines open a group, and
// in a group a line "Name=value" holds a value, which is the rest of the line after the first
// '=', with the blanks (spaces and tabs) around the name and the value removed. There is no
// list, comment, quote or escape syntax. A UTF-8 byte-order mark and CRLF line ends are
// accepted; when a name appears twice in a group, the first wins. Every other line belongs to
// someone else and is kept as it is when values are set.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

using SettingsValue = std::pair<std::string, std::string>; // name, value

// The value of name in group, or nothing when it is not there.
std::optional<std::string> FindSettingsValue(std::string_view text, std::string_view group,
                                             std::string_view name);

// Whether a group or value name can be written so that it reads back: not empty, no line
// break, no blanks at either end; a group name without ']', a value name without '=' that
// does not begin with '['.
bool IsWritableGroupName(std::string_view group);
bool IsWritableValueName(std::string_view name);
// Whether a value can be written: it holds no line break.
bool IsWritableValue(std::string_view value);

// The text with each value set in group, in place of the first line that holds it, or added at
// the end of the group (made at the end of the text when missing). Every other line stays as
// it was, byte for byte. Names and values must pass the tests above; when a name comes twice,
// the later value counts.
std::string SetSettingsValues(std::string_view text, std::string_view group,
                              const std::vector<SettingsValue>& values);

} // namespace platform
